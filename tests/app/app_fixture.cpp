#include "app_fixture.h"

#include "app/commands.h"
#include "core/game_state.h"
#include "draw/gdi_objects.h"
#include "resources/resource.h"
#include "results/results_store.h"
#include "tests/support/forced_pieces.h"

Modals& modals()
{
    static Modals instance;
    return instance;
}

void expectModal(ModalAction action) { modals().queued.push_back(std::move(action)); }

std::string windowText(HWND window)
{
    char buffer[512] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

namespace {

void CALLBACK runQueuedAction(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    auto* action = static_cast<ModalAction*>(RemovePropA(window, "lumox.action"));
    if (action)
        (*action)(window);
    delete action;
}

LRESULT CALLBACK watchModals(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = reinterpret_cast<HWND>(wParam);
    char className[16] = {};
    if (code == HCBT_ACTIVATE && GetClassNameA(window, className, sizeof className) &&
        std::string(className) == "#32770" && !GetPropA(window, "lumox.seen")) {
        SetPropA(window, "lumox.seen", reinterpret_cast<HANDLE>(1));
        ModalSeen seen{windowText(window), "", L"", GetDlgItem(window, IDC_OK) != nullptr};
        // A message box keeps its text in the static 0xFFFF.
        if (HWND message = GetDlgItem(window, 0xFFFF); message && !seen.isDialog) {
            seen.text = windowText(message);
            wchar_t wide[512] = {};
            GetWindowTextW(message, wide, 512);
            seen.wideText = wide;
        }
        modals().seen.push_back(seen);
        ModalAction action = [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); };
        if (modals().queued.empty()) {
            ++modals().unexpected;
        } else {
            action = modals().queued.front();
            modals().queued.erase(modals().queued.begin());
        }
        // Acts once the modal loop runs, not inside the window's creation.
        SetPropA(window, "lumox.action", new ModalAction(action));
        SetTimer(window, 1, 1, runQueuedAction);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool* stillOpenTarget = nullptr;

}  // namespace

ModalAction press(int buttonId)
{
    return [buttonId](HWND w) { PostMessageA(w, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0); };
}

ModalAction closeBox()
{
    return [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); };
}

ModalAction typeNameAndOk(const char* name)
{
    return [text = std::string(name)](HWND w) {
        SetDlgItemTextA(w, IDC_NAME_EDIT, text.c_str());
        PostMessageA(w, WM_COMMAND, IDC_OK, 0);
    };
}

ModalAction whileOpen(std::function<void(HWND)> during, ModalAction then)
{
    return [during, then](HWND w) {
        during(w);
        then(w);
    };
}

ModalAction thenCheckStillOpen(ModalAction first, bool* stillOpen)
{
    return [first, stillOpen](HWND w) {
        first(w);
        stillOpenTarget = stillOpen;
        SetTimer(w, 2, 150, [](HWND window, UINT, UINT_PTR id, DWORD) {
            KillTimer(window, id);
            *stillOpenTarget = IsWindowVisible(window) != FALSE;
            PostMessageA(window, WM_CLOSE, 0, 0);
        });
    };
}

void command(int id) { SendMessageA(mainWindow, WM_COMMAND, id, 0); }
void key(WPARAM vk) { SendMessageA(mainWindow, WM_KEYDOWN, vk, 0); }

void tick(int times)
{
    for (int i = 0; i < times; ++i)
        SendMessageA(mainWindow, WM_TIMER, kGravityTimer, 0);
}

void startGame()
{
    ASSERT_FALSE(gameRunning);
    command(ID_GAME_NEW);
    ASSERT_TRUE(gameRunning);
}

std::vector<std::string> namesOnDisk()
{
    ResultsTable table(kResultsCapacity);
    if (loadResultsTable(table, "tabulka.dat") != LoadOutcome::Loaded)
        return {"(invalid)"};
    std::vector<std::string> names;
    for (int i = 0; i < table.capacity; ++i)
        if (holdsResult(table.slots[i]))
            names.push_back(table.slots[i]->name);
    return names;
}

COLORREF cellCentre(int column, int row)
{
    HDC dc = backBuffer.beginDrawing();
    const COLORREF c = GetPixel(dc, boardGeometry->cellLeft(column) + 10, boardGeometry->cellTop(row) + 10);
    backBuffer.endDrawing();
    return c;
}

void watchModalWindows()
{
    static const HHOOK hook = SetWindowsHookExA(WH_CBT, watchModals, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
}

void AppTest::SetUp()
{
    watchModalWindows();
    ASSERT_TRUE(appInitialised) << "the program is not running (did an Exit test run before?)";
    modals() = {};
    resetGameState();
    delete resultsTable;  // a test may have read a table of another capacity
    resultsTable = new ResultsTable(kResultsCapacity);
    attachResultsTable(resultsTable);
    ShowWindow(resultsWindow, SW_HIDE);
    HMENU game = GetSubMenu(GetMenu(mainWindow), 0);
    if (!(GetMenuState(game, ID_GAME_EXTENDEDTILESET, MF_BYCOMMAND) & MF_CHECKED))
        command(ID_GAME_EXTENDEDTILESET);
    forceSlot(*pieceSet, 0);
    SetActiveWindow(mainWindow);
    SetFocus(mainWindow);
    pumpMessages();
    gamePaused = savedPaused = false;
}

void AppTest::TearDown()
{
    pumpMessages();
    EXPECT_EQ(modals().unexpected, 0) << "a box or dialog came up that the test did not expect";
    EXPECT_TRUE(modals().queued.empty()) << "an expected box or dialog never came up";
    EXPECT_FALSE(backBuffer.memoryDC) << "a drawing surface was left open";
    EXPECT_EQ(liveGdiObjects(), 0) << "a pen, brush or DC outlived its drawing step";
}

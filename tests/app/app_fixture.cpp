#include "app_fixture.h"

#include "core/game_state.h"
#include "draw/gdi_objects.h"
#include "resources/resource.h"
#include "results/results_store.h"
#include "tests/support/forced_pieces.h"

Modals modals;

std::string windowText(HWND window)
{
    char buffer[512] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

namespace {

void CALLBACK answerOnceTheModalLoopRuns(HWND w, UINT, UINT_PTR id, DWORD)
{
    KillTimer(w, id);
    auto* answer = static_cast<Answer*>(RemovePropA(w, "answer"));
    (*answer)(w);
    delete answer;
}

LRESULT CALLBACK onActivate(int code, WPARAM wParam, LPARAM lParam)
{
    HWND w = reinterpret_cast<HWND>(wParam);
    char cls[8] = {};
    if (code == HCBT_ACTIVATE && GetClassNameA(w, cls, sizeof cls) && !lstrcmpA(cls, "#32770") && !GetPropA(w, "seen")) {
        SetPropA(w, "seen", w);
        modals.seen.push_back({windowText(w), windowText(GetDlgItem(w, 0xFFFF))});  // a box's text
        Answer answer = press(0);
        if (modals.queued.empty())
            ++modals.unexpected;
        else
            answer = modals.queued.front(), modals.queued.erase(modals.queued.begin());
        SetPropA(w, "answer", new Answer(answer));
        SetTimer(w, 1, 1, answerOnceTheModalLoopRuns);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void watchModals()
{
    static const HHOOK hook = SetWindowsHookExA(WH_CBT, onActivate, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
}

void expect(Answer answer) { modals.queued.push_back(std::move(answer)); }

Answer press(int id) { return [id](HWND w) { PostMessageA(w, id ? WM_COMMAND : WM_CLOSE, id, 0); }; }

Answer typeNameAndOk(const char* name, WPARAM key)
{
    return [text = std::string(name), key](HWND w) {
        SetDlgItemTextA(w, IDC_NAME_EDIT, text.c_str());
        PostMessageA(key ? GetDlgItem(w, IDC_NAME_EDIT) : w, key ? WM_KEYDOWN : WM_COMMAND, key ? key : IDC_OK, 0);
    };
}

Answer whileOpen(std::function<void(HWND)> during, Answer then) { return [=](HWND w) { during(w), then(w); }; }

void command(int id) { SendMessageA(mainWindow, WM_COMMAND, id, 0); }
void key(WPARAM vk) { SendMessageA(mainWindow, WM_KEYDOWN, vk, 0); }

void tick(int times) { while (times--) SendMessageA(mainWindow, WM_TIMER, kGravityTimer, 0); }


void startGame()
{
    ASSERT_FALSE(gameRunning);
    command(ID_GAME_NEW);
    ASSERT_TRUE(gameRunning);
}

std::vector<std::string> namesOnDisk()
{
    ResultsTable table(kResultsCapacity);
    if (ResultsStore("tabulka.dat").load(table) != LoadOutcome::Loaded)
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

void AppTest::SetUp()
{
    ASSERT_TRUE(appInitialised) << "the program is not running";
    modals = {};
    resetGameState();
    resultsTable->clear();
    ResultsStore("tabulka.dat").save(*resultsTable);
    ShowWindow(resultsWindow, SW_HIDE);
    if (!(GetMenuState(GetMenu(mainWindow), ID_GAME_EXTENDEDTILESET, MF_BYCOMMAND) & MF_CHECKED))
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
    EXPECT_EQ(modals.unexpected, 0) << "a box or dialog came up that the test did not expect";
    EXPECT_TRUE(modals.queued.empty()) << "an expected box or dialog never came up";
    EXPECT_FALSE(backBuffer.memoryDC) << "a drawing surface was left open";
    EXPECT_EQ(liveGdiObjects(), 0) << "a pen, brush or DC outlived its drawing step";
}

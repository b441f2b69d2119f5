#include "app_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/game_state.h"
#include "resources/resource.h"
#include "results/results_file.h"

namespace {
int chosenRemainder = 1;
int chosenDraw() { return chosenRemainder; }
}  // namespace

ModalAnswerer& ModalAnswerer::get()
{
    static ModalAnswerer instance;
    return instance;
}

ModalAnswerer::ModalAnswerer() { handle = SetWindowsHookExA(WH_CBT, hook, nullptr, GetCurrentThreadId()); }

std::string windowText(HWND window)
{
    char buffer[512] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

LRESULT CALLBACK ModalAnswerer::hook(int code, WPARAM wParam, LPARAM lParam)
{
    ModalAnswerer& self = get();
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (std::string(className) == "#32770" && !GetPropA(window, "lumox.seen")) {
            SetPropA(window, "lumox.seen", reinterpret_cast<HANDLE>(1));
            ModalSeen seen;
            seen.caption = windowText(window);
            // The program's dialogs all have the OK button 1004; message
            // boxes keep their text in the static 0xFFFF.
            seen.isDialog = GetDlgItem(window, IDC_OK) != nullptr;
            HWND message = GetDlgItem(window, 0xFFFF);
            if (message && !seen.isDialog) {
                seen.text = windowText(message);
                wchar_t wide[512] = {};
                GetWindowTextW(message, wide, 512);
                seen.wideText = wide;
            }
            self.seen.push_back(seen);
            if (self.actions.empty()) {
                ++self.unexpected;
                PostMessageA(window, WM_COMMAND, IDOK, 0);
                PostMessageA(window, WM_COMMAND, IDNO, 0);
                PostMessageA(window, WM_CLOSE, 0, 0);
            } else {
                ModalAction action = self.actions.front();
                self.actions.erase(self.actions.begin());
                // Act once the modal loop runs, not inside its creation.
                struct Deferred {
                    static void CALLBACK run(HWND w, UINT, UINT_PTR id, DWORD)
                    {
                        KillTimer(w, id);
                        auto* act = static_cast<ModalAction*>(GetPropA(w, "lumox.action"));
                        RemovePropA(w, "lumox.action");
                        if (act) {
                            (*act)(w);
                            delete act;
                        }
                    }
                };
                SetPropA(window, "lumox.action", new ModalAction(action));
                SetTimer(window, 0x4C58, 1, Deferred::run);
            }
        }
    }
    return CallNextHookEx(self.handle, code, wParam, lParam);
}

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
    std::string copy = name;
    return [copy](HWND w) {
        SetDlgItemTextA(w, IDC_NAME_EDIT, copy.c_str());
        PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDC_OK, BN_CLICKED), 0);
    };
}

namespace {
bool* stillOpenTarget = nullptr;

void CALLBACK checkStillOpen(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    if (stillOpenTarget)
        *stillOpenTarget = IsWindowVisible(window) != FALSE;
    PostMessageA(window, WM_CLOSE, 0, 0);
}
}  // namespace

ModalAction thenCheckStillOpen(ModalAction first, bool* stillOpen)
{
    return [first, stillOpen](HWND w) {
        first(w);
        stillOpenTarget = stillOpen;
        SetTimer(w, 0x4C59, 150, checkStillOpen);
    };
}

ModalAction whileOpen(std::function<void(HWND)> during, ModalAction then)
{
    return [during, then](HWND w) {
        during(w);
        then(w);
    };
}

void pumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void nextPieceBySlot(int slot)
{
    chosenRemainder = slot + 1;
    pieceSet->random = chosenDraw;
}

void startGame()
{
    ASSERT_FALSE(gameRunning);
    SendMessageA(mainWindow, WM_COMMAND, ID_GAME_NEW, 0);
    ASSERT_TRUE(gameRunning);
}

void resetToIdle()
{
    ModalAnswerer::get().reset();
    gameRunning = false;
    gameEnded = false;
    gamePaused = false;
    savedPaused = false;
    score = 0.0;
    lstrcpyA(scoreText, "0.0");
    fallDelayMs = 80;
    fallElapsedMs = 0;
    resultsTable->clear();
    if (resultsTable->capacity != 10) {
        // A test read a record of another capacity: back to ten slots.
        ResultsTable ten(10);
        std::uint32_t length = 0;
        unsigned char* record = ten.writeRecord(&length);
        resultsTable->readRecord(record, static_cast<std::int32_t>(length));
        delete[] record;
    }
    ShowWindow(resultsWindow, SW_HIDE);
    HMENU game = GetSubMenu(GetMenu(mainWindow), 0);
    if (!(GetMenuState(game, ID_GAME_EXTENDEDTILESET, MF_BYCOMMAND) & MF_CHECKED)) {
        pieceSet->addExtendedPieces();
        CheckMenuItem(game, ID_GAME_EXTENDEDTILESET, MF_BYCOMMAND | MF_CHECKED);
    }
    nextPieceBySlot(0);
    SetForegroundWindow(mainWindow);
    SetActiveWindow(mainWindow);
    SetFocus(mainWindow);
    pumpMessages();
    gamePaused = false;
    savedPaused = false;
}

std::vector<std::string> namesOnDisk()
{
    std::uint32_t length = 0;
    unsigned char* record = loadResultsFile("tabulka.dat", &length);
    ResultsTable table(10);
    const bool ok = record && table.readRecord(record, static_cast<std::int32_t>(length));
    delete[] record;
    if (!ok)
        return {"(invalid)"};
    std::vector<std::string> names;
    for (int i = 0; i < table.capacity; ++i)
        if (table.slots[i] && table.slots[i]->name)
            names.push_back(table.slots[i]->name);
    return names;
}

COLORREF bufferPixel(int x, int y)
{
    HDC dc = backBuffer.beginDrawing();
    const COLORREF c = dc ? GetPixel(dc, x, y) : CLR_INVALID;
    backBuffer.endDrawing();
    return c;
}

COLORREF cellCentre(int column, int row) { return bufferPixel(1 + 21 * column + 10, 1 + 21 * row + 10); }

void AppTest::SetUp()
{
    ASSERT_TRUE(appInitialised) << "the program is not running (did an Exit test run before?)";
    resetToIdle();
}

void AppTest::TearDown()
{
    pumpMessages();
    EXPECT_EQ(ModalAnswerer::get().unexpected, 0) << "a box or dialog came up that the test did not expect";
    EXPECT_TRUE(ModalAnswerer::get().actions.empty()) << "an expected box or dialog never came up";
    EXPECT_FALSE(backBuffer.memoryDC) << "a drawing surface was left open";
}

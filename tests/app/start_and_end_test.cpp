#include "app/startup.h"
#include "app/texts.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "resources/resource.h"
#include "tests/support/forced_pieces.h"

namespace {

struct Startup : AppTest {};

INT_PTR CALLBACK inertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(Startup, WindowsAndMenu)
{
    ASSERT_TRUE(atStart.started);
    EXPECT_EQ(GetWindowLongA(mainWindow, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX | 0x00CA0000), 0x00CA0000);
    EXPECT_TRUE(GetWindow(resultsWindow, GW_OWNER) == mainWindow && !IsWindowVisible(resultsWindow));
    for (auto [type, id] : {std::pair{RT_MENU, 101}, {RT_DIALOG, 102}, {RT_DIALOG, 103}, {RT_DIALOG, 104}, {RT_GROUP_ICON, 103}, {RT_VERSION, 1}})
        EXPECT_TRUE(FindResourceExA(appInstance, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_CZECH, SUBLANG_DEFAULT))) << id << ", in Czech";
    for (int id : {ID_GAME_NEW, ID_GAME_PAUSE, ID_GAME_UNPAUSE, ID_GAME_SPEED, ID_GAME_EXTENDEDTILESET,
                   ID_GAME_GAMEOVER, ID_GAME_EXIT, ID_RESULTS_SHOW, ID_RESULTS_CLEAR, ID_HELP_ABOUT})
        EXPECT_EQ(GetMenuState(GetMenu(mainWindow), id, MF_BYCOMMAND), id == ID_GAME_EXTENDEDTILESET ? MF_CHECKED : 0u) << id;
}

TEST_F(Startup, TheResultsFileFoundAtStart)
{
    const bool damaged = atStart.scenario == "damaged", valid = atStart.scenario == "valid";
    ASSERT_EQ(atStart.boxes.size(), damaged ? 1u : 0u) << atStart.scenario;
    if (damaged) {
        EXPECT_EQ(atStart.boxes[0].caption, text::kBadResultsCaption);
        EXPECT_EQ(atStart.boxes[0].text, text::kBadResults);
        EXPECT_EQ(GetACP(), 1250u) << "the Windows-1250 text shows as Czech";
        EXPECT_FALSE(atStart.mainVisibleDuringBox) << "the box comes before the main window shows";
    }
    EXPECT_EQ(atStart.places, valid ? 8 : 10);
    EXPECT_EQ(GetFileAttributesA("tabulka.dat.bad") != INVALID_FILE_ATTRIBUTES, damaged || atStart.scenario == "refused")
        << "an unusable file is kept as tabulka.dat.bad";
}

// Every static text and button caption of the three dialogs fits its control,
// measured with the control's font: a text that wraps past the control's
// height would be cut.
TEST_F(Startup, EveryDialogTextFitsItsControl)
{
    for (int id : {IDD_ABOUT, IDD_NAME, IDD_SPEED}) {
        HWND dialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(id), mainWindow,
                                         inertDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << id;
        for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            char cls[16] = {};
            GetClassNameA(control, cls, sizeof cls);
            const std::string caption = windowText(control);
            if (caption.empty() || (lstrcmpiA(cls, "Button") && (lstrcmpiA(cls, "Static") ||
                                    (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)))
                continue;
            RECT client, needed;
            GetClientRect(control, &client);
            needed = client;
            HDC dc = GetDC(control);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
            DrawTextA(dc, caption.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK);
            SelectObject(dc, old);
            ReleaseDC(control, dc);
            EXPECT_TRUE(needed.right <= client.right && needed.bottom <= client.bottom)
                << "dialog " << id << ": \"" << caption << "\" needs " << needed.right << " x " << needed.bottom;
        }
        DestroyWindow(dialog);
    }
    modals = {};  // not modal: nothing to answer
}


struct GameOver : AppTest {};

void endWithScore(double value)  // through the game-over notice
{
    if (!gameRunning)
        startGame();
    score = value, gameEnded = true;
    SendMessageA(mainWindow, WM_APP, 0, 0);
    EXPECT_FALSE(gameRunning);
}

TEST_F(GameOver, OnlyAScoreThatEarnsAPlaceOpensTheNameDialog)
{
    bool openAfterEscape = false;
    const std::vector<std::string> three = {"  Řeřicha  ", "abcdefghijklmnopqrs", " "};
    const std::tuple<double, Answer, const char*, std::vector<std::string>> cases[] = {
        {0.0, press(IDOK), "GAME OVER", {}},  // even with an empty table
        {3.0, typeNameAndOk(""), "Zápis do tabulky", {" "}},
        {4.0, typeNameAndOk("abcdefghijklmnopqrstuvwxy"), "Zápis do tabulky", {"abcdefghijklmnopqrs", " "}},
        {5.0, typeNameAndOk("  Řeřicha  ", VK_RETURN), "Zápis do tabulky", three},
        {6.0, press(0), "Zápis do tabulky", three},  // the close box inserts nothing
        {6.0, [&](HWND d) {
             SendMessageA(d, WM_COMMAND, IDCANCEL, 0);  // what Escape sends
             openAfterEscape = IsWindowVisible(d);
             PostMessageA(d, WM_CLOSE, 0, 0);
         }, "Zápis do tabulky", three},
    };
    for (const auto& [score, answer, caption, names] : cases) {
        modals = {};
        expect(answer);
        endWithScore(score);
        EXPECT_EQ(modals.seen.at(0).caption, caption) << score;
        EXPECT_EQ(namesOnDisk(), names) << score << ": saved when the dialog closes";
        EXPECT_EQ(IsWindowVisible(resultsWindow) != FALSE, score > 0) << score << ": shown again after the dialog";
    }
    EXPECT_TRUE(openAfterEscape);
}

TEST_F(GameOver, TheFlowRunsBesideTheMainWindowWhileTicksMoveNothing)
{
    forceSlot(*pieceSet, 4);
    startGame();
    score = 2.0;
    // Row 15 lacks columns 0-1, which the square fills; the rows where pieces
    // enter are blocked, so the next piece has no room.
    for (int c = 2; c < 8; ++c)
        well->setCell(c, 15, pieceSet->slots[0]), well->setCell(c, 0, c >= 4 ? pieceSet->slots[0] : nullptr);
    fallingPiece->x = 0;
    RECT shownAt = {}, main;
    expect(whileOpen([&](HWND) { GetWindowRect(resultsWindow, &shownAt), tick(30); }, typeNameAndOk("Tomáš")));
    key(VK_DOWN);
    GetWindowRect(mainWindow, &main);
    EXPECT_EQ(std::make_pair(shownAt.left, shownAt.top), std::make_pair(main.right, main.top)) << "shown before the dialog";
    EXPECT_STREQ(scoreText, "3.0") << "the last settle's points, after the flow";
    EXPECT_DOUBLE_EQ(resultsTable->slots[0]->score, 2.0) << "the flow entered the score without them";
    EXPECT_TRUE(fallingPiece->y == 0 && gameEnded && !gameRunning) << "ticks moved nothing; the game is over";
}

TEST_F(GameOver, TheResultsWindowListsEveryResultTheBestInRedAndHidesOnAKey)
{
    for (int i = 0; i < 10; ++i)  // the best with a name longer than the line
        resultsTable->insert(std::string(i == 0 ? 300 : 3, static_cast<char>('a' + i)).c_str(), 12.5 - i);
    key(VK_INSERT);  // posted: shown when it is dispatched
    EXPECT_FALSE(IsWindowVisible(resultsWindow));
    pumpMessages();
    EXPECT_TRUE(IsWindowVisible(resultsWindow) && gamePaused) << "it takes the focus";
    RECT client;
    GetClientRect(resultsWindow, &client);
    HDC dc = GetDC(resultsWindow);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    const int h = tm.tmHeight, red = RGB(192, 64, 32);
    EXPECT_TRUE(client.bottom >= 10 * h && client.right >= 150);
    EXPECT_GT(countPixels(dc, 123, 0, 150, h, red), 5) << "the score stands over the long name";
    EXPECT_EQ(countPixels(dc, 0, h, client.right, client.bottom, red), 0) << "only the first row in red";
    EXPECT_GT(countPixels(dc, 0, 9 * h, 150, 10 * h, RGB(0, 0, 0)), 20);
    EXPECT_EQ(GetPixel(dc, client.right - 1, client.bottom - 1), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(resultsWindow, dc);
    SetWindowPos(resultsWindow, nullptr, 700, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    InvalidateRect(resultsWindow, nullptr, TRUE);
    UpdateWindow(resultsWindow);
    RECT results;
    GetWindowRect(resultsWindow, &results);
    EXPECT_EQ(std::make_pair(results.left, results.top), std::make_pair(700L, 400L)) << "repainted where it was put";
    for (UINT message : {WM_CLOSE, WM_KEYDOWN}) {
        ShowWindow(resultsWindow, SW_SHOW);
        SendMessageA(resultsWindow, message, 'A', 0);
        EXPECT_TRUE(IsWindow(resultsWindow) && !IsWindowVisible(resultsWindow)) << message << " only hides it";
    }
    SetActiveWindow(mainWindow), SetFocus(mainWindow), pumpMessages();
    EXPECT_FALSE(gamePaused) << "play goes on once the main window has the focus back";
}

}  // namespace

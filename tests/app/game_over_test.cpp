#include "app/texts.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "resources/resource.h"
#include "tests/support/forced_pieces.h"

namespace {

struct GameOver : AppTest {
    void endWithScore(double value)  // through the game-over notice
    {
        if (!gameRunning)
            startGame();
        score = value;
        gameEnded = true;
        SendMessageA(mainWindow, WM_APP, 0, 0);
        EXPECT_FALSE(gameRunning);
    }
};

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
    while (resultsTable->placesFor(1.0) > 0)
        resultsTable->insert("x", 1.0);
    expect(press(IDOK));
    endWithScore(1.0);
    EXPECT_EQ(modals.seen.back().text, text::kGameOver) << "a full table whose lowest equals the score";
}

TEST_F(GameOver, TheFlowRunsBesideTheMainWindowWhileTicksMoveNothing)
{
    forceSlot(*pieceSet, 4);
    startGame();
    score = 2.0;
    // Row 15 lacks columns 0-1, which the square fills; the rows where pieces
    // enter are blocked, so the next piece has no room.
    for (int c = 2; c < 8; ++c)
        well->setCell(c, 15, pieceSet->slots[0]);
    for (int c = 4; c < 8; ++c)
        well->setCell(c, 0, pieceSet->slots[0]);
    fallingPiece->x = 0;
    RECT shownAt = {}, main;
    double scoreSeen = -1;
    expect(whileOpen([&](HWND) {
        scoreSeen = score;
        GetWindowRect(resultsWindow, &shownAt);
        tick(30);
    }, typeNameAndOk("Tomáš")));
    key(VK_DOWN);
    GetWindowRect(mainWindow, &main);
    EXPECT_EQ(std::make_pair(shownAt.left, shownAt.top), std::make_pair(main.right, main.top)) << "shown before the dialog";
    EXPECT_DOUBLE_EQ(scoreSeen, 2.0) << "the last settle's points come after the flow";
    EXPECT_STREQ(scoreText, "3.0");
    EXPECT_EQ(fallingPiece->y, 0);
    EXPECT_TRUE(gameEnded && !gameRunning);
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

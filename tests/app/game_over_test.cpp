#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/texts.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "resources/resource.h"
#include "results/results_file.h"

namespace {

class GameOver : public AppTest {
protected:
    // Ends a running game with this score through the game-over notice.
    void endWithScore(double value)
    {
        if (!gameRunning)
            startGame();
        score = value;
        gameEnded = true;
        SendMessageA(mainWindow, WM_APP, 0, 0);
    }
    static std::string nameIn(int slot)
    {
        const ResultEntry* e = resultsTable->slots[slot];
        return e && e->name ? e->name : "";
    }
};

TEST_F(GameOver, AZeroScoreGetsTheBoxEvenWithAnEmptyTable)
{
    ModalAnswerer::get().expect(press(IDOK));
    endWithScore(0.0);
    ASSERT_EQ(ModalAnswerer::get().seen.size(), 1u);
    EXPECT_EQ(ModalAnswerer::get().seen[0].caption, "GAME OVER");
    EXPECT_EQ(ModalAnswerer::get().seen[0].text, "Hra pro tebe konci, sraci...");
    EXPECT_FALSE(gameRunning);
    EXPECT_FALSE(IsWindowVisible(resultsWindow));
}

TEST_F(GameOver, AQualifyingScoreIsEnteredShownAndSaved)
{
    RECT beside = {};
    bool resultsShownBeforeDialog = false;
    ModalAnswerer::get().expect(whileOpen(
        [&](HWND) {
            resultsShownBeforeDialog = IsWindowVisible(resultsWindow) != FALSE;
            GetWindowRect(resultsWindow, &beside);
            // Ticks keep coming while the dialog is open; they move nothing.
            for (int i = 0; i < 30; ++i)
                SendMessageA(mainWindow, WM_TIMER, kGravityTimer, 0);
        },
        typeNameAndOk("Alena")));
    const int y = fallingPiece->y;
    endWithScore(12.5);
    EXPECT_EQ(fallingPiece->y, y);
    EXPECT_EQ(fallElapsedMs, 0);
    ASSERT_EQ(ModalAnswerer::get().seen.size(), 1u);
    EXPECT_TRUE(ModalAnswerer::get().seen[0].isDialog);
    EXPECT_EQ(ModalAnswerer::get().seen[0].caption, "Zápis do tabulky");
    EXPECT_TRUE(resultsShownBeforeDialog);
    RECT main;
    GetWindowRect(mainWindow, &main);
    EXPECT_EQ(beside.left, main.right);
    EXPECT_EQ(beside.top, main.top);
    EXPECT_TRUE(IsWindowVisible(resultsWindow));
    EXPECT_FALSE(gameRunning);
    EXPECT_EQ(nameIn(0), "Alena");
    EXPECT_DOUBLE_EQ(resultsTable->slots[0]->score, 12.5);

    EXPECT_EQ(namesOnDisk(), std::vector<std::string>{"Alena"});
}

TEST_F(GameOver, NamesAreStoredAsTypedWithinNineteenBytes)
{
    ModalAnswerer::get().expect(typeNameAndOk(""));
    endWithScore(3.0);
    EXPECT_EQ(nameIn(0), " ");

    ModalAnswerer::get().expect(typeNameAndOk("abcdefghijklmnopqrstuvwxy"));
    endWithScore(2.0);
    EXPECT_EQ(nameIn(1), "abcdefghijklmnopqrs");

    ModalAnswerer::get().expect(typeNameAndOk("  Řeřicha  "));
    endWithScore(1.0);
    EXPECT_EQ(nameIn(2), "  Řeřicha  ");
}

TEST_F(GameOver, TheCloseBoxAndEscapeInsertNothing)
{
    bool openAfterEscape = false;
    ModalAnswerer::get().expect(thenCheckStillOpen(press(IDCANCEL), &openAfterEscape));
    endWithScore(4.0);
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(resultsTable->placesFor(0.5), 10);
    EXPECT_TRUE(IsWindowVisible(resultsWindow));
    EXPECT_FALSE(gameRunning);
}

TEST_F(GameOver, AFullTableTakesOnlyABetterScore)
{
    for (int i = 0; i < 10; ++i)
        resultsTable->insert("x", 10.0 - i);  // lowest 1.0
    ModalAnswerer::get().expect(press(IDOK));
    endWithScore(1.0);
    EXPECT_EQ(ModalAnswerer::get().seen.back().caption, "GAME OVER");

    ModalAnswerer::get().expect(typeNameAndOk("best"));
    endWithScore(1.5);
    EXPECT_EQ(nameIn(9), "best");
    EXPECT_EQ(resultsTable->placesFor(1.5), 0);
}

TEST_F(GameOver, TheLastSettleScoresAfterTheFlow)
{
    // Row 15 lacks columns 0-1; the square fills it. Rows 0-1 are blocked
    // where pieces enter, so the next piece has no room.
    nextPieceBySlot(4);
    startGame();
    score = 2.0;
    for (int c = 2; c < 8; ++c)
        well->setCell(c, 15, pieceSet->slots[0]);
    for (int r = 0; r < 3; ++r)
        for (int c = 4; c < 8; ++c)
            well->setCell(c, r, pieceSet->slots[0]);
    fallingPiece->x = 0;
    fallingPiece->y = 5;
    double scoreSeen = -1;
    ModalAnswerer::get().expect(whileOpen([&](HWND) { scoreSeen = score; }, typeNameAndOk("Tomáš")));
    SendMessageA(mainWindow, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_DOUBLE_EQ(scoreSeen, 2.0);
    EXPECT_DOUBLE_EQ(resultsTable->slots[0]->score, 2.0);
    EXPECT_DOUBLE_EQ(score, 3.0);
    EXPECT_STREQ(scoreText, "3.0");
    EXPECT_TRUE(gameEnded);
    EXPECT_FALSE(gameRunning);
}

TEST_F(GameOver, ResultsWindowListsRanksBesideTheMainWindow)
{
    resultsTable->insert("abc", 12.5);
    resultsTable->insert("def", 6.0);
    SendMessageA(mainWindow, WM_COMMAND, ID_RESULTS_SHOW, 0);
    pumpMessages();
    ASSERT_TRUE(IsWindowVisible(resultsWindow));
    RECT main, results;
    GetWindowRect(mainWindow, &main);
    GetWindowRect(resultsWindow, &results);
    EXPECT_EQ(results.left, main.right);
    EXPECT_EQ(results.top, main.top);
    EXPECT_EQ(windowText(resultsWindow), "Tabulka");

    // Row 1 in red, row 2 in black, on the button face.
    HDC dc = GetDC(resultsWindow);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    int red = 0, black = 0;
    for (int y = 0; y < tm.tmHeight; ++y)
        for (int x = 0; x < 150; ++x)
            red += GetPixel(dc, x, y) == RGB(192, 64, 32);
    for (int y = tm.tmHeight; y < 2 * tm.tmHeight; ++y)
        for (int x = 0; x < 150; ++x) {
            black += GetPixel(dc, x, y) == RGB(0, 0, 0);
            red += GetPixel(dc, x, y) == RGB(192, 64, 32) ? 1000 : 0;
        }
    RECT client;
    GetClientRect(resultsWindow, &client);
    EXPECT_GE(client.bottom, 2 * tm.tmHeight);
    EXPECT_GE(client.right, 150);
    EXPECT_EQ(GetPixel(dc, client.right - 1, client.bottom - 1), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(resultsWindow, dc);
    EXPECT_GT(red, 20);
    EXPECT_LT(red, 1000) << "only the first row is red";
    EXPECT_GT(black, 20);

    // A key hides it; so does its close box; it stays where the user put it.
    SendMessageA(resultsWindow, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(IsWindowVisible(resultsWindow));
    EXPECT_TRUE(IsWindow(resultsWindow));
    SendMessageA(mainWindow, WM_COMMAND, ID_RESULTS_SHOW, 0);
    SetWindowPos(resultsWindow, nullptr, 700, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    InvalidateRect(resultsWindow, nullptr, TRUE);
    UpdateWindow(resultsWindow);
    GetWindowRect(resultsWindow, &results);
    EXPECT_EQ(results.left, 700);
    EXPECT_EQ(results.top, 400);
    SendMessageA(resultsWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(resultsWindow));
    EXPECT_TRUE(IsWindow(resultsWindow));
}

TEST_F(GameOver, ALongNameFromAFileIsCutToTheLine)
{
    // A name of 300 bytes can only come from a results file.
    const std::string longName(300, 'W');
    std::vector<unsigned char> record = {0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 44, 1, 0, 0};
    record.insert(record.end(), longName.begin(), longName.end());
    const unsigned char score[] = {0, 0, 0, 0, 0, 0, 0x14, 0x40};  // 5.0
    record.insert(record.end(), score, score + 8);
    record[0] = static_cast<unsigned char>(record.size());
    record[1] = static_cast<unsigned char>(record.size() >> 8);
    ASSERT_TRUE(resultsTable->readRecord(record.data(), static_cast<std::int32_t>(record.size())));
    SendMessageA(mainWindow, WM_COMMAND, ID_RESULTS_SHOW, 0);
    pumpMessages();
    EXPECT_TRUE(IsWindowVisible(resultsWindow));
    // The score still stands in its column over the name.
    HDC dc = GetDC(resultsWindow);
    int red = 0;
    for (int x = 123; x < 150; ++x)
        for (int y = 0; y < 12; ++y)
            red += GetPixel(dc, x, y) == RGB(192, 64, 32);
    ReleaseDC(resultsWindow, dc);
    EXPECT_GT(red, 5);
    SendMessageA(resultsWindow, WM_CLOSE, 0, 0);
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/texts.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "resources/resource.h"
#include "tests/support/forced_pieces.h"

namespace {

constexpr COLORREF kBrickRed = RGB(192, 64, 32);

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
        EXPECT_FALSE(gameRunning);
    }
    static std::string nameIn(int slot)
    {
        return holdsResult(resultsTable->slots[slot]) ? resultsTable->slots[slot]->name : "";
    }
};

TEST_F(GameOver, ScoresWithoutAPlaceGetTheBox)
{
    for (int i = 0; i < 10; ++i)
        resultsTable->insert("x", 10.0 - i);  // the lowest is 1.0
    ResultsTable* full = resultsTable;
    for (double value : {1.0, 0.0}) {
        expectModal(press(IDOK));
        endWithScore(value);
        EXPECT_EQ(modals().seen.back().caption, text::kGameOverCaption) << value;
        full->clear();  // 0.0 gets the box even with an empty table
    }
    EXPECT_EQ(modals().seen[0].text, "Hra pro tebe konci, sraci...");
    EXPECT_FALSE(IsWindowVisible(resultsWindow));
}

TEST_F(GameOver, AQualifyingScoreIsEnteredShownBesideAndSaved)
{
    RECT shownAt = {};
    bool shownBeforeDialog = false;
    expectModal(whileOpen(
        [&](HWND) {
            shownBeforeDialog = IsWindowVisible(resultsWindow) != FALSE;
            GetWindowRect(resultsWindow, &shownAt);
            tick(30);  // ticks keep coming while the dialog is open
        },
        typeNameAndOk("Alena")));
    endWithScore(12.5);
    ASSERT_EQ(modals().seen.size(), 1u);
    EXPECT_EQ(modals().seen[0].caption, "Zápis do tabulky");
    EXPECT_TRUE(shownBeforeDialog);
    RECT main;
    GetWindowRect(mainWindow, &main);
    EXPECT_EQ(std::make_pair(shownAt.left, shownAt.top), std::make_pair(main.right, main.top));
    EXPECT_EQ(fallingPiece->y, 0);
    EXPECT_TRUE(IsWindowVisible(resultsWindow)) << "shown again with the new entry";
    EXPECT_EQ(namesOnDisk(), std::vector<std::string>{"Alena"}) << "saved when the dialog closes";
}

TEST_F(GameOver, NamesAreStoredAsTypedWithinNineteenBytes)
{
    struct Case {
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {{"", " "}, {"abcdefghijklmnopqrstuvwxy", "abcdefghijklmnopqrs"}, {"  Řeřicha  ", "  Řeřicha  "}};
    double value = 3.0;
    for (const Case& c : cases) {
        expectModal(typeNameAndOk(c.typed));
        endWithScore(value);
        EXPECT_EQ(nameIn(0), c.stored) << "typed \"" << c.typed << "\"";
        value += 1.0;
    }
}

TEST_F(GameOver, TheCloseBoxInsertsNothingAndEscapeKeepsTheDialog)
{
    bool openAfterEscape = false;
    expectModal(thenCheckStillOpen(press(IDCANCEL), &openAfterEscape));
    endWithScore(4.0);
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(resultsTable->placesFor(0.5), 10);
    EXPECT_TRUE(IsWindowVisible(resultsWindow));
}

TEST_F(GameOver, TheLastSettleScoresAfterTheFlow)
{
    // Row 15 lacks columns 0-1, which the square fills; the rows where
    // pieces enter are blocked, so the next piece has no room.
    forceSlot(*pieceSet, 4);
    startGame();
    score = 2.0;
    for (int c = 2; c < 8; ++c)
        well->setCell(c, 15, pieceSet->slots[0]);
    for (int r = 0; r < 3; ++r)
        for (int c = 4; c < 8; ++c)
            well->setCell(c, r, pieceSet->slots[0]);
    fallingPiece->x = 0;
    double scoreSeen = -1;
    expectModal(whileOpen([&](HWND) { scoreSeen = score; }, typeNameAndOk("Tomáš")));
    key(VK_DOWN);
    EXPECT_DOUBLE_EQ(scoreSeen, 2.0);
    EXPECT_STREQ(scoreText, "3.0");
    EXPECT_TRUE(gameEnded);
    EXPECT_FALSE(gameRunning);
}

TEST_F(GameOver, TheResultsWindowListsEveryResultTheBestInRed)
{
    for (int i = 0; i < 10; ++i)
        resultsTable->insert(std::string(i == 0 ? 300 : 3, 'a' + i).c_str(), 12.5 - i);
    command(ID_RESULTS_SHOW);
    pumpMessages();
    ASSERT_TRUE(IsWindowVisible(resultsWindow));
    RECT main, results, client;
    GetWindowRect(mainWindow, &main);
    GetWindowRect(resultsWindow, &results);
    GetClientRect(resultsWindow, &client);
    EXPECT_EQ(std::make_pair(results.left, results.top), std::make_pair(main.right, main.top));
    EXPECT_EQ(windowText(resultsWindow), "Tabulka");
    HDC dc = GetDC(resultsWindow);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    const int h = tm.tmHeight;
    EXPECT_GE(client.bottom, 10 * h);
    EXPECT_GE(client.right, 150);
    // The first row red, the long name cut under its score; the others black.
    EXPECT_GT(countPixels(dc, 123, 0, 150, h, kBrickRed), 5);
    EXPECT_EQ(countPixels(dc, 0, h, client.right, client.bottom, kBrickRed), 0);
    EXPECT_GT(countPixels(dc, 0, 9 * h, 150, 10 * h, RGB(0, 0, 0)), 20);
    EXPECT_EQ(GetPixel(dc, client.right - 1, client.bottom - 1), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(resultsWindow, dc);

    // A key or the close box hides it; repainted, it stays where it was put.
    SendMessageA(resultsWindow, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(IsWindowVisible(resultsWindow));
    command(ID_RESULTS_SHOW);
    SetWindowPos(resultsWindow, nullptr, 700, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    InvalidateRect(resultsWindow, nullptr, TRUE);
    UpdateWindow(resultsWindow);
    GetWindowRect(resultsWindow, &results);
    EXPECT_EQ(std::make_pair(results.left, results.top), std::make_pair(700L, 400L));
    SendMessageA(resultsWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(resultsWindow));
    EXPECT_TRUE(IsWindow(resultsWindow));
}

}  // namespace

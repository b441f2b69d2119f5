#include <gtest/gtest.h>

#include "app/commands.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "draw/board_drawing.h"
#include "tests/support/forced_pieces.h"

namespace {

constexpr COLORREF kGray = RGB(128, 128, 128);
const COLORREF kSquare = tileBodyColour(0xA020A0);
const COLORREF kBar = tileBodyColour(0x40F020);

class Play : public AppTest {};

std::tuple<int, int, int> where() { return {fallingPiece->x, fallingPiece->y, fallingPiece->rotation}; }

TEST_F(Play, KeysDoNothingBeforeTheFirstGameButInsertShowsTheResults)
{
    const auto before = where();
    for (WPARAM vk : {VK_LEFT, VK_RIGHT, VK_UP, VK_SPACE, VK_RETURN, VK_DOWN})
        key(vk);
    EXPECT_EQ(where(), before);
    key(VK_PAUSE);
    EXPECT_FALSE(gamePaused);
    tick(20);
    EXPECT_EQ(fallElapsedMs, 0);
    key(VK_INSERT);  // posted: shown when dispatched
    EXPECT_FALSE(IsWindowVisible(resultsWindow));
    pumpMessages();
    EXPECT_TRUE(IsWindowVisible(resultsWindow));
}

TEST_F(Play, KeysMoveTurnAndStepOnlyWhereThePieceFits)
{
    struct Case {
        const char* name;
        int slot;
        std::vector<WPARAM> keys;
        std::tuple<int, int, int> place;
        std::vector<std::pair<int, int>> painted, gray;
        COLORREF colour;
    };
    const Case cases[] = {
        {"left", 4, {VK_LEFT}, {3, 0, 0}, {{3, 0}, {4, 1}}, {{5, 0}}, kSquare},
        {"right to the wall", 4, {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT}, {6, 0, 0}, {{7, 1}}, {{5, 0}}, kSquare},
        {"the square never turns", 4, {VK_UP, VK_SPACE}, {4, 0, 0}, {}, {}, kSquare},
        {"Enter steps one row", 4, {VK_RETURN}, {4, 1, 0}, {{4, 2}}, {{4, 0}}, kSquare},
        {"no room to turn in row 0", 1, {VK_UP, VK_SPACE}, {6, 0, 0}, {}, {}, kBar},
        {"up turns right", 1, {VK_RETURN, VK_UP}, {6, 1, 1}, {{5, 0}, {5, 3}}, {{7, 1}}, kBar},
        {"space turns back left", 1, {VK_RETURN, VK_UP, VK_SPACE}, {6, 1, 0}, {{7, 1}}, {{5, 3}}, kBar},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gameRunning = false;
        forceSlot(*pieceSet, c.slot);
        startGame();
        for (WPARAM vk : c.keys)
            key(vk);
        EXPECT_EQ(where(), c.place);
        for (auto [col, row] : c.painted)
            EXPECT_EQ(cellCentre(col, row), c.colour) << col << ", " << row;
        for (auto [col, row] : c.gray)
            EXPECT_EQ(cellCentre(col, row), kGray) << col << ", " << row;
    }
}

TEST_F(Play, DownDropsAndSettlesAtOnceEvenWithoutMoving)
{
    forceSlot(*pieceSet, 4);
    startGame();
    key(VK_DOWN);
    EXPECT_NE(well->cellAt(4, 15), nullptr);
    EXPECT_EQ(cellCentre(5, 14), kSquare);
    EXPECT_EQ(fallingPiece->y, 0) << "the next piece is in";
    while (fallingPiece->canMoveDown())
        key(VK_RETURN);
    key(VK_RETURN);
    EXPECT_EQ(fallingPiece->y, 12) << "Enter stops on the stack";
    EXPECT_EQ(well->cellAt(4, 13), nullptr) << "and does not settle";
    key(VK_DOWN);
    EXPECT_NE(well->cellAt(4, 13), nullptr);
}

TEST_F(Play, GravityStepsEveryEighthTickAndCountsAgainForANewPieceOrSpeed)
{
    forceSlot(*pieceSet, 4);
    startGame();
    tick(7);
    EXPECT_EQ(fallingPiece->y, 0);
    tick();
    EXPECT_EQ(fallingPiece->y, 1);
    EXPECT_EQ(cellCentre(4, 2), kSquare);
    tick(5);
    key(VK_DOWN);  // a new piece
    tick(7);
    EXPECT_EQ(fallingPiece->y, 0);
    tick();
    EXPECT_EQ(fallingPiece->y, 1);
    tick(5);
    setSpeed(50);  // a step every 50 ticks, counted from now
    tick(49);
    EXPECT_EQ(fallingPiece->y, 1);
    tick();
    EXPECT_EQ(fallingPiece->y, 2);
    setSpeed(92);
    while (fallingPiece->canMoveDown())
        key(VK_RETURN);
    tick(8);
    EXPECT_NE(well->cellAt(4, 13), nullptr) << "a piece that cannot fall settles at the step";
}

TEST_F(Play, PauseKeyAndFocusStopThePieceUntilTheyEnd)
{
    forceSlot(*pieceSet, 4);
    startGame();
    key(VK_PAUSE);
    key(VK_LEFT);
    tick(30);
    EXPECT_EQ(where(), std::make_tuple(4, 0, 0));
    EXPECT_EQ(fallElapsedMs, 0);
    key(VK_PAUSE);
    key(VK_LEFT);
    EXPECT_EQ(fallingPiece->x, 3);

    for (bool pausedBefore : {false, true}) {
        gamePaused = pausedBefore;
        SendMessageA(mainWindow, WM_KILLFOCUS, 0, 0);
        EXPECT_TRUE(gamePaused);
        tick(10);
        EXPECT_EQ(fallingPiece->y, 0);
        SendMessageA(mainWindow, WM_SETFOCUS, 0, 0);
        EXPECT_EQ(gamePaused, pausedBefore) << "the focus brings back the state from before";
    }
    gamePaused = false;

    // Insert during play: the results window takes the focus, play stops
    // until a key has hidden it and the main window has the focus again.
    key(VK_INSERT);
    pumpMessages();
    EXPECT_TRUE(IsWindowVisible(resultsWindow));
    EXPECT_TRUE(gamePaused);
    SendMessageA(resultsWindow, WM_KEYDOWN, 'A', 0);
    EXPECT_FALSE(IsWindowVisible(resultsWindow));
    SetActiveWindow(mainWindow);
    SetFocus(mainWindow);
    pumpMessages();
    EXPECT_FALSE(gamePaused);
}

}  // namespace

#include <gtest/gtest.h>

#include "app_fixture.h"
#include "core/game_state.h"
#include "draw/board_drawing.h"
#include "resources/resource.h"

namespace {

constexpr COLORREF kGray = RGB(128, 128, 128);
const COLORREF kSquareBody = tileBodyColour(0xA020A0);

class Play : public AppTest {};

void key(WPARAM vk) { SendMessageA(mainWindow, WM_KEYDOWN, vk, 0); }
void tick(int times = 1)
{
    for (int i = 0; i < times; ++i)
        SendMessageA(mainWindow, WM_TIMER, kGravityTimer, 0);
}

struct Where {
    int x, y, rotation;
    bool operator==(const Where&) const = default;
};
Where where() { return {fallingPiece->x, fallingPiece->y, fallingPiece->rotation}; }

TEST_F(Play, KeysDoNothingBeforeTheFirstGameButInsertShowsResults)
{
    const Where before = where();
    for (WPARAM vk : {VK_LEFT, VK_RIGHT, VK_UP, VK_SPACE, VK_RETURN, VK_DOWN})
        key(vk);
    EXPECT_EQ(where(), before);
    key(VK_PAUSE);
    EXPECT_FALSE(gamePaused);
    tick(20);
    EXPECT_EQ(fallElapsedMs, 0);

    key(VK_INSERT);  // posted, shown when dispatched
    EXPECT_FALSE(IsWindowVisible(resultsWindow));
    pumpMessages();
    EXPECT_TRUE(IsWindowVisible(resultsWindow));
}

TEST_F(Play, MovesAndTurnsRedrawOnlyWhenTheTestPasses)
{
    nextPieceBySlot(4);  // the square enters at columns 4-5
    startGame();
    key(VK_LEFT);
    EXPECT_EQ(fallingPiece->x, 3);
    EXPECT_EQ(cellCentre(3, 0), kSquareBody);
    EXPECT_EQ(cellCentre(4, 1), kSquareBody);
    EXPECT_EQ(cellCentre(5, 0), kGray);

    for (int i = 0; i < 6; ++i)
        key(VK_RIGHT);
    EXPECT_EQ(fallingPiece->x, 6) << "stops at the wall";
    EXPECT_EQ(cellCentre(7, 1), kSquareBody);
    EXPECT_EQ(cellCentre(5, 0), kGray);

    // The square never turns: nothing changes, nothing is redrawn.
    const Where before = where();
    key(VK_UP);
    key(VK_SPACE);
    EXPECT_EQ(where(), before);

    key(VK_RETURN);
    EXPECT_EQ(fallingPiece->y, 1);
    EXPECT_EQ(cellCentre(6, 0), kGray);
    EXPECT_EQ(cellCentre(6, 2), kSquareBody);
}

TEST_F(Play, TheBarTurnsBothWaysOnceThereIsRoom)
{
    nextPieceBySlot(1);
    startGame();
    key(VK_UP);
    EXPECT_EQ(fallingPiece->rotation, 0) << "no room above row 0";
    key(VK_RETURN);
    key(VK_UP);
    EXPECT_EQ(fallingPiece->rotation, 1);
    const COLORREF bar = tileBodyColour(0x40F020);
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(cellCentre(5, r), bar) << r;
    EXPECT_EQ(cellCentre(7, 1), kGray);
    key(VK_SPACE);
    EXPECT_EQ(fallingPiece->rotation, 0);
    EXPECT_EQ(cellCentre(7, 1), bar);
}

TEST_F(Play, DropSettlesAtTheFloorAndEnterStopsThere)
{
    nextPieceBySlot(4);
    startGame();
    key(VK_DOWN);
    EXPECT_NE(well->cellAt(4, 15), nullptr);
    EXPECT_NE(well->cellAt(5, 14), nullptr);
    EXPECT_EQ(cellCentre(4, 15), kSquareBody);
    EXPECT_EQ(fallingPiece->y, 0) << "the next piece is in";
    EXPECT_FALSE(fallingPiece->settled);

    // The next square rests on the first: Enter refuses, Down settles at once.
    while (fallingPiece->canMoveDown())
        key(VK_RETURN);
    EXPECT_EQ(fallingPiece->y, 12);
    key(VK_RETURN);
    EXPECT_EQ(fallingPiece->y, 12);
    EXPECT_EQ(well->cellAt(4, 13), nullptr);
    key(VK_DOWN);
    EXPECT_NE(well->cellAt(4, 13), nullptr);
    EXPECT_NE(well->cellAt(5, 12), nullptr);

    // A piece that did not move at all still settles.
    fallingPiece->y = 10;
    key(VK_DOWN);
    EXPECT_NE(well->cellAt(4, 11), nullptr);
}

TEST_F(Play, GravityStepsEveryEighthTickAndRestartsItsCount)
{
    nextPieceBySlot(4);
    startGame();
    tick(7);
    EXPECT_EQ(fallingPiece->y, 0);
    EXPECT_EQ(fallElapsedMs, 70);
    tick();
    EXPECT_EQ(fallingPiece->y, 1);
    EXPECT_EQ(fallElapsedMs, 0);
    EXPECT_EQ(cellCentre(4, 2), kSquareBody);

    // A new piece starts the count again.
    tick(5);
    key(VK_DOWN);
    EXPECT_EQ(fallElapsedMs, 0);
    tick(7);
    EXPECT_EQ(fallingPiece->y, 0);
    tick();
    EXPECT_EQ(fallingPiece->y, 1);

    // So does a change of speed: 50 means a step every 50 ticks.
    tick(5);
    setSpeed(50);
    EXPECT_EQ(fallDelayMs, 500);
    EXPECT_EQ(fallElapsedMs, 0);
    tick(49);
    EXPECT_EQ(fallingPiece->y, 1);
    tick();
    EXPECT_EQ(fallingPiece->y, 2);

    // A piece that cannot fall settles at the gravity step.
    setSpeed(92);
    while (fallingPiece->canMoveDown())
        key(VK_RETURN);
    tick(8);
    EXPECT_NE(well->cellAt(4, 13), nullptr);
    EXPECT_EQ(fallingPiece->y, 0);
}

TEST_F(Play, PauseByKeyAndByLosingTheFocus)
{
    nextPieceBySlot(4);
    startGame();
    key(VK_PAUSE);
    EXPECT_TRUE(gamePaused);
    key(VK_LEFT);
    tick(30);
    EXPECT_EQ(fallingPiece->x, 4);
    EXPECT_EQ(fallingPiece->y, 0);
    EXPECT_EQ(fallElapsedMs, 0);
    key(VK_PAUSE);
    EXPECT_FALSE(gamePaused);
    key(VK_LEFT);
    EXPECT_EQ(fallingPiece->x, 3);

    SendMessageA(mainWindow, WM_KILLFOCUS, 0, 0);
    EXPECT_TRUE(gamePaused);
    tick(10);
    EXPECT_EQ(fallingPiece->y, 0);
    SendMessageA(mainWindow, WM_SETFOCUS, 0, 0);
    EXPECT_FALSE(gamePaused) << "the focus brings back the state before";

    key(VK_PAUSE);
    SendMessageA(mainWindow, WM_KILLFOCUS, 0, 0);
    SendMessageA(mainWindow, WM_SETFOCUS, 0, 0);
    EXPECT_TRUE(gamePaused) << "paused before the loss, paused after";
    key(VK_PAUSE);

    // Insert during play: the results window takes the focus, play stops.
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

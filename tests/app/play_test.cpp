#include "app/commands.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "draw/board_drawing.h"
#include "tests/support/forced_pieces.h"

namespace {

constexpr COLORREF kGray = RGB(128, 128, 128);
const COLORREF kSquare = tileBodyColour(0xA020A0), kBar = tileBodyColour(0x40F020);

struct Play : AppTest {};

std::tuple<int, int, int> where() { return {fallingPiece->x, fallingPiece->y, fallingPiece->rotation}; }

TEST_F(Play, KeysMoveTurnStepAndDropOnlyWhereThePieceFits)
{
    struct Case {
        const char* name;
        int slot;
        std::vector<WPARAM> keys;
        std::tuple<int, int, int> place;
        std::vector<std::pair<int, int>> painted, gray;
    };
    const Case cases[] = {
        {"no game yet", -1, {VK_LEFT, VK_RIGHT, VK_UP, VK_SPACE, VK_RETURN, VK_DOWN}, {4, 0, 0}, {}, {}},
        {"left", 4, {VK_LEFT}, {3, 0, 0}, {{3, 0}, {4, 1}}, {{5, 0}}},
        {"right to the wall", 4, {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT}, {6, 0, 0}, {{7, 1}}, {{5, 0}}},
        {"the square never turns", 4, {VK_UP, VK_SPACE}, {4, 0, 0}, {}, {}},
        {"Enter steps one row", 4, {VK_RETURN}, {4, 1, 0}, {{4, 2}}, {{4, 0}}},
        {"down drops and the next piece enters", 4, {VK_DOWN}, {4, 0, 0}, {{4, 15}, {5, 14}}, {}},
        {"no room to turn in row 0", 1, {VK_UP, VK_SPACE}, {6, 0, 0}, {}, {}},
        {"up turns right", 1, {VK_RETURN, VK_UP}, {6, 1, 1}, {{5, 0}, {5, 3}}, {{7, 1}}},
        {"space turns left", 1, {VK_RETURN, VK_UP, VK_SPACE}, {6, 1, 0}, {{7, 1}}, {{5, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gameRunning = false;
        forceSlot(*pieceSet, c.slot < 0 ? 4 : c.slot);
        if (c.slot < 0)
            fallingPiece->spawn();
        else
            startGame();
        for (WPARAM vk : c.keys)
            key(vk);
        EXPECT_EQ(where(), c.place);
        for (auto [col, row] : c.painted)
            EXPECT_EQ(cellCentre(col, row), c.slot == 1 ? kBar : kSquare) << col << ", " << row;
        for (auto [col, row] : c.gray)
            EXPECT_EQ(cellCentre(col, row), kGray) << col << ", " << row;
    }
    gameRunning = false;
    forceSlot(*pieceSet, 4);
    startGame();
    key(VK_DOWN);
    while (fallingPiece->canMoveDown())
        key(VK_RETURN);
    key(VK_RETURN);
    EXPECT_EQ(fallingPiece->y, 12) << "Enter stops on the stack without settling";
    key(VK_DOWN);
    EXPECT_NE(well->cellAt(4, 13), nullptr) << "Down settles at once, even without moving";
}

TEST_F(Play, GravityStepsEveryEighthTickAndCountsAgainForANewPieceOrSpeed)
{
    forceSlot(*pieceSet, 4);
    startGame();
    auto rowAfter = [](int ticks) { return tick(ticks), fallingPiece->y; };
    EXPECT_EQ(rowAfter(7), 0);
    EXPECT_EQ(rowAfter(1), 1);
    EXPECT_EQ(cellCentre(4, 2), kSquare);
    tick(5);
    key(VK_DOWN);  // a new piece: the count starts again
    EXPECT_EQ(rowAfter(7), 0);
    EXPECT_EQ(rowAfter(1), 1);
    tick(5);
    setSpeed(50);  // a step every 50 ticks, counted from now
    EXPECT_EQ(rowAfter(49), 1);
    EXPECT_EQ(rowAfter(1), 2);
    setSpeed(92);
    while (fallingPiece->canMoveDown())
        key(VK_RETURN);
    tick(8);
    EXPECT_NE(well->cellAt(4, 13), nullptr) << "a piece that cannot fall settles at the step";
}

TEST_F(Play, PauseKeyFocusAndTheResultsWindowStopThePiece)
{
    key(VK_PAUSE);
    EXPECT_FALSE(gamePaused) << "no game: the key unpauses";
    forceSlot(*pieceSet, 4);
    startGame();
    key(VK_PAUSE);
    key(VK_LEFT);
    tick(30);
    EXPECT_EQ(std::make_tuple(where(), fallElapsedMs), std::make_tuple(std::make_tuple(4, 0, 0), 0));
    key(VK_PAUSE);
    key(VK_LEFT);
    EXPECT_EQ(fallingPiece->x, 3);
    for (bool pausedBefore : {false, true}) {
        gamePaused = pausedBefore;
        SendMessageA(mainWindow, WM_KILLFOCUS, 0, 0);
        tick(10);
        EXPECT_EQ(fallingPiece->y, 0);
        SendMessageA(mainWindow, WM_SETFOCUS, 0, 0);
        EXPECT_EQ(gamePaused, pausedBefore) << "the focus brings back the state from before";
    }
    gamePaused = false;
    key(VK_INSERT);  // posted: the results window shows when it is dispatched
    EXPECT_FALSE(IsWindowVisible(resultsWindow));
    pumpMessages();
    EXPECT_TRUE(IsWindowVisible(resultsWindow) && gamePaused) << "it takes the focus";
    SendMessageA(resultsWindow, WM_KEYDOWN, 'A', 0);
    EXPECT_FALSE(IsWindowVisible(resultsWindow)) << "any key hides it";
    SetActiveWindow(mainWindow);
    SetFocus(mainWindow);
    pumpMessages();
    EXPECT_FALSE(gamePaused);
}

}  // namespace

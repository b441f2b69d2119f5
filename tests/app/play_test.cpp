#include <map>

#include "app/commands.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "draw/board_drawing.h"
#include "tests/support/forced_pieces.h"

namespace {

struct Play : AppTest {};

std::tuple<int, int, int> where() { return {fallingPiece->x, fallingPiece->y, fallingPiece->rotation}; }

TEST_F(Play, KeysMoveTurnStepAndDropOnlyWhereThePieceFits)
{
    struct Case {
        const char* name;
        int slot;           // -1: the square, with no game running
        std::string keys;   // Left, Right, Up, space, Enter, Down, Pause
        std::tuple<int, int, int> place;
        std::vector<std::pair<int, int>> painted, gray;
    };
    const std::string resting = "D" + std::string(14, 'E');  // a square on a square
    const Case cases[] = {
        {"no game yet", -1, "LRU EDP", {4, 0, 0}, {}, {}},
        {"left", 4, "L", {3, 0, 0}, {{3, 0}, {4, 1}}, {{5, 0}}},
        {"right to the wall", 4, "RRRR", {6, 0, 0}, {{7, 1}}, {{5, 0}}},
        {"the square never turns", 4, "U ", {4, 0, 0}, {}, {}},
        {"Enter steps one row", 4, "E", {4, 1, 0}, {{4, 2}}, {{4, 0}}},
        {"Down drops, the next piece enters", 4, "D", {4, 0, 0}, {{4, 15}, {5, 14}}, {}},
        {"Enter stops on the stack", 4, resting, {4, 12, 0}, {{4, 12}}, {}},
        {"Down settles a piece that cannot move", 4, resting + "D", {4, 0, 0}, {{4, 13}}, {}},
        {"no room to turn in row 0", 1, "U ", {6, 0, 0}, {}, {}},
        {"Up turns right", 1, "EU", {6, 1, 1}, {{5, 0}, {5, 3}}, {{7, 1}}},
        {"space turns left", 1, "EU ", {6, 1, 0}, {{7, 1}}, {{5, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gameRunning = false;
        forceSlot(*pieceSet, c.slot < 0 ? 4 : c.slot);
        c.slot < 0 ? fallingPiece->spawn() : startGame();
        for (char k : c.keys)
            key(std::map<char, WPARAM>{{'L', VK_LEFT}, {'R', VK_RIGHT}, {'U', VK_UP}, {' ', VK_SPACE}, {'E', VK_RETURN},
                                       {'D', VK_DOWN}, {'P', VK_PAUSE}}[k]);
        EXPECT_EQ(where(), c.place);
        for (auto [col, row] : c.painted)
            EXPECT_EQ(cellCentre(col, row), tileBodyColour(c.slot == 1 ? 0x40F020 : 0xA020A0)) << col << ", " << row;
        for (auto [col, row] : c.gray)
            EXPECT_EQ(cellCentre(col, row), RGB(128, 128, 128)) << col << ", " << row;
        EXPECT_FALSE(gamePaused);
    }
}

TEST_F(Play, GravityStepsEveryEighthTickAndCountsAgainForANewPieceOrSpeed)
{
    forceSlot(*pieceSet, 4);
    startGame();
    auto rowAfter = [](int ticks) { return tick(ticks), fallingPiece->y; };
    EXPECT_EQ(rowAfter(7), 0);
    EXPECT_EQ(rowAfter(1), 1);
    EXPECT_EQ(cellCentre(4, 2), tileBodyColour(0xA020A0));
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

#include <map>

#include "app/commands.h"
#include "app_fixture.h"
#include "core/game_state.h"
#include "draw/board_drawing.h"
#include "tests/support/forced_pieces.h"

namespace {

struct Play : AppTest {};

std::tuple<int, int, int> where() { return {fallingPiece->x, fallingPiece->y, fallingPiece->rotation}; }
void newSquare() { gameRunning = false, forceSlot(*pieceSet, 4), startGame(); }

TEST_F(Play, KeysMoveTurnStepAndDropOnlyWhereThePieceFits)
{
    const std::string resting = "D" + std::string(14, 'E');  // a square on a square
    // name, piece's slot (-1: the square, with no game running), keys (Left, Right, Up, space, Enter,
    // Down, Pause), place after, cells painted with the piece, cells gray
    const std::tuple<const char*, int, std::string, std::tuple<int, int, int>, std::vector<std::pair<int, int>>,
                     std::vector<std::pair<int, int>>> cases[] = {
        {"no game yet", -1, "LRU EDP", {4, 0, 0}, {}, {}},
        {"left", 4, "L", {3, 0, 0}, {{3, 0}, {4, 1}}, {{5, 0}}},
        {"right to the wall", 4, "RRRR", {6, 0, 0}, {{7, 1}}, {{5, 0}}},
        {"the square never turns", 4, "U ", {4, 0, 0}, {}, {}},
        {"Enter steps one row", 4, "E", {4, 1, 0}, {{4, 2}}, {{4, 0}}},
        {"Down drops, the next piece enters", 4, "D", {4, 0, 0}, {{4, 15}, {5, 14}}, {}},
        {"Enter stops on the stack", 4, resting, {4, 12, 0}, {{4, 12}}, {}},
        {"Down settles a piece that cannot move", 4, resting + "D", {4, 0, 0}, {{4, 13}}, {}},
        {"Up turns right", 1, "EU", {6, 1, 1}, {{5, 0}, {5, 3}}, {{7, 1}}},
        {"space turns left", 1, "EU ", {6, 1, 0}, {{7, 1}}, {{5, 3}}},
    };
    const std::map<char, WPARAM> keys = {{'L', VK_LEFT}, {'R', VK_RIGHT}, {'U', VK_UP}, {' ', VK_SPACE},
                                         {'E', VK_RETURN}, {'D', VK_DOWN}, {'P', VK_PAUSE}};
    for (const auto& [name, slot, typed, place, painted, gray] : cases) {
        gameRunning = false;
        forceSlot(*pieceSet, slot < 0 ? 4 : slot);
        slot < 0 ? fallingPiece->spawn() : startGame();
        for (char k : typed)
            key(keys.at(k));
        EXPECT_EQ(where(), place) << name;
        for (auto [col, row] : painted)
            EXPECT_EQ(cellCentre(col, row), tileBodyColour(slot == 1 ? 0x40F020 : 0xA020A0)) << name << ": " << col << ", " << row;
        for (auto [col, row] : gray)
            EXPECT_EQ(cellCentre(col, row), RGB(128, 128, 128)) << name << ": " << col << ", " << row;
        EXPECT_FALSE(gamePaused) << name;
    }
}

TEST_F(Play, GravityStepsEveryEighthTickAndCountsAgainForANewPieceOrSpeed)
{
    newSquare();
    auto rowAfter = [](int ticks) { return tick(ticks), fallingPiece->y; };
    EXPECT_EQ((std::pair<int, int>{rowAfter(7), rowAfter(1)}), std::make_pair(0, 1));
    EXPECT_EQ(cellCentre(4, 2), tileBodyColour(0xA020A0));
    tick(5);
    key(VK_DOWN);  // a new piece: the count starts again
    EXPECT_EQ((std::pair<int, int>{rowAfter(7), rowAfter(1)}), std::make_pair(0, 1));
    tick(5);
    setSpeed(50);  // a step every 50 ticks, counted from now
    EXPECT_EQ((std::pair<int, int>{rowAfter(49), rowAfter(1)}), std::make_pair(1, 2));
    setSpeed(92);
    while (fallingPiece->canMoveDown())
        key(VK_RETURN);
    tick(8);
    EXPECT_NE(well->cellAt(4, 13), nullptr) << "a piece that cannot fall settles at the step";
}

TEST_F(Play, PauseKeyAndFocusStopThePiece)
{
    newSquare();
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
        SendMessageA(mainWindow, WM_SETFOCUS, 0, 0);
        EXPECT_EQ(std::make_pair(fallingPiece->y, gamePaused), std::make_pair(0, pausedBefore)) << "the state from before";
    }
}

}  // namespace

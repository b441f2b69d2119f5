#include "core/falling_piece.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "shell_recorder.h"
#include "tests/support/forced_pieces.h"

namespace {

using Cells = std::set<std::pair<int, int>>;
using Events = std::vector<std::string>;

struct Game {
    ShellRecorder shell;
    BoardGeometry geometry{kBoardColumns, kBoardRows, kCellSize, kGridLineWidth};
    Well well{&geometry};
    PieceSet set{kPieceSetCapacity};
    FallingPiece piece{&well, &set};

    Game() { set.registerStandardPieces(); }
    void spawn(int id, int x = -1, int y = 0, int rotation = 0)  // by id; then placed, when x is given
    {
        const int ids[] = {1, 2, 3, 131, 4, 5, 133};  // slot order
        forceSlot(set, static_cast<int>(std::find(ids, ids + 7, id) - ids));
        piece.spawn();
        if (x >= 0)
            std::tie(piece.x, piece.y, piece.rotation) = std::tie(x, y, rotation);
    }
    Cells cells()
    {
        Cells out;
        walkCells(*piece.shape, piece.x, piece.y, piece.rotation, [&](int c, int r) { return out.insert({c, r}), true; });
        return out;
    }
    void fill(int row, std::initializer_list<int> gaps = {}, Cells cells = {})  // a row but its gaps, and cells
    {
        for (int c = 0; row >= 0 && c < kBoardColumns; ++c)
            well.setCell(c, row, std::count(gaps.begin(), gaps.end(), c) ? nullptr : set.slots[0]);
        for (auto [c, r] : cells)
            well.setCell(c, r, set.slots[0]);
    }
};

TEST(FallingPiece, EveryPieceEntersWithItsLeftmostCellInTheMiddleColumn)
{
    const std::tuple<int, int, int, Cells, Colour> cases[] = {
        {1, 5, 0, {{5, 0}, {4, 1}, {5, 1}, {6, 1}}, 0x2040F0},   {2, 6, 0, {{4, 0}, {5, 0}, {6, 0}, {7, 0}}, 0x40F020},
        {3, 4, 1, {{5, 0}, {4, 1}, {5, 1}, {4, 2}}, 0xF02040},   {131, 4, 1, {{4, 0}, {4, 1}, {5, 1}, {5, 2}}, 0xF02040},
        {4, 4, 0, {{4, 0}, {5, 0}, {4, 1}, {5, 1}}, 0xA020A0},   {5, 4, 2, {{4, 0}, {4, 1}, {4, 2}, {5, 2}}, 0x40D0E0},
        {133, 5, 2, {{5, 0}, {5, 1}, {5, 2}, {4, 2}}, 0x40D0E0},
    };
    for (const auto& [id, x, y, cells, colour] : cases) {
        Game g;
        for (int i = 0; i < 7; ++i)  // left turned by earlier pieces of each kind
            g.set.slots[i]->rotation = g.set.slots[i]->rotatable ? 1 : 0;
        std::tie(g.piece.rotation, g.piece.settled, fallElapsedMs) = std::make_tuple(2, true, 70);
        g.spawn(id);
        ASSERT_EQ(g.piece.shape->id, id);
        EXPECT_EQ(std::make_tuple(g.piece.x, g.piece.y, g.piece.prevX, g.piece.prevY, g.piece.prevRotation, g.piece.rotation),
                  std::make_tuple(x, y, x, y, 0, id == 4 ? 2 : 0)) << id << " (only the square keeps its counter)";
        EXPECT_EQ(g.cells(), cells) << id;
        EXPECT_EQ(g.piece.shape->colour, colour) << id;
        EXPECT_FALSE(g.piece.settled || gameEnded || fallElapsedMs) << id;
    }
}

TEST(FallingPiece, TestsAnswerWithoutMovingAnything)
{
    const std::tuple<const char*, int, int, int, int, Cells, std::vector<bool>> cases[] = {
        // name, piece, x, y, rotation, blocked cells; left, right, down, turn left, turn right
        {"bar entering", 2, 6, 0, 0, {}, {true, false, true, false, false}},
        {"bar one row lower turns right only", 2, 6, 1, 0, {}, {true, false, true, false, true}},
        {"T entering cannot turn", 1, 5, 0, 0, {}, {true, true, true, false, false}},
        {"T blocked on its right turn", 1, 5, 5, 0, {{4, 4}}, {true, true, true, true, false}},
        {"T blocked on its left turn", 1, 5, 5, 0, {{6, 4}}, {true, true, true, false, true}},
        {"square never turns", 4, 4, 5, 0, {}, {true, true, true, false, false}},
        {"square on the floor", 4, 4, 14, 0, {}, {true, true, false, false, false}},
        {"square on a cell", 4, 4, 10, 0, {{5, 12}}, {true, true, false, false, false}},
        {"square between wall and cell", 4, 0, 5, 0, {{2, 6}}, {false, false, true, false, false}},
        {"upright bar at the left wall", 2, 1, 5, 1, {}, {false, true, true, false, false}},
    };
    for (const auto& [name, id, x, y, rotation, blocked, expected] : cases) {
        Game g;
        g.spawn(id, x, y, rotation);
        g.fill(-1, {}, blocked);
        auto answers = [&] {
            return std::vector<bool>{g.piece.canMoveLeft(), g.piece.canMoveRight(), g.piece.canMoveDown(),
                                     g.piece.canRotateLeft(), g.piece.canRotateRight()};
        };
        EXPECT_EQ(answers(), expected) << name;
        EXPECT_EQ(std::make_tuple(g.piece.x, g.piece.y, g.piece.rotation), std::make_tuple(x, y, rotation)) << name;
        g.piece.settled = true;
        EXPECT_EQ(answers(), std::vector<bool>(5, false)) << name << ": a settled piece answers no";
    }
    Game g;
    g.spawn(1);
    g.piece.rotateLeft();
    const int afterLeft = g.piece.rotation;
    g.piece.rotateRight();
    EXPECT_EQ(std::make_pair(afterLeft, g.piece.rotation), std::make_pair(3, 0)) << "the counter wraps both ways";
    g.spawn(4, 4, 0, 2);
    g.piece.rotateRight(), g.piece.rotateLeft();
    EXPECT_EQ(std::make_pair(g.piece.rotation, g.piece.shape->rotation), std::make_pair(2, 0)) << "the square never turns";
}

TEST(FallingPiece, SettlingScoresTheCompletedRowsAfterTheNextPieceIsIn)
{
    for (auto [rows, text] : {std::pair{0, "1.0"}, {1, "2.0"}, {2, "4.0"}, {3, "5.5"}, {4, "7.0"}}) {
        Game g;
        score = 1.0;
        for (int r = 16 - rows; r < 16; ++r)
            g.fill(r, {0});
        g.spawn(2, 1, 13, 1);  // upright in column 0, rows 12 to 15
        ShellRecorder::events.clear();
        EXPECT_TRUE(g.piece.settle()) << rows;
        EXPECT_STREQ(scoreText, text);
        EXPECT_EQ(ShellRecorder::events, (rows ? Events{"redraw", "repaint", "strip", "repaint"} : Events{"strip", "repaint"}));
        for (int r = 0; r < 16; ++r)
            EXPECT_EQ(g.well.cellAt(0, r) != nullptr, r >= 12 + rows) << rows << " rows, row " << r;
        EXPECT_FALSE(g.piece.settled) << "the next piece is in play";
    }
}

TEST(FallingPiece, TheGameEndsBeforeTheLastPointsCount)
{
    Game g;
    score = 2.0;
    g.fill(15, {0, 1});  // the square completes it
    g.fill(0, {0, 1, 2, 3});  // where pieces enter
    g.spawn(4, 0, 14);
    ShellRecorder::events.clear();
    EXPECT_TRUE(g.piece.settle() && gameEnded);
    EXPECT_DOUBLE_EQ(ShellRecorder::scoreAtGameOver, 2.0);
    EXPECT_STREQ(scoreText, "3.0");
    EXPECT_EQ(ShellRecorder::events, (Events{"redraw", "repaint", "gameover", "strip", "repaint"}));
}

// Switching the mirrors off frees them while the finished game's cells and
// the controller still point at them; under AddressSanitizer this shows the
// next game follows none of those pointers.
TEST(FallingPiece, TheNextGameFollowsNoPointerToAFreedMirror)
{
    Game g;
    g.fill(10, {}, {{5, 0}});  // piece 133 cannot come in
    g.spawn(131, 4, 7);
    forceSlot(g.set, 6);
    ASSERT_TRUE(g.piece.settle());
    ASSERT_TRUE(gameEnded && g.piece.shape->id == 133);
    g.set.removeExtendedPieces();
    gameEnded = false;
    g.well.markAllRows(), g.well.removeMarkedRows();
    forceDraw(g.set, 4);  // now the square
    g.piece.spawn();
    while (g.piece.canMoveDown())
        ++g.piece.y;
    EXPECT_TRUE(g.piece.settle());
    EXPECT_EQ(g.well.cellAt(4, 15)->id, 4);
}

TEST(GameState, StartValues)
{
    gameRunning = gamePaused = gameEnded = true;
    score = 7.5;
    scoreText[0] = '7';
    fallDelayMs = fallElapsedMs = 30;
    resetGameState();
    EXPECT_FALSE(gameRunning || gamePaused || gameEnded || score != 0.0 || fallElapsedMs);
    EXPECT_EQ(std::string(scoreText) + " " + std::to_string(fallDelayMs), "0.0 80");
}

const PieceShape kRed(1), kBlue(2);

TEST(Well, RemovingMarkedRowsLetsTheRowsAboveSink)
{
    ShellRecorder shell;
    BoardGeometry g(8, 16, 20, 1);
    Well well(&g);
    // Row r is tagged by a cell in column r % 8, red or blue, so it can be followed.
    for (int r = 0; r < 16; ++r)
        well.setCell(r % 8, r, r % 2 ? &kRed : &kBlue);
    auto holds = [&](int row, int oldRow) {
        int cells = 0;
        for (int c = 0; c < 8; ++c)
            cells += well.cellAt(c, row) != nullptr;
        return oldRow < 0 ? cells == 0 : cells == 1 && well.cellAt(oldRow % 8, row) == (oldRow % 2 ? &kRed : &kBlue);
    };
    well.markRow(12);
    well.markRow(14);
    well.removeMarkedRows();
    const int was[16] = {-1, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15};
    for (int r = 0; r < 16; ++r) {
        EXPECT_TRUE(holds(r, was[r])) << "row " << r;
        EXPECT_EQ(well.rowMarks[r], 0);
    }
    EXPECT_EQ(shell.events, (std::vector<std::string>{"redraw", "repaint"}));
    shell.events.clear();
    well.removeMarkedRows();
    EXPECT_TRUE(shell.events.empty()) << "nothing marked: nothing moves or repaints";
    well.markAllRows();
    well.removeMarkedRows();
    for (int r = 0; r < 16; ++r)
        EXPECT_TRUE(holds(r, -1)) << "row " << r;
}

}  // namespace

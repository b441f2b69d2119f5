#include "core/falling_piece.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "shell_recorder.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;

int nextRemainder = 1;
int chosenRemainder() { return nextRemainder; }

// Remainder that picks each standard piece while all seven are in the set.
int remainderFor(int id)
{
    const int ids[] = {1, 2, 3, 131, 4, 5, 133};
    for (int i = 0; i < 7; ++i)
        if (ids[i] == id)
            return i + 1;
    return 1;
}

struct Game {
    ShellRecorder shell;
    BoardGeometry geometry{8, 16, 20, 1};
    Well well{&geometry};
    PieceSet set{10};
    FallingPiece piece{&well, &set};

    Game()
    {
        set.registerStandardPieces();
        set.random = chosenRemainder;
    }

    void spawn(int id)
    {
        nextRemainder = remainderFor(id);
        piece.spawn(set);
    }

    // Board cells the piece covers where it stands now.
    Cells cells()
    {
        Cells out;
        PieceShape& s = *piece.shape;
        if (s.rotatable)
            s.rotation = piece.rotation & 3;
        const Point pivot = s.pivotCorrection();
        s.restartCells();
        do {
            const Point c = s.currentCell();
            out.emplace_back(piece.x + pivot.x + c.x, piece.y + pivot.y + c.y);
        } while (s.nextCell());
        std::sort(out.begin(), out.end());
        return out;
    }

    void fillRowExcept(int row, std::initializer_list<int> gaps)
    {
        for (int c = 0; c < 8; ++c)
            if (std::find(gaps.begin(), gaps.end(), c) == gaps.end())
                well.setCell(c, row, set.slots[0]);
    }
};

Cells sorted(Cells c)
{
    std::sort(c.begin(), c.end());
    return c;
}

TEST(FallingPiece, EveryPieceEntersWithItsLeftmostCellInColumnFour)
{
    struct Case {
        int id, x, y;
        Cells cells;
    };
    const Case cases[] = {
        {1, 5, 0, {{5, 0}, {4, 1}, {5, 1}, {6, 1}}},
        {2, 6, 0, {{4, 0}, {5, 0}, {6, 0}, {7, 0}}},
        {3, 4, 1, {{5, 0}, {4, 1}, {5, 1}, {4, 2}}},
        {131, 4, 1, {{4, 0}, {4, 1}, {5, 1}, {5, 2}}},
        {4, 4, 0, {{4, 0}, {5, 0}, {4, 1}, {5, 1}}},
        {5, 4, 2, {{4, 0}, {4, 1}, {4, 2}, {5, 2}}},
        {133, 5, 2, {{5, 0}, {5, 1}, {5, 2}, {4, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        Game g;
        g.piece.rotation = 2;  // left over from an earlier piece
        fallElapsedMs = 70;
        g.spawn(c.id);
        ASSERT_EQ(g.piece.shape->id, c.id);
        EXPECT_EQ(g.piece.x, c.x);
        EXPECT_EQ(g.piece.y, c.y);
        EXPECT_EQ(g.piece.prevX, c.x);
        EXPECT_EQ(g.piece.prevY, c.y);
        EXPECT_EQ(g.piece.prevRotation, 0);
        EXPECT_EQ(g.piece.rotation, c.id == 4 ? 2 : 0);  // the square keeps its counter
        EXPECT_FALSE(g.piece.settled);
        EXPECT_EQ(fallElapsedMs, 0);
        EXPECT_EQ(g.cells(), sorted(c.cells));
        EXPECT_FALSE(gameEnded);
    }
}

TEST(FallingPiece, TheBarMovesAndTurnsWithinTheBoard)
{
    Game g;
    g.spawn(2);
    EXPECT_FALSE(g.piece.canMoveRight());
    int steps = 0;
    while (g.piece.canMoveLeft()) {
        --g.piece.x;
        ++steps;
    }
    EXPECT_EQ(steps, 4);
    EXPECT_EQ(g.piece.x, 2);
    EXPECT_EQ(g.cells(), (Cells{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));

    // Upright it would reach row -1.
    g.piece.x = 6;
    EXPECT_FALSE(g.piece.canRotateRight());
    EXPECT_FALSE(g.piece.canRotateLeft());
    g.piece.y = 1;
    ASSERT_TRUE(g.piece.canRotateRight());
    // The test alone changes nothing.
    EXPECT_EQ(g.piece.rotation, 0);
    EXPECT_EQ(g.piece.x, 6);
    EXPECT_EQ(g.piece.y, 1);
    g.piece.rotateRight();
    EXPECT_EQ(g.cells(), (Cells{{5, 0}, {5, 1}, {5, 2}, {5, 3}}));
}

TEST(FallingPiece, TurningRules)
{
    Game g;
    g.spawn(1);
    EXPECT_FALSE(g.piece.canRotateLeft());
    EXPECT_FALSE(g.piece.canRotateRight());

    g.piece.y = 5;
    g.piece.rotateLeft();
    EXPECT_EQ(g.piece.rotation, 3);
    g.piece.rotateRight();
    EXPECT_EQ(g.piece.rotation, 0);
    g.piece.rotation = 3;
    g.piece.rotateRight();
    EXPECT_EQ(g.piece.rotation, 0);

    g.piece.rotation = 2;
    g.spawn(4);
    g.piece.y = 5;
    const int counter = g.piece.rotation;
    EXPECT_FALSE(g.piece.canRotateLeft());
    EXPECT_FALSE(g.piece.canRotateRight());
    g.piece.rotateLeft();
    g.piece.rotateRight();
    g.piece.rotateRight();
    EXPECT_EQ(g.piece.rotation, counter);
    EXPECT_EQ(g.piece.shape->rotation, 0);
}

TEST(FallingPiece, DownwardTestsStopOnTheFloorAndOnCells)
{
    Game g;
    g.spawn(4);
    g.piece.y = 14;  // rows 14 and 15: on the floor
    EXPECT_FALSE(g.piece.canMoveDown());
    g.piece.y = 10;
    EXPECT_TRUE(g.piece.canMoveDown());
    g.well.setCell(5, 12, g.set.slots[1]);
    EXPECT_FALSE(g.piece.canMoveDown());
    EXPECT_EQ(g.piece.x, 4);
    EXPECT_EQ(g.piece.y, 10);
    EXPECT_EQ(g.piece.rotation, 0);

    // No shape yet: everything answers false.
    FallingPiece fresh(&g.well, &g.set);
    EXPECT_FALSE(fresh.isValid());
    EXPECT_FALSE(fresh.canMoveDown());
    EXPECT_FALSE(fresh.canRotateLeft());
    EXPECT_FALSE(fresh.settle());
}

TEST(FallingPiece, SettlingScoresCompletedRowsAfterTheNextPiece)
{
    struct Case {
        int rows;
        double points;
    };
    for (const Case& c : {Case{0, 0.0}, Case{1, 1.0}, Case{2, 3.0}, Case{3, 4.5}, Case{4, 6.0}}) {
        SCOPED_TRACE(c.rows);
        Game g;
        score = 1.0;
        // An upright bar in column 0 from row 12 down; rows 15-c.rows+1..15
        // lack only column 0.
        for (int r = 16 - c.rows; r < 16; ++r)
            g.fillRowExcept(r, {0});
        g.spawn(2);
        g.piece.rotation = 1;
        g.piece.x = 1;
        g.piece.y = 13;
        ASSERT_EQ(g.cells(), (Cells{{0, 12}, {0, 13}, {0, 14}, {0, 15}}));
        ASSERT_TRUE(g.piece.fits(g.piece.x, g.piece.y, g.piece.rotation));
        ASSERT_FALSE(g.piece.canMoveDown());
        g.shell.events.clear();

        EXPECT_TRUE(g.piece.settle());
        EXPECT_DOUBLE_EQ(score, 1.0 + c.points);
        char expected[100];
        std::snprintf(expected, sizeof expected, "%.1f", 1.0 + c.points);
        EXPECT_STREQ(scoreText, expected);
        std::vector<std::string> events;
        if (c.rows > 0)
            events = {"redraw", "repaint"};
        events.push_back("strip");
        events.push_back("repaint");
        EXPECT_EQ(g.shell.events, events);
        // The completed rows are gone; what stood above sank.
        for (int r = 16 - c.rows; r < 16; ++r)
            EXPECT_FALSE(g.well.isRowFull(r));
        const int barLeft = 4 - c.rows;  // bar cells left standing in column 0
        for (int r = 0; r < 16; ++r)
            EXPECT_EQ(g.well.cellAt(0, r) != nullptr, r >= 16 - barLeft) << r;
        EXPECT_FALSE(g.piece.settled);  // the next piece is in play
    }
}

TEST(FallingPiece, TwoRowsAtOnceGiveThreePoints)
{
    Game g;
    score = 1.0;
    g.fillRowExcept(14, {6, 7});
    g.fillRowExcept(15, {6, 7});
    g.spawn(4);
    g.piece.x = 6;
    g.piece.y = 14;
    EXPECT_TRUE(g.piece.settle());
    EXPECT_STREQ(scoreText, "4.0");
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 8; ++c)
            ASSERT_EQ(g.well.cellAt(c, r), nullptr);
}

TEST(FallingPiece, GameOverFlowSeesTheScoreWithoutTheLastPoints)
{
    Game g;
    score = 2.0;
    // Row 15 lacks column 0; rows 0 and 1 are blocked where pieces enter,
    // so the piece after the settle cannot come in.
    g.fillRowExcept(15, {0});
    g.fillRowExcept(0, {0, 1, 2, 3});
    g.fillRowExcept(1, {0, 1, 2, 3});
    g.well.setCell(1, 15, nullptr);
    g.spawn(4);
    g.piece.x = 0;
    g.piece.y = 14;  // fills the gap in row 15
    ASSERT_TRUE(g.piece.fits(0, 14, 0));
    g.shell.events.clear();

    EXPECT_TRUE(g.piece.settle());
    EXPECT_TRUE(gameEnded);
    EXPECT_DOUBLE_EQ(g.shell.scoreAtGameOver, 2.0);
    EXPECT_DOUBLE_EQ(score, 3.0);
    EXPECT_STREQ(scoreText, "3.0");
    EXPECT_EQ(g.shell.events, (std::vector<std::string>{"redraw", "repaint", "gameover", "strip", "repaint"}));
    EXPECT_FALSE(g.piece.settled);

    // New game: the emptied board always has room.
    gameEnded = false;
    g.well.markAllRows();
    g.well.removeMarkedRows();
    for (int id : {1, 2, 3, 131, 4, 5, 133}) {
        g.spawn(id);
        EXPECT_FALSE(gameEnded) << id;
    }
}

TEST(FallingPiece, APieceOffTheBoardEndsTheGameWithoutScoring)
{
    Game g;
    g.fillRowExcept(15, {});
    g.well.setCell(3, 15, nullptr);
    g.spawn(5);
    g.piece.x = 3;
    g.piece.y = 16;  // two cells on the board, the rest below it
    g.shell.events.clear();
    EXPECT_FALSE(g.piece.settle());
    EXPECT_TRUE(gameEnded);
    EXPECT_TRUE(g.piece.settled);
    EXPECT_EQ(g.shell.events, (std::vector<std::string>{"gameover"}));
    EXPECT_EQ(score, 0.0);
    EXPECT_STREQ(scoreText, "0.0");
    EXPECT_NE(g.well.rowMarks[15], 0);  // marked, not removed
    EXPECT_TRUE(g.well.isRowFull(15));

    // Settled: every test answers false, a second settle does nothing.
    EXPECT_FALSE(g.piece.canMoveLeft());
    EXPECT_FALSE(g.piece.canRotateRight());
    EXPECT_FALSE(g.piece.settle());
}

TEST(FallingPiece, AWholeGamePlayedByCallsEndsWhenAPieceHasNoRoom)
{
    Game g;
    int gameOvers = 0;
    ShellRecorder::active()->onGameOver = [] { gameRunning = false; };
    std::srand(4);
    g.set.random = std::rand;
    gameRunning = true;
    g.piece.spawn(g.set);
    int pieces = 0;
    double lastScore = 0.0;
    while (!gameEnded && pieces < 500) {
        // A few random moves and turns, then the drop.
        for (int i = std::rand() % 6; i > 0; --i) {
            switch (std::rand() % 3) {
            case 0: if (g.piece.canMoveLeft()) --g.piece.x; break;
            case 1: if (g.piece.canMoveRight()) ++g.piece.x; break;
            default: if (g.piece.canRotateRight()) g.piece.rotateRight(); break;
            }
        }
        while (g.piece.canMoveDown())
            ++g.piece.y;
        g.piece.settle();
        ++pieces;
        EXPECT_GE(score, lastScore);
        lastScore = score;
        for (int r = 0; r < 16 && !gameEnded; ++r)
            ASSERT_FALSE(g.well.isRowFull(r)) << "completed row " << r << " left after piece " << pieces;
    }
    for (const std::string& e : g.shell.events)
        gameOvers += e == "gameover";
    EXPECT_TRUE(gameEnded);
    EXPECT_FALSE(gameRunning);
    EXPECT_EQ(gameOvers, 1);
    EXPECT_GT(pieces, 5);
    EXPECT_LT(pieces, 500);
    // The piece that had no room is at its entry place and overlaps the stack.
    EXPECT_FALSE(g.piece.fits(g.piece.x, g.piece.y, g.piece.rotation));
}

TEST(FallingPiece, AnEmptySetLeavesThePieceAsItWas)
{
    Game g;
    g.spawn(2);
    g.piece.x = 3;
    g.set.removeExtendedPieces();
    for (int id : {1, 2, 3, 4, 5})
        g.set.removeById(id);
    ASSERT_EQ(g.set.count, 0);
    g.piece.spawn(g.set);
    EXPECT_EQ(g.piece.x, 3);
    EXPECT_NE(g.piece.shape, nullptr);
}

// The mirror pieces are freed when switched off, while the finished game's
// cells and the controller still point at them. Under AddressSanitizer this
// proves New game follows none of those pointers.
TEST(FallingPiece, SwitchingMirrorsOffAfterAGameLeavesNoPointerFollowed)
{
    Game g;
    ShellRecorder::active()->onGameOver = [] { gameRunning = false; };
    g.shell.events.clear();
    for (int c = 0; c < 8; ++c)
        g.well.setCell(c, 10, g.set.slots[3]);  // cells of piece 131
    g.spawn(131);
    g.piece.y = 5;
    // The next piece (133) cannot come in: column 5 is blocked.
    g.well.setCell(5, 0, g.set.slots[3]);
    gameRunning = true;
    nextRemainder = remainderFor(133);
    g.piece.y = 8;
    ASSERT_TRUE(g.piece.settle());
    ASSERT_TRUE(gameEnded);
    ASSERT_EQ(g.piece.shape->id, 133);
    ASSERT_FALSE(gameRunning);

    g.set.removeExtendedPieces();
    EXPECT_EQ(g.set.count, 5);

    // New game.
    gameEnded = false;
    g.well.markAllRows();
    g.well.removeMarkedRows();
    nextRemainder = 4;  // now piece 4
    g.piece.spawn(g.set);
    gameRunning = true;
    EXPECT_EQ(g.piece.shape->id, 4);
    EXPECT_FALSE(gameEnded);
    while (g.piece.canMoveDown())
        ++g.piece.y;
    EXPECT_TRUE(g.piece.settle());
    EXPECT_EQ(g.well.cellAt(4, 15), g.set.slots[4]);  // the square's slot
}

}  // namespace

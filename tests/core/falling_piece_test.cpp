#include "core/falling_piece.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>

#include "shell_recorder.h"
#include "tests/support/forced_pieces.h"

namespace {

using Cells = std::set<std::pair<int, int>>;

struct Game {
    ShellRecorder shell;
    BoardGeometry geometry{kBoardColumns, kBoardRows, kCellSize, kGridLineWidth};
    Well well{&geometry};
    PieceSet set{kPieceSetCapacity};
    FallingPiece piece{&well, &set};

    Game() { set.registerStandardPieces(); }
    void spawn(int id)
    {
        const int ids[] = {1, 2, 3, 131, 4, 5, 133};  // slot order
        forceSlot(set, static_cast<int>(std::find(ids, ids + 7, id) - ids));
        piece.spawn();
    }
    Cells cells()
    {
        Cells out;
        walkCells(*piece.shape, piece.x, piece.y, piece.rotation, [&](int c, int r) { return out.insert({c, r}), true; });
        return out;
    }
    void block(const Cells& cells)
    {
        for (auto [c, r] : cells)
            well.setCell(c, r, set.slots[0]);
    }
    void fillRowExcept(int row, std::initializer_list<int> gaps)
    {
        for (int c = 0; c < kBoardColumns; ++c)
            if (std::find(gaps.begin(), gaps.end(), c) == gaps.end())
                well.setCell(c, row, set.slots[0]);
    }
};

TEST(FallingPiece, EveryPieceEntersWithItsLeftmostCellInTheMiddleColumn)
{
    struct Case {
        int id, x, y;
        Cells cells;
        Colour colour;
    };
    const Case cases[] = {
        {1, 5, 0, {{5, 0}, {4, 1}, {5, 1}, {6, 1}}, 0x2040F0},
        {2, 6, 0, {{4, 0}, {5, 0}, {6, 0}, {7, 0}}, 0x40F020},
        {3, 4, 1, {{5, 0}, {4, 1}, {5, 1}, {4, 2}}, 0xF02040},
        {131, 4, 1, {{4, 0}, {4, 1}, {5, 1}, {5, 2}}, 0xF02040},
        {4, 4, 0, {{4, 0}, {5, 0}, {4, 1}, {5, 1}}, 0xA020A0},
        {5, 4, 2, {{4, 0}, {4, 1}, {4, 2}, {5, 2}}, 0x40D0E0},
        {133, 5, 2, {{5, 0}, {5, 1}, {5, 2}, {4, 2}}, 0x40D0E0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        Game g;
        // Left over from an earlier piece of the same kind, turned.
        for (int i = 0; i < 7; ++i)
            if (g.set.slots[i]->rotatable)
                g.set.slots[i]->rotation = 1;
        g.piece.rotation = 2;
        g.piece.settled = true;
        fallElapsedMs = 70;
        g.spawn(c.id);
        ASSERT_EQ(g.piece.shape->id, c.id);
        EXPECT_EQ(g.piece.shape->colour, c.colour);
        EXPECT_EQ(std::make_pair(g.piece.x, g.piece.y), std::make_pair(c.x, c.y));
        EXPECT_EQ(std::make_pair(g.piece.prevX, g.piece.prevY), std::make_pair(c.x, c.y));
        EXPECT_EQ(g.piece.prevRotation, 0);
        EXPECT_EQ(g.piece.rotation, c.id == 4 ? 2 : 0) << "only the square keeps its counter";
        EXPECT_EQ(g.cells(), c.cells);
        EXPECT_FALSE(g.piece.settled);
        EXPECT_EQ(fallElapsedMs, 0);
        EXPECT_FALSE(gameEnded);
    }
}

TEST(FallingPiece, TestsAnswerWithoutMoving)
{
    struct Case {
        const char* name;
        int id, x, y, rotation;
        Cells blocked;
        bool left, right, down, turnLeft, turnRight;
    };
    const Case cases[] = {
        {"bar entering", 2, 6, 0, 0, {}, true, false, true, false, false},
        {"bar one row lower turns right only", 2, 6, 1, 0, {}, true, false, true, false, true},
        {"T entering cannot turn", 1, 5, 0, 0, {}, true, true, true, false, false},
        {"T blocked on its right turn", 1, 5, 5, 0, {{4, 4}}, true, true, true, true, false},
        {"T blocked on its left turn", 1, 5, 5, 0, {{6, 4}}, true, true, true, false, true},
        {"square never turns", 4, 4, 5, 0, {}, true, true, true, false, false},
        {"square on the floor", 4, 4, 14, 0, {}, true, true, false, false, false},
        {"square on a cell", 4, 4, 10, 0, {{5, 12}}, true, true, false, false, false},
        {"square against walls and cells", 4, 0, 5, 0, {{2, 6}}, false, false, true, false, false},
        {"upright bar at the left wall", 2, 1, 5, 1, {}, false, true, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Game g;
        g.spawn(c.id);
        g.block(c.blocked);
        g.piece.x = c.x;
        g.piece.y = c.y;
        g.piece.rotation = c.rotation;
        EXPECT_EQ(g.piece.canMoveLeft(), c.left);
        EXPECT_EQ(g.piece.canMoveRight(), c.right);
        EXPECT_EQ(g.piece.canMoveDown(), c.down);
        EXPECT_EQ(g.piece.canRotateLeft(), c.turnLeft);
        EXPECT_EQ(g.piece.canRotateRight(), c.turnRight);
        EXPECT_EQ(std::make_tuple(g.piece.x, g.piece.y, g.piece.rotation), std::make_tuple(c.x, c.y, c.rotation));
        g.piece.settled = true;
        EXPECT_FALSE(g.piece.canMoveLeft() || g.piece.canMoveRight() || g.piece.canMoveDown() ||
                     g.piece.canRotateLeft() || g.piece.canRotateRight())
            << "a settled piece answers no";
    }
}

TEST(FallingPiece, TurnCountersWrapAndTheSquareKeepsItsOwn)
{
    Game g;
    g.spawn(2);
    g.piece.rotateLeft();
    EXPECT_EQ(g.piece.rotation, 3);
    g.piece.rotateRight();
    EXPECT_EQ(g.piece.rotation, 0);
    g.piece.y = 1;
    g.piece.rotateRight();
    EXPECT_EQ(g.cells(), (Cells{{5, 0}, {5, 1}, {5, 2}, {5, 3}}));
    g.spawn(4);
    g.piece.rotateLeft();
    g.piece.rotateRight();
    g.piece.rotateRight();
    EXPECT_EQ(g.piece.rotation, 1) << "the square's counter stays where the bar left it";
    EXPECT_EQ(g.piece.shape->rotation, 0);
}

TEST(FallingPiece, SettlingScoresCompletedRowsAfterTheNextPieceIsIn)
{
    struct Case {
        int rows;
        const char* scoreText;  // from 1.0 before
    };
    for (const Case& c : {Case{0, "1.0"}, Case{1, "2.0"}, Case{2, "4.0"}, Case{3, "5.5"}, Case{4, "7.0"}}) {
        SCOPED_TRACE(c.rows);
        Game g;
        score = 1.0;
        // An upright bar in column 0, rows 12 to 15; the bottom rows lack
        // only column 0.
        for (int r = 16 - c.rows; r < 16; ++r)
            g.fillRowExcept(r, {0});
        g.spawn(2);
        g.piece.rotation = 1;
        g.piece.x = 1;
        g.piece.y = 13;
        ASSERT_EQ(g.cells(), (Cells{{0, 12}, {0, 13}, {0, 14}, {0, 15}}));
        g.shell.events.clear();
        EXPECT_TRUE(g.piece.settle());
        EXPECT_STREQ(scoreText, c.scoreText);
        std::vector<std::string> events = {"strip", "repaint"};
        if (c.rows > 0)
            events.insert(events.begin(), {"redraw", "repaint"});
        EXPECT_EQ(g.shell.events, events);
        for (int r = 0; r < 16; ++r)
            EXPECT_EQ(g.well.cellAt(0, r) != nullptr, r >= 12 + c.rows) << "row " << r;
        EXPECT_FALSE(g.piece.settled) << "the next piece is in play";
    }
}

TEST(FallingPiece, TheGameOverFlowSeesTheScoreWithoutTheLastPoints)
{
    Game g;
    score = 2.0;
    // Row 15 lacks columns 0 and 1, which the square fills; the rows where
    // pieces enter are blocked, so the next piece has no room.
    g.fillRowExcept(15, {0, 1});
    g.fillRowExcept(0, {0, 1, 2, 3});
    g.fillRowExcept(1, {0, 1, 2, 3});
    g.spawn(4);
    g.piece.x = 0;
    g.piece.y = 14;
    g.shell.events.clear();
    EXPECT_TRUE(g.piece.settle());
    EXPECT_TRUE(gameEnded);
    EXPECT_DOUBLE_EQ(g.shell.scoreAtGameOver, 2.0);
    EXPECT_STREQ(scoreText, "3.0");
    EXPECT_EQ(g.shell.events, (std::vector<std::string>{"redraw", "repaint", "gameover", "strip", "repaint"}));
    EXPECT_FALSE(g.piece.settled);

    // New game: on the emptied board every piece has room.
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
    g.fillRowExcept(15, {3});
    g.spawn(5);
    g.piece.x = 3;
    g.piece.y = 16;  // only its top cells on the board
    g.shell.events.clear();
    EXPECT_FALSE(g.piece.settle());
    EXPECT_TRUE(gameEnded);
    EXPECT_EQ(g.shell.events, (std::vector<std::string>{"gameover"}));
    EXPECT_STREQ(scoreText, "0.0");
    EXPECT_NE(g.well.rowMarks[15], 0) << "marked, not removed";
    EXPECT_FALSE(g.piece.settle()) << "settled already";
}

TEST(FallingPiece, NothingChangesWithoutAShapeOrWithAnEmptySet)
{
    Game g;
    FallingPiece fresh(&g.well, &g.set);
    EXPECT_FALSE(fresh.canMoveDown() || fresh.canRotateLeft() || fresh.settle());
    g.spawn(2);
    g.piece.x = 3;
    g.set.removeExtendedPieces();
    for (int id : {1, 2, 3, 4, 5})
        g.set.removeById(id);
    g.piece.spawn();
    EXPECT_EQ(g.piece.x, 3);
}

TEST(FallingPiece, AWholeGamePlayedByCallsEndsOnceWhenAPieceHasNoRoom)
{
    Game g;
    ShellRecorder::active()->onGameOver = [] { gameRunning = false; };
    std::srand(4);
    g.set.random = std::rand;
    gameRunning = true;
    g.piece.spawn();
    int pieces = 0;
    while (!gameEnded && pieces < 500) {
        for (int i = std::rand() % 6; i > 0; --i) {
            switch (std::rand() % 3) {
            case 0: if (g.piece.canMoveLeft()) --g.piece.x; break;
            case 1: if (g.piece.canMoveRight()) ++g.piece.x; break;
            default: if (g.piece.canRotateRight()) g.piece.rotateRight(); break;
            }
        }
        while (g.piece.canMoveDown())
            ++g.piece.y;
        const double before = score;
        g.piece.settle();
        ++pieces;
        ASSERT_GE(score, before);
        for (int r = 0; r < 16 && !gameEnded; ++r)
            ASSERT_FALSE(g.well.isRowFull(r)) << "a completed row stayed, piece " << pieces;
    }
    EXPECT_EQ(std::count(g.shell.events.begin(), g.shell.events.end(), "gameover"), 1);
    EXPECT_FALSE(gameRunning);
    EXPECT_GT(pieces, 5);
    EXPECT_LT(pieces, 500);
    EXPECT_FALSE(g.piece.fits(g.piece.x, g.piece.y, g.piece.rotation)) << "the last piece overlaps the stack";
}

// The mirror pieces are freed when switched off while the finished game's
// cells and the controller still point at them. Under AddressSanitizer this
// shows that the next game follows none of those pointers.
TEST(FallingPiece, SwitchingMirrorsOffAfterAGameLeavesNoPointerFollowed)
{
    Game g;
    ShellRecorder::active()->onGameOver = [] { gameRunning = false; };
    g.fillRowExcept(10, {});
    g.well.setCell(5, 0, g.set.slots[3]);  // piece 133 cannot come in
    g.spawn(131);
    g.piece.y = 7;
    gameRunning = true;
    forceSlot(g.set, 6);  // 133 next
    ASSERT_TRUE(g.piece.settle());
    ASSERT_TRUE(gameEnded);
    ASSERT_EQ(g.piece.shape->id, 133);

    g.set.removeExtendedPieces();
    gameEnded = false;
    g.well.markAllRows();
    g.well.removeMarkedRows();
    forceDraw(g.set, 4);  // the square, now the fourth piece
    g.piece.spawn();
    while (g.piece.canMoveDown())
        ++g.piece.y;
    EXPECT_TRUE(g.piece.settle());
    EXPECT_EQ(g.well.cellAt(4, 15)->id, 4);
}

TEST(GameState, StartValuesAndSpeeds)
{
    gameRunning = gamePaused = gameEnded = true;
    score = 7.5;
    scoreText[0] = '7';
    fallDelayMs = fallElapsedMs = 30;
    resetGameState();
    EXPECT_FALSE(gameRunning || gamePaused || gameEnded);
    EXPECT_EQ(score, 0.0);
    EXPECT_STREQ(scoreText, "0.0");
    EXPECT_EQ(fallDelayMs, 80);
    EXPECT_EQ(fallElapsedMs, 0);

    const std::pair<unsigned, int> speeds[] = {{0, 990}, {1, 990}, {50, 500}, {92, 80}, {99, 10}, {100, 10}, {4000000000u, 10}};
    for (auto [speed, delay] : speeds)
        EXPECT_EQ(fallDelayForSpeed(speed), delay) << speed;
    for (auto [delay, speed] : {std::pair{990, 1u}, std::pair{500, 50u}, std::pair{80, 92u}, std::pair{10, 99u}})
        EXPECT_EQ(speedForFallDelay(delay), speed) << delay;
}

}  // namespace

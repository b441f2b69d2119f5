#include <gtest/gtest.h>

#include <string>

#include "core/falling_piece.h"
#include "core/game_state.h"
#include "core/shell_port.h"

namespace {

using std::string;
using std::to_string;

// What the rules asked of the shell, a letter a request: D redraw the board,
// R repaint, S status strip and G game-over notice (with gameEnded already
// set), each of the last two followed by the score text as it is then.
string asked;
int nextDraw = 1;  // what the piece set's random source answers

// The piece in play, in a well 8 columns wide given as rows of text, each ending
// in '\n', '#' a settled cell; the seven standard pieces in slot order 1, 2, 3,
// 131, 4, 5, 133.
struct Game : FallingPiece {
    BoardGeometry geometry;
    Well cells{&geometry};
    PieceSet set{kPieceSetCapacity};

    explicit Game(string rows)
        : FallingPiece(&cells, &set), geometry(8, rows.size() / 9, 20, 1)
    {
        resetGameState();
        asked.clear();
        shellHooks = {
            .requestRepaint = [] { asked += 'R'; },
            .gameOverNotice = [] { asked = asked + (gameEnded ? 'G' : '?') + scoreText; },
            .redrawBoard = [](const Well&) { asked += 'D'; },
            .invalidateStatusStrip = [] { asked = asked + 'S' + scoreText; },
        };
        set.registerStandardPieces();
        set.random = [] { return nextDraw; };
        for (int i = 0; i < geometry.rows * 9; ++i)
            if (rows[i] == '#')
                cells.setCell(i % 9, i / 9, set.slots[0]);
    }
    // The well as rows of text again, with the piece in play as '@'.
    string text()
    {
        string text;
        for (int i = 0; i < geometry.rows * 9; ++i)
            text += i % 9 == 8 ? '\n' : cells.cellAt(i % 9, i / 9) ? '#' : '.';
        if (!settled)
            walkCells(*shape, x, y, rotation, [&](int c, int r) {
                text.at(r * 9 + c) = '@';
                return true;
            });
        return text;
    }
};

// The values shared with the shell: whether a game runs, is paused, has ended;
// the score text, the fall delay and the ticks toward the next step.
string shared()
{
    return to_string(gameRunning) + to_string(gamePaused) + to_string(gameEnded) +
           " " + scoreText + " " + to_string(fallDelayMs) + " " + to_string(fallElapsedMs);
}

// First of all, before any other test changes them.
TEST(GameState, StartsWithNoGameAndTheDefaultSpeedAndResetsToThat)
{
    EXPECT_EQ("000 0.0 80 0", shared());
    gameRunning = true;
    gamePaused = true;
    gameEnded = true;
    fallDelayMs = 10;
    fallElapsedMs = 70;
    resetGameState();
    EXPECT_EQ("000 0.0 80 0", shared());
}

// Draws 0 to 8 of the full set: the first piece comes for 0 and 1, and 8 is
// taken modulo the count plus one. Each piece is shown where it is first
// erased, which must be where it entered. Then it is turned right, as play
// leaves it, so the next one finds the counter turned, and a repeated piece 1
// its shape too.
TEST(FallingPiece, EveryPieceEntersUnturnedWithItsLeftmostCellInTheMiddleColumn)
{
    const char* entries[] = {
        ".....@..\n....@@@.\n........\n",
        ".....@..\n....@@@.\n........\n",
        "....@@@@\n........\n........\n",
        ".....@..\n....@@..\n....@...\n",
        "....@...\n....@@..\n.....@..\n",
        "....@@..\n....@@..\n........\n",
        "....@...\n....@...\n....@@..\n",
        ".....@..\n.....@..\n....@@..\n",
        ".....@..\n....@@@.\n........\n",
    };
    Game g("........\n........\n........\n");
    for (nextDraw = 0; nextDraw < 9; ++nextDraw) {
        SCOPED_TRACE(nextDraw);
        fallElapsedMs = 70;
        g.spawn();
        g.x = g.prevX;
        g.y = g.prevY;
        EXPECT_EQ(entries[nextDraw], g.text());
        EXPECT_EQ(nextDraw != 5, g.shape->rotatable);
        EXPECT_EQ(0, fallElapsedMs);
        EXPECT_EQ(0, g.prevRotation);
        g.canRotateRight();  // turns the shape
        g.rotateRight();
        g.prevRotation = g.rotation;  // as drawing it would
    }
}

struct Play {
    const char* guards;
    string keys;    // a digit: a new piece, the one the random source answers for it,
                         // and it keeps answering so; l r d: a step left, right, down; L R:
                         // a turn left, right, each taken only if the test allows it;
                         // s: settle, + or - for its answer; c: empty the well, as New game
    const char* before;  // the board
    const char* after;   // what the shell was asked, a line, and the board with the piece
                         // in play as '@'
};

TEST(FallingPiece, StepsTurnsAndSettlingGoWhereTheyFitScoreAndBringTheNextPiece)
{
    const Play cases[] = {
        {.guards = "the bar steps left up to the wall, never right; no turn reaches above row 0;"
                   " upright it stands on the floor; settling with no full row: no redraw",
         .keys = "2rlllllLRdRds",
         .before = "........\n"
                   "........\n"
                   "........\n"
                   "........\n",
         .after = "S0.0R+\n"
                  ".#..@@@@\n"
                  ".#......\n"
                  ".#......\n"
                  ".#......\n"},
        {.guards = "a right turn into a cell is refused; a left turn goes the other way;"
                   " New game empties every row",
         .keys = "1dRLc",
         .before = "....#...\n"
                   "........\n"
                   "........\n",
         .after = "DR\n"
                  "......@.\n"
                  ".....@@.\n"
                  "......@.\n"},
        {.guards = "two rows are three points; the rows between keep their order",
         .keys = "6ds",
         .before = "#.......\n"
                   "####.###\n"
                   "..#.....\n"
                   "####..##\n",
         .after = "DRS3.0R+\n"
                  "....@...\n"
                  "....@...\n"
                  "#...@@..\n"
                  "..#.#...\n"},
        {.guards = "one row, one point: the notice of a next piece with no room sees it",
         .keys = "6ds",
         .before = "........\n"
                   "........\n"
                   "........\n"
                   "####..##\n",
         .after = "DRG1.0S1.0R+\n"
                  "....@...\n"
                  "....@...\n"
                  "....@@..\n"
                  "....#...\n"},
        {.guards = "a cell off the board ends the game: no removal, no points, no next piece",
         .keys = "5s",
         .before = "####..##\n",
         .after = "G0.0G0.0-\n"
                  "########\n"},
    };
    for (const Play& k : cases) {
        SCOPED_TRACE(k.guards);
        Game g(k.before);
        for (char key : k.keys) {
            if (key <= '9') {  // a digit
                nextDraw = key - '0';
                g.spawn();
            }
            if (key == 'l' && g.canMoveLeft())
                --g.x;
            if (key == 'r' && g.canMoveRight())
                ++g.x;
            if (key == 'd' && g.canMoveDown())
                ++g.y;
            if (key == 'L' && g.canRotateLeft())
                g.rotateLeft();
            if (key == 'R' && g.canRotateRight())
                g.rotateRight();
            if (key == 's')
                asked += g.settle() ? '+' : '-';
            if (key == 'c') {
                g.well->markAllRows();
                g.well->removeMarkedRows();
            }
        }
        EXPECT_EQ(k.after, asked + '\n' + g.text());
    }
}

TEST(BetweenGames, MirrorsBackInTheirSlotsAndNoEleventhPiece)
{
    Game g("........\n");
    PieceSet& set = g.set;
    set.removeExtendedPieces();
    EXPECT_FALSE(set.removeById(131));  // gone already
    nextDraw = 4;
    EXPECT_EQ(4, set.pickRandom()->id);  // the fourth piece now, past the empty slot
    set.addExtendedPieces();
    EXPECT_EQ(131, set.pickRandom()->id);
    gameRunning = true;
    EXPECT_FALSE(set.removeById(1));
    set.addExtendedPieces();  // two more mirrors, ten pieces, and the last one refused
    set.addExtendedPieces();
    PieceShape eleventh(11);
    EXPECT_FALSE(set.add(&eleventh));
}

}  // namespace

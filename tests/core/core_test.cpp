#include <gtest/gtest.h>

#include <string>

#include "core/falling_piece.h"
#include "core/game_state.h"

namespace {

// What the rules asked of the shell, a letter a request: D redraw the board,
// R repaint, S status strip and G game-over notice (with gameEnded already
// set), each of the last two followed by the score text as it is then.
std::string asked;
int nextDraw = 1;  // what the piece set's random source answers

// A board 8 columns wide given as rows of text, each ending in '\n', '#' a
// settled cell; the seven standard pieces in slot order 1, 2, 3, 131, 4, 5, 133.
struct Game {
    BoardGeometry geometry;
    Well well{&geometry};
    PieceSet set{kPieceSetCapacity};
    FallingPiece piece{&well, &set};

    explicit Game(const std::string& rows) : geometry(8, int(rows.size()) / 9, 20, 1)
    {
        resetGameState();
        asked.clear();
        shellHooks = {
            .requestRepaint = [] { asked += 'R'; },
            .gameOverNotice = [] { asked += (gameEnded ? 'G' : '?') + std::string(scoreText); },
            .redrawBoard = [](const Well&) { asked += 'D'; },
            .invalidateStatusStrip = [] { asked += 'S' + std::string(scoreText); },
        };
        set.registerStandardPieces();
        set.random = [] { return nextDraw; };
        for (int i = 0; i < geometry.rows * 9; ++i)
            if (rows[i] == '#')
                well.setCell(i % 9, i / 9, set.slots[0]);
    }
    // The well as rows of text again, with the piece in play as '@'.
    std::string text()
    {
        std::string text;
        for (int i = 0; i < geometry.rows * 9; ++i)
            text += i % 9 == 8 ? '\n' : well.cellAt(i % 9, i / 9) ? '#' : '.';
        if (!piece.settled)
            walkCells(*piece.shape, piece.x, piece.y, piece.rotation, [&](int c, int r) {
                text.at(r * 9 + c) = '@';
                return true;
            });
        return text;
    }
};

// Draws 0 to 8 of the full set: the first piece comes for 0 and 1, and 8 is
// taken modulo the count plus one. Each piece is left turned right, as play
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
    FallingPiece& p = g.piece;
    for (nextDraw = 0; nextDraw < 9; ++nextDraw) {
        SCOPED_TRACE(nextDraw);
        fallElapsedMs = 70;
        p.spawn();
        EXPECT_EQ(entries[nextDraw], g.text());
        EXPECT_EQ(nextDraw != 5, p.shape->rotatable);
        EXPECT_EQ(p.x, p.prevX);
        EXPECT_EQ(p.y, p.prevY);
        EXPECT_EQ(0, fallElapsedMs);
        p.canRotateRight();  // turns the shape
        p.rotateRight();
    }
}

struct Keys {
    const char* guards;
    int draw;          // what the random source answers: 1 for piece 1, 2 for the bar
    std::string keys;  // l r d: a step left, right, down; L R: a turn left, right,
                       // each taken only if the test allows it
    const char* board;  // the board, and the piece as '@' after the keys
};

TEST(FallingPiece, StepsAndTurnsGoWhereTheyFitAndTurnAboutTheRoundedCentre)
{
    const Keys cases[] = {
        {.guards = "the bar steps left up to the wall, never right; no turn reaches above row 0;"
                   " upright it stands on the floor",
         .draw = 2,
         .keys = "rlllllLRdRd",
         .board = ".@......\n"
                  ".@......\n"
                  ".@......\n"
                  ".@......\n"},
        {.guards = "a right turn into a cell is refused; a left turn goes the other way",
         .draw = 1,
         .keys = "dRL",
         .board = "....#.@.\n"
                  ".....@@.\n"
                  "......@.\n"},
    };
    for (const Keys& k : cases) {
        SCOPED_TRACE(k.guards);
        Game g(k.board);
        FallingPiece& p = g.piece;
        nextDraw = k.draw;
        p.spawn();
        for (char key : k.keys) {
            if (key == 'l' && p.canMoveLeft())
                --p.x;
            if (key == 'r' && p.canMoveRight())
                ++p.x;
            if (key == 'd' && p.canMoveDown())
                ++p.y;
            if (key == 'L' && p.canRotateLeft())
                p.rotateLeft();
            if (key == 'R' && p.canRotateRight())
                p.rotateRight();
        }
        EXPECT_EQ(k.board, g.text());
    }
}

struct Settle {
    const char* guards;
    const char* before;  // an upright bar settles in column 0, rows 0 to 3
    const char* asked;   // then + or - for what settle answers
    const char* after;   // with the next piece, a square, as '@'
};

TEST(FallingPiece, SettlingScoresFullRowsRemovesThemAndBringsTheNextPiece)
{
    const Settle cases[] = {
        {.guards = "no row: no redraw, but the strip and a repaint",
         .before = "........\n"
                   "........\n"
                   "........\n"
                   "........\n",
         .asked = "S0.0R+",
         .after = "#...@@..\n"
                  "#...@@..\n"
                  "#.......\n"
                  "#.......\n"},
        {.guards = "two rows are three points; the rows between keep their order",
         .before = "........\n"
                   ".#######\n"
                   "..#.....\n"
                   ".#######\n",
         .asked = "DRS3.0R+",
         .after = "....@@..\n"
                  "....@@..\n"
                  "#.......\n"
                  "#.#.....\n"},
        {.guards = "one row, one point: the notice of a next piece with no room sees it",
         .before = "....#...\n"
                   "........\n"
                   ".#######\n"
                   "........\n",
         .asked = "DRG1.0S1.0R+",
         .after = "....@@..\n"
                  "#...@@..\n"
                  "#.......\n"
                  "#.......\n"},
        {.guards = "a cell off the board ends the game: no removal, no points, no next piece",
         .before = "........\n"
                   "........\n"
                   ".#######\n",
         .asked = "G0.0-",
         .after = "#.......\n"
                  "#.......\n"
                  "########\n"},
    };
    for (const Settle& s : cases) {
        SCOPED_TRACE(s.guards);
        Game g(s.before);
        FallingPiece& p = g.piece;
        p.shape = g.set.slots[1];
        p.x = 1;
        p.y = 1;
        p.rotation = 1;
        nextDraw = 5;
        asked += p.settle() ? '+' : '-';
        EXPECT_EQ(s.asked, asked);
        EXPECT_EQ(s.after, g.text());
    }
}

TEST(BetweenGames, WellEmptiedClockResetMirrorsBackInTheirSlotsAndNoEleventhPiece)
{
    fallElapsedMs = 70;
    Game g("#.......\n");
    EXPECT_EQ(0, fallElapsedMs);  // reset with the rest of the game state
    g.well.markAllRows();         // as New game empties the well
    g.well.removeMarkedRows();
    EXPECT_EQ(nullptr, g.well.cellAt(0, 0));
    g.set.removeExtendedPieces();
    nextDraw = 4;
    EXPECT_EQ(4, g.set.pickRandom()->id) << "the fourth piece now, past the empty slot";
    EXPECT_FALSE(g.set.removeById(131));
    g.set.addExtendedPieces();
    EXPECT_EQ(131, g.set.pickRandom()->id);
    gameRunning = true;
    EXPECT_FALSE(g.set.removeById(1));
    g.set.addExtendedPieces();  // two more mirrors, ten pieces, and the last one refused
    g.set.addExtendedPieces();
    PieceShape eleventh(11);
    EXPECT_FALSE(g.set.add(&eleventh));
}

}  // namespace

#include <gtest/gtest.h>

#include <span>
#include <sstream>
#include <string>

#include "core/falling_piece.h"
#include "core/game_state.h"
#include "core/shell_port.h"

namespace {

using std::string;
using std::to_string;

string asked;      // what the rules asked of the shell, in words
int nextDraw = 1;  // what the piece set's random source answers

// The piece in play, in a well 8 columns wide given as rows of text, each ending in '\n', '#' a
// settled cell; the seven standard pieces in slot order 1, 2, 3, 131, 4, 5, 133.
struct Game : FallingPiece {
    BoardGeometry geometry;
    Well cells{&geometry};
    PieceSet set{kPieceSetCapacity};

    explicit Game(string rows) : FallingPiece(&cells, &set), geometry(8, rows.size() / 9, 20, 1)
    {
        resetGameState();
        asked.clear();
        shellHooks = {[] { asked += " paint"; },
                      [] { asked += (gameEnded ? " over at " : " ?") + string(scoreText); },
                      [](const Well&) { asked += " board"; },
                      [] { asked += " strip " + string(scoreText); }};
        set.registerStandardPieces();
        set.random = [] { return nextDraw; };
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i] == '#')
                cells.setCell(i % 9, i / 9, set.slots[0]);
    }
    bool can(const string& move) const
    {
        return move == "left"        ? canMoveLeft()
               : move == "right"     ? canMoveRight()
               : move == "down"      ? canMoveDown()
               : move == "turn left" ? canRotateLeft()
                                     : move == "turn right" && canRotateRight();
    }
    // Plays moves given in words and separated by commas: "piece N" brings in the piece of id N
    // (and the random source keeps answering for it); "left", "right", "down", "turn left" and
    // "turn right" are taken where the tests allow them; "settle" notes its answer; "empty"
    // empties the well as New game does.
    // Then answers the moves allowed now and the well as rows of text, the piece in play as '@'.
    string play(const string& moves)
    {
        std::istringstream words(moves);
        for (string move; std::getline(words >> std::ws, move, ',');) {
            for (int slot = 0; move.starts_with("piece ") && slot < set.count; ++slot)
                nextDraw = set.slots[slot]->id == std::stoi(move.substr(6)) ? slot + 1 : nextDraw;
            if (move.starts_with("piece "))
                spawn();
            if (move == "settle")
                asked += settle() ? " settled" : " not settled";
            if (move == "empty") {
                cells.markAllRows();
                cells.removeMarkedRows();
            }
            const bool taken = can(move);
            x += taken * ((move == "right") - (move == "left"));
            y += taken && move == "down";
            if (taken && move == "turn left")
                rotateLeft();
            if (taken && move == "turn right")
                rotateRight();
        }
        string text = asked + " |";
        for (const char* move : {"left", "right", "down", "turn left", "turn right"})
            text += can(move) ? string(" ") + move : "";
        for (int i = 0; i < geometry.rows * 9; ++i)
            text += i % 9 == 0 ? '\n' : cells.cellAt(i % 9 - 1, i / 9) ? '#' : '.';
        if (!settled)
            walkCells(*shape, x, y, rotation, [&](int c, int r) {
                text.at(text.find('\n') + 1 + r * 9 + c) = '@';
                return true;
            });
        return text;
    }
};

// The values shared with the shell: whether a game runs, is paused, has ended; the score text,
// the fall delay and the ticks toward the next step.
string shared()
{
    return to_string(gameRunning) + to_string(gamePaused) + to_string(gameEnded) + " " +
           scoreText + " " + to_string(fallDelayMs) + " " + to_string(fallElapsedMs);
}

// First of all, before any other test changes them.
TEST(GameState, StartsIdleAtSpeed92AndCountsTicksTowardTheNextStep)
{
    EXPECT_EQ("000 0.0 80 0", shared());
    gameRunning = gamePaused = gameEnded = true;
    addPoints(2);
    advanceFallTimer(7);
    setSpeed(99);
    advanceFallTimer(25);
    // A new speed counts afresh; what is over the delay carries over.
    EXPECT_EQ("111 2.0 10 15", shared());
    resetGameState();
    EXPECT_EQ("000 0.0 80 0", shared());
}

// The cells of a shape with its origin at (0, 0) under each rotation, as the walk meets them.
string turns(PieceShape& shape)
{
    string cells;
    for (int rotation = 0; rotation < 4; ++rotation) {
        cells += " |";
        walkCells(shape, 0, 0, rotation, [&](int x, int y) {
            cells += " " + to_string(x) + "," + to_string(y);
            return true;
        });
    }
    return cells;
}

TEST(Pieces, TheSevenStandardPiecesTurnAndAreDrawnFirstTwiceAsOften)
{
    Game g("........\n");
    string slots;
    for (const PieceShape* s : std::span(g.set.slots, kPieceSetCapacity)) {
        char line[64] = " -";
        if (s)
            std::snprintf(line, sizeof line, " %d %06X %s", s->id, s->colour,
                          s->rotatable ? "turns" : "fixed");
        slots += line;
    }
    EXPECT_EQ(" 1 2040F0 turns 2 40F020 turns 3 F02040 turns 131 F02040 turns 4 A020A0 fixed"
              " 5 40D0E0 turns 133 40D0E0 turns - - -",
              slots);
    EXPECT_EQ(" | 0,0 1,1 0,1 -1,1 | 0,0 -1,1 -1,0 -1,-1 | 0,0 -1,-1 0,-1 1,-1 | 0,0 1,-1 1,0 1,1",
              turns(*g.set.slots[0]));
    EXPECT_EQ(" | 0,0 1,0 -1,0 -2,0 | -1,1 -1,2 -1,0 -1,-1 | -2,0 -3,0 -1,0 0,0"
              " | -1,-1 -1,-2 -1,0 -1,1",
              turns(*g.set.slots[1]));
    string drawn;
    for (nextDraw = 0; nextDraw < 8; ++nextDraw)
        drawn += " " + to_string(g.set.pickRandom()->id);
    g.set.removeExtendedPieces();
    for (nextDraw = 0; nextDraw < 6; ++nextDraw)
        drawn += " " + to_string(g.set.pickRandom()->id);
    EXPECT_EQ(" 1 1 2 3 131 4 5 133 1 1 2 3 4 5", drawn);
    g.set.addExtendedPieces();
    // Back in its slot.
    EXPECT_EQ(131, g.set.slots[3]->id);
}

// Draws 0 to 8 of the full set: the first piece comes for 0 and 1, and 8 is taken modulo the
// count plus one. Each piece is turned right after it enters, as play leaves it, so the next one
// finds the counter turned, and a repeated piece 1 its shape too. Every piece enters unturned,
// its leftmost cell in column 4 and its topmost in row 0 (the cells are its turn 0 above, from
// the origin), and is erased there before it is first drawn: the place (column, row, turns)
// where it was last drawn is where it entered, its turns 0 (the square, which never turns, keeps
// the counter it found).
TEST(FallingPiece, EveryPieceEntersUnturnedWithItsLeftmostCellInTheMiddleColumn)
{
    Game g("........\n........\n........\n");
    string origins;
    for (nextDraw = 0; nextDraw < 9; ++nextDraw) {
        advanceFallTimer(1);  // a tick toward the last piece's step
        g.spawn();
        origins += " " + to_string(g.prevX) + "," + to_string(g.prevY) + "," +
                   to_string(g.prevRotation + g.rotation);
        g.canRotateRight();  // turns the shape
        g.rotateRight();
        g.prevRotation = g.rotation;  // as drawing it would
    }
    EXPECT_EQ(" 5,0,0 5,0,0 6,0,0 4,1,0 4,1,0 4,0,1 4,2,0 5,2,0 5,0,0", origins);
    EXPECT_EQ(0, fallElapsedMs);  // each piece counts its ticks afresh
}

TEST(FallingPiece, StepsTurnsAndSettlingGoWhereTheyFitScoreAndBringTheNextPiece)
{
    // The board, the moves (see Game::play), and what the shell was asked, the moves allowed
    // then, and the board.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // The bar steps left up to the wall, never right; no turn reaches above row 0; upright it
        // stands on the floor; settling with no full row redraws nothing.
        {"........\n........\n........\n........\n",
         "piece 2, right, left, left, left, left, left, turn left, turn right, down, turn right,"
         " down, settle",
         " strip 0.0 paint settled | left down\n.#..@@@@\n.#......\n.#......\n.#......"},
        // A right turn into a cell is refused, a left one goes the other way; from turn 0 a left
        // turn is turn 3; New game empties every row.
        {"....#...\n........\n........\n",
         "piece 1, down, turn right, turn left, empty",
         " board paint | left right turn left turn right\n......@.\n.....@@.\n......@."},
        // The square never turns; a piece that cannot fall stays.
        {"........\n........\n",
         "piece 4, turn left, turn right, down, down",
         " | left right\n....@@..\n....@@.."},
        // Two rows are three points; the rows between keep their order.
        {"#.......\n####.###\n..#.....\n####..##\n",
         "piece 5, down, settle",
         " board paint strip 3.0 paint settled | left right turn left turn right\n"
         "....@...\n....@...\n#...@@..\n..#.#..."},
        // Three rows are 4.5 points; the row left between them sinks.
        {"........\n........\n#####.##\n#####.##\n#####.#.\n#####.##\n",
         "piece 2, down, turn right, down, down, settle",
         " board paint strip 4.5 paint settled | left down\n"
         "....@@@@\n........\n........\n........\n........\n#######."},
        // Four rows are six points.
        {"........\n........\n#####.##\n#####.##\n#####.##\n#####.##\n",
         "piece 2, down, turn right, down, down, settle",
         " board paint strip 6.0 paint settled | left down\n"
         "....@@@@\n........\n........\n........\n........\n........"},
        // One row, one point: the notice of a next piece with no room sees it.
        {"........\n........\n........\n####..##\n",
         "piece 5, down, settle",
         " board paint over at 1.0 strip 1.0 paint settled | right turn left turn right\n"
         "....@...\n....@...\n....@@..\n....#..."},
        // A cell off the board ends the game: no removal, no points, no next piece, no move.
        {"####..##\n",
         "piece 5, settle",
         " over at 0.0 over at 0.0 not settled |\n#####.##"},
    };
    for (auto [board, moves, shows] : cases) {
        SCOPED_TRACE(moves);
        Game g(board);
        EXPECT_EQ(shows, g.play(moves));
    }
}

}  // namespace

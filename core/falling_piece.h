// The one piece in play. The tests (fits, canMove..., canRotate...) only
// answer; the caller applies a step to x and y or calls rotateLeft/Right and
// then redraws.
//
// The well and the piece set are not owned and must outlive the piece; shape
// points into the set. Without a shape or a valid well the piece is invalid:
// every test then answers false and settle does nothing. spawn and settle
// write the shared values of core/game_state.h and reach the shell through
// core/shell_port.h.
#pragma once

#include "core/piece_set.h"
#include "core/well.h"

class FallingPiece {
public:
    // The well and the piece set are the application's; neither is owned.
    FallingPiece(Well* well, PieceSet* pieceSet);

    bool isValid() const;
    // Whether the piece would lie wholly on the board, on empty cells, with
    // its origin at (x, y) under `rotation`. Sets the shape's working
    // rotation (see walkCells).
    bool fits(int x, int y, int rotation) const;
    bool canMoveLeft() const;
    bool canMoveRight() const;
    bool canMoveDown() const;
    bool canRotateLeft() const;
    bool canRotateRight() const;
    void rotateLeft();
    void rotateRight();

    // Brings in the next piece from the piece set at the top. If it has no
    // room, the game ends: gameEnded is set and the game-over notice runs
    // before spawn returns. An empty set changes nothing.
    void spawn();
    // Writes the piece into the well, removes completed rows, scores them and
    // brings in the next piece. False if nothing was settled (an invalid or
    // already settled piece) or if a cell lay off the board, which ends the
    // game; true otherwise, also when the next piece has no room and the game
    // ends in spawn.
    bool settle();

    PieceShape* shape = nullptr;
    Well* well = nullptr;
    int rotation = 0;
    int x = 0;
    int y = 0;
    int prevRotation = 0;
    int prevX = 0;
    int prevY = 0;
    bool settled = false;
    PieceSet* pieceSet = nullptr;

private:
    void endGame();
};

#include "core/falling_piece.h"

#include "core/game_state.h"
#include "core/shell_port.h"

FallingPiece::FallingPiece(Well* well_, PieceSet* pieceSet_) : well(well_), pieceSet(pieceSet_) {}

bool FallingPiece::isValid() const
{
    return shape && well && well->isValid();
}

bool FallingPiece::fits(int atX, int atY, int atRotation) const
{
    if (!isValid())
        return false;
    const BoardGeometry& board = *well->geometry;
    return walkCells(*shape, atX, atY, atRotation, [&](int column, int row) {
        return column >= 0 && column < board.columns && well->rowExists(row) && !well->cellAt(column, row);
    });
}

bool FallingPiece::canMoveLeft() const { return !settled && fits(x - 1, y, rotation); }

bool FallingPiece::canMoveRight() const { return !settled && fits(x + 1, y, rotation); }

bool FallingPiece::canMoveDown() const { return !settled && fits(x, y + 1, rotation); }

bool FallingPiece::canRotateLeft() const
{
    if (settled || (shape && !shape->rotatable))
        return false;
    return fits(x, y, rotation - 1);
}

bool FallingPiece::canRotateRight() const
{
    if (settled || (shape && !shape->rotatable))
        return false;
    return fits(x, y, rotation + 1);
}

void FallingPiece::rotateLeft()
{
    if (shape && shape->rotatable)
        rotation = (rotation - 1) & 3;
}

void FallingPiece::rotateRight()
{
    if (shape && shape->rotatable)
        rotation = (rotation + 1) & 3;
}

void FallingPiece::endGame()
{
    // gameEnded is set before the notice, so the timer ticks that arrive
    // while the game-over dialogs run leave the controller alone.
    gameEnded = true;
    if (shellHooks.gameOverNotice)
        shellHooks.gameOverNotice();
}

void FallingPiece::spawn()
{
    if (!pieceSet || pieceSet->count == 0)
        return;
    PieceShape* next = pieceSet->pickRandom();
    if (!next || !well || !well->isValid())
        return;
    shape = next;
    prevRotation = 0;
    // The shape's rotation is left over from the last piece of this kind;
    // the box below must be read unturned.
    if (shape->rotatable) {
        rotation = 0;
        shape->rotation = 0;
    }
    const Box box = shape->rotatedBounds();
    x = prevX = well->geometry->columns >> 1;
    y = prevY = 0;
    // The leftmost cell enters in the middle column, the topmost in row 0.
    if (box.minX < 0) {
        x -= box.minX;
        prevX = x;
    }
    if (box.minY < 0)
        y = prevY = -box.minY;

    if (!fits(x, y, rotation))
        endGame();
    settled = false;
    resetFallTimer();
}

bool FallingPiece::settle()
{
    if (!isValid() || settled)
        return false;
    const BoardGeometry& board = *well->geometry;
    double completedRows = 0.0;
    bool inside = true;
    walkCells(*shape, x, y, rotation, [&](int column, int row) {
        // A cell off the board (a place that never passed fits) is dropped;
        // the game ends below.
        if (column < 0 || column >= board.columns || !well->rowExists(row)) {
            inside = false;
            return true;
        }
        well->setCell(column, row, shape);
        if (well->isRowFull(row)) {
            well->markRow(row);
            completedRows += 1.0;
        }
        return true;
    });
    settled = true;

    if (!inside) {
        endGame();
        return false;
    }

    well->removeMarkedRows();
    // The points count before the next piece comes in: if that piece has no
    // room, the game-over flow inside spawn must see the score with them.
    addPoints(completedRows <= 1.0 ? completedRows : completedRows * 1.5);
    spawn();

    if (shellHooks.invalidateStatusStrip)
        shellHooks.invalidateStatusStrip();
    if (shellHooks.requestRepaint)
        shellHooks.requestRepaint();
    return true;
}

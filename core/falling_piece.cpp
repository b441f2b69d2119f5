#include "core/falling_piece.h"

#include <cstdio>

#include "core/game_state.h"

FallingPiece::FallingPiece(Well* well_, PieceSet* pieceSet_) : well(well_), pieceSet(pieceSet_) {}

bool FallingPiece::isValid() const
{
    return shape && well && well->isValid();
}

bool FallingPiece::fits(int atX, int atY, int atRotation) const
{
    if (!isValid())
        return false;
    if (shape->rotatable)
        shape->rotation = atRotation & 3;
    const Point pivot = shape->pivotCorrection();
    const int originX = atX + pivot.x;
    const int originY = atY + pivot.y;
    const BoardGeometry& board = *well->geometry;

    shape->restartCells();
    do {
        const Point cell = shape->currentCell();
        const int column = originX + cell.x;
        const int row = originY + cell.y;
        if (column < 0 || column >= board.columns || row < 0 || row >= board.rows)
            return false;
        if (!well->rowExists(row) || well->cellAt(column, row))
            return false;
    } while (shape->nextCell());
    return true;
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

void FallingPiece::spawn(PieceSet& set)
{
    if (set.count == 0)
        return;
    PieceShape* next = set.pickRandom();
    if (!next || !well || !well->isValid())
        return;
    shape = next;
    prevRotation = 0;
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
    if (shape->rotatable)
        shape->rotation = rotation & 3;
    const Point pivot = shape->pivotCorrection();
    const BoardGeometry& board = *well->geometry;

    double completedRows = 0.0;
    bool inside = true;
    shape->restartCells();
    do {
        const Point cell = shape->currentCell();
        const int column = x + pivot.x + cell.x;
        const int row = y + pivot.y + cell.y;
        if (column < 0 || column >= board.columns || row < 0 || row >= board.rows || !well->rowExists(row)) {
            inside = false;
            continue;
        }
        well->setCell(column, row, shape);
        if (well->isRowFull(row)) {
            well->markRow(row);
            completedRows += 1.0;
        }
    } while (shape->nextCell());
    settled = true;

    if (!inside) {
        endGame();
        return false;
    }

    well->removeMarkedRows();
    if (pieceSet)
        spawn(*pieceSet);

    // The points come after the next piece: if that piece had no room, the
    // game-over flow above has already seen the score without them.
    const double points = completedRows <= 1.0 ? completedRows : completedRows * 1.5;
    score += points;
    std::snprintf(scoreText, sizeof scoreText, "%.1f", score);
    if (shellHooks.invalidateStatusStrip)
        shellHooks.invalidateStatusStrip();
    if (shellHooks.requestRepaint)
        shellHooks.requestRepaint();
    return true;
}

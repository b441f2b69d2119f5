// One kind of piece: its cells, colour and the quarter-turn geometry.
//
// Cell offsets are relative to the piece's origin, x to the right, y down.
// Turns are clockwise on the screen and happen inside the bounding box of
// rotation 0; pivotCorrection() moves the result so that the turn is about
// the box's centre, rounded towards minus infinity.
//
// A shape owns its list of cell nodes and frees it with itself; it cannot be
// copied. Its queries read the working rotation and cell cursor kept in the
// shape itself, which walkCells (below) writes.
#pragma once

#include <cstdint>

// A colour as 0x00BBGGRR, the layout of a Windows COLORREF.
using Colour = std::uint32_t;

struct Point {
    int x;
    int y;
};

struct Box {
    int minX;
    int minY;
    int maxX;
    int maxY;
};

struct CellNode {
    int x = 0;
    int y = 0;
    CellNode* next = nullptr;  // owned: the rest of the list
};

class PieceShape {
public:
    explicit PieceShape(int id);
    ~PieceShape();
    PieceShape(const PieceShape&) = delete;
    PieceShape& operator=(const PieceShape&) = delete;

    // Widens the box, then links a new cell right after the origin. Returns
    // null (with the box already widened) if the node cannot be allocated.
    CellNode* addCell(int x, int y);

    Point rotatePoint(int x, int y) const;
    Box rotatedBounds() const;
    Point pivotCorrection() const;

    // A pass: restartCells(); do { use currentCell(); } while (nextCell());
    void restartCells() { cursor = &head; }
    Point currentCell() const { return rotatePoint(cursor->x, cursor->y); }
    bool nextCell();

    void freeCells();

    int id;
    int rotation = 0;        // 0..3, the rotation every query uses
    bool rotatable = true;
    int minX = 0;            // box of the cells at rotation 0, inclusive
    int minY = 0;
    int maxX = 0;
    int maxY = 0;
    CellNode head;           // the origin cell (0, 0)
    CellNode* cursor;
    Colour colour = 0;
};

// The one walk over a piece's cells on the board: calls visit(column, row)
// for every cell of `shape` with its origin at (x, y) under `rotation`, the
// origin first, and stops early when visit answers false. Answers whether the
// walk went through every cell.
//
// The shape is shared by every piece of its kind, and its queries read the
// rotation from the shape itself, so the walk first sets the shape's working
// rotation (only for a rotatable shape: one that is not never turns). Even a
// question that changes nothing else, such as "would the piece fit there",
// therefore writes that field. The cursor goes back to the origin at the end
// of a complete walk; an abandoned walk is harmless because the next one
// restarts.
template <typename Visit>
bool walkCells(PieceShape& shape, int x, int y, int rotation, Visit visit)
{
    if (shape.rotatable)
        shape.rotation = rotation & 3;
    const Point pivot = shape.pivotCorrection();
    shape.restartCells();
    do {
        const Point cell = shape.currentCell();
        if (!visit(x + pivot.x + cell.x, y + pivot.y + cell.y))
            return false;
    } while (shape.nextCell());
    return true;
}

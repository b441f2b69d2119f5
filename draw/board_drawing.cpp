#include "draw/board_drawing.h"

#include "draw/gdi_objects.h"

namespace {

COLORREF scaled(COLORREF colour, int numerator)
{
    return RGB(GetRValue(colour) * numerator / 5, GetGValue(colour) * numerator / 5, GetBValue(colour) * numerator / 5);
}

bool drawable(HDC dc, const BoardGeometry* geometry)
{
    return dc && geometry && geometry->isValid();
}

// Calls paint(x, y) with the pixel position of every square of the piece
// standing at (column, row) under rotation.
template <typename Paint>
void forEachSquare(FallingPiece& piece, int column, int row, int rotation, Paint paint)
{
    const BoardGeometry& g = *piece.well->geometry;
    walkCells(*piece.shape, column, row, rotation, [&](int c, int r) {
        paint(g.cellLeft(c), g.cellTop(r));
        return true;
    });
}

// Each channel times 4/5 and times 3/5, rounded down. (Integer arithmetic
// gives the same result in every build; a double product such as 240 * 0.6
// lands just below 144 when the compiler keeps it in 80-bit x87 precision.)
COLORREF tileBodyColour(COLORREF colour) { return scaled(colour, 4); }

COLORREF tileDarkColour(COLORREF colour) { return scaled(colour, 3); }

// A bevelled tile of side cellSize with its top-left pixel at (x, y): light
// top and left edges, dark bottom and right edges.
void drawTile(HDC dc, int x, int y, const BoardGeometry* geometry, COLORREF colour)
{
    if (!drawable(dc, geometry))
        return;
    const int s = geometry->cellSize;
    fillSolid(dc, x, y, x + s, y + s, tileBodyColour(colour));
    {
        ScopedPen light(dc, PS_SOLID, 1, colour & 0xFFFFFF);
        MoveToEx(dc, x, y, nullptr);
        LineTo(dc, x + s - 1, y);
        MoveToEx(dc, x, y, nullptr);
        LineTo(dc, x, y + s - 1);
    }
    {
        ScopedPen dark(dc, PS_SOLID, 1, tileDarkColour(colour));
        MoveToEx(dc, x + s - 1, y + s - 1, nullptr);
        LineTo(dc, x, y + s - 1);
        MoveToEx(dc, x + s - 1, y + s - 1, nullptr);
        LineTo(dc, x + s - 1, y);
    }
}

// A plain gray cell square.
void drawEmptyCell(HDC dc, int x, int y, const BoardGeometry* geometry)
{
    if (!drawable(dc, geometry))
        return;
    fillSolid(dc, x, y, x + geometry->cellSize, y + geometry->cellSize, kMidGray);
}

// The grid lines between and around the cells.
bool drawGridLines(const BoardGeometry& g, HDC dc, COLORREF colour, int penStyle)
{
    if (!drawable(dc, &g))
        return false;
    ScopedPen pen(dc, penStyle, g.lineWidth, colour);
    const int pitch = g.pitch();
    int x = g.lineWidth >> 1;
    for (int k = 0; k <= g.columns; ++k, x += pitch) {
        MoveToEx(dc, x, g.originY, nullptr);
        LineTo(dc, x, g.originY + g.pixelHeight);
    }
    int y = g.lineWidth >> 1;
    for (int k = 0; k <= g.rows; ++k, y += pitch) {
        MoveToEx(dc, g.originX, y, nullptr);
        LineTo(dc, g.originX + g.pixelWidth, y);
    }
    return true;
}

// Paints the squares where the piece was last drawn gray.
void eraseFallingPiece(FallingPiece& piece, HDC dc)
{
    if (!dc || !piece.isValid())
        return;
    const BoardGeometry& g = *piece.well->geometry;
    HBRUSH gray = createSolidBrushCounted(kMidGray);
    if (!gray)
        return;
    forEachSquare(piece, piece.prevX, piece.prevY, piece.prevRotation, [&](int x, int y) {
        RECT r;
        SetRect(&r, x, y, x + g.cellSize, y + g.cellSize);
        FillRect(dc, &r, gray);
    });
    deleteObjectCounted(gray);
}

}  // namespace

void drawWell(const Well& well, HDC dc, bool withGrid)
{
    if (!dc || !well.isValid())
        return;
    const BoardGeometry& g = *well.geometry;
    for (int r = 0; r < g.rows; ++r) {
        if (!well.rowExists(r))
            continue;
        for (int c = 0; c < g.columns; ++c) {
            const int x = g.cellLeft(c);
            const int y = g.cellTop(r);
            if (const PieceShape* shape = well.cellAt(c, r))
                drawTile(dc, x, y, &g, shape->colour);
            else
                drawEmptyCell(dc, x, y, &g);
        }
    }
    if (withGrid)
        drawGridLines(g, dc, kLightBlueGray, PS_SOLID);
}

void drawFallingPiece(FallingPiece& piece, HDC dc)
{
    if (!dc || !piece.isValid())
        return;
    eraseFallingPiece(piece, dc);
    const BoardGeometry& g = *piece.well->geometry;
    const COLORREF colour = piece.shape->colour;
    forEachSquare(piece, piece.x, piece.y, piece.rotation, [&](int x, int y) { drawTile(dc, x, y, &g, colour); });
    piece.prevX = piece.x;
    piece.prevY = piece.y;
    piece.prevRotation = piece.rotation;
}

void drawIdlePicture(const BoardGeometry& g, HDC dc)
{
    if (!dc)
        return;
    fillSolid(dc, 0, 0, g.pixelWidth, g.pixelHeight, kMidGray);
    drawGridLines(g, dc, kDarkGray, PS_SOLID);
}

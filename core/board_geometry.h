// The board's pixel metrics: a plain value that holds no resources. A well
// keeps a pointer to one, which must outlive it; a well built on an invalid
// one (see isValid) is itself invalid.
#pragma once

// The one board the game is played on: 8 columns by 16 rows of 20-pixel
// cells with 1-pixel grid lines, 169 x 337 pixels in all.
constexpr int kBoardColumns = 8;
constexpr int kBoardRows = 16;
constexpr int kCellSize = 20;
constexpr int kGridLineWidth = 1;

// Cell (c, r) covers the cellSize square whose top-left pixel is
// (lineWidth + c * pitch(), lineWidth + r * pitch()); grid lines run between
// and around the cells. Columns count from the left, rows from the top.
class BoardGeometry {
public:
    // A negative line width is stored as 0. The values are not checked here;
    // isValid() does that.
    BoardGeometry(int columns, int rows, int cellSize, int lineWidth);

    void clear();          // every field 0
    bool isValid() const;  // columns, rows and cellSize at least 1

    int pitch() const { return cellSize + lineWidth; }
    int cellLeft(int column) const { return originX + lineWidth + column * pitch(); }
    int cellTop(int row) const { return originY + lineWidth + row * pitch(); }

    int originX = 0;
    int originY = 0;
    int pixelWidth = 0;
    int pixelHeight = 0;
    int columns = 0;
    int rows = 0;
    int cellSize = 0;
    int lineWidth = 0;
};

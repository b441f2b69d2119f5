// The board: its pixel metrics (BoardGeometry) and the playfield proper (Well).
#pragma once

class PieceShape;

// Metrics of the board. Cell (c, r) covers the cellSize square whose top-left
// pixel is (lineWidth + c * (cellSize + lineWidth), lineWidth + r * (cellSize + lineWidth));
// grid lines run between and around the cells.
class BoardGeometry {
public:
    BoardGeometry(int columns, int rows, int cellSize, int lineWidth);

    void clear();          // every field 0
    bool isValid() const;  // columns, rows and cellSize at least 1

    int originX = 0;
    int originY = 0;
    int pixelWidth = 0;
    int pixelHeight = 0;
    int columns = 0;
    int rows = 0;
    int cellSize = 0;
    int lineWidth = 0;
};

// The grid of settled cells. A cell is null (empty) or refers to the shape of
// the piece that settled there; the shapes belong to the piece set. Every row
// is a separate allocation, so removing rows moves row pointers, never cells.
class Well {
public:
    using Cell = const PieceShape*;

    explicit Well(const BoardGeometry* geometry);
    ~Well();
    Well(const Well&) = delete;
    Well& operator=(const Well&) = delete;

    bool isValid() const;
    bool rowExists(int row) const;
    bool isRowFull(int row) const;
    void markRow(int row);
    void markAllRows();
    // Frees the marked rows, moves the rows above them down, puts empty rows
    // on top, then has the board redrawn and repainted (only if a row went).
    void removeMarkedRows();

    // Unchecked access: the caller keeps 0 <= column < columns, 0 <= row < rows.
    Cell cellAt(int column, int row) const { return rowCells[row][column]; }
    void setCell(int column, int row, Cell shape) { rowCells[row][column] = shape; }

    Cell** rowCells = nullptr;              // rows, each of `columns` cells
    const BoardGeometry* geometry = nullptr;  // not owned
    unsigned char* rowMarks = nullptr;      // nonzero: remove the row

private:
    Cell* newEmptyRow() const;
};

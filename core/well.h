// The well: the playfield of settled cells, row by row.
//
// The well owns its rows; its geometry is not owned and must outlive it, and
// its cells refer to shapes owned by the piece set. A well whose geometry is
// invalid, or whose rows could not all be allocated, is invalid: its checked
// queries then answer false and its changes do nothing. Removing rows reaches
// the shell through core/shell_port.h.
#pragma once

#include "core/board_geometry.h"

class PieceShape;

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

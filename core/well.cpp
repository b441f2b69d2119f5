#include "core/well.h"

#include <new>

#include "core/shell_port.h"

Well::Well(const BoardGeometry* geometry_)
{
    if (!geometry_ || !geometry_->isValid())
        return;
    const int rows = geometry_->rows;
    Cell** cells = new (std::nothrow) Cell*[rows]();
    unsigned char* marks = new (std::nothrow) unsigned char[rows]();
    if (!cells || !marks) {
        delete[] cells;
        delete[] marks;
        return;
    }
    geometry = geometry_;
    for (int r = 0; r < rows; ++r) {
        cells[r] = newEmptyRow();
        if (!cells[r]) {
            for (int k = 0; k < r; ++k)
                delete[] cells[k];
            delete[] cells;
            delete[] marks;
            geometry = nullptr;
            return;
        }
    }
    rowCells = cells;
    rowMarks = marks;
}

Well::~Well()
{
    if (rowCells && geometry && geometry->isValid()) {
        for (int r = 0; r < geometry->rows; ++r) {
            delete[] rowCells[r];
            rowCells[r] = nullptr;
        }
    }
    delete[] rowCells;
    delete[] rowMarks;
    rowCells = nullptr;
    rowMarks = nullptr;
    geometry = nullptr;
}

Well::Cell* Well::newEmptyRow() const
{
    return new (std::nothrow) Cell[geometry->columns]();
}

bool Well::isValid() const
{
    return rowCells && geometry && rowMarks;
}

bool Well::rowExists(int row) const
{
    return isValid() && row >= 0 && row < geometry->rows && rowCells[row];
}

bool Well::isRowFull(int row) const
{
    if (!rowExists(row))
        return false;
    for (int c = 0; c < geometry->columns; ++c)
        if (!rowCells[row][c])
            return false;
    return true;
}

void Well::markRow(int row)
{
    if (rowExists(row))
        rowMarks[row] = 1;
}

void Well::markAllRows()
{
    if (!isValid())
        return;
    for (int r = 0; r < geometry->rows; ++r)
        markRow(r);
}

void Well::removeMarkedRows()
{
    if (!isValid())
        return;
    const int rows = geometry->rows;

    int removed = 0;
    for (int r = 0; r < rows; ++r) {
        if (!rowMarks[r])
            continue;
        if (rowCells[r]) {
            delete[] rowCells[r];
            rowCells[r] = nullptr;
            ++removed;
        }
        rowMarks[r] = 0;
    }
    if (removed == 0)
        return;

    // Surviving rows sink to the bottom and keep their order.
    int destination = rows - 1;
    for (int r = rows - 1; r >= 0; --r) {
        if (!rowCells[r])
            continue;
        Cell* row = rowCells[r];
        rowCells[r] = nullptr;
        rowCells[destination--] = row;
    }
    // The top slots, one per removed row, get fresh empty rows. A failed
    // allocation leaves the slot empty: such a row does not exist, so no
    // piece can enter it.
    for (int r = 0; r < removed; ++r)
        rowCells[r] = newEmptyRow();

    if (shellHooks.redrawBoard)
        shellHooks.redrawBoard(*this);
    if (shellHooks.requestRepaint)
        shellHooks.requestRepaint();
}

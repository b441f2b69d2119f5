#include "core/board_geometry.h"

BoardGeometry::BoardGeometry(int columns_, int rows_, int cellSize_, int lineWidth_)
    : columns(columns_), rows(rows_), cellSize(cellSize_), lineWidth(lineWidth_ < 0 ? 0 : lineWidth_)
{
    pixelWidth = pitch() * columns + lineWidth;
    pixelHeight = pitch() * rows + lineWidth;
}

void BoardGeometry::clear()
{
    originX = originY = pixelWidth = pixelHeight = 0;
    columns = rows = cellSize = lineWidth = 0;
}

bool BoardGeometry::isValid() const
{
    return columns >= 1 && rows >= 1 && cellSize >= 1;
}

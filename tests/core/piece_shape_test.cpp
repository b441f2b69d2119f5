#include "core/piece_shape.h"

#include <gtest/gtest.h>

namespace {

using Cells = std::vector<std::pair<int, int>>;

Cells pass(PieceShape& shape)
{
    Cells cells;
    shape.restartCells();
    do
        cells.emplace_back(shape.currentCell().x, shape.currentCell().y);
    while (shape.nextCell());
    return cells;
}

TEST(PieceShape, CellsAreWalkedOriginFirstThenNewestFirst)
{
    PieceShape shape(7);
    EXPECT_EQ(pass(shape), (Cells{{0, 0}}));
    for (auto [x, y] : Cells{{-1, 1}, {0, 1}, {1, 1}})
        shape.addCell(x, y);
    EXPECT_EQ((Cells{{shape.minX, shape.minY}, {shape.maxX, shape.maxY}}), (Cells{{-1, 0}, {1, 1}}));
    EXPECT_EQ(pass(shape), (Cells{{0, 0}, {1, 1}, {0, 1}, {-1, 1}}));
    shape.rotation = 1;
    pass(shape);  // a whole pass leaves the cursor on the origin, turned
    EXPECT_EQ(std::make_pair(shape.currentCell().x, shape.currentCell().y), std::make_pair(1, 0));
    const Box turned = shape.rotatedBounds();
    EXPECT_EQ((Cells{{turned.minX, turned.minY}, {turned.maxX, turned.maxY}}), (Cells{{0, -1}, {1, 1}}));
    shape.rotation = 0;
    shape.freeCells();
    EXPECT_EQ(pass(shape), (Cells{{0, 0}}));
}

}  // namespace

#include "core/piece_shape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using Cells = std::vector<std::pair<int, int>>;

Cells pass(PieceShape& shape)
{
    Cells cells;
    shape.restartCells();
    do {
        const Point p = shape.currentCell();
        cells.emplace_back(p.x, p.y);
    } while (shape.nextCell());
    return cells;
}

// Where the cells land relative to the origin under a rotation: the turned
// cell plus the pivot correction.
Cells offsets(PieceShape& shape, int rotation)
{
    shape.rotation = rotation;
    const Point pivot = shape.pivotCorrection();
    Cells cells = pass(shape);
    for (auto& c : cells) {
        c.first += pivot.x;
        c.second += pivot.y;
    }
    std::sort(cells.begin(), cells.end());
    return cells;
}

Cells sorted(Cells c)
{
    std::sort(c.begin(), c.end());
    return c;
}

TEST(PieceShape, NewShapeIsJustItsOrigin)
{
    PieceShape shape(7);
    EXPECT_EQ(shape.id, 7);
    EXPECT_EQ(shape.rotation, 0);
    EXPECT_TRUE(shape.rotatable);
    EXPECT_EQ(shape.colour, 0u);
    EXPECT_EQ(shape.minX, 0);
    EXPECT_EQ(shape.maxY, 0);
    EXPECT_EQ(pass(shape), (Cells{{0, 0}}));
    EXPECT_EQ(shape.cursor, &shape.head);
}

TEST(PieceShape, CellsAreWalkedOriginFirstThenNewestFirst)
{
    PieceShape shape(1);
    shape.addCell(-1, 1);
    shape.addCell(0, 1);
    shape.addCell(1, 1);
    EXPECT_EQ(shape.minX, -1);
    EXPECT_EQ(shape.minY, 0);
    EXPECT_EQ(shape.maxX, 1);
    EXPECT_EQ(shape.maxY, 1);
    EXPECT_EQ(pass(shape), (Cells{{0, 0}, {1, 1}, {0, 1}, {-1, 1}}));

    // The last nextCell puts the cursor back on the origin.
    shape.rotation = 1;
    shape.restartCells();
    while (shape.nextCell()) {
    }
    EXPECT_EQ(shape.cursor, &shape.head);
    const Point origin = shape.currentCell();
    const Point expected = shape.rotatePoint(0, 0);
    EXPECT_EQ(origin.x, expected.x);
    EXPECT_EQ(origin.y, expected.y);

    shape.rotation = 0;
    shape.freeCells();
    EXPECT_EQ(pass(shape), (Cells{{0, 0}}));
    EXPECT_EQ(shape.head.next, nullptr);
}

TEST(PieceShape, QuarterTurnsAboutTheRoundedCentre)
{
    struct Case {
        const char* name;
        Cells added;
        Cells byRotation[4];
    };
    const Case cases[] = {
        {"T", {{-1, 1}, {0, 1}, {1, 1}},
         {{{-1, 1}, {0, 0}, {0, 1}, {1, 1}},
          {{-1, -1}, {-1, 0}, {-1, 1}, {0, 0}},
          {{-1, -1}, {0, -1}, {1, -1}, {0, 0}},
          {{0, 0}, {1, -1}, {1, 0}, {1, 1}}}},
        {"bar", {{-2, 0}, {-1, 0}, {1, 0}},
         {{{-2, 0}, {-1, 0}, {0, 0}, {1, 0}},
          {{-1, -1}, {-1, 0}, {-1, 1}, {-1, 2}},
          {{-3, 0}, {-2, 0}, {-1, 0}, {0, 0}},
          {{-1, -2}, {-1, -1}, {-1, 0}, {-1, 1}}}},
        {"square", {{0, 1}, {1, 0}, {1, 1}},
         {{{0, 0}, {0, 1}, {1, 0}, {1, 1}},
          {{-1, 0}, {-1, 1}, {0, 0}, {0, 1}},
          {{-1, -1}, {-1, 0}, {0, -1}, {0, 0}},
          {{0, -1}, {0, 0}, {1, -1}, {1, 0}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PieceShape shape(1);
        for (auto [x, y] : c.added)
            shape.addCell(x, y);
        for (int r = 0; r < 4; ++r) {
            SCOPED_TRACE(r);
            EXPECT_EQ(offsets(shape, r), sorted(c.byRotation[r]));
        }
        // The box never turns with the shape.
        shape.rotation = 0;
        const Box box0 = shape.rotatedBounds();
        EXPECT_EQ(box0.minX, shape.minX);
        EXPECT_EQ(box0.maxY, shape.maxY);
    }
}

TEST(PieceShape, RotatedBoundsOfTheBar)
{
    PieceShape bar(2);
    bar.addCell(-2, 0);
    bar.addCell(-1, 0);
    bar.addCell(1, 0);
    bar.rotation = 1;
    const Box b = bar.rotatedBounds();
    EXPECT_EQ(b.minX, 0);
    EXPECT_EQ(b.maxX, 0);
    EXPECT_EQ(b.minY, -2);
    EXPECT_EQ(b.maxY, 1);
    // Centre (-1, 0) turned by a quarter is (0, -1): correction (-1, 1).
    const Point pivot = bar.pivotCorrection();
    EXPECT_EQ(pivot.x, -1);
    EXPECT_EQ(pivot.y, 1);
}

}  // namespace

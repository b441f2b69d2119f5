#include "core/piece_shape.h"

#include <gtest/gtest.h>

#include <set>
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

// Where the cells land relative to the origin under a rotation.
std::set<std::pair<int, int>> landed(PieceShape& shape, int rotation)
{
    std::set<std::pair<int, int>> cells;
    walkCells(shape, 0, 0, rotation, [&](int x, int y) { return cells.insert({x, y}), true; });
    return cells;
}

TEST(PieceShape, CellsAreWalkedOriginFirstThenNewestFirst)
{
    PieceShape shape(7);
    EXPECT_EQ(pass(shape), (Cells{{0, 0}}));
    shape.addCell(-1, 1);
    shape.addCell(0, 1);
    shape.addCell(1, 1);
    const Box box = shape.rotatedBounds();
    EXPECT_EQ((Cells{{box.minX, box.minY}, {box.maxX, box.maxY}}), (Cells{{-1, 0}, {1, 1}}));
    EXPECT_EQ(pass(shape), (Cells{{0, 0}, {1, 1}, {0, 1}, {-1, 1}}));

    // A pass that ran to its end leaves the cursor on the origin, turned.
    shape.rotation = 1;
    pass(shape);
    const Point origin = shape.currentCell();
    EXPECT_EQ(std::make_pair(origin.x, origin.y), std::make_pair(1, 0));

    shape.rotation = 0;
    shape.freeCells();
    EXPECT_EQ(pass(shape), (Cells{{0, 0}}));
}

TEST(PieceShape, QuarterTurnsAboutTheRoundedCentre)
{
    struct Case {
        const char* name;
        Cells added;
        std::set<std::pair<int, int>> byRotation[4];
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
        PieceShape shape(1);
        for (auto [x, y] : c.added)
            shape.addCell(x, y);
        for (int r = 0; r < 4; ++r)
            EXPECT_EQ(landed(shape, r), c.byRotation[r]) << c.name << ", rotation " << r;
        EXPECT_EQ(landed(shape, 4), c.byRotation[0]) << c.name << ": four turns come back";
    }
    // The bar's box turned by a quarter stands upright.
    PieceShape bar(2);
    for (auto [x, y] : Cells{{-2, 0}, {-1, 0}, {1, 0}})
        bar.addCell(x, y);
    bar.rotation = 1;
    const Box b = bar.rotatedBounds();
    EXPECT_EQ((Cells{{b.minX, b.minY}, {b.maxX, b.maxY}}), (Cells{{0, -2}, {0, 1}}));
}

}  // namespace

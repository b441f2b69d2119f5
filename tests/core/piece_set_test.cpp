#include "core/piece_set.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "core/game_state.h"
#include "tests/support/forced_pieces.h"

namespace {

int drawWith(PieceSet& set, int value)
{
    forceDraw(set, value);
    PieceShape* shape = set.pickRandom();
    return shape ? shape->id : -1;
}

// A quarter turn clockwise about the box's centre rounded down, written out
// from the rule rather than from the shape's own arithmetic.
std::set<std::pair<int, int>> turnedAboutCentre(const PieceShape& shape, int r)
{
    const int cx = (shape.minX + shape.maxX) >> 1;
    const int cy = (shape.minY + shape.maxY) >> 1;
    std::set<std::pair<int, int>> cells;
    for (const CellNode* n = &shape.head; n; n = n->next) {
        int dx = n->x - cx, dy = n->y - cy;
        for (int k = 0; k < r; ++k) {
            const int t = dx;
            dx = -dy;
            dy = t;
        }
        cells.insert({cx + dx, cy + dy});
    }
    return cells;
}

TEST(PieceSet, EveryStandardPieceHasFourCellsAndTurnsAboutItsCentre)
{
    PieceSet set(kPieceSetCapacity);
    set.registerStandardPieces();
    ASSERT_EQ(set.count, 7);
    for (int slot = 0; slot < 7; ++slot) {
        PieceShape& shape = *set.slots[slot];
        for (int r = 0; r < 4; ++r) {
            std::set<std::pair<int, int>> landed;
            shape.rotation = r;
            const Point pivot = shape.pivotCorrection();
            shape.restartCells();
            do {
                const Point c = shape.currentCell();
                landed.insert({c.x + pivot.x, c.y + pivot.y});
            } while (shape.nextCell());
            EXPECT_EQ(landed.size(), 4u) << "piece " << shape.id;
            EXPECT_EQ(landed, turnedAboutCentre(shape, r)) << "piece " << shape.id << ", rotation " << r;
        }
        shape.rotation = 0;
    }
    for (int slot = 7; slot < 10; ++slot)
        EXPECT_EQ(set.slots[slot], nullptr);
}

TEST(PieceSet, RemaindersPickTheFirstPieceTwice)
{
    PieceSet set(kPieceSetCapacity);
    set.registerStandardPieces();
    const int all[] = {1, 1, 2, 3, 131, 4, 5, 133};
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(drawWith(set, r), all[r]) << "remainder " << r;
    EXPECT_EQ(drawWith(set, 8 + 2), 2) << "taken modulo count + 1";

    set.removeExtendedPieces();
    EXPECT_EQ(set.count, 5);
    const int basic[] = {1, 1, 2, 3, 4, 5};
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(drawWith(set, r), basic[r]) << "remainder " << r;

    set.addExtendedPieces();  // back in their old slots
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(drawWith(set, r), all[r]) << "remainder " << r;
    PieceSet empty(kPieceSetCapacity);
    EXPECT_EQ(drawWith(empty, 1), -1) << "an empty set gives nothing";
}

TEST(PieceSet, RemovalAndAdditionRefusals)
{
    resetGameState();
    PieceSet set(kPieceSetCapacity);
    set.registerStandardPieces();
    EXPECT_FALSE(set.removeById(99));
    EXPECT_TRUE(set.removeById(131));
    EXPECT_FALSE(set.removeById(131));
    gameRunning = true;
    EXPECT_FALSE(set.removeById(1));
    gameRunning = false;
    EXPECT_EQ(set.count, 6);

    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(set.add(new PieceShape(200 + i)));
    EXPECT_EQ(set.slots[3]->id, 200) << "the lowest free slot first";
    PieceShape extra(300);
    EXPECT_FALSE(set.add(&extra));  // full: stays the caller's
    EXPECT_EQ(set.count, 10);
}

}  // namespace

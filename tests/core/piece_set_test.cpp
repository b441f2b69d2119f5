#include "core/piece_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

#include "core/game_state.h"

namespace {

int nextRemainder = 0;
int chosenRemainder() { return nextRemainder; }

int drawWith(PieceSet& set, int value)
{
    nextRemainder = value;
    set.random = chosenRemainder;
    PieceShape* shape = set.pickRandom();
    return shape ? shape->id : -1;
}

TEST(PieceSet, StandardRegistrationFillsSevenSlotsInOrder)
{
    PieceSet set(10);
    set.registerStandardPieces();
    EXPECT_EQ(set.capacity, 10);
    ASSERT_EQ(set.count, 7);
    const int ids[] = {1, 2, 3, 131, 4, 5, 133};
    const Colour colours[] = {0x002040F0, 0x0040F020, 0x00F02040, 0x00F02040, 0x00A020A0, 0x0040D0E0, 0x0040D0E0};
    struct B { int minX, minY, maxX, maxY; };
    const B boxes[] = {{-1, 0, 1, 1}, {-2, 0, 1, 0}, {0, -1, 1, 1}, {0, -1, 1, 1}, {0, 0, 1, 1}, {0, -2, 1, 0}, {-1, -2, 0, 0}};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(set.slots[i], nullptr);
        EXPECT_EQ(set.slots[i]->id, ids[i]);
        EXPECT_EQ(set.slots[i]->colour, colours[i]);
        EXPECT_EQ(set.slots[i]->rotatable, ids[i] != 4);
        EXPECT_EQ(set.slots[i]->minX, boxes[i].minX);
        EXPECT_EQ(set.slots[i]->minY, boxes[i].minY);
        EXPECT_EQ(set.slots[i]->maxX, boxes[i].maxX);
        EXPECT_EQ(set.slots[i]->maxY, boxes[i].maxY);
    }
    for (int i = 7; i < 10; ++i)
        EXPECT_EQ(set.slots[i], nullptr);
}

// Where each cell lands relative to the origin under rotation r, by the
// rule "a quarter turn clockwise about the box's centre rounded down".
std::set<std::pair<int, int>> turnedAboutCentre(const PieceShape& shape, int r)
{
    const int cx = (shape.minX + shape.maxX) >> 1;
    const int cy = (shape.minY + shape.maxY) >> 1;
    std::set<std::pair<int, int>> cells;
    for (const CellNode* n = &shape.head; n; n = n->next) {
        const int x = n->x, y = n->y;
        switch (r) {
        case 0: cells.insert({x, y}); break;
        case 1: cells.insert({cx + cy - y, cy + x - cx}); break;
        case 2: cells.insert({cx + cx - x, cy + cy - y}); break;
        default: cells.insert({cx + y - cy, cy + cx - x}); break;
        }
    }
    return cells;
}

TEST(PieceSet, EveryStandardPieceTurnsAboutItsRoundedCentre)
{
    PieceSet set(10);
    set.registerStandardPieces();
    for (int slot = 0; slot < 7; ++slot) {
        PieceShape& shape = *set.slots[slot];
        for (int r = 0; r < 4; ++r) {
            SCOPED_TRACE(testing::Message() << "piece " << shape.id << ", rotation " << r);
            shape.rotation = r;
            const Point pivot = shape.pivotCorrection();
            std::set<std::pair<int, int>> landed;
            shape.restartCells();
            do {
                const Point c = shape.currentCell();
                landed.insert({c.x + pivot.x, c.y + pivot.y});
            } while (shape.nextCell());
            EXPECT_EQ(landed.size(), 4u);
            EXPECT_EQ(landed, turnedAboutCentre(shape, r));
        }
        shape.rotation = 0;
    }
}

TEST(PieceSet, RemaindersPickTheFirstPieceTwice)
{
    PieceSet set(10);
    set.registerStandardPieces();
    const int all[] = {1, 1, 2, 3, 131, 4, 5, 133};
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(drawWith(set, r), all[r]) << "remainder " << r;
    // The draw is taken modulo count + 1.
    EXPECT_EQ(drawWith(set, 8 + 2), 2);

    set.removeExtendedPieces();
    EXPECT_EQ(set.count, 5);
    const int basic[] = {1, 1, 2, 3, 4, 5};
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(drawWith(set, r), basic[r]) << "remainder " << r;

    // Switched back on, the mirrors return to their old slots.
    set.addExtendedPieces();
    EXPECT_EQ(set.count, 7);
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(drawWith(set, r), all[r]) << "remainder " << r;

    PieceSet empty(10);
    empty.random = chosenRemainder;
    EXPECT_EQ(empty.pickRandom(), nullptr);
}

TEST(PieceSet, RemovalAndAdditionRefusals)
{
    resetGameState();
    PieceSet set(10);
    set.registerStandardPieces();
    EXPECT_FALSE(set.removeById(99));
    EXPECT_TRUE(set.removeById(131));
    EXPECT_FALSE(set.removeById(131));
    EXPECT_EQ(set.count, 6);

    gameRunning = true;
    EXPECT_FALSE(set.removeById(1));
    EXPECT_EQ(set.count, 6);
    gameRunning = false;

    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(set.add(new PieceShape(200 + i)));
    EXPECT_EQ(set.count, 10);
    PieceShape extra(300);
    EXPECT_FALSE(set.add(&extra));  // stays the caller's
    EXPECT_EQ(set.slots[3]->id, 200);  // the freed slot was reused first

    PieceSet none(0);
    PieceShape lone(1);
    EXPECT_FALSE(none.add(&lone));
}

}  // namespace

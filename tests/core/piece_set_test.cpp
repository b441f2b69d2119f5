#include "core/piece_set.h"

#include <gtest/gtest.h>

#include <set>

#include "core/game_state.h"
#include "tests/support/forced_pieces.h"

namespace {

// Every standard piece has four cells and turns by quarter turns clockwise
// about its box's centre rounded down: the rule written out here on its own.
TEST(PieceSet, EveryStandardPieceTurnsAboutItsRoundedCentre)
{
    PieceSet set(kPieceSetCapacity);
    set.registerStandardPieces();
    for (int slot = 0; slot < 7; ++slot) {
        PieceShape& shape = *set.slots[slot];
        const int cx = (shape.minX + shape.maxX) >> 1, cy = (shape.minY + shape.maxY) >> 1;
        for (int r = 0; r < 4; ++r) {
            std::set<std::pair<int, int>> expected, landed;
            for (const CellNode* n = &shape.head; n; n = n->next) {
                int dx = n->x - cx, dy = n->y - cy;
                for (int k = 0; k < r; ++k)
                    std::tie(dx, dy) = std::make_pair(-dy, dx);
                expected.insert({cx + dx, cy + dy});
            }
            shape.rotation = r;
            const Point pivot = shape.pivotCorrection();
            shape.restartCells();
            do
                landed.insert({shape.currentCell().x + pivot.x, shape.currentCell().y + pivot.y});
            while (shape.nextCell());
            EXPECT_TRUE(landed.size() == 4 && landed == expected) << "piece " << shape.id << ", rotation " << r;
        }
    }
}

TEST(PieceSet, DrawsWeightTheFirstPieceDoubleAndMirrorsComeAndGo)
{
    resetGameState();
    PieceSet set(kPieceSetCapacity);
    set.registerStandardPieces();
    auto draws = [&](int n) {
        std::vector<int> ids;
        for (int r = 0; r < n; ++r)
            ids.push_back((forceDraw(set, r), set.pickRandom()->id));
        return ids;
    };
    const std::vector<int> all = {1, 1, 2, 3, 131, 4, 5, 133};
    EXPECT_EQ(draws(8), all);
    EXPECT_EQ((forceDraw(set, 10), set.pickRandom()->id), 2) << "taken modulo count + 1";
    set.removeExtendedPieces();
    EXPECT_EQ(draws(6), (std::vector<int>{1, 1, 2, 3, 4, 5}));
    EXPECT_FALSE(set.removeById(131) || set.removeById(99)) << "gone already, or never there";
    set.addExtendedPieces();
    EXPECT_EQ(draws(8), all) << "back in their old slots";
    gameRunning = true;
    EXPECT_FALSE(set.removeById(1)) << "not while a game runs";
    gameRunning = false;
}

}  // namespace

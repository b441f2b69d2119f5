#include "core/well.h"

#include <gtest/gtest.h>

#include "core/piece_shape.h"
#include "shell_recorder.h"

namespace {

const PieceShape kRed(1);
const PieceShape kBlue(2);

TEST(BoardGeometry, SizesAndValidity)
{
    struct Case {
        int columns, rows, cellSize, lineWidth;
        int width, height, storedLine;
        bool valid;
    };
    const Case cases[] = {
        {8, 16, 20, 1, 169, 337, 1, true},
        {8, 16, 20, -3, 160, 320, 0, true},
        {0, 16, 20, 1, 1, 337, 1, false},
        {8, 0, 20, 1, 169, 1, 1, false},
        {8, 16, 0, 1, 9, 17, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.columns << "x" << c.rows << " cell " << c.cellSize << " line " << c.lineWidth);
        BoardGeometry g(c.columns, c.rows, c.cellSize, c.lineWidth);
        EXPECT_EQ(g.pixelWidth, c.width);
        EXPECT_EQ(g.pixelHeight, c.height);
        EXPECT_EQ(g.lineWidth, c.storedLine);
        EXPECT_EQ(g.isValid(), c.valid);
        Well well(&g);
        EXPECT_EQ(well.isValid(), c.valid);
        EXPECT_EQ(well.rowExists(0), c.valid);
        well.markAllRows();  // does nothing on an invalid well
        well.removeMarkedRows();
        g.clear();
        EXPECT_FALSE(g.isValid());
    }
    EXPECT_FALSE(Well(nullptr).isValid());
}

TEST(Well, RowsExistOnlyOnTheBoardAndAreFullWithAnyShapes)
{
    BoardGeometry g(8, 16, 20, 1);
    Well well(&g);
    EXPECT_FALSE(well.rowExists(-1));
    EXPECT_FALSE(well.rowExists(16));
    EXPECT_TRUE(well.rowExists(15));
    for (int c = 0; c < 8; ++c)
        well.setCell(c, 15, c == 3 ? &kBlue : &kRed);
    EXPECT_TRUE(well.isRowFull(15));
    well.setCell(7, 15, nullptr);
    EXPECT_FALSE(well.isRowFull(15));
    EXPECT_FALSE(well.isRowFull(16));
    well.markRow(-1);
    well.markRow(16);
    for (int r = 0; r < 16; ++r)
        EXPECT_EQ(well.rowMarks[r], 0) << r;
}

TEST(Well, RemovingMarkedRowsLetsTheRowsAboveSink)
{
    ShellRecorder shell;
    BoardGeometry g(8, 16, 20, 1);
    Well well(&g);
    // Each row r is tagged by a cell in column r % 8, so its identity shows.
    for (int r = 0; r < 16; ++r)
        well.setCell(r % 8, r, r % 2 ? &kRed : &kBlue);
    well.markRow(12);
    well.markRow(14);
    well.removeMarkedRows();
    auto taggedAs = [&](int row, int oldRow) {
        for (int c = 0; c < 8; ++c)
            if ((well.cellAt(c, row) != nullptr) != (c == oldRow % 8))
                return false;
        return well.cellAt(oldRow % 8, row) == (oldRow % 2 ? &kRed : &kBlue);
    };
    EXPECT_TRUE(taggedAs(15, 15));
    EXPECT_TRUE(taggedAs(14, 13));
    for (int r = 0; r <= 11; ++r)
        EXPECT_TRUE(taggedAs(r + 2, r)) << "old row " << r;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 8; ++c)
            EXPECT_EQ(well.cellAt(c, r), nullptr);
    for (int r = 0; r < 16; ++r)
        EXPECT_EQ(well.rowMarks[r], 0);
    EXPECT_EQ(shell.events, (std::vector<std::string>{"redraw", "repaint"}));

    shell.events.clear();
    well.removeMarkedRows();  // nothing marked: nothing moves or repaints
    EXPECT_TRUE(shell.events.empty());
    EXPECT_TRUE(taggedAs(2, 0));

    well.markAllRows();
    well.removeMarkedRows();
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 8; ++c)
            ASSERT_EQ(well.cellAt(c, r), nullptr);
}

}  // namespace

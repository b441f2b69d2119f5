#include "core/well.h"

#include <gtest/gtest.h>

#include "core/piece_shape.h"
#include "shell_recorder.h"

namespace {

const PieceShape kRed(1), kBlue(2);

// (Only the standard board is ever built; other geometries are not tested.)
TEST(Well, TheStandardBoardAndItsRows)
{
    const BoardGeometry standard(8, 16, 20, 1);
    EXPECT_EQ(std::make_tuple(standard.pixelWidth, standard.pixelHeight, standard.isValid()), std::make_tuple(169, 337, true));
    Well well(&standard);
    EXPECT_FALSE(well.rowExists(-1) || well.rowExists(16) || well.isRowFull(16));
    for (int c = 0; c < 8; ++c)
        well.setCell(c, 15, c == 3 ? &kBlue : &kRed);
    EXPECT_TRUE(well.isRowFull(15)) << "any shapes make a full row";
    well.setCell(7, 15, nullptr);
    EXPECT_FALSE(well.isRowFull(15));
}

TEST(Well, RemovingMarkedRowsLetsTheRowsAboveSink)
{
    ShellRecorder shell;
    BoardGeometry g(8, 16, 20, 1);
    Well well(&g);
    // Row r is tagged by a cell in column r % 8, red or blue, so it can be followed.
    for (int r = 0; r < 16; ++r)
        well.setCell(r % 8, r, r % 2 ? &kRed : &kBlue);
    auto holds = [&](int row, int oldRow) {
        int cells = 0;
        for (int c = 0; c < 8; ++c)
            cells += well.cellAt(c, row) != nullptr;
        return oldRow < 0 ? cells == 0 : cells == 1 && well.cellAt(oldRow % 8, row) == (oldRow % 2 ? &kRed : &kBlue);
    };
    well.markRow(12);
    well.markRow(14);
    well.markRow(-1);
    well.markRow(16);
    well.removeMarkedRows();
    const int was[16] = {-1, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15};
    for (int r = 0; r < 16; ++r) {
        EXPECT_TRUE(holds(r, was[r])) << "row " << r;
        EXPECT_EQ(well.rowMarks[r], 0);
    }
    EXPECT_EQ(shell.events, (std::vector<std::string>{"redraw", "repaint"}));
    shell.events.clear();
    well.removeMarkedRows();
    EXPECT_TRUE(shell.events.empty()) << "nothing marked: nothing moves or repaints";
    well.markAllRows();
    well.removeMarkedRows();
    for (int r = 0; r < 16; ++r)
        EXPECT_TRUE(holds(r, -1)) << "row " << r;
}

}  // namespace

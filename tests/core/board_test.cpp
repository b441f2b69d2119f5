#include "core/board.h"

#include <gtest/gtest.h>

#include "core/piece_shape.h"
#include "shell_recorder.h"

namespace {

const PieceShape kRed(1);
const PieceShape kBlue(2);

void fillRow(Well& well, int row, const PieceShape* shape)
{
    for (int c = 0; c < well.geometry->columns; ++c)
        well.setCell(c, row, shape);
}

TEST(BoardGeometry, MeasuresTheBoardFromItsCells)
{
    BoardGeometry standard(8, 16, 20, 1);
    EXPECT_EQ(standard.pixelWidth, 169);
    EXPECT_EQ(standard.pixelHeight, 337);
    EXPECT_EQ(standard.originX, 0);
    EXPECT_EQ(standard.originY, 0);
    EXPECT_TRUE(standard.isValid());

    BoardGeometry noLines(8, 16, 20, -3);
    EXPECT_EQ(noLines.lineWidth, 0);
    EXPECT_EQ(noLines.pixelWidth, 160);
    EXPECT_EQ(noLines.pixelHeight, 320);
    EXPECT_TRUE(noLines.isValid());

    standard.clear();
    EXPECT_EQ(standard.pixelWidth, 0);
    EXPECT_EQ(standard.columns, 0);
    EXPECT_EQ(standard.lineWidth, 0);
    EXPECT_FALSE(standard.isValid());
}

TEST(Well, BuiltFromAnInvalidGeometryStaysInvalidAndInert)
{
    for (const BoardGeometry& g : {BoardGeometry(0, 16, 20, 1), BoardGeometry(8, 0, 20, 1), BoardGeometry(8, 16, 0, 1)}) {
        Well well(&g);
        EXPECT_FALSE(well.isValid());
        EXPECT_EQ(well.rowCells, nullptr);
        EXPECT_EQ(well.rowMarks, nullptr);
        EXPECT_EQ(well.geometry, nullptr);
        EXPECT_FALSE(well.rowExists(0));
        EXPECT_FALSE(well.isRowFull(0));
        well.markRow(0);
        well.markAllRows();
        well.removeMarkedRows();
    }
    Well none(nullptr);
    EXPECT_FALSE(none.isValid());
}

TEST(Well, RowTestsKeepToTheBoard)
{
    BoardGeometry g(8, 16, 20, 1);
    Well well(&g);
    ASSERT_TRUE(well.isValid());
    EXPECT_FALSE(well.rowExists(-1));
    EXPECT_FALSE(well.rowExists(16));
    EXPECT_TRUE(well.rowExists(0));
    EXPECT_TRUE(well.rowExists(15));

    fillRow(well, 15, &kRed);
    well.setCell(3, 15, &kBlue);  // any shapes make a full row
    EXPECT_TRUE(well.isRowFull(15));
    well.setCell(7, 15, nullptr);
    EXPECT_FALSE(well.isRowFull(15));
    EXPECT_FALSE(well.isRowFull(16));

    well.markRow(-1);
    well.markRow(16);
    for (int r = 0; r < 16; ++r)
        EXPECT_EQ(well.rowMarks[r], 0) << r;
}

TEST(Well, RemovingMarkedRowsMovesTheRowsAboveDown)
{
    ShellRecorder shell;
    BoardGeometry g(8, 16, 20, 1);
    Well well(&g);
    // Tag every row by a cell in the column that matches row % 8, so each
    // row's identity can be followed.
    Well::Cell* original[16];
    for (int r = 0; r < 16; ++r) {
        well.setCell(r % 8, r, (r % 2) ? &kRed : &kBlue);
        original[r] = well.rowCells[r];
    }
    well.markRow(12);
    well.markRow(14);
    well.removeMarkedRows();

    EXPECT_EQ(well.rowCells[15], original[15]);
    EXPECT_EQ(well.rowCells[14], original[13]);
    for (int r = 0; r <= 11; ++r)
        EXPECT_EQ(well.rowCells[r + 2], original[r]) << "old row " << r;
    for (int r = 0; r < 2; ++r) {
        ASSERT_TRUE(well.rowExists(r));
        for (int c = 0; c < 8; ++c)
            EXPECT_EQ(well.cellAt(c, r), nullptr);
    }
    for (int r = 0; r < 16; ++r)
        EXPECT_EQ(well.rowMarks[r], 0);
    EXPECT_EQ(well.cellAt(5, 7), &kRed);  // old row 5 keeps its cell
    EXPECT_EQ(shell.events, (std::vector<std::string>{"redraw", "repaint"}));

    // Nothing marked: nothing moves and nothing is repainted.
    shell.events.clear();
    Well::Cell* before = well.rowCells[9];
    well.removeMarkedRows();
    EXPECT_TRUE(shell.events.empty());
    EXPECT_EQ(well.rowCells[9], before);
}

TEST(Well, MarkAllRowsThenRemoveEmptiesTheBoard)
{
    ShellRecorder shell;
    BoardGeometry g(8, 16, 20, 1);
    Well well(&g);
    for (int r = 0; r < 16; ++r)
        fillRow(well, r, &kRed);
    well.markAllRows();
    well.removeMarkedRows();
    for (int r = 0; r < 16; ++r) {
        EXPECT_EQ(well.rowMarks[r], 0);
        for (int c = 0; c < 8; ++c)
            ASSERT_EQ(well.cellAt(c, r), nullptr) << c << "," << r;
    }
    EXPECT_EQ(shell.events, (std::vector<std::string>{"redraw", "repaint"}));
}

}  // namespace

#include "draw/board_drawing.h"

#include <gtest/gtest.h>

#include "core/game_state.h"
#include "draw/back_buffer.h"
#include "draw/gdi_objects.h"
#include "test_window.h"

namespace {

constexpr COLORREF kGray = RGB(128, 128, 128);
constexpr COLORREF kDarkGrid = RGB(90, 90, 90);

int chosen = 1;
int chosenRemainder() { return chosen; }

class BoardDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGameState();
        window = createTestWindow(169, 362);
        ASSERT_NE(window, nullptr);
        buffer.window = window;
        ASSERT_TRUE(buffer.createBitmap(geometry.pixelWidth, geometry.pixelHeight));
        set.registerStandardPieces();
        set.random = chosenRemainder;
        dc = buffer.beginDrawing();
        ASSERT_NE(dc, nullptr);
    }
    void TearDown() override
    {
        buffer.endDrawing();
        buffer.deleteBitmap();
        DestroyWindow(window);
        EXPECT_EQ(liveGdiObjects(), 0) << "a pen, brush or DC outlived its drawing step";
    }
    // Spawns the standard piece in `slot` of the set.
    void spawnSlot(int slot)
    {
        chosen = slot + 1;
        piece.spawn(set);
        ASSERT_EQ(piece.shape, set.slots[slot]);
    }
    int cellLeft(int column) const { return 1 + 21 * column; }
    int cellTop(int row) const { return 1 + 21 * row; }
    // Every pixel of the cell square (c, r) has one colour.
    bool cellIs(int c, int r, COLORREF colour) const
    {
        for (int y = cellTop(r); y < cellTop(r) + 20; ++y)
            for (int x = cellLeft(c); x < cellLeft(c) + 20; ++x)
                if (GetPixel(dc, x, y) != colour)
                    return false;
        return true;
    }
    // The cell square shows a tile of this colour (checked at its corners,
    // edges and centre).
    bool tileAt(int c, int r, COLORREF colour) const
    {
        const int x = cellLeft(c), y = cellTop(r);
        return GetPixel(dc, x, y) == colour && GetPixel(dc, x + 10, y) == colour &&
               GetPixel(dc, x + 10, y + 10) == tileBodyColour(colour) &&
               GetPixel(dc, x + 19, y + 19) == tileDarkColour(colour) &&
               GetPixel(dc, x + 19, y) == tileBodyColour(colour);
    }

    HWND window = nullptr;
    BackBuffer buffer;
    HDC dc = nullptr;
    BoardGeometry geometry{8, 16, 20, 1};
    Well well{&geometry};
    PieceSet set{10};
    FallingPiece piece{&well, &set};
};

TEST_F(BoardDrawing, StartUpPictureIsGrayCellsAndDarkGridEveryPixel)
{
    fillSolid(dc, 0, 0, 169, 337, RGB(1, 1, 1));
    drawInitialPicture(geometry, dc);
    int wrong = 0;
    for (int y = 0; y < 337; ++y) {
        for (int x = 0; x < 169; ++x) {
            const COLORREF expected = (x % 21 == 0 || y % 21 == 0) ? kDarkGrid : kGray;
            if (GetPixel(dc, x, y) != expected && ++wrong < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
        }
    }
    EXPECT_EQ(wrong, 0);

    // And so it reaches the window.
    buffer.endDrawing();
    buffer.blitToWindow();
    EXPECT_EQ(windowPixel(window, 21, 5), kDarkGrid);
    EXPECT_EQ(windowPixel(window, 30, 30), kGray);
    EXPECT_EQ(windowPixel(window, 168, 336), kDarkGrid);
    dc = buffer.beginDrawing();
}

TEST_F(BoardDrawing, TileBevelPixelByPixel)
{
    drawTile(dc, 1, 1, &geometry, 0x2040F0);
    const COLORREF light = RGB(240, 64, 32), dark = RGB(144, 38, 19), body = RGB(192, 51, 25);
    for (int y = 1; y <= 20; ++y) {
        for (int x = 1; x <= 20; ++x) {
            COLORREF expected = body;
            if ((y == 1 && x <= 19) || (x == 1 && y <= 19))
                expected = light;
            else if ((y == 20 && x >= 2) || (x == 20 && y >= 2))
                expected = dark;
            ASSERT_EQ(GetPixel(dc, x, y), expected) << "(" << x << ", " << y << ")";
        }
    }
    EXPECT_EQ(tileBodyColour(0xA020A0), RGB(128, 25, 128));
    EXPECT_EQ(tileDarkColour(0xA020A0), RGB(96, 19, 96));

    // Channels 255, 5 and 0.
    drawTile(dc, 22, 1, &geometry, RGB(255, 5, 0));
    EXPECT_EQ(GetPixel(dc, 30, 10), RGB(204, 4, 0));
    EXPECT_EQ(GetPixel(dc, 41, 20), RGB(153, 3, 0));
    EXPECT_EQ(GetPixel(dc, 22, 1), RGB(255, 5, 0));
    // Only the three low bytes of a colour count.
    drawTile(dc, 43, 1, &geometry, 0x05000000 | RGB(255, 5, 0));
    EXPECT_EQ(GetPixel(dc, 43, 1), RGB(255, 5, 0));
    EXPECT_EQ(GetPixel(dc, 50, 10), RGB(204, 4, 0));

    // The caller's pen is back in place afterwards.
    HPEN mine = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HGDIOBJ before = SelectObject(dc, mine);
    drawTile(dc, 64, 1, &geometry, 0x2040F0);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), mine);
    SelectObject(dc, before);
    DeleteObject(mine);

    // Null surface or invalid geometry: nothing, and no crash.
    drawTile(nullptr, 1, 1, &geometry, 0x2040F0);
    BoardGeometry invalid(0, 16, 20, 1);
    fillSolid(dc, 85, 1, 105, 21, kGray);
    drawTile(dc, 85, 1, &invalid, 0x2040F0);
    drawEmptyCell(dc, 85, 1, nullptr);
    EXPECT_EQ(GetPixel(dc, 85, 1), kGray);
}

TEST_F(BoardDrawing, WellRepaintTouchesOnlyCellSquares)
{
    const COLORREF marker = RGB(3, 200, 3);
    fillSolid(dc, 0, 0, 169, 337, marker);
    drawWell(well, dc, false);
    for (int y = 0; y < 337; ++y)
        for (int x = 0; x < 169; ++x) {
            const bool grid = x % 21 == 0 || y % 21 == 0;
            ASSERT_EQ(GetPixel(dc, x, y), grid ? marker : kGray) << "(" << x << ", " << y << ")";
        }

    well.setCell(0, 15, set.slots[0]);
    well.setCell(7, 0, set.slots[4]);
    well.setCell(3, 8, set.slots[1]);
    drawWell(well, dc, false);
    EXPECT_TRUE(tileAt(0, 15, 0x2040F0));
    EXPECT_TRUE(tileAt(7, 0, 0xA020A0));
    EXPECT_TRUE(tileAt(3, 8, 0x40F020));
    EXPECT_TRUE(cellIs(1, 15, kGray));
    EXPECT_EQ(GetPixel(dc, 0, 330), marker);

    // With the grid flag the light grid goes over it all.
    drawWell(well, dc, true);
    EXPECT_EQ(GetPixel(dc, 0, 330), RGB(160, 160, 176));
    EXPECT_EQ(GetPixel(dc, 84, 100), RGB(160, 160, 176));
    EXPECT_FALSE(drawGridLines(geometry, nullptr, kDarkGrid, PS_SOLID));
}

TEST_F(BoardDrawing, MovingAPieceErasesItsOldSquaresFirst)
{
    drawInitialPicture(geometry, dc);
    spawnSlot(4);  // the square, columns 4-5, rows 0-1
    piece.y = 3;
    drawFallingPiece(piece, dc);
    EXPECT_TRUE(tileAt(4, 3, 0xA020A0));
    EXPECT_TRUE(tileAt(5, 4, 0xA020A0));
    EXPECT_TRUE(cellIs(4, 0, kGray)) << "the spawn place was erased, never drawn";
    EXPECT_EQ(piece.prevY, 3);

    ++piece.x;
    drawFallingPiece(piece, dc);
    EXPECT_TRUE(cellIs(4, 3, kGray));
    EXPECT_TRUE(cellIs(4, 4, kGray));
    EXPECT_TRUE(tileAt(5, 3, 0xA020A0)) << "a shared square ends as a tile";
    EXPECT_TRUE(tileAt(6, 4, 0xA020A0));
    EXPECT_EQ(piece.prevX, 5);
    EXPECT_EQ(GetPixel(dc, 105, 70), kDarkGrid) << "grid untouched";

    // The square never turns, whatever the counters say.
    piece.rotation = 1;
    piece.prevRotation = 3;
    drawFallingPiece(piece, dc);
    EXPECT_EQ(piece.shape->rotation, 0);
    EXPECT_TRUE(tileAt(5, 3, 0xA020A0));
    EXPECT_TRUE(tileAt(6, 4, 0xA020A0));
    EXPECT_TRUE(cellIs(4, 3, kGray));
    EXPECT_EQ(piece.prevRotation, 1);
}

TEST_F(BoardDrawing, TurningTheBarRedrawsItUpright)
{
    drawInitialPicture(geometry, dc);
    spawnSlot(1);
    piece.y = 1;
    drawFallingPiece(piece, dc);
    for (int c = 4; c < 8; ++c)
        EXPECT_TRUE(tileAt(c, 1, 0x40F020)) << c;
    ASSERT_TRUE(piece.canRotateRight());
    piece.rotateRight();
    drawFallingPiece(piece, dc);
    for (int r = 0; r < 4; ++r)
        EXPECT_TRUE(tileAt(5, r, 0x40F020)) << r;
    for (int c : {4, 6, 7})
        EXPECT_TRUE(cellIs(c, 1, kGray)) << c;
}

TEST_F(BoardDrawing, APieceWithoutAShapeDrawsNothing)
{
    fillSolid(dc, 0, 0, 169, 337, RGB(9, 9, 9));
    piece.prevX = 2;
    drawFallingPiece(piece, dc);
    eraseFallingPiece(piece, dc);
    EXPECT_EQ(piece.prevX, 2);
    for (int y = 0; y < 337; y += 7)
        for (int x = 0; x < 169; x += 7)
            ASSERT_EQ(GetPixel(dc, x, y), RGB(9, 9, 9));
}

TEST_F(BoardDrawing, ManyDrawingStepsLeaveNoGdiObjectBehind)
{
    buffer.endDrawing();
    spawnSlot(0);
    piece.y = 2;
    for (int step = 0; step < 500; ++step) {
        HDC surface = buffer.beginDrawing();
        ASSERT_NE(surface, nullptr);
        piece.x = 1 + step % 6;
        drawFallingPiece(piece, surface);
        if (step % 50 == 0) {
            drawWell(well, surface, step % 100 == 0);
            drawInitialPicture(geometry, surface);
        }
        buffer.endDrawing();
        buffer.blitToWindow();
        ASSERT_EQ(liveGdiObjects(), 0) << "step " << step;
    }
    dc = buffer.beginDrawing();
}

}  // namespace

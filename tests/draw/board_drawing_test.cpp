#include "draw/board_drawing.h"

#include <gtest/gtest.h>

#include "core/game_state.h"
#include "draw/back_buffer.h"
#include "draw/gdi_objects.h"
#include "tests/support/forced_pieces.h"
#include "tests/support/win_test.h"

namespace {

constexpr COLORREF kGray = RGB(128, 128, 128);
constexpr COLORREF kGrid = RGB(90, 90, 90);
constexpr COLORREF kSquare = 0xA020A0;

// Drawing into a memory DC of the board's size: no window needed.
class BoardDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetGameState();
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, g.pixelWidth, g.pixelHeight);
        ReleaseDC(nullptr, screen);
        ASSERT_TRUE(dc && bitmap);
        previous = SelectObject(dc, bitmap);
        set.registerStandardPieces();
    }
    void TearDown() override
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
        EXPECT_EQ(liveGdiObjects(), 0) << "a pen, brush or DC outlived its drawing step";
    }
    // Every pixel of the cell square has one colour.
    bool cellIs(int c, int r, COLORREF colour) const
    {
        return countPixels(dc, g.cellLeft(c), g.cellTop(r), g.cellLeft(c) + 20, g.cellTop(r) + 20, colour) == 400;
    }
    // The square shows a tile: light top-left, body inside, dark bottom-right.
    bool tileAt(int c, int r, COLORREF colour) const
    {
        const int x = g.cellLeft(c), y = g.cellTop(r);
        return GetPixel(dc, x, y) == colour && GetPixel(dc, x + 10, y + 10) == tileBodyColour(colour) &&
               GetPixel(dc, x + 19, y + 19) == tileDarkColour(colour);
    }

    BoardGeometry g{kBoardColumns, kBoardRows, kCellSize, kGridLineWidth};
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    Well well{&g};
    PieceSet set{kPieceSetCapacity};
    FallingPiece piece{&well, &set};
};

TEST_F(BoardDrawing, TileBevelPixelByPixel)
{
    drawTile(dc, 1, 1, &g, 0x2040F0);
    const COLORREF light = RGB(240, 64, 32), dark = RGB(144, 38, 19), body = RGB(192, 51, 25);
    for (int y = 1; y <= 20; ++y)
        for (int x = 1; x <= 20; ++x) {
            COLORREF expected = body;
            if ((y == 1 && x <= 19) || (x == 1 && y <= 19))
                expected = light;
            else if ((y == 20 && x >= 2) || (x == 20 && y >= 2))
                expected = dark;
            ASSERT_EQ(GetPixel(dc, x, y), expected) << "(" << x << ", " << y << ")";
        }
    HPEN mine = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HGDIOBJ before = SelectObject(dc, mine);
    drawTile(dc, 22, 1, &g, 0x2040F0);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), mine) << "the caller's pen goes back";
    DeleteObject(SelectObject(dc, before));
}

// Each channel times 0.8 and 0.6, truncated, is the largest k with
// 5k <= 4c (or 3c): the same on every build, for all 256 values.
TEST_F(BoardDrawing, ShadesOfEveryChannelValue)
{
    auto floorFifths = [](int c, int times) {
        int k = 0;
        while (5 * (k + 1) <= times * c)
            ++k;
        return k;
    };
    int wrong = 0;
    for (int c = 0; c < 256; ++c) {
        const int other = 255 - c;
        drawTile(dc, 1, 1, &g, 0x7F000000 | RGB(c, other, c));
        const COLORREF body = RGB(floorFifths(c, 4), floorFifths(other, 4), floorFifths(c, 4));
        const COLORREF dark = RGB(floorFifths(c, 3), floorFifths(other, 3), floorFifths(c, 3));
        if (GetPixel(dc, 10, 10) != body || GetPixel(dc, 20, 20) != dark || GetPixel(dc, 1, 1) != RGB(c, other, c)) {
            ADD_FAILURE() << "channel value " << c << ": body " << std::hex << GetPixel(dc, 10, 10) << ", dark "
                          << GetPixel(dc, 20, 20);
            if (++wrong > 5)
                break;
        }
    }
}

TEST_F(BoardDrawing, IdlePictureAndWellRepaintsKeepTheGrid)
{
    fillSolid(dc, 0, 0, g.pixelWidth, g.pixelHeight, RGB(1, 1, 1));
    drawIdlePicture(g, dc);
    auto onGrid = [&](int x, int y) { return x % g.pitch() == 0 || y % g.pitch() == 0; };
    for (int y = 0; y < g.pixelHeight; ++y)
        for (int x = 0; x < g.pixelWidth; ++x)
            ASSERT_EQ(GetPixel(dc, x, y), onGrid(x, y) ? kGrid : kGray) << "(" << x << ", " << y << ")";

    const COLORREF marker = RGB(3, 200, 3);
    fillSolid(dc, 0, 0, g.pixelWidth, g.pixelHeight, marker);
    well.setCell(0, 15, set.slots[0]);
    well.setCell(7, 0, set.slots[4]);
    drawWell(well, dc, false);
    EXPECT_TRUE(tileAt(0, 15, 0x2040F0));
    EXPECT_TRUE(tileAt(7, 0, kSquare));
    EXPECT_TRUE(cellIs(1, 15, kGray));
    for (int y = 0; y < g.pixelHeight; y += 3)
        for (int x = 0; x < g.pixelWidth; ++x)
            ASSERT_TRUE(!onGrid(x, y) || GetPixel(dc, x, y) == marker) << "grid pixel (" << x << ", " << y << ") touched";
    drawWell(well, dc, true);
    EXPECT_EQ(GetPixel(dc, 0, 330), RGB(160, 160, 176)) << "the well's own grid, when asked for";
}

TEST_F(BoardDrawing, AMovedPieceIsErasedWhereItWasThenDrawn)
{
    drawIdlePicture(g, dc);
    forceSlot(set, 4);  // the square, entering at columns 4-5, rows 0-1
    piece.spawn();
    piece.y = 3;
    drawFallingPiece(piece, dc);
    EXPECT_TRUE(tileAt(4, 3, kSquare) && tileAt(5, 4, kSquare));
    EXPECT_TRUE(cellIs(4, 0, kGray)) << "the spawn place was erased";
    ++piece.x;
    piece.rotation = 1;  // the square never turns, whatever its counter says
    piece.prevRotation = 3;
    drawFallingPiece(piece, dc);
    EXPECT_TRUE(cellIs(4, 3, kGray) && cellIs(4, 4, kGray));
    EXPECT_TRUE(tileAt(5, 3, kSquare)) << "a square of both places ends as a tile";
    EXPECT_TRUE(tileAt(6, 4, kSquare));
    EXPECT_EQ(std::make_tuple(piece.prevX, piece.prevY, piece.prevRotation), std::make_tuple(5, 3, 1));
    EXPECT_EQ(GetPixel(dc, 105, 70), kGrid) << "grid untouched";
}

TEST_F(BoardDrawing, NothingIsDrawnWithoutASurfaceAGeometryOrAShape)
{
    fillSolid(dc, 0, 0, g.pixelWidth, g.pixelHeight, RGB(9, 9, 9));
    BoardGeometry invalid(0, 16, 20, 1);
    drawTile(dc, 1, 1, &invalid, 0x2040F0);
    drawEmptyCell(dc, 1, 1, nullptr);
    drawTile(nullptr, 1, 1, &g, 0x2040F0);
    EXPECT_FALSE(drawGridLines(g, nullptr, kGrid, PS_SOLID));
    piece.prevX = 2;
    drawFallingPiece(piece, dc);  // no shape yet
    EXPECT_EQ(piece.prevX, 2);
    EXPECT_EQ(countPixels(dc, 0, 0, g.pixelWidth, g.pixelHeight, RGB(9, 9, 9)), g.pixelWidth * g.pixelHeight);
}

}  // namespace

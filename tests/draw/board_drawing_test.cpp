#include "draw/board_drawing.h"

#include <gtest/gtest.h>

#include "core/game_state.h"
#include "draw/back_buffer.h"
#include "draw/gdi_objects.h"
#include "tests/support/forced_pieces.h"
#include "tests/support/win_test.h"

namespace {

constexpr COLORREF kGray = RGB(128, 128, 128), kGrid = RGB(90, 90, 90), kSquare = 0xA020A0;

struct BoardDrawing : ::testing::Test {
    BoardGeometry g{kBoardColumns, kBoardRows, kCellSize, kGridLineWidth};
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(g.pixelWidth, g.pixelHeight, 1, 32, nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    Well well{&g};
    PieceSet set{kPieceSetCapacity};
    FallingPiece piece{&well, &set};

    void SetUp() override { set.registerStandardPieces(); }
    void TearDown() override
    {
        DeleteObject(SelectObject(dc, previous));
        DeleteDC(dc);
        EXPECT_EQ(liveGdiObjects(), 0) << "a pen or brush outlived its drawing step";
    }
    bool cellIs(int c, int r, COLORREF colour) const
    {
        return countPixels(dc, g.cellLeft(c), g.cellTop(r), g.cellLeft(c) + 20, g.cellTop(r) + 20, colour) == 400;
    }
    bool tileAt(int c, int r, COLORREF colour) const  // light top-left, body, dark bottom-right
    {
        const int x = g.cellLeft(c), y = g.cellTop(r);
        return GetPixel(dc, x, y) == colour && GetPixel(dc, x + 10, y + 10) == tileBodyColour(colour) &&
               GetPixel(dc, x + 19, y + 19) == tileDarkColour(colour);
    }
};

TEST_F(BoardDrawing, TileBevelPixelByPixelAndItsShadesForEveryChannelValue)
{
    drawTile(dc, 1, 1, &g, 0x2040F0);
    const COLORREF light = RGB(240, 64, 32), dark = RGB(144, 38, 19), body = RGB(192, 51, 25);
    for (int y = 1; y <= 20; ++y)
        for (int x = 1; x <= 20; ++x) {
            const bool lit = (y == 1 && x <= 19) || (x == 1 && y <= 19), shaded = (y == 20 && x >= 2) || (x == 20 && y >= 2);
            ASSERT_EQ(GetPixel(dc, x, y), lit ? light : shaded ? dark : body) << "(" << x << ", " << y << ")";
        }
    // Each channel times 0.8 and 0.6, truncated, is the largest k with
    // 5k <= 4c (or 3c): the same in every build, for all 256 values.
    auto fifths = [](int c, int times) {
        int k = 0;
        while (5 * (k + 1) <= times * c)
            ++k;
        return k;
    };
    for (int c = 0; c < 256; ++c) {
        drawTile(dc, 1, 1, &g, 0x7F000000 | RGB(c, 255 - c, c));
        ASSERT_EQ(GetPixel(dc, 1, 1), RGB(c, 255 - c, c)) << c;
        ASSERT_EQ(GetPixel(dc, 10, 10), RGB(fifths(c, 4), fifths(255 - c, 4), fifths(c, 4))) << "body of " << c;
        ASSERT_EQ(GetPixel(dc, 20, 20), RGB(fifths(c, 3), fifths(255 - c, 3), fifths(c, 3))) << "dark edge of " << c;
    }
}

TEST_F(BoardDrawing, IdlePictureAndWellRepaintsThatKeepTheGrid)
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
    EXPECT_TRUE(tileAt(0, 15, 0x2040F0) && tileAt(7, 0, kSquare) && cellIs(1, 15, kGray));
    for (int y = 0; y < g.pixelHeight; y += 3)
        for (int x = 0; x < g.pixelWidth; ++x)
            ASSERT_TRUE(!onGrid(x, y) || GetPixel(dc, x, y) == marker) << "grid pixel (" << x << ", " << y << ") touched";
}

TEST_F(BoardDrawing, APieceIsErasedWhereItWasThenDrawnWhereItIs)
{
    drawIdlePicture(g, dc);
    forceSlot(set, 4);  // the square, entering at columns 4-5, rows 0-1
    piece.spawn();
    piece.y = 3;
    drawFallingPiece(piece, dc);
    EXPECT_TRUE(tileAt(4, 3, kSquare) && tileAt(5, 4, kSquare) && cellIs(4, 0, kGray));
    ++piece.x;
    piece.rotation = 1;  // the square never turns, whatever its counters say
    piece.prevRotation = 3;
    drawFallingPiece(piece, dc);
    EXPECT_TRUE(cellIs(4, 3, kGray) && cellIs(4, 4, kGray) && tileAt(6, 4, kSquare));
    EXPECT_TRUE(tileAt(5, 3, kSquare)) << "a square of both places ends as a tile";
    EXPECT_EQ(std::make_tuple(piece.prevX, piece.prevY, piece.prevRotation), std::make_tuple(5, 3, 1));
    EXPECT_EQ(GetPixel(dc, 105, 70), kGrid) << "grid untouched";
}


constexpr COLORREF kRed = RGB(200, 10, 10), kGreen = RGB(10, 200, 10), kMark = RGB(7, 7, 7);
constexpr int kW = 169, kH = 337, kWindowH = kH + 25;  // any sizes do; these are the game's

TEST(BackBuffer, TheBitmapReachesTheWindowWithOrWithoutAnOpenSurface)
{
    BackBuffer buffer;
    // A plain popup: nothing paints it while no messages are pumped.
    HWND window = buffer.window = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 40, 40, kW, kWindowH, nullptr, nullptr, nullptr, nullptr);
    auto pixel = [&](int x, int y) { HDC d = GetDC(window); const COLORREF c = GetPixel(d, x, y); return ReleaseDC(window, d), c; };
    auto markWindow = [&] {
        HDC dc = GetDC(window);
        fillSolid(dc, 0, 0, kW, kWindowH, kMark);
        ReleaseDC(window, dc);
    };
    ASSERT_TRUE(buffer.createBitmap(kW, kH));
    HDC dc = buffer.beginDrawing();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(buffer.beginDrawing(), nullptr) << "surfaces never nest";
    fillSolid(dc, 0, 0, kW, kH, kRed);
    fillSolid(dc, 100, 200, kW, kH, kGreen);
    markWindow();
    buffer.blitToWindow();
    EXPECT_EQ(buffer.memoryDC, dc) << "the copy leaves the open surface open";
    EXPECT_EQ(std::make_tuple(pixel(0, 0), pixel(kW - 1, kH - 1), pixel(kW - 1, kH)),
              std::make_tuple(kRed, kGreen, kMark)) << "the whole board at (0, 0), nothing below it";
    buffer.endDrawing();
    EXPECT_EQ(GetObjectType(dc), 0u) << "the memory DC is deleted";
    markWindow();
    buffer.blitToWindow();  // through a surface of its own
    EXPECT_EQ(std::make_tuple(buffer.memoryDC, pixel(50, 50), pixel(120, 250)),
              std::make_tuple(HDC(nullptr), kRed, kGreen));
    EXPECT_TRUE(buffer.deleteBitmap());
    DestroyWindow(window);
    EXPECT_EQ(liveGdiObjects(), 0) << "a DC or brush outlived its step";
}

}  // namespace

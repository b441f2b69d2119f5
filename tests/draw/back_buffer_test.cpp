#include "draw/back_buffer.h"

#include <gtest/gtest.h>

#include "draw/gdi_objects.h"
#include "tests/support/win_test.h"

namespace {

constexpr COLORREF kRed = RGB(200, 10, 10), kGreen = RGB(10, 200, 10), kMark = RGB(7, 7, 7);
constexpr int kW = 169, kH = 337, kWindowH = kH + 25;  // any sizes do; these are the game's

TEST(BackBuffer, BitmapSurfaceAndCopy)
{
    BackBuffer buffer;
    EXPECT_FALSE(buffer.createBitmap(10, 10)) << "no window";
    HWND window = buffer.window = createTestWindow(kW, kWindowH);
    auto markWindow = [&] {
        HDC dc = GetDC(window);
        fillSolid(dc, 0, 0, kW, kWindowH, kMark);
        ReleaseDC(window, dc);
    };
    markWindow();
    buffer.blitToWindow();
    EXPECT_EQ(buffer.beginDrawing(), nullptr) << "no bitmap yet";
    EXPECT_EQ(windowPixel(window, 10, 10), kMark) << "nothing to copy yet";

    ASSERT_TRUE(buffer.createBitmap(kW, kH));
    HBITMAP first = buffer.bitmap;
    for (auto [w, h] : {std::pair{0, kH}, {kW, 0}, {-5, -5}})
        EXPECT_FALSE(buffer.createBitmap(w, h)) << w << "x" << h;
    EXPECT_EQ(buffer.bitmap, first) << "a failed creation keeps the bitmap";
    ASSERT_TRUE(buffer.createBitmap(kW, kH));
    EXPECT_EQ(GetObjectType(first), 0u) << "a new bitmap deletes the old";

    buffer.endDrawing();  // none open: nothing happens
    HDC dc = buffer.beginDrawing();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(buffer.beginDrawing(), nullptr) << "surfaces never nest";
    fillSolid(dc, 0, 0, kW, kH, kRed);
    fillSolid(dc, 100, 200, kW, kH, kGreen);
    buffer.blitToWindow();
    EXPECT_EQ(buffer.memoryDC, dc) << "the copy leaves the open surface open";
    EXPECT_EQ(std::make_tuple(windowPixel(window, 0, 0), windowPixel(window, kW - 1, kH - 1), windowPixel(window, kW - 1, kH)),
              std::make_tuple(kRed, kGreen, kMark)) << "the whole board at (0, 0), nothing below it";
    buffer.endDrawing();
    EXPECT_EQ(GetObjectType(dc), 0u) << "the memory DC is deleted";
    markWindow();
    buffer.blitToWindow();  // through a surface of its own
    EXPECT_EQ(std::make_tuple(buffer.memoryDC, windowPixel(window, 50, 50), windowPixel(window, 120, 250)),
              std::make_tuple(HDC(nullptr), kRed, kGreen));
    EXPECT_TRUE(buffer.deleteBitmap());
    EXPECT_FALSE(buffer.deleteBitmap());
    DestroyWindow(window);
    EXPECT_EQ(liveGdiObjects(), 0) << "a DC or brush outlived its step";
}

}  // namespace

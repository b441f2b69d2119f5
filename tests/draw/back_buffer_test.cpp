#include "draw/back_buffer.h"

#include <gtest/gtest.h>

#include "draw/gdi_objects.h"
#include "tests/support/win_test.h"

namespace {

constexpr COLORREF kRed = RGB(200, 10, 10), kGreen = RGB(10, 200, 10), kMark = RGB(7, 7, 7);
constexpr int kW = 169, kH = 337, kWindowH = kH + 25;  // any sizes do; these are the game's

TEST(BackBuffer, TheBitmapReachesTheWindowWithOrWithoutAnOpenSurface)
{
    BackBuffer buffer;
    // A plain popup: nothing paints it while no messages are pumped.
    HWND window = buffer.window = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 40, 40, kW, kWindowH, nullptr, nullptr, nullptr, nullptr);
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
    EXPECT_EQ(std::make_tuple(windowPixel(window, 0, 0), windowPixel(window, kW - 1, kH - 1), windowPixel(window, kW - 1, kH)),
              std::make_tuple(kRed, kGreen, kMark)) << "the whole board at (0, 0), nothing below it";
    buffer.endDrawing();
    EXPECT_EQ(GetObjectType(dc), 0u) << "the memory DC is deleted";
    markWindow();
    buffer.blitToWindow();  // through a surface of its own
    EXPECT_EQ(std::make_tuple(buffer.memoryDC, windowPixel(window, 50, 50), windowPixel(window, 120, 250)),
              std::make_tuple(HDC(nullptr), kRed, kGreen));
    EXPECT_TRUE(buffer.deleteBitmap());
    DestroyWindow(window);
    EXPECT_EQ(liveGdiObjects(), 0) << "a DC or brush outlived its step";
}

}  // namespace

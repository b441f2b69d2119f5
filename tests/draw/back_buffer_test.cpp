#include "draw/back_buffer.h"

#include <gtest/gtest.h>

#include "draw/gdi_objects.h"
#include "tests/support/win_test.h"

namespace {

constexpr COLORREF kRed = RGB(200, 10, 10), kGreen = RGB(10, 200, 10), kMark = RGB(7, 7, 7);

class BackBufferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = createTestWindow(169, 362);
        ASSERT_NE(window, nullptr);
        buffer.window = window;
        markWindow();
    }
    void TearDown() override
    {
        buffer.endDrawing();
        buffer.deleteBitmap();
        DestroyWindow(window);
        EXPECT_EQ(liveGdiObjects(), 0) << "a pen, brush or DC outlived its step";
    }
    void markWindow()
    {
        HDC dc = GetDC(window);
        fillSolid(dc, 0, 0, 169, 362, kMark);
        ReleaseDC(window, dc);
    }
    HWND window = nullptr;
    BackBuffer buffer;
};

TEST_F(BackBufferTest, OnlyASuccessfulCreationReplacesTheBitmap)
{
    BackBuffer noWindow;
    EXPECT_FALSE(noWindow.createBitmap(10, 10));
    EXPECT_EQ(buffer.beginDrawing(), nullptr) << "no bitmap yet";
    buffer.blitToWindow();
    EXPECT_EQ(windowPixel(window, 10, 10), kMark) << "nothing to copy yet";

    ASSERT_TRUE(buffer.createBitmap(169, 337));
    HBITMAP first = buffer.bitmap;
    for (auto [w, h] : {std::pair{0, 337}, std::pair{169, 0}, std::pair{-5, -5}})
        EXPECT_FALSE(buffer.createBitmap(w, h)) << w << "x" << h;
    EXPECT_EQ(buffer.bitmap, first);
    ASSERT_TRUE(buffer.createBitmap(169, 337));
    EXPECT_EQ(GetObjectType(first), 0u) << "the old bitmap is deleted";
    EXPECT_TRUE(buffer.deleteBitmap());
    EXPECT_FALSE(buffer.deleteBitmap());
}

TEST_F(BackBufferTest, SurfacesNeverNestAndTheBlitShowsWhatIsDrawnSoFar)
{
    ASSERT_TRUE(buffer.createBitmap(169, 337));
    buffer.endDrawing();  // none open: nothing happens
    HDC dc = buffer.beginDrawing();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(buffer.beginDrawing(), nullptr);
    EXPECT_EQ(buffer.memoryDC, dc) << "the open surface stays";
    fillSolid(dc, 0, 0, 169, 337, kRed);
    fillSolid(dc, 100, 200, 169, 337, kGreen);
    buffer.blitToWindow();
    EXPECT_EQ(buffer.memoryDC, dc) << "the blit leaves the surface open";
    EXPECT_EQ(windowPixel(window, 0, 0), kRed);
    EXPECT_EQ(windowPixel(window, 168, 336), kGreen);
    EXPECT_EQ(windowPixel(window, 168, 337), kMark) << "the strip below the board is not touched";
    buffer.endDrawing();
    EXPECT_EQ(GetObjectType(dc), 0u) << "the memory DC is deleted";

    markWindow();
    buffer.blitToWindow();  // on a surface of its own
    EXPECT_EQ(buffer.memoryDC, nullptr);
    EXPECT_EQ(windowPixel(window, 50, 50), kRed);
    EXPECT_EQ(windowPixel(window, 120, 250), kGreen);
}

}  // namespace

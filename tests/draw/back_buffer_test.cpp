#include "draw/back_buffer.h"

#include <gtest/gtest.h>

#include "draw/gdi_objects.h"
#include "test_window.h"

namespace {

class BackBufferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = createTestWindow(169, 362);
        ASSERT_NE(window, nullptr);
        buffer.window = window;
    }
    void TearDown() override
    {
        buffer.endDrawing();
        buffer.deleteBitmap();
        DestroyWindow(window);
        EXPECT_EQ(liveGdiObjects(), 0);
    }
    // Fills the whole bitmap through a surface of its own.
    void paint(COLORREF colour)
    {
        HDC dc = buffer.beginDrawing();
        ASSERT_NE(dc, nullptr);
        fillSolid(dc, 0, 0, 169, 337, colour);
        buffer.endDrawing();
    }
    HWND window = nullptr;
    BackBuffer buffer;
};

TEST_F(BackBufferTest, BitmapIsReplacedOnlyBySuccessfulCreation)
{
    BackBuffer noWindow;
    EXPECT_FALSE(noWindow.createBitmap(10, 10));

    ASSERT_TRUE(buffer.createBitmap(169, 337));
    HBITMAP first = buffer.bitmap;
    EXPECT_FALSE(buffer.createBitmap(0, 337));
    EXPECT_FALSE(buffer.createBitmap(169, 0));
    EXPECT_FALSE(buffer.createBitmap(-5, -5));
    EXPECT_EQ(buffer.bitmap, first);
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_BITMAP));

    ASSERT_TRUE(buffer.createBitmap(169, 337));
    EXPECT_NE(buffer.bitmap, first);
    EXPECT_EQ(GetObjectType(first), 0u) << "the old bitmap must be deleted";
    BITMAP info;
    ASSERT_TRUE(GetObjectA(buffer.bitmap, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 169);
    EXPECT_EQ(info.bmHeight, 337);

    EXPECT_TRUE(buffer.deleteBitmap());
    EXPECT_FALSE(buffer.deleteBitmap());
    EXPECT_EQ(buffer.beginDrawing(), nullptr);
}

TEST_F(BackBufferTest, SurfacesNeverNest)
{
    ASSERT_TRUE(buffer.createBitmap(169, 337));
    buffer.endDrawing();  // none open: nothing happens
    EXPECT_EQ(buffer.memoryDC, nullptr);

    HDC first = buffer.beginDrawing();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetCurrentObject(first, OBJ_BITMAP), buffer.bitmap);
    EXPECT_EQ(buffer.beginDrawing(), nullptr);
    EXPECT_EQ(buffer.memoryDC, first);
    // The first surface still draws.
    fillSolid(first, 0, 0, 10, 10, RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(first, 5, 5), RGB(1, 2, 3));
    EXPECT_EQ(liveGdiObjects(), 1);

    buffer.endDrawing();
    EXPECT_EQ(buffer.memoryDC, nullptr);
    EXPECT_EQ(GetObjectType(first), 0u) << "the memory DC must be deleted";
    EXPECT_EQ(liveGdiObjects(), 0);
    HDC again = buffer.beginDrawing();
    EXPECT_NE(again, nullptr);
    EXPECT_EQ(GetPixel(again, 5, 5), RGB(1, 2, 3));
}

TEST_F(BackBufferTest, BlitCopiesTheWholeBitmapWithOrWithoutAnOpenSurface)
{
    // Without a bitmap nothing is copied.
    {
        HDC dc = GetDC(window);
        fillSolid(dc, 0, 0, 169, 362, RGB(7, 7, 7));
        ReleaseDC(window, dc);
    }
    buffer.blitToWindow();
    EXPECT_EQ(windowPixel(window, 10, 10), RGB(7, 7, 7));

    ASSERT_TRUE(buffer.createBitmap(169, 337));
    paint(RGB(200, 10, 10));
    buffer.blitToWindow();
    EXPECT_EQ(buffer.memoryDC, nullptr);
    EXPECT_EQ(windowPixel(window, 0, 0), RGB(200, 10, 10));
    EXPECT_EQ(windowPixel(window, 168, 336), RGB(200, 10, 10));
    EXPECT_EQ(windowPixel(window, 168, 337), RGB(7, 7, 7)) << "the strip below the board is not touched";

    // While a surface is open, blit shows what is drawn so far and leaves
    // the surface open.
    HDC dc = buffer.beginDrawing();
    ASSERT_NE(dc, nullptr);
    fillSolid(dc, 100, 200, 169, 337, RGB(10, 200, 10));
    buffer.blitToWindow();
    EXPECT_EQ(buffer.memoryDC, dc);
    EXPECT_EQ(windowPixel(window, 120, 250), RGB(10, 200, 10));
    EXPECT_EQ(windowPixel(window, 50, 50), RGB(200, 10, 10));
    buffer.endDrawing();

    {
        HDC wdc = GetDC(window);
        fillSolid(wdc, 0, 0, 169, 362, RGB(7, 7, 7));
        ReleaseDC(window, wdc);
    }
    buffer.blitToWindow();
    EXPECT_EQ(windowPixel(window, 120, 250), RGB(10, 200, 10));
    EXPECT_EQ(windowPixel(window, 50, 50), RGB(200, 10, 10));
}

}  // namespace

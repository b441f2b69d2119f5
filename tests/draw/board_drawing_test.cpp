// The results window and the board's picture, read back from a window's pixels and compared with
// the colours and places the program's design gives, not with the program's own constants.
#include <gtest/gtest.h>

#include "draw/back_buffer.h"
#include "draw/board_drawing.h"
#include "draw/gdi_objects.h"
#include "results/results_window.h"
#include "tests/support/win_test.h"

namespace {

// Of the style the results window's size is reckoned for; its DC is kept for the whole run.
HWND window = CreateWindowA("STATIC", nullptr, WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, nullptr,
                            nullptr, nullptr);
HDC screen = GetDC(window);

// The results window's rows: the used slots ranked without gaps, "%2d. %s" at x = 2 and "%4.1f"
// at x = 123 a text height apart on the button face, the best in (192, 64, 32) and the rest
// black, in a client area 150 wide and a row high for each result (where it stands, the
// program's test sees).
// Then in the same window a board of 2 x 1 cells of 3 pixels, 9 x 5 pixels in all, drawn on the
// back buffer and copied from the open surface.
TEST(Drawing, TheResultsThenTheBoardInAWindow)
{
    ResultsTable table(kResultsCapacity);
    table.insert("abc", 12.5);
    table.insert("b", 6);
    std::swap(table.slots[1], table.slots[3]);  // a gap, as a record may hold one
    resultsWindow = window;
    showResults(table, 40, 30, HWND_TOP);
    TEXTMETRICA font;
    GetTextMetricsA(screen, &font);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(150, client.right);
    EXPECT_EQ(2 * font.tmHeight, client.bottom);
    EXPECT_TRUE(windowShows(window, client, GetSysColorBrush(COLOR_BTNFACE),
                            GetSysColor(COLOR_BTNFACE),
                            {{2, 0, 0x2040C0, " 1. abc"}, {123, 0, 0x2040C0, "12.5"},
                             {2, font.tmHeight, 0, " 2. b"}, {123, font.tmHeight, 0, " 6.0"}}));

    BoardGeometry g(2, 1, 3, 1);
    Well well(&g);
    PieceShape shape(1);
    shape.colour = 0x2040F0;
    BackBuffer buffer;
    buffer.window = window;
    buffer.createBitmap(9, 5);
    HDC dc = buffer.beginDrawing();
    drawIdlePicture(g, dc);
    well.setCell(1, 0, &shape);
    drawWell(well, dc, false);
    buffer.blitToWindow();
    char picture[316];  // 45 pixels, each six hex digits and a space
    for (int i = 0; i < 45; ++i)
        std::snprintf(picture + 7 * i, 8, "%06lx ", GetPixel(screen, i % 9, i / 9));
    // The grid of start-up (90, 90, 90) left alone; an empty cell (128, 128, 128) and a tile of
    // (240, 64, 32) painted, with its light edges, its body (4/5 of each channel, rounded down:
    // 192, 51, 25) and its dark edges (3/5: 144, 38, 19).
    EXPECT_STREQ("5a5a5a 5a5a5a 5a5a5a 5a5a5a 5a5a5a 5a5a5a 5a5a5a 5a5a5a 5a5a5a "
                 "5a5a5a 808080 808080 808080 5a5a5a 2040f0 2040f0 1933c0 5a5a5a "
                 "5a5a5a 808080 808080 808080 5a5a5a 2040f0 1933c0 132690 5a5a5a "
                 "5a5a5a 808080 808080 808080 5a5a5a 1933c0 132690 132690 5a5a5a "
                 "5a5a5a 5a5a5a 5a5a5a 5a5a5a 5a5a5a 5a5a5a 5a5a5a 5a5a5a 5a5a5a ",
                 picture);
    drawWell(well, dc, true);
    EXPECT_EQ(0xB0A0A0u, GetPixel(dc, 0, 0));  // drawWell's own grid: (160, 160, 176)
    EXPECT_FALSE(buffer.beginDrawing());  // still open after the blit: surfaces never nest
    buffer.endDrawing();
    EXPECT_FALSE(liveGdiObjects());  // no pen, brush or DC outlived its step
}

}  // namespace

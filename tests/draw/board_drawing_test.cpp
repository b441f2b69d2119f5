// The board's picture and the results window, read back from a window's pixels and compared with
// the colours and places the program's design gives, not with the program's own constants.
#include <gtest/gtest.h>

#include "draw/back_buffer.h"
#include "draw/board_drawing.h"
#include "draw/gdi_objects.h"
#include "results/results_window.h"
#include "tests/support/win_test.h"

namespace {

// Of the style the results window's size is reckoned for; its DC is kept for the whole run.
HWND window = CreateWindowA("STATIC", nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 99, 99,
                            nullptr, nullptr, nullptr, nullptr);
HDC screen = GetDC(window);

// A board of 2 x 1 cells of 3 pixels, 9 x 5 pixels in all, drawn on the back buffer and copied
// from the open surface into the window.
TEST(BoardDrawing, WellAndGridOnTheBackBufferThenInTheWindow)
{
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
    // The window as rows of text: '.' an empty cell (128, 128, 128), '#' the grid of start-up
    // (90, 90, 90), and L B D a tile of (240, 64, 32): its light edge, body (4/5 of each channel,
    // rounded down: 192, 51, 25) and dark edge (3/5: 144, 38, 19).
    const COLORREF shades[] = {0x808080, 0x5A5A5A, 0x2040F0, 0x1933C0, 0x132690};
    std::string picture;
    for (int i = 0; i < 50; ++i)
        picture += i % 10 == 9 ? '\n'
                               : ".#LBD?"[std::find(shades, shades + 5,
                                                    GetPixel(screen, i % 10, i / 10)) - shades];
    EXPECT_EQ("#########\n"
              "#...#LLB#\n"
              "#...#LBD#\n"
              "#...#BDD#\n"
              "#########\n",
              picture);  // every cell of the well painted, the grid left alone
    drawWell(well, dc, true);
    buffer.blitToWindow();
    EXPECT_EQ(0xB0A0A0u, GetPixel(screen, 0, 0));  // drawWell's own grid: (160, 160, 176)
    EXPECT_EQ(nullptr, buffer.beginDrawing());  // still open after the blits: surfaces never nest
    buffer.endDrawing();
    EXPECT_EQ(0, liveGdiObjects());  // no pen, brush or DC outlived its step
}

// The used slots ranked without gaps, "%2d. %s" at x = 2 and "%4.1f" at x = 123 a text height
// apart on the button face, the best in (192, 64, 32) and the rest black, in a client area 150
// wide and a row high for each result. (Where the window stands, the program's test sees.)
TEST(ResultsWindow, ListsTheResultsBestFirstInBrickRed)
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
                            {{2, 0, 0x2040C0, " 1. abc"}, {123, 0, 0x2040C0, "12.5"},
                             {2, font.tmHeight, 0, " 2. b"}, {123, font.tmHeight, 0, " 6.0"}}));
}

}  // namespace

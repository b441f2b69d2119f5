// The board's picture and the results window, read back from their pixels and compared with the
// colours and places the program's design gives, not with the program's own constants.
#include <gtest/gtest.h>

#include <sstream>

#include "draw/back_buffer.h"
#include "draw/board_drawing.h"
#include "draw/gdi_objects.h"
#include "results/results_window.h"
#include "tests/support/win_test.h"

namespace {

// A board of 4 x 2 cells of 3 pixels, 17 x 9 pixels in all, on the back buffer
// of a small window, and piece 1, of (240, 64, 32), in it.
TEST(BoardDrawing, PieceWellAndGridOnTheBackBufferThenInTheWindow)
{
    BoardGeometry g(4, 2, 3, 1);
    Well well(&g);
    PieceSet set(kPieceSetCapacity);
    set.registerStandardPieces();
    FallingPiece piece(&well, &set);
    BackBuffer buffer;
    buffer.window = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 17, 9, nullptr,
                                  nullptr, nullptr, nullptr);
    buffer.createBitmap(17, 9);
    HDC dc = buffer.beginDrawing();
    // The surface as rows of text: '.' an empty cell (128, 128, 128), '#' the grid of start-up
    // (90, 90, 90), and L B D a tile's light edge, body (4/5 of each channel, rounded down:
    // 192, 51, 25) and dark edge (3/5: 144, 38, 19).
    auto picture = [&] {
        std::string text;
        for (int i = 0; i < 9 * 18; ++i) {
            const COLORREF c = GetPixel(dc, i % 18, i / 18);
            text += i % 18 == 17 ? '\n'
                    : c == 0x808080 ? '.'
                    : c == 0x5A5A5A ? '#'
                    : c == 0x2040F0 ? 'L'
                    : c == 0x1933C0 ? 'B'
                    : c == 0x132690 ? 'D'
                                    : '?';
        }
        return text;
    };
    drawIdlePicture(g, dc);
    piece.shape = set.slots[0];
    piece.x = 1;
    drawFallingPiece(piece, dc);
    piece.x = 2;
    piece.y = 1;
    piece.rotation = 2;
    drawFallingPiece(piece, dc);  // erased as it stood, unturned
    piece.x = 1;
    drawFallingPiece(piece, dc);  // erased as it was last drawn, turned
    EXPECT_EQ("#################\n"
              "#LLB#LLB#LLB#...#\n"
              "#LBD#LBD#LBD#...#\n"
              "#BDD#BDD#BDD#...#\n"
              "#################\n"
              "#...#LLB#...#...#\n"
              "#...#LBD#...#...#\n"
              "#...#BDD#...#...#\n"
              "#################\n",
              picture());

    well.setCell(3, 1, set.slots[0]);
    drawWell(well, dc, false);
    EXPECT_EQ("#################\n"
              "#...#...#...#...#\n"
              "#...#...#...#...#\n"
              "#...#...#...#...#\n"
              "#################\n"
              "#...#...#...#LLB#\n"
              "#...#...#...#LBD#\n"
              "#...#...#...#BDD#\n"
              "#################\n",
              picture());  // every cell of the well repainted, the grid left alone

    // Every piece's tile: its light edge, body and dark edge, slot by slot.
    std::ostringstream shades;
    for (int slot = 0; slot < 7; ++slot) {
        drawTile(dc, 1, 1, &g, set.slots[slot]->colour);
        shades << std::hex << GetPixel(dc, 1, 1) << " " << GetPixel(dc, 2, 2) << " "
               << GetPixel(dc, 3, 3) << "; ";
    }
    EXPECT_EQ("2040f0 1933c0 132690; 40f020 33c019 269013; f02040 c01933 901326; "
              "f02040 c01933 901326; a020a0 801980 601360; 40d0e0 33a6b3 267c86; "
              "40d0e0 33a6b3 267c86; ",
              shades.str());

    drawWell(well, dc, true);
    buffer.blitToWindow();  // from the open surface
    // The last lines of drawWell's own grid, (160, 160, 176).
    EXPECT_EQ(0xB0A0A0u, windowPixel(buffer.window, 16, 8));
    EXPECT_EQ(nullptr, buffer.beginDrawing());  // still open after the blit: surfaces never nest
    buffer.endDrawing();
    EXPECT_EQ(0, liveGdiObjects());  // no pen, brush or DC outlived its step
}

// The used slots ranked without gaps, "%2d. %s" at x = 2 and "%4.1f" at x = 123 a text height
// apart on the button face, the best in (192, 64, 32) and the rest black; the window's outer
// corner where it is asked to stand, its client area 150 wide and a row high for each result.
TEST(ResultsWindow, ListsTheResultsBestFirstInBrickRed)
{
    ResultsTable table(kResultsCapacity);
    table.insert("abc", 12.5);
    table.insert("b", 6);
    std::swap(table.slots[1], table.slots[3]);  // a gap, as a record may hold one
    resultsWindow = CreateWindowA("STATIC", "", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0,
                                  0, nullptr, nullptr, nullptr, nullptr);
    showResults(table, 40, 30, HWND_TOP);
    TEXTMETRICA font;
    HDC dc = GetDC(resultsWindow);
    GetTextMetricsA(dc, &font);
    ReleaseDC(resultsWindow, dc);
    const int h = font.tmHeight;
    RECT place;
    RECT client;
    RECT wanted = {0, 0, 150, 2 * h};
    GetWindowRect(resultsWindow, &place);
    GetClientRect(resultsWindow, &client);
    AdjustWindowRect(&wanted, WS_OVERLAPPEDWINDOW, FALSE);
    OffsetRect(&wanted, 40 - wanted.left, 30 - wanted.top);  // the outer corner itself at (40, 30)
    EXPECT_TRUE(EqualRect(&wanted, &place));
    EXPECT_TRUE(windowShows(resultsWindow, client, GetSysColor(COLOR_BTNFACE),
                            {{2, 0, 0x2040C0, " 1. abc"}, {123, 0, 0x2040C0, "12.5"},
                             {2, h, 0, " 2. b"}, {123, h, 0, " 6.0"}}));
}

}  // namespace

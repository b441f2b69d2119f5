#include <gtest/gtest.h>

#include "draw/back_buffer.h"
#include "draw/board_drawing.h"
#include "draw/gdi_objects.h"
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
    // The surface as rows of text: '.' an empty cell, '#' the dark grid, and L B D
    // a tile's light edge, body (4/5 of each channel, rounded down: 192, 51, 25)
    // and dark edge (3/5: 144, 38, 19).
    auto picture = [&] {
        std::string text;
        for (int i = 0; i < 9 * 18; ++i) {
            const COLORREF c = GetPixel(dc, i % 18, i / 18);
            text += i % 18 == 17     ? '\n'
                    : c == kMidGray  ? '.'
                    : c == kDarkGray ? '#'
                    : c == 0x2040F0  ? 'L'
                    : c == 0x1933C0  ? 'B'
                    : c == 0x132690  ? 'D'
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
    drawFallingPiece(piece, dc);
    EXPECT_EQ("#################\n"
              "#...#LLB#LLB#LLB#\n"
              "#...#LBD#LBD#LBD#\n"
              "#...#BDD#BDD#BDD#\n"
              "#################\n"
              "#...#...#LLB#...#\n"
              "#...#...#LBD#...#\n"
              "#...#...#BDD#...#\n"
              "#################\n",
              picture());  // the piece erased where it was, then drawn where it is

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
    drawWell(well, dc, true);
    buffer.blitToWindow();  // from the open surface
    EXPECT_EQ(kLightBlueGray, windowPixel(buffer.window, 16, 8));  // the last lines of the grid
    EXPECT_EQ(nullptr, buffer.beginDrawing());  // still open after the blit: surfaces never nest
    buffer.endDrawing();
    EXPECT_EQ(0, liveGdiObjects());  // no pen, brush or DC outlived its step
}

}  // namespace

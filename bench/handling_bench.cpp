// In-process handling times of the real window procedure, measured with
// QueryPerformanceCounter: a move key, a hard drop from row 0 to the floor,
// a settle that clears four rows, and newGame. Prints "name median min max"
// in microseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "core/game_state.h"
#include "draw/board_drawing.h"
#include "resources/resource.h"

namespace {

LARGE_INTEGER frequency;

double microseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    return 1e6 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int squareOnly() { return 5; }  // the square, slot 4 with all seven pieces

template <typename Setup, typename Action>
void measure(const char* name, int runs, Setup setup, Action action)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        setup();
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        action();
        QueryPerformanceCounter(&b);
        times.push_back(microseconds(a, b));
    }
    std::sort(times.begin(), times.end());
    std::printf("%s %.1f %.1f %.1f\n", name, times[times.size() / 2], times.front(), times.back());
}

void freshGame()
{
    gameRunning = false;
    SendMessageA(mainWindow, WM_COMMAND, ID_GAME_NEW, 0);
}

}  // namespace

int main()
{
    QueryPerformanceFrequency(&frequency);
    appInstance = GetModuleHandleA(nullptr);
    if (!initApplication())
        return 1;
    showIdlePicture();
    pieceSet->random = squareOnly;
    // Keep the focus pause out of the way: the benchmark is the only player.
    savedPaused = false;

    measure("move_key", 200, [] {
        if (!gameRunning || fallingPiece->x != 4) freshGame();
        gamePaused = false;
    }, [] {
        SendMessageA(mainWindow, WM_KEYDOWN, VK_LEFT, 0);
        fallingPiece->x = 4;  // back for the next run (not timed: undone below)
    });
    // Where a move's time goes: the repaint alone, and the drawing alone.
    measure("part_repaint", 200, [] {}, [] { SendMessageA(mainWindow, WM_PAINT, 0, 0); });
    measure("part_draw_piece", 200, [] {}, [] {
        HDC dc = backBuffer.beginDrawing();
        drawFallingPiece(*fallingPiece, dc);
        backBuffer.endDrawing();
    });
    measure("part_gdi_brush", 200, [] {}, [] { DeleteObject(CreateSolidBrush(RGB(1, 2, 3))); });
    measure("part_getdc", 200, [] {}, [] { ReleaseDC(mainWindow, GetDC(mainWindow)); });
    measure("hard_drop", 100, [] { freshGame(); gamePaused = false; },
            [] { SendMessageA(mainWindow, WM_KEYDOWN, VK_DOWN, 0); });
    measure("settle_four_rows", 50, [] {
        freshGame();
        gamePaused = false;
        for (int r = 12; r < 16; ++r)
            for (int c = 0; c < 8; ++c)
                if (c != 7) well->setCell(c, r, pieceSet->slots[0]);
        // An upright bar in column 7 resting on the floor.
        fallingPiece->shape = pieceSet->slots[1];
        fallingPiece->rotation = 1;
        fallingPiece->x = 8;
        fallingPiece->y = 13;
    }, [] { fallingPiece->settle(); });
    measure("new_game", 100, [] { gameRunning = false; },
            [] { SendMessageA(mainWindow, WM_COMMAND, ID_GAME_NEW, 0); });

    gameRunning = false;
    DestroyWindow(mainWindow);
    shutdownApplication();
    return 0;
}

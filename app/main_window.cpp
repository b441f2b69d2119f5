#include "app/main_window.h"

#include <cstring>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/game_over.h"
#include "app/shell_hooks.h"
#include "app/texts.h"
#include "core/game_state.h"
#include "draw/board_drawing.h"
#include "resources/resource.h"
#include "results/results_window.h"

namespace {

// The maker's line is placed at the right of the strip as if every character
// were 8 pixels wide; with the real default font it ends a little short of
// the edge.
constexpr int kMakerCharWidth = 8;

bool playKeysActive() { return gameRunning && !gamePaused; }

void redrawPiece()
{
    {
        DrawingSurface surface(backBuffer);
        drawFallingPiece(*fallingPiece, surface.dc());
    }
    requestRepaint();
}

// One row down, if the piece can fall, drawn on the caller's open surface.
// The repaint is sent while that surface is still open: the paint handler
// copies from it. False when the piece cannot fall.
bool stepDown(HDC surface)
{
    if (!fallingPiece->canMoveDown())
        return false;
    ++fallingPiece->y;
    drawFallingPiece(*fallingPiece, surface);
    requestRepaint();
    return true;
}

void drop()
{
    DrawingSurface surface(backBuffer);
    while (stepDown(surface.dc())) {
    }
    // Closed before settling: removing rows opens a surface of its own.
    surface.close();
    // Settles even when the piece did not move. If the next piece has no
    // room, the whole game-over flow runs inside this call.
    fallingPiece->settle();
    redrawPiece();
}

void paintMainWindow(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    const RECT strip = statusStrip();
    TextOutA(dc, 0, strip.top, scoreText, static_cast<int>(std::strlen(scoreText)));
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    const int makerLength = static_cast<int>(std::strlen(text::kMakerLine));
    TextOutA(dc, strip.right - makerLength * kMakerCharWidth, strip.top, text::kMakerLine, makerLength);
    SetBkMode(dc, previousMode);
    EndPaint(window, &ps);
    // Every paint message copies the whole board, invalid or not.
    backBuffer.blitToWindow();
}

// One action per key message, auto-repeats included.
void onKeyDown(WPARAM key)
{
    switch (key) {
    case VK_PAUSE:
        gamePaused = gameRunning && !gamePaused;
        return;
    case VK_INSERT:
        PostMessageA(mainWindow, WM_COMMAND, ID_RESULTS_SHOW, 0);
        return;
    default:
        break;
    }
    if (!playKeysActive() || !fallingPiece)
        return;
    switch (key) {
    case VK_LEFT:
        if (fallingPiece->canMoveLeft()) {
            --fallingPiece->x;
            redrawPiece();
        }
        break;
    case VK_RIGHT:
        if (fallingPiece->canMoveRight()) {
            ++fallingPiece->x;
            redrawPiece();
        }
        break;
    case VK_UP:
        if (fallingPiece->canRotateRight()) {
            fallingPiece->rotateRight();
            redrawPiece();
        }
        break;
    case VK_SPACE:
        if (fallingPiece->canRotateLeft()) {
            fallingPiece->rotateLeft();
            redrawPiece();
        }
        break;
    case VK_RETURN: {
        DrawingSurface surface(backBuffer);
        stepDown(surface.dc());
        break;
    }
    case VK_DOWN:
        drop();
        break;
    default:
        break;
    }
}

// Adds a tick to the fall clock while a game runs; steps or settles the
// piece when the fall delay is reached.
void onTimer(WPARAM timerId)
{
    if (gameEnded || gamePaused || !gameRunning || !fallingPiece) {
        resetFallTimer();
        return;
    }
    // Only the gravity timer's messages add time; any other only checks the clock.
    if (!advanceFallTimer(timerId == kGravityTimer ? static_cast<int>(kTimerPeriodMs) : 0))
        return;
    if (fallingPiece->canMoveDown())
        ++fallingPiece->y;
    else
        fallingPiece->settle();  // may run the game-over flow inside
    redrawPiece();
}

}  // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        DestroyWindow(resultsWindow);
        break;
    case WM_SETFOCUS:
        gamePaused = savedPaused;
        break;
    case WM_KILLFOCUS:
        savedPaused = gamePaused;
        gamePaused = true;
        break;
    case WM_PAINT:
        paintMainWindow(window);
        break;
    case WM_KEYDOWN:
        onKeyDown(wParam);
        break;
    case WM_COMMAND:
        onCommand(window, wParam, lParam);
        break;
    case WM_TIMER:
        onTimer(wParam);
        break;
    case WM_APP:
        runGameOverFlow(window);
        break;
    default:
        break;
    }
    // Every message also gets the default handling: WM_CLOSE destroys the
    // window, and a WM_PAINT already painted finds nothing left to do.
    return DefWindowProcA(window, message, wParam, lParam);
}

#include "app/shell_hooks.h"

#include "app/app_state.h"
#include "core/shell_port.h"
#include "draw/board_drawing.h"

namespace {

void redrawWholeBoard(const Well& board)
{
    DrawingSurface surface(backBuffer);
    drawWell(board, surface.dc(), false);
}

// Not erased: the score only grows within a game, and its text, written on an
// opaque background, covers the shorter one before it. New game erases the
// whole client area instead.
void invalidateStatusStrip()
{
    const RECT strip = statusStrip();
    InvalidateRect(mainWindow, &strip, FALSE);
}

}  // namespace

void connectRulesToShell()
{
    shellHooks.requestRepaint = requestRepaint;
    shellHooks.gameOverNotice = sendGameOverNotice;
    shellHooks.redrawBoard = redrawWholeBoard;
    shellHooks.invalidateStatusStrip = invalidateStatusStrip;
}

void requestRepaint()
{
    if (mainWindow)
        SendMessageA(mainWindow, WM_PAINT, 0, 0);
}

void sendGameOverNotice() { SendMessageA(mainWindow, WM_APP, 0, 0); }

RECT statusStrip()
{
    RECT strip;
    GetClientRect(mainWindow, &strip);
    strip.top = boardGeometry ? boardGeometry->pixelHeight : 0;
    return strip;
}

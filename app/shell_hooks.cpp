#include "app/shell_hooks.h"

#include "app/app_state.h"
#include "core/game_state.h"
#include "draw/board_drawing.h"
#include "results/results_window.h"

namespace {

void redrawWholeBoard(const Well& board)
{
    if (HDC dc = backBuffer.beginDrawing()) {
        drawWell(board, dc, false);
        backBuffer.endDrawing();
    }
}

// Only the band under the board; the background is not erased.
void invalidateStatusStrip()
{
    RECT strip;
    GetClientRect(mainWindow, &strip);
    strip.top = boardGeometry ? boardGeometry->pixelHeight : 0;
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

POINT besideMainWindow()
{
    RECT r;
    GetWindowRect(mainWindow, &r);
    return {r.right, r.top};
}

void showResultsAt(POINT place)
{
    if (resultsTable)
        showResults(*resultsTable, place.x, place.y, HWND_TOP);
}

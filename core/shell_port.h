// The rules' one way out to the window shell.
//
// The rules never include windows.h. Where they need the shell (a repaint, the
// game-over notice, a redraw of the whole board, the status strip) they call
// through shellHooks, which the application fills in at start-up and empties at
// shutdown, and which tests fill with recorders. An unset (null) hook is
// skipped: the rules then change their own state and ask nothing. Every hook
// runs synchronously, on the caller's thread, before the rules go on.
#pragma once

class Well;

struct ShellHooks {
    // Repaint request: a synchronous WM_PAINT to the main window.
    void (*requestRepaint)() = nullptr;
    // Game-over notice: a synchronous WM_APP to the main window. The game-over
    // flow runs inside this call.
    void (*gameOverNotice)() = nullptr;
    // Redraws the whole well into the back buffer, without grid lines. The
    // well is only read, and only during the call.
    void (*redrawBoard)(const Well& well) = nullptr;
    // Invalidates the status strip under the board, so the next paint
    // writes the new score.
    void (*invalidateStatusStrip)() = nullptr;
};
extern ShellHooks shellHooks;

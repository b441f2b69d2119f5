// What the rules and the shell ask of the windows: repaints, the game-over
// notice, the whole-board redraw and the status strip. All of it acts on
// mainWindow and backBuffer (app/app_state.h).
#pragma once

#include <windows.h>

// Fills the rules' shellHooks: the repaint and the notice below, the
// whole-board redraw and the status strip's invalidation. Called once the
// main window and the back buffer exist.
void connectRulesToShell();

// A synchronous WM_PAINT to the main window: its paint handler copies the
// back buffer, even while a drawing surface is open.
void requestRepaint();
// A synchronous WM_APP to the main window: the game-over flow runs inside.
void sendGameOverNotice();

// The status strip: the client area under the board, where the score is
// written.
RECT statusStrip();

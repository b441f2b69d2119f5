// What the rules and the shell ask of the windows: repaints, the game-over
// notice, the whole-board redraw, the status strip, and the results window
// beside the main window.
#pragma once

#include <windows.h>

// Fills the rules' ShellHooks with the functions below.
void connectRulesToShell();

// A synchronous WM_PAINT to the main window: its paint handler copies the
// back buffer, even while a drawing surface is open.
void requestRepaint();
// A synchronous WM_APP to the main window: the game-over flow runs inside.
void sendGameOverNotice();

// Where the results window stands when a command or the end of a game shows
// it: against the main window's right edge, tops level.
POINT besideMainWindow();
void showResultsAt(POINT place);

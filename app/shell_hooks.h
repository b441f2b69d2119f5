// What the rules and the shell ask of the windows: repaints, the game-over
// notice, the whole-board redraw and the status strip.
#pragma once

#include <windows.h>

// Fills the rules' ShellHooks with the functions below.
void connectRulesToShell();

// A synchronous WM_PAINT to the main window: its paint handler copies the
// back buffer, even while a drawing surface is open.
void requestRepaint();
// A synchronous WM_APP to the main window: the game-over flow runs inside.
void sendGameOverNotice();

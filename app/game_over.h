// The end of a game: the name entry for a result that earns a place, or the
// game-over box. Either way the game stops running.
#pragma once

#include <windows.h>

// `owner` is the main window; it owns the name dialog.
void runGameOverFlow(HWND owner);

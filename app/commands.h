// The menu commands and what they do.
#pragma once

#include <windows.h>

// Every WM_COMMAND of the main window: the command is the low word of
// wParam; the notification code in the high word is ignored.
void onCommand(HWND window, WPARAM wParam, LPARAM lParam);

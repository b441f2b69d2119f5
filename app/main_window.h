// The main window's procedure, and the fixed values start-up needs to size the
// window and start its gravity timer. The procedure paints the status strip,
// handles the keys and menu commands and runs the gravity clock.
#pragma once

#include <windows.h>

constexpr UINT_PTR kGravityTimer = 1;
constexpr UINT kTimerPeriodMs = 10;      // each WM_TIMER counts as exactly this
constexpr int kStatusStripHeight = 25;   // under the board

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

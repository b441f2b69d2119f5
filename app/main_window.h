// The main window: its procedure, the status strip, the keys and the
// gravity clock.
#pragma once

#include <windows.h>

constexpr UINT_PTR kGravityTimer = 1;
constexpr UINT kTimerPeriodMs = 10;      // each WM_TIMER counts as exactly this
constexpr int kStatusStripHeight = 25;   // under the board

// The status strip: the client area under the board.
RECT statusStrip();

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// One action per key message, auto-repeats included.
void onKeyDown(WPARAM key);
// Adds a tick to the fall clock while a game runs; steps or settles the
// piece when the fall delay is reached.
void onTimer(WPARAM timerId);

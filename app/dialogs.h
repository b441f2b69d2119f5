// The About and Speed dialogs. (The name entry belongs to the game over.)
#pragma once

#include <windows.h>

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK speedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

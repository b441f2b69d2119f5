// The results window: rank, name and score of every result, the best in red.
// A second top-level window owned by the main window, created hidden by
// start-up; showing it also activates it, and closing it or any key in it
// only hides it.
//
// resultsWindow must exist, with resultsWindowProc as its class's procedure,
// before showResults. The table handed to showResults is read only during
// the call; the attached one is read at every repaint, so it must outlive its
// attachment: attach null before freeing it.
#pragma once

#include <windows.h>

#include "results/results_table.h"

// The window's handle, set by whoever creates it.
extern HWND resultsWindow;

// The table the window lists when it repaints itself; null shows nothing new.
void attachResultsTable(const ResultsTable* table);

// Sizes the window to the table, puts its outer top-left corner at (x, y),
// brings it to the top, shows it and draws the table into it.
void showResults(const ResultsTable& table, int x, int y, HWND insertAfter);

LRESULT CALLBACK resultsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

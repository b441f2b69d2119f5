// What the shell does with the results: tabulka.dat read at start-up and
// written after a name entry, after Clear and at exit, with the player told
// when a save fails; and the results window shown beside the main window.
#pragma once

#include <windows.h>

// Reads tabulka.dat into the results table. Only a file that fails its check
// is reported; an unusable file is kept aside by the store.
void loadResults();
// Writes the table; a failed save shows "Nelze uložit tabulku." owned by
// `owner` (null at exit, when the main window is gone). At exit only a table
// that changed is written.
void saveResults(HWND owner);
void saveResultsAtExit();

// Where the results window stands when a command or the end of a game shows
// it: against the main window's right edge, tops level.
POINT besideMainWindow();
void showResultsAt(POINT place);

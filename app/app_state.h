// The application-wide objects and handles, alive from start-up to the end
// of the process. (The game values shared with the rules, gameRunning and
// the rest, are declared in core/game_state.h.)
#pragma once

#include <windows.h>

#include "core/board.h"
#include "core/falling_piece.h"
#include "core/piece_set.h"
#include "draw/back_buffer.h"
#include "results/results_table.h"

struct WindowPlacement {
    int x;
    int y;
    int width;
    int height;
};

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern HWND resultsWindow;
extern WindowPlacement windowRect;
extern bool appInitialised;
extern bool windowsCreated;
extern bool savedPaused;

extern BoardGeometry* boardGeometry;
extern Well* well;
extern BackBuffer backBuffer;
extern ResultsTable* resultsTable;
extern PieceSet* pieceSet;
extern FallingPiece* fallingPiece;

constexpr UINT_PTR kGravityTimer = 1;
constexpr UINT kTimerPeriodMs = 10;
constexpr int kStatusStripHeight = 25;

// Start-up, windows and shutdown.
bool initApplication();
bool createWindows();
bool shutdownApplication();
void drawIdlePicture();
int runMessageLoop();

// Main window.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void onKeyDown(WPARAM key);
void onTimer(WPARAM timerId);
void requestRepaint();

// Menu commands and dialogs.
void onCommand(HWND window, WPARAM wParam, LPARAM lParam);
void newGame();
void pauseGame();
void unpauseGame();
void setSpeed(unsigned speed);
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK speedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Game over.
void runGameOverFlow(HWND owner);
INT_PTR CALLBACK nameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Results window.
void showResults(const ResultsTable& table, int x, int y, HWND insertAfter);
LRESULT CALLBACK resultsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Writes the table to tabulka.dat; false when no record could be built.
bool saveResultsTable();

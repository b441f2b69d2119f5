// The application-wide objects and handles, alive from start-up to the end
// of the process, all defined in app_state.cpp. (The game values shared with
// the rules, gameRunning and the rest, live in core/game_state.h; the results
// window's handle in results/results_window.h.)
#pragma once

#include <windows.h>

#include "core/falling_piece.h"
#include "draw/back_buffer.h"
#include "results/results_store.h"

struct WindowPlacement {
    int x;
    int y;
    int width;
    int height;
};

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern WindowPlacement windowRect;  // client place and size, then the outer rectangle
extern bool appInitialised;
extern bool windowsCreated;
extern bool savedPaused;            // gamePaused from before the focus went

extern BoardGeometry* boardGeometry;
extern Well* well;
extern BackBuffer backBuffer;
extern ResultsTable* resultsTable;
extern ResultsStore* resultsStore;  // what this run knows of tabulka.dat
extern PieceSet* pieceSet;
extern FallingPiece* fallingPiece;

// The application-wide objects and handles, all defined in app_state.cpp.
//
// appInstance is set before start-up by whoever runs the program (WinMain, or
// a test's main). initApplication (app/startup.h) creates every object below
// and sets mainWindow; shutdownApplication frees the objects again. Before
// the one, after the other and after a failed start the pointers are null.
// Each object is owned through its pointer here and nowhere else. The well
// reads the board geometry and the falling piece uses the well and the piece
// set, so each is freed before what it uses: the piece, the set, the well,
// the geometry. backBuffer is an object, not a pointer; it has a bitmap from
// start-up to shutdown. mainWindow keeps its value after the window is
// destroyed.
//
// (The game values shared with the rules, gameRunning and the rest, live in
// core/game_state.h; the results window's handle in results/results_window.h.)
#pragma once

#include <windows.h>

#include "core/falling_piece.h"
#include "draw/back_buffer.h"
#include "results/results_store.h"

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern bool savedPaused;            // gamePaused from before the focus went

extern BoardGeometry* boardGeometry;
extern Well* well;
extern BackBuffer backBuffer;
extern ResultsTable* resultsTable;
extern ResultsStore* resultsStore;  // what this run knows of tabulka.dat
extern PieceSet* pieceSet;
extern FallingPiece* fallingPiece;

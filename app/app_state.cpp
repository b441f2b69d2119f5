#include "app/app_state.h"

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
WindowPlacement windowRect = {300, 150, 250, 350};
bool appInitialised = false;
bool windowsCreated = false;
bool savedPaused = false;

BoardGeometry* boardGeometry = nullptr;
Well* well = nullptr;
BackBuffer backBuffer;
ResultsTable* resultsTable = nullptr;
ResultsStore* resultsStore = nullptr;
PieceSet* pieceSet = nullptr;
FallingPiece* fallingPiece = nullptr;

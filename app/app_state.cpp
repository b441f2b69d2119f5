#include "app/app_state.h"

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
bool savedPaused = false;

BoardGeometry* boardGeometry = nullptr;
Well* well = nullptr;
BackBuffer backBuffer;
ResultsTable* resultsTable = nullptr;
ResultsStore* resultsStore = nullptr;
PieceSet* pieceSet = nullptr;
FallingPiece* fallingPiece = nullptr;

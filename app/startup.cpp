// Start-up, the two windows, the message loop and shutdown.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>

#include "app/app_state.h"
#include "app/texts.h"
#include "core/game_state.h"
#include "draw/board_drawing.h"
#include "draw/gdi_objects.h"
#include "resources/resource.h"
#include "results/results_file.h"

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
HWND resultsWindow = nullptr;
WindowPlacement windowRect = {300, 150, 250, 350};
bool appInitialised = false;
bool windowsCreated = false;

BoardGeometry* boardGeometry = nullptr;
Well* well = nullptr;
BackBuffer backBuffer;
ResultsTable* resultsTable = nullptr;
PieceSet* pieceSet = nullptr;
FallingPiece* fallingPiece = nullptr;

namespace {

constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // 0x00CA0000
// COLOR_SCROLLBAR (index 0) as a class brush: the index plus one.
const HBRUSH kClassBrush = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_SCROLLBAR + 1));

void redrawWholeBoard(const Well& board)
{
    if (HDC dc = backBuffer.beginDrawing()) {
        drawWell(board, dc, false);
        backBuffer.endDrawing();
    }
}

void gameOverNotice() { SendMessageA(mainWindow, WM_APP, 0, 0); }

void invalidateStatusStrip()
{
    RECT strip;
    GetClientRect(mainWindow, &strip);
    strip.top = boardGeometry ? boardGeometry->pixelHeight : 0;
    InvalidateRect(mainWindow, &strip, FALSE);
}

void connectRulesToShell()
{
    shellHooks.requestRepaint = requestRepaint;
    shellHooks.gameOverNotice = gameOverNotice;
    shellHooks.redrawBoard = redrawWholeBoard;
    shellHooks.invalidateStatusStrip = invalidateStatusStrip;
}

void freeBoard()
{
    delete well;  // reads the geometry: goes first
    well = nullptr;
    if (boardGeometry)
        boardGeometry->clear();
    delete boardGeometry;
    boardGeometry = nullptr;
}

void loadResultsTable()
{
    std::FILE* probe = std::fopen(text::kResultsFile, "rb");
    if (!probe)
        return;  // no file yet: an empty table, no message
    std::fclose(probe);
    std::uint32_t length = 0;
    unsigned char* record = loadResultsFile(text::kResultsFile, &length);
    if (!record) {
        MessageBoxA(mainWindow, text::kBadResults, text::kBadResultsCaption, MB_OK);
        return;
    }
    // A record that verifies but does not parse leaves the table empty; the
    // next save puts the current table in its place.
    resultsTable->readRecord(record, static_cast<std::int32_t>(length));
    delete[] record;
}

}  // namespace

bool saveResultsTable()
{
    if (!resultsTable)
        return true;
    std::uint32_t length = 0;
    unsigned char* record = resultsTable->writeRecord(&length);
    if (!record)
        return false;
    saveResultsFile(record, length, text::kResultsFile);
    delete[] record;
    return true;
}

bool createWindows()
{
    if (windowsCreated || !appInstance)
        return false;

    WNDCLASSA mainClass = {};
    mainClass.style = CS_HREDRAW | CS_VREDRAW;
    mainClass.lpfnWndProc = mainWindowProc;
    mainClass.hInstance = appInstance;
    mainClass.hIcon = LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_APPICON));
    mainClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    mainClass.hbrBackground = kClassBrush;
    mainClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    mainClass.lpszClassName = text::kMainClass;
    if (!RegisterClassA(&mainClass))
        return false;

    WNDCLASSA resultsClass = mainClass;
    resultsClass.style = 0;
    resultsClass.lpfnWndProc = resultsWindowProc;
    resultsClass.lpszMenuName = nullptr;
    resultsClass.lpszClassName = text::kResultsClass;
    if (!RegisterClassA(&resultsClass))
        return false;

    // (x, y) is where the client area goes, width and height its size.
    RECT r = {windowRect.x, windowRect.y, windowRect.x + windowRect.width, windowRect.y + windowRect.height};
    AdjustWindowRect(&r, kWindowStyle, TRUE);
    windowRect = {r.left, r.top, r.right - r.left, r.bottom - r.top};

    mainWindow = CreateWindowExA(0, text::kMainClass, text::kMainTitle, kWindowStyle, windowRect.x, windowRect.y,
                                 windowRect.width, windowRect.height, nullptr, nullptr, appInstance, nullptr);
    if (!mainWindow)
        return false;
    resultsWindow = CreateWindowExA(0, text::kResultsClass, text::kResultsTitle, kWindowStyle, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 0, 0, mainWindow, nullptr, appInstance, nullptr);
    if (!resultsWindow)
        return false;
    windowsCreated = true;
    return true;
}

bool initApplication()
{
    if (appInitialised)
        return false;
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    boardGeometry = new (std::nothrow) BoardGeometry(8, 16, 20, 1);
    if (!boardGeometry)
        return false;
    well = new (std::nothrow) Well(boardGeometry);
    if (!well) {
        freeBoard();
        return false;
    }
    windowRect.width = boardGeometry->pixelWidth;
    windowRect.height = boardGeometry->pixelHeight + kStatusStripHeight;
    if (!well->isValid() || !createWindows()) {
        freeBoard();
        return false;
    }
    backBuffer.window = mainWindow;
    if (!backBuffer.createBitmap(boardGeometry->pixelWidth, boardGeometry->pixelHeight)) {
        freeBoard();
        return false;
    }
    connectRulesToShell();

    resultsTable = new (std::nothrow) ResultsTable(10);
    pieceSet = new (std::nothrow) PieceSet(10);
    fallingPiece = new (std::nothrow) FallingPiece(well, pieceSet);
    if (!resultsTable || !pieceSet || !fallingPiece) {
        delete fallingPiece;
        delete pieceSet;
        delete resultsTable;
        fallingPiece = nullptr;
        pieceSet = nullptr;
        resultsTable = nullptr;
        backBuffer.deleteBitmap();
        freeBoard();
        return false;
    }
    loadResultsTable();
    pieceSet->registerStandardPieces();
    fallingPiece->spawn(*pieceSet);  // never shown: New game spawns afresh

    SetTimer(mainWindow, kGravityTimer, kTimerPeriodMs, nullptr);
    appInitialised = true;
    ShowWindow(mainWindow, SW_SHOW);
    gameEnded = false;
    gameRunning = false;
    score = 0.0;
    return true;
}

void drawIdlePicture()
{
    if (HDC dc = backBuffer.beginDrawing()) {
        drawInitialPicture(*boardGeometry, dc);
        backBuffer.endDrawing();
    }
    backBuffer.blitToWindow();
}

int runMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

bool shutdownApplication()
{
    if (!appInitialised)
        return false;
    gameEnded = true;
    KillTimer(mainWindow, kGravityTimer);

    delete fallingPiece;
    fallingPiece = nullptr;
    delete pieceSet;
    pieceSet = nullptr;
    freeBoard();

    if (resultsTable) {
        // The main window is gone by now, so the box has no owner.
        if (!saveResultsTable())
            MessageBoxA(nullptr, text::kCannotSave, text::kCannotSaveCaption, MB_OK);
        delete resultsTable;
        resultsTable = nullptr;
    }
    backBuffer.deleteBitmap();
    shellHooks = ShellHooks{};
    appInitialised = false;
    return true;
}

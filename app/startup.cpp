#include "app/startup.h"

#include <cstdlib>
#include <ctime>
#include <new>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/results_shell.h"
#include "app/shell_hooks.h"
#include "app/texts.h"
#include "core/game_state.h"
#include "core/shell_port.h"
#include "draw/board_drawing.h"
#include "resources/resource.h"
#include "results/results_window.h"

namespace {

// The names the program gives Windows and the file system.
constexpr char kMainClass[] = "MyClass";
constexpr char kResultsClass[] = "Tabulka";
constexpr char kResultsFile[] = "tabulka.dat";

struct WindowPlacement {
    int x;
    int y;
    int width;
    int height;
};

// The client area's place and size until the window is made, then the outer
// rectangle.
WindowPlacement windowRect = {300, 150, 250, 350};
bool appInitialised = false;
bool windowsCreated = false;

constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // 0x00CA0000
// A system colour as a class brush is its index plus one: COLOR_SCROLLBAR
// (index 0) is the brush value 1.
const HBRUSH kClassBrush = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_SCROLLBAR + 1));

void freeBoard()
{
    delete well;  // reads the geometry: goes first
    well = nullptr;
    if (boardGeometry)
        boardGeometry->clear();
    delete boardGeometry;
    boardGeometry = nullptr;
}

// Any failure once the board geometry exists: frees whatever was built of the
// game objects, the results, the back buffer's bitmap and the board, leaving
// their pointers null, and answers false for the caller to return. Window
// classes, windows and shell hooks already made stay, left to the end of the
// process.
bool failStart()
{
    delete fallingPiece;
    delete pieceSet;
    delete resultsTable;
    delete resultsStore;
    fallingPiece = nullptr;
    pieceSet = nullptr;
    resultsTable = nullptr;
    resultsStore = nullptr;
    backBuffer.deleteBitmap();
    freeBoard();
    return false;
}

// Registers the two window classes and creates the windows; once only.
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
    mainClass.lpszClassName = kMainClass;
    if (!RegisterClassA(&mainClass))
        return false;

    WNDCLASSA resultsClass = mainClass;
    resultsClass.style = 0;
    resultsClass.lpfnWndProc = resultsWindowProc;
    resultsClass.lpszMenuName = nullptr;
    resultsClass.lpszClassName = kResultsClass;
    if (!RegisterClassA(&resultsClass))
        return false;

    // (x, y) is where the client area goes, width and height its size.
    RECT r = {windowRect.x, windowRect.y, windowRect.x + windowRect.width, windowRect.y + windowRect.height};
    AdjustWindowRect(&r, kWindowStyle, TRUE);
    windowRect = {r.left, r.top, r.right - r.left, r.bottom - r.top};

    mainWindow = CreateWindowExA(0, kMainClass, text::kMainTitle, kWindowStyle, windowRect.x, windowRect.y,
                                 windowRect.width, windowRect.height, nullptr, nullptr, appInstance, nullptr);
    if (!mainWindow)
        return false;
    resultsWindow = CreateWindowExA(0, kResultsClass, text::kResultsTitle, kWindowStyle, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 0, 0, mainWindow, nullptr, appInstance, nullptr);
    if (!resultsWindow)
        return false;
    windowsCreated = true;
    return true;
}

}  // namespace

bool initApplication()
{
    if (appInitialised)
        return false;
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    boardGeometry = new (std::nothrow) BoardGeometry(kBoardColumns, kBoardRows, kCellSize, kGridLineWidth);
    if (!boardGeometry)
        return false;
    well = new (std::nothrow) Well(boardGeometry);
    if (!well || !well->isValid())
        return failStart();
    windowRect.width = boardGeometry->pixelWidth;
    windowRect.height = boardGeometry->pixelHeight + kStatusStripHeight;
    if (!createWindows())
        return failStart();
    backBuffer.window = mainWindow;
    if (!backBuffer.createBitmap(boardGeometry->pixelWidth, boardGeometry->pixelHeight))
        return failStart();
    connectRulesToShell();

    resultsTable = new (std::nothrow) ResultsTable(kResultsCapacity);
    resultsStore = new (std::nothrow) ResultsStore(kResultsFile);
    pieceSet = new (std::nothrow) PieceSet(kPieceSetCapacity);
    fallingPiece = new (std::nothrow) FallingPiece(well, pieceSet);
    if (!resultsTable || !resultsStore || !pieceSet || !fallingPiece)
        return failStart();
    attachResultsTable(resultsTable);
    loadResults();
    pieceSet->registerStandardPieces();
    fallingPiece->spawn();  // never shown: New game spawns afresh

    SetTimer(mainWindow, kGravityTimer, kTimerPeriodMs, nullptr);
    appInitialised = true;
    ShowWindow(mainWindow, SW_SHOW);
    resetGameState();
    return true;
}

void showIdlePicture()
{
    {
        DrawingSurface surface(backBuffer);
        drawIdlePicture(*boardGeometry, surface.dc());
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

    // The main window is gone by now, so a box about a failed save has no owner.
    saveResultsAtExit();
    attachResultsTable(nullptr);
    delete resultsTable;
    resultsTable = nullptr;
    delete resultsStore;
    resultsStore = nullptr;
    backBuffer.deleteBitmap();
    shellHooks = ShellHooks{};
    appInitialised = false;
    return true;
}

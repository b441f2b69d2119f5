#include "app/commands.h"

#include "app/app_state.h"
#include "app/dialogs.h"
#include "app/game_over.h"
#include "app/results_shell.h"
#include "app/shell_hooks.h"
#include "app/texts.h"
#include "core/game_state.h"
#include "draw/board_drawing.h"
#include "resources/resource.h"

namespace {

// Holds a game flag at a value while a box is open (its message loop keeps
// the ticks coming) and gives it back its old value afterwards.
class HoldFlag {
public:
    HoldFlag(bool& flag, bool value) : held(flag), old(flag) { held = value; }
    ~HoldFlag() { held = old; }
    HoldFlag(const HoldFlag&) = delete;
    HoldFlag& operator=(const HoldFlag&) = delete;

private:
    bool& held;
    bool old;
};

// Asks whether to end the running game. gameRunning is off while the box is
// open, so the ticks that arrive meanwhile move nothing.
bool confirmEndOfGame()
{
    HoldFlag stopped(gameRunning, false);
    return MessageBoxA(mainWindow, text::kConfirmEnd, text::kConfirmEndCaption, MB_YESNO) != IDNO;
}

void newGame()
{
    if (!well || !fallingPiece)
        return;
    well->markAllRows();
    well->removeMarkedRows();  // redraws the empty well and repaints
    // Not drawn here: the piece first shows at the first step or key.
    fallingPiece->spawn();
    {
        DrawingSurface surface(backBuffer);
        drawWell(*well, surface.dc(), false);
    }
    resetScore();
    gameEnded = false;
    gamePaused = false;
    // The whole client area, erased: the old score leaves the strip.
    RECT client;
    GetClientRect(mainWindow, &client);
    InvalidateRect(mainWindow, &client, TRUE);
    requestRepaint();
    gameRunning = true;
}

void pauseGame()
{
    if (gameRunning)
        gamePaused = true;
}

void unpauseGame()
{
    if (gameRunning)
        gamePaused = false;
}

void startNewGame(HWND window)
{
    if (gameRunning) {
        if (!confirmEndOfGame())
            return;
        runGameOverFlow(window);  // called directly, not through the notice
    }
    newGame();
}

void exitProgram()
{
    if (gameRunning) {
        if (!confirmEndOfGame())
            return;
        sendGameOverNotice();
    }
    // The default handling of WM_CLOSE destroys the window, which ends the
    // message loop.
    SendMessageA(mainWindow, WM_CLOSE, 0, 0);
}

void endGameOnRequest()
{
    if (gameRunning && confirmEndOfGame())
        sendGameOverNotice();  // gameEnded stays clear; the flow stops the game
}

void clearResults()
{
    HoldFlag paused(gamePaused, true);
    if (MessageBoxA(mainWindow, text::kConfirmClear, text::kConfirmClearCaption, MB_YESNO) == IDYES && resultsTable) {
        resultsTable->clear();
        saveResults(mainWindow);
    }
}

void toggleExtendedTileset()
{
    HoldFlag paused(gamePaused, true);
    if (gameRunning) {
        MessageBoxA(mainWindow, text::kNoTilesetChange, text::kNoTilesetChangeCaption, MB_OK);
    } else if (pieceSet) {
        // The check mark is the only record of whether the mirrors are in.
        HMENU gameMenu = GetSubMenu(GetMenu(mainWindow), 0);
        const UINT state = GetMenuState(gameMenu, ID_GAME_EXTENDEDTILESET, MF_BYCOMMAND);
        if (state != static_cast<UINT>(-1)) {
            if (state & MF_CHECKED) {
                pieceSet->removeExtendedPieces();
                CheckMenuItem(gameMenu, ID_GAME_EXTENDEDTILESET, MF_BYCOMMAND | MF_UNCHECKED);
            } else {
                pieceSet->addExtendedPieces();
                CheckMenuItem(gameMenu, ID_GAME_EXTENDEDTILESET, MF_BYCOMMAND | MF_CHECKED);
            }
        }
    }
}

void runDialog(int templateId, DLGPROC procedure)
{
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(templateId), mainWindow, procedure, 0);
}

}  // namespace

void onCommand(HWND window, WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case ID_GAME_NEW: startNewGame(window); break;
    case ID_GAME_EXIT: exitProgram(); break;
    case ID_GAME_PAUSE: pauseGame(); break;
    case ID_GAME_UNPAUSE: unpauseGame(); break;
    case ID_GAME_GAMEOVER: endGameOnRequest(); break;
    case ID_RESULTS_SHOW: showResultsAt(besideMainWindow()); break;
    case ID_RESULTS_CLEAR: clearResults(); break;
    case ID_HELP_ABOUT: runDialog(IDD_ABOUT, aboutDialogProc); break;
    case ID_GAME_SPEED: runDialog(IDD_SPEED, speedDialogProc); break;
    case ID_GAME_EXTENDEDTILESET: toggleExtendedTileset(); break;
    default: break;
    }
}

#include "app/commands.h"

#include "app/app_state.h"
#include "app/dialogs.h"
#include "app/game_over.h"
#include "app/shell_hooks.h"
#include "app/texts.h"
#include "core/game_state.h"
#include "draw/board_drawing.h"
#include "resources/resource.h"
#include "results/results_store.h"

namespace {

// Asks whether to end the running game. gameRunning is off while the box is
// open, so the ticks that arrive meanwhile move nothing.
bool confirmEndOfGame()
{
    gameRunning = false;
    const int answer = MessageBoxA(mainWindow, text::kConfirmEnd, text::kConfirmEndCaption, MB_YESNO);
    gameRunning = true;
    return answer != IDNO;
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
    const bool wasPaused = gamePaused;
    gamePaused = true;
    if (MessageBoxA(mainWindow, text::kConfirmClear, text::kConfirmClearCaption, MB_YESNO) == IDYES && resultsTable) {
        resultsTable->clear();
        saveResultsTable(*resultsTable, text::kResultsFile);  // nothing to report if no record could be built
    }
    gamePaused = wasPaused;
}

void toggleExtendedTileset()
{
    const bool wasPaused = gamePaused;
    gamePaused = true;
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
    gamePaused = wasPaused;
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

void newGame()
{
    if (!well || !fallingPiece)
        return;
    well->markAllRows();
    well->removeMarkedRows();  // redraws the empty well and repaints
    // Not drawn here: the piece first shows at the first step or key.
    fallingPiece->spawn();
    HDC dc = backBuffer.beginDrawing();
    drawWell(*well, dc, false);
    score = 0.0;
    lstrcpyA(scoreText, "0.0");
    backBuffer.endDrawing();
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

void setSpeed(unsigned speed)
{
    fallDelayMs = fallDelayForSpeed(speed);
    resetFallTimer();
}

// Menu commands, New game, pause, speed, and the About and Speed dialogs.
#include "app/app_state.h"
#include "app/texts.h"
#include "core/game_state.h"
#include "draw/board_drawing.h"
#include "resources/resource.h"

namespace {

constexpr unsigned kDefaultSpeed = 92;

// Asks whether to end the running game. gameRunning is off while the box is
// open, so the ticks that arrive meanwhile move nothing.
bool confirmEndOfGame()
{
    gameRunning = false;
    const int answer = MessageBoxA(mainWindow, text::kConfirmEnd, text::kConfirmEndCaption, MB_YESNO);
    gameRunning = true;
    return answer != IDNO;
}

void sendGameOverNotice() { SendMessageA(mainWindow, WM_APP, 0, 0); }

void showResultsBesideMainWindow()
{
    RECT r;
    GetWindowRect(mainWindow, &r);
    if (resultsTable)
        showResults(*resultsTable, r.right, r.top, HWND_TOP);
}

void clearResults()
{
    const bool wasPaused = gamePaused;
    gamePaused = true;
    if (MessageBoxA(mainWindow, text::kConfirmClear, text::kConfirmClearCaption, MB_YESNO) == IDYES && resultsTable) {
        resultsTable->clear();
        saveResultsTable();  // nothing to report if no record could be built
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

unsigned clampSpeed(unsigned speed)
{
    if (speed == 0)
        return 1;
    return speed >= 100 ? 99 : speed;
}

unsigned readSpeed(HWND dialog)
{
    // Empty, not a number or too large: reads as 0.
    return clampSpeed(GetDlgItemInt(dialog, IDC_SPEED_EDIT, nullptr, FALSE));
}

}  // namespace

void onCommand(HWND window, WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case ID_GAME_NEW:
        if (gameRunning) {
            if (!confirmEndOfGame())
                return;
            runGameOverFlow(window);
        }
        newGame();
        break;
    case ID_GAME_EXIT:
        if (gameRunning) {
            if (!confirmEndOfGame())
                return;
            sendGameOverNotice();
        }
        SendMessageA(mainWindow, WM_CLOSE, 0, 0);
        break;
    case ID_GAME_PAUSE:
        pauseGame();
        break;
    case ID_GAME_UNPAUSE:
        unpauseGame();
        break;
    case ID_GAME_GAMEOVER:
        if (gameRunning && confirmEndOfGame())
            sendGameOverNotice();
        break;
    case ID_RESULTS_SHOW:
        showResultsBesideMainWindow();
        break;
    case ID_RESULTS_CLEAR:
        clearResults();
        break;
    case ID_HELP_ABOUT:
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), mainWindow, aboutDialogProc, 0);
        break;
    case ID_GAME_SPEED:
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_SPEED), mainWindow, speedDialogProc, 0);
        break;
    case ID_GAME_EXTENDEDTILESET:
        toggleExtendedTileset();
        break;
    default:
        break;
    }
}

void newGame()
{
    if (!well || !fallingPiece || !pieceSet)
        return;
    well->markAllRows();
    well->removeMarkedRows();  // redraws the empty well and repaints
    fallingPiece->spawn(*pieceSet);
    HDC dc = backBuffer.beginDrawing();
    drawWell(*well, dc, false);
    score = 0.0;
    lstrcpyA(scoreText, "0.0");
    backBuffer.endDrawing();
    gameEnded = false;
    gamePaused = false;
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
    fallDelayMs = static_cast<int>(100 - clampSpeed(speed)) * 10;
    resetFallTimer();
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SendMessageA(dialog, WM_SETFOCUS, 0, 0);
        break;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_OK)
            EndDialog(dialog, 0);
        break;  // Escape (IDCANCEL) keeps the box open
    default:
        break;
    }
    return 0;
}

INT_PTR CALLBACK speedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemInt(dialog, IDC_SPEED_EDIT, static_cast<UINT>((1000 - fallDelayMs) / 10), FALSE);
        SetFocus(GetDlgItem(dialog, IDC_SPEED_EDIT));
        break;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SPEED_EDIT:
            if (HIWORD(wParam) == EN_KILLFOCUS)
                SetDlgItemInt(dialog, IDC_SPEED_EDIT, readSpeed(dialog), FALSE);
            break;
        case IDC_OK:
            setSpeed(readSpeed(dialog));
            EndDialog(dialog, 1);
            break;
        case IDC_CANCEL:
            EndDialog(dialog, 0);
            break;
        case IDC_DEFAULT:
            SetDlgItemInt(dialog, IDC_SPEED_EDIT, kDefaultSpeed, FALSE);
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return 0;
}

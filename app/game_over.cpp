// The end of a game: the name entry for a result that earns a place, or the
// game-over box.
#include "app/app_state.h"
#include "app/texts.h"
#include "core/game_state.h"
#include "resources/resource.h"

namespace {

constexpr int kNameBufferSize = 20;  // 19 characters and the NUL

void acceptName(HWND dialog)
{
    char name[kNameBufferSize] = {};
    if (GetDlgItemTextA(dialog, IDC_NAME_EDIT, name, kNameBufferSize) == 0 || name[0] == '\0')
        lstrcpyA(name, text::kEmptyName);
    if (resultsTable) {
        resultsTable->insert(name, score);
        if (!saveResultsTable())
            MessageBoxA(mainWindow, text::kCannotSave, text::kCannotSaveCaption, MB_OK);
    }
    EndDialog(dialog, 1);
}

}  // namespace

void runGameOverFlow(HWND owner)
{
    if (score > 0.0 && resultsTable && resultsTable->placesFor(score) > 0) {
        RECT r;
        GetWindowRect(mainWindow, &r);
        showResults(*resultsTable, r.right, r.top, HWND_TOP);
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_NAME), owner, nameDialogProc, 0);
        showResults(*resultsTable, r.right, r.top, HWND_TOP);
        gameRunning = false;
        return;
    }
    MessageBoxA(mainWindow, text::kGameOver, text::kGameOverCaption, MB_OK);
    gameRunning = false;
}

INT_PTR CALLBACK nameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SendMessageA(dialog, WM_SETFOCUS, 0, 0);
        break;
    case WM_CLOSE:
        EndDialog(dialog, 0);  // nothing inserted, nothing written
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_OK)
            acceptName(dialog);
        break;  // Escape (IDCANCEL) keeps the dialog open
    default:
        break;
    }
    return 0;
}

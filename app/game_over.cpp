#include "app/game_over.h"

#include "app/app_state.h"
#include "app/results_shell.h"
#include "app/texts.h"
#include "core/game_state.h"
#include "resources/resource.h"

namespace {

constexpr int kNameBufferSize = 20;  // 19 characters and the NUL

// One entry per dialog: an OK that comes again (posted, or clicked while the box about a failed
// save is up) must not enter the same result a second time.
bool nameEntered = false;

void acceptName(HWND dialog)
{
    if (nameEntered)
        return;
    nameEntered = true;
    char name[kNameBufferSize] = {};
    // Longer names are cut to their first 19 bytes; spaces stay as typed.
    if (GetDlgItemTextA(dialog, IDC_NAME_EDIT, name, kNameBufferSize) == 0 || name[0] == '\0')
        lstrcpyA(name, text::kEmptyName);
    if (resultsTable) {
        resultsTable->insert(name, score);
        // A failed save is told over the dialog, which stays disabled while the box is up.
        saveResults(dialog);
    }
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK nameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        nameEntered = false;
        // The dialog's own handling of WM_SETFOCUS gives the focus to its
        // first tab stop, the name box.
        SendMessageA(dialog, WM_SETFOCUS, 0, 0);
        break;
    case WM_CLOSE:
        EndDialog(dialog, 0);  // nothing inserted, nothing written
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_OK)  // the button, or Enter
            acceptName(dialog);
        break;  // Escape (IDCANCEL) keeps the dialog open
    default:
        break;
    }
    return 0;
}

}  // namespace

void runGameOverFlow(HWND owner)
{
    if (score > 0.0 && resultsTable && resultsTable->placesFor(score) > 0) {
        // The table before the entry, then after it, at the same place.
        const POINT place = besideMainWindow();
        showResultsAt(place);
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_NAME), owner, nameDialogProc, 0);
        showResultsAt(place);
    } else {
        MessageBoxA(mainWindow, text::kGameOver, text::kGameOverCaption, MB_OK);
    }
    gameRunning = false;
}

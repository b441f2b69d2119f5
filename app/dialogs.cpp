#include "app/dialogs.h"

#include "core/game_state.h"
#include "resources/resource.h"

namespace {

// Empty, not a number or too large reads as 0, which counts as 1.
unsigned readSpeed(HWND dialog) { return clampSpeed(GetDlgItemInt(dialog, IDC_SPEED_EDIT, nullptr, FALSE)); }

void showSpeed(HWND dialog, unsigned speed) { SetDlgItemInt(dialog, IDC_SPEED_EDIT, speed, FALSE); }

}  // namespace

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        // The dialog's own handling of WM_SETFOCUS puts the focus on its
        // first tab stop, the OK button.
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
        showSpeed(dialog, speedForFallDelay(fallDelayMs));
        SetFocus(GetDlgItem(dialog, IDC_SPEED_EDIT));
        break;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SPEED_EDIT:
            // Every value that leaves the edit is between 1 and 99.
            if (HIWORD(wParam) == EN_KILLFOCUS)
                showSpeed(dialog, readSpeed(dialog));
            break;
        case IDC_OK:
            setSpeed(readSpeed(dialog));
            EndDialog(dialog, 1);
            break;
        case IDC_CANCEL:
            EndDialog(dialog, 0);
            break;
        case IDC_DEFAULT:
            showSpeed(dialog, kDefaultSpeed);  // applied only by OK
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

#include "app/results_shell.h"

#include "app/app_state.h"
#include "app/texts.h"
#include "results/results_window.h"

namespace {

void reportFailedSave(HWND owner)
{
    MessageBoxA(owner, text::kCannotSave, text::kCannotSaveCaption, MB_OK);
}

}  // namespace

void loadResults()
{
    if (resultsStore->load(*resultsTable) == LoadOutcome::Damaged)
        MessageBoxA(mainWindow, text::kBadResults, text::kBadResultsCaption, MB_OK);
}

void saveResults(HWND owner)
{
    if (!resultsStore || !resultsTable || !resultsStore->save(*resultsTable))
        reportFailedSave(owner);
}

void saveResultsAtExit()
{
    if (!resultsStore || !resultsTable || !resultsStore->saveIfChanged(*resultsTable))
        reportFailedSave(nullptr);
}

POINT besideMainWindow()
{
    RECT r;
    GetWindowRect(mainWindow, &r);
    return {r.right, r.top};
}

void showResultsAt(POINT place)
{
    if (resultsTable)
        showResults(*resultsTable, place.x, place.y, HWND_TOP);
}

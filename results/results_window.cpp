#include "results/results_window.h"

#include <cstdio>
#include <cstring>

#include "draw/gdi_objects.h"

HWND resultsWindow = nullptr;

namespace {

constexpr int kClientWidth = 150;
constexpr int kScoreX = 123;
constexpr int kNameX = 2;
constexpr COLORREF kBrickRed = 0x2040C0;  // (192, 64, 32): the best result

// The line buffer's size in bytes, the terminator included.
constexpr int kLineSize = 100;

const ResultsTable* attachedTable = nullptr;

void textAt(HDC dc, int x, int y, const char* line)
{
    TextOutA(dc, x, y, line, static_cast<int>(std::strlen(line)));
}

}  // namespace

void attachResultsTable(const ResultsTable* table) { attachedTable = table; }

void showResults(const ResultsTable& table, int x, int y, HWND insertAfter)
{
    HDC dc = GetDC(resultsWindow);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    const int h = metrics.tmHeight;

    int rows = 0;
    for (int i = 0; i < table.capacity; ++i)
        if (holdsResult(table.slots[i]))
            ++rows;

    RECT r;
    SetRect(&r, x, y, x + kClientWidth, y + h * rows);
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    SetWindowPos(resultsWindow, insertAfter, x, y, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
    ShowWindow(resultsWindow, SW_SHOW);

    RECT client;
    GetClientRect(resultsWindow, &client);
    fillSolid(dc, client.left, client.top, client.right, client.bottom, GetSysColor(COLOR_BTNFACE));
    const COLORREF oldBackground = SetBkColor(dc, GetSysColor(COLOR_BTNFACE));

    int rank = 1;
    char line[kLineSize];
    for (int i = 0; i < table.capacity; ++i) {
        const ResultEntry* entry = table.slots[i];
        if (!holdsResult(entry))
            continue;
        COLORREF oldText = 0;
        if (rank == 1)
            oldText = SetTextColor(dc, kBrickRed);
        const int top = (rank - 1) * h;
        // Lines longer than the buffer (only from a results file) are cut.
        std::snprintf(line, sizeof line, "%2d. %s", rank, entry->name);
        textAt(dc, kNameX, top, line);
        std::snprintf(line, sizeof line, "%4.1f", entry->score);
        textAt(dc, kScoreX, top, line);
        if (rank == 1)
            SetTextColor(dc, oldText);
        ++rank;
    }
    SetBkColor(dc, oldBackground);
    ReleaseDC(resultsWindow, dc);
}

LRESULT CALLBACK resultsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        RECT r;
        GetWindowRect(resultsWindow, &r);
        if (attachedTable)
            showResults(*attachedTable, r.left, r.top, HWND_TOP);
        break;
    }
    case WM_ERASEBKGND:
        // showResults fills the whole client area itself. Left to the default
        // handling, the erase that BeginPaint asks for after the SetWindowPos
        // above would wipe the list where Windows does not erase at once (as
        // under Wine 10).
        return 1;
    case WM_CLOSE:
        ShowWindow(resultsWindow, SW_HIDE);
        return 0;  // hidden, not destroyed
    case WM_KEYDOWN:
        SendMessageA(resultsWindow, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
    // Everything also gets the default handling; for WM_PAINT that
    // validates the window, which is painted above through a DC of its own.
    return DefWindowProcA(window, message, wParam, lParam);
}

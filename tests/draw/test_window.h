// A plain top-level window for drawing tests: shown, with no background
// brush, so that nothing but the test paints its client area.
#pragma once

#include <windows.h>

inline LRESULT CALLBACK testWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_ERASEBKGND)
        return 1;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

inline void pumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline HWND createTestWindow(int clientWidth, int clientHeight)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = testWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = "LumoxDrawTest";
        registered = RegisterClassA(&wc) != 0;
    }
    RECT r = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&r, WS_OVERLAPPED | WS_CAPTION, FALSE);
    HWND hwnd = CreateWindowA("LumoxDrawTest", "draw test", WS_OVERLAPPED | WS_CAPTION, 40, 40, r.right - r.left,
                              r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hwnd) {
        ShowWindow(hwnd, SW_SHOW);
        UpdateWindow(hwnd);
        pumpMessages();
    }
    return hwnd;
}

// Reads one pixel of a window's client area.
inline COLORREF windowPixel(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

// What the Windows tests share: pumping messages, reading pixels and a plain
// window to draw into.
#pragma once

#include <windows.h>

inline void pumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Pixels of `colour` in the rectangle [left, right) x [top, bottom) of a DC.
inline int countPixels(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += GetPixel(dc, x, y) == colour;
    return n;
}

inline COLORREF windowPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

// (Callbacks are named functions: the i686 build calls them stdcall, which
// a lambda cannot be.)
inline LRESULT CALLBACK testWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(w, &ps);
        EndPaint(w, &ps);
        return 0;
    }
    return m == WM_ERASEBKGND ? 1 : DefWindowProcA(w, m, wp, lp);
}

// A shown top-level window whose client area only the test paints.
inline HWND createTestWindow(int clientWidth, int clientHeight)
{
    static const ATOM registered = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = testWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "LumoxTestWindow";
        return RegisterClassA(&wc);
    }();
    RECT r = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&r, WS_OVERLAPPED | WS_CAPTION, FALSE);
    HWND window = CreateWindowA(MAKEINTATOM(registered), "test", WS_OVERLAPPED | WS_CAPTION, 40, 40, r.right - r.left,
                                r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    pumpMessages();
    return window;
}

// What the Windows tests share: pumping messages and reading pixels.
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


// What the Windows tests share: pumping messages and reading a window's pixels.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

inline void pumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline COLORREF windowPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

struct TextLine {
    int x;
    int y;
    COLORREF colour;
    std::string text;
};

// Whether an area of a window shows exactly the lines (placed from the area's corner) as
// TextOutA draws them in the window's default font, on paper of one colour.
inline bool windowShows(HWND window, RECT area, COLORREF paper, const std::vector<TextLine>& lines)
{
    const RECT all = {0, 0, area.right - area.left, area.bottom - area.top};
    HDC screen = GetDC(window);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, CreateCompatibleBitmap(screen, all.right, all.bottom));
    HBRUSH brush = CreateSolidBrush(paper);
    FillRect(dc, &all, brush);
    SetBkColor(dc, paper);
    for (const TextLine& line : lines) {
        SetTextColor(dc, line.colour);
        TextOutA(dc, line.x, line.y, line.text.c_str(), static_cast<int>(line.text.size()));
    }
    bool same = true;
    for (int i = 0; i < all.right * all.bottom; ++i) {
        const int x = i % all.right;
        const int y = i / all.right;
        same = same && GetPixel(dc, x, y) == GetPixel(screen, area.left + x, area.top + y);
    }
    DeleteObject(brush);
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    ReleaseDC(window, screen);
    return same;
}

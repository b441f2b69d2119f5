// What the Windows tests share: reading a window's pixels against text drawn as the program
// draws it.
#pragma once

#include <windows.h>

#include <vector>

struct TextLine {
    int x, y;
    COLORREF colour;
    LPCSTR text;
};

// Whether an area of a window (in its client coordinates) shows the paper and on it exactly the
// lines, as TextOutA draws them in the window's default font on the text's background colour:
// drawing them over the area changes no pixel of it.
inline bool windowShows(HWND window, RECT area, HBRUSH paper, COLORREF background,
                        std::initializer_list<TextLine> lines)
{
    HDC dc = GetDC(window);
    auto pixels = [&] {
        std::vector<COLORREF> all;
        for (int x = area.left; x < area.right; ++x)
            for (int y = area.top; y < area.bottom; ++y)
                all.push_back(GetPixel(dc, x, y));
        return all;
    };
    const auto before = pixels();
    FillRect(dc, &area, paper);
    SetBkColor(dc, background);
    for (auto [x, y, colour, text] : lines) {
        SetTextColor(dc, colour);
        TextOutA(dc, x, y, text, lstrlenA(text));
    }
    const bool same = pixels() == before;
    ReleaseDC(window, dc);
    return same;
}

#include "draw/gdi_objects.h"

namespace {
int live = 0;

template <typename T>
T counted(T object)
{
    if (object)
        ++live;
    return object;
}

HPEN createPenCounted(int style, int width, COLORREF colour) { return counted(CreatePen(style, width, colour)); }
}  // namespace

HBRUSH createSolidBrushCounted(COLORREF colour) { return counted(CreateSolidBrush(colour)); }

HDC createCompatibleDCCounted(HDC dc) { return counted(CreateCompatibleDC(dc)); }

void deleteObjectCounted(HGDIOBJ object)
{
    if (object && DeleteObject(object))
        --live;
}

void deleteDCCounted(HDC dc)
{
    if (dc && DeleteDC(dc))
        --live;
}

int liveGdiObjects() { return live; }

ScopedPen::ScopedPen(HDC dc_, int style, int width, COLORREF colour) : dc(dc_), pen(createPenCounted(style, width, colour))
{
    if (pen)
        previous = SelectObject(dc, pen);
}

ScopedPen::~ScopedPen()
{
    if (!pen)
        return;
    SelectObject(dc, previous);
    deleteObjectCounted(pen);
}

void fillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    HBRUSH brush = createSolidBrushCounted(colour);
    if (!brush)
        return;
    RECT r;
    SetRect(&r, left, top, right, bottom);
    FillRect(dc, &r, brush);
    deleteObjectCounted(brush);
}

// Creation and deletion points for the GDI objects the program makes for one
// drawing step. Every pen, brush and memory DC goes through here, so tests can
// prove that none outlives its step (Wine's GetGuiResources always says 0).
#pragma once

#include <windows.h>

HBRUSH createSolidBrushCounted(COLORREF colour);
HPEN createPenCounted(int style, int width, COLORREF colour);
HDC createCompatibleDCCounted(HDC dc);
void deleteObjectCounted(HGDIOBJ object);
void deleteDCCounted(HDC dc);

// Objects created above and not yet deleted.
int liveGdiObjects();

// Selects a new pen for one scope; the previous pen goes back before the new
// one is deleted.
class ScopedPen {
public:
    ScopedPen(HDC dc, int style, int width, COLORREF colour);
    ~ScopedPen();
    ScopedPen(const ScopedPen&) = delete;
    ScopedPen& operator=(const ScopedPen&) = delete;

private:
    HDC dc;
    HPEN pen;
    HGDIOBJ previous = nullptr;
};

// Fills a rectangle with a brush made and deleted on the spot.
void fillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF colour);

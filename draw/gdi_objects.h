// Creation and deletion points for the GDI objects the program makes for one
// drawing step. Every pen (through ScopedPen), brush and memory DC goes
// through here, so tests can prove that none outlives its step (Wine's
// GetGuiResources always says 0).
//
// A create answers null when Windows refuses, and only a real object counts.
// The caller owns what it created and deletes it with the matching delete
// within the same step; a null handle, or a delete that Windows refuses,
// leaves the count as it was.
#pragma once

#include <windows.h>

HBRUSH createSolidBrushCounted(COLORREF colour);
HDC createCompatibleDCCounted(HDC dc);
void deleteObjectCounted(HGDIOBJ object);
void deleteDCCounted(HDC dc);

// Objects created above and not yet deleted.
int liveGdiObjects();

// Selects a new pen into `dc` for one scope; the previous pen goes back before
// the new one is deleted. The DC must outlive the scope. If the pen cannot be
// made, the DC keeps the pen it has.
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

// Fills a rectangle with a brush made and deleted on the spot; nothing when
// the brush cannot be made.
void fillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF colour);

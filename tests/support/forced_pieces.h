// The seam through which tests choose the next pieces: the set's random
// source answers a chosen value, so the piece drawn is the r-th occupied slot
// (0 and 1 both the first).
#pragma once

#include "core/piece_set.h"

inline int& forcedDraw()
{
    static int value = 1;
    return value;
}

inline void forceDraw(PieceSet& set, int value)
{
    forcedDraw() = value;
    set.random = [] { return forcedDraw(); };
}

// With all seven pieces in, the draw that picks the piece in `slot`.
inline void forceSlot(PieceSet& set, int slot) { forceDraw(set, slot + 1); }

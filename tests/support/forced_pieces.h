// The seam through which tests choose the next piece: the set's random source
// answers `value`, so the piece drawn is the value-th occupied slot (0 and 1
// both the first). forceSlot picks a slot, with all seven pieces in.
#pragma once

#include "core/piece_set.h"

inline int forcedValue = 1;
inline void forceDraw(PieceSet& set, int value) { forcedValue = value, set.random = [] { return forcedValue; }; }
inline void forceSlot(PieceSet& set, int slot) { forceDraw(set, slot + 1); }

// Endgame tablebase probing as the search sees it.
#pragma once
#include "board/types.h"

namespace orv {

// Table value meaning "not known" (no table, no file, unreadable byte).
constexpr int TablebaseUnknown = 32767;

// Prepares a probe of the position b: fills the material key and the square
// lists; returns the number of men other than the kings.
int prepareTablebaseProbe(const Board& b);
// Value of the prepared position for `side` to move with the en-passant
// target square (or -1): 0 draw, > 0 win, < 0 loss, TablebaseUnknown.
int probeTablebase(int side, int epSquare);

}  // namespace orv

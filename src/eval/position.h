// The position the evaluation reads: the search's own working arrays (slot
// squares, square map, kinds, castling statuses and per-slot values of a Board).
// The search copies the Game's Board into it before every root call and makes
// and takes back moves on it; the evaluation only reads it.
#pragma once
#include "board/types.h"

namespace orv {

extern Board searchPosition;

}  // namespace orv

// The square lists a probe hands to the index operations, read off a Board.
#pragma once
#include <cstdint>

#include "board/types.h"
#include "tablebase/index.h"

namespace orv::tb {

// Fills White's and Black's lists (ListSize entries each, -1 when empty):
// men in slot order, White slots 0..15 and Black slots 16..31, each into the
// first free entry of its kind's group (king 0, queens 1, rooks 4, bishops 7,
// knights 10, pawns 13); a fourth man of a kind takes the next group's first
// free entry, and men for which no entry is left are not listed.
void fillSquareLists(const Board& b, int8_t* white, int8_t* black);

}  // namespace orv::tb

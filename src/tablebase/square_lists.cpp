// Square lists from the Board's slots.
#include "tablebase/square_lists.h"

#include <algorithm>

namespace orv::tb {

namespace {

// First list entry of each Board kind's group.
constexpr int groupStart[NoKind] = {0, ListQueens, ListRooks, ListBishops, ListKnights, ListPawns, ListPawns};

}  // namespace

void fillSquareLists(const Board& b, int8_t* white, int8_t* black) {
  std::fill(white, white + ListSize, int8_t(-1));
  std::fill(black, black + ListSize, int8_t(-1));
  for (int slot = 0; slot < 32; ++slot) {
    const int sq = b.square[slot];
    const int kind = b.kind[slot];
    if (sq < 0 || sq > 63 || kind < King || kind >= NoKind) continue;
    int8_t* list = colourOfSlot(slot) == White ? white : black;
    int entry = groupStart[kind];
    while (entry < ListSize && list[entry] >= 0) ++entry;
    if (entry < ListSize) list[entry] = int8_t(sq);
  }
}

}  // namespace orv::tb

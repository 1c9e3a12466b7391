// Counting the sets of the search position from a Board's slots.
#include "board/search_board.h"

namespace orv {

Bitboards countBitboards(const Board& b) {
  Bitboards bits{};
  for (int slot = 0; slot < 32; ++slot) {
    const int sq = b.square[slot];
    if (sq == OffBoard) continue;
    const uint64_t bit = squareBit(sq);
    bits.occupied |= bit;
    bits.side[colourOfSlot(slot)] |= bit;
    bits.kind[b.kind[slot]] |= bit;
  }
  return bits;
}

}  // namespace orv

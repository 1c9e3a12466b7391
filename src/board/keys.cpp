// Hash keys of a position computed from scratch.
#include "board/board.h"
#include "board/tables.h"

namespace orv {

namespace {

// Index of the castling-rights entry of one side: base + 2a + b, a and b set
// when the king-side and queen-side rights still exist.
int castlingKeyIndex(const Board& b, int side) {
  const int base = side == White ? ZobristWhiteCastle : ZobristBlackCastle;
  const int a = b.castle[castleIndex(side, 0)] == 0 ? 1 : 0;
  const int q = b.castle[castleIndex(side, 1)] == 0 ? 1 : 0;
  return base + 2 * a + q;
}

}  // namespace

void computeFullKey(int side, Board& b) {
  uint32_t low = zobristL[ZobristSideToMove + side];
  uint32_t high = zobristH[ZobristSideToMove + side];
  for (int slot = 0; slot < 32; ++slot) {
    const int sq = b.square[slot];
    if (sq == OffBoard) continue;
    const int i = zobristIndex(colourOfSlot(slot), b.kind[slot], sq);
    low ^= zobristL[i];
    high ^= zobristH[i];
  }
  for (int s = White; s <= Black; ++s) {
    const int i = castlingKeyIndex(b, s);
    low ^= zobristL[i];
    high ^= zobristH[i];
  }
  b.key[0] = low;
  b.key[1] = high;

  // Pawn key: only slots that still hold a pawn of their own colour.
  uint32_t pawnLow = 0, pawnHigh = 0;
  for (int colour = White; colour <= Black; ++colour)
    for (int slot = slotBase(colour) + FirstPawnSlot; slot <= slotBase(colour) + LastPawnSlot; ++slot) {
      const int sq = b.square[slot];
      if (sq == OffBoard || b.kind[slot] != pawnKind(colour)) continue;
      const int i = zobristIndex(colour, pawnKind(colour), sq);
      pawnLow ^= zobristL[i];
      pawnHigh ^= zobristH[i];
    }
  b.pawnKey[0] = pawnLow;
  b.pawnKey[1] = pawnHigh;
}

}  // namespace orv

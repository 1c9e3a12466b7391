#include "eval/node_state.h"

#include "eval/evaluate.h"

namespace orv {

NodeState rootNodeState(const Board& b) {
  NodeState s{};
  for (int i = 0; i < 4; ++i) s.castle[i] = int16_t(b.castle[i]);
  for (int c = 0; c < 2; ++c) {
    s.pieces[c] = int16_t(b.pieces[c]);
    s.pawns[c] = int16_t(b.pawns[c]);
    s.key[c] = b.key[c];
    s.pawnKey[c] = b.pawnKey[c];
    s.material[c] = b.material[c];
    s.psq[c] = b.psq[c];
    s.nonPawn[c] = uint16_t(b.nonPawn[c]);
    s.pawnFiles[c] = uint8_t(b.pawnFiles[c]);
  }
  s.phase = b.phase;
  s.ply = 0;
  s.halfMove = b.halfMove;
  s.lastMove = uint16_t(b.lastMove);
  s.excluded = 0;
  // Queens standing in pawn slots were won by promotion.
  s.promotedQueens = 0;
  for (int side = White; side <= Black; ++side) {
    for (int slot = slotBase(side) + FirstPawnSlot; slot <= slotBase(side) + LastPawnSlot; ++slot)
      if (b.kind[slot] == Queen && b.square[slot] != OffBoard) s.promotedQueens |= 1u << slot;
  }
  // Men in slots their role does not fix: men in pawn slots that are no pawns,
  // and a bishop whose slot belongs to the other square colour (a set-up with
  // two bishops on one colour). Positions with equal keys then need not agree
  // on which slot holds which man.
  for (int side = White; side <= Black; ++side) {
    const int base = slotBase(side);
    for (int slot = base + FirstPawnSlot; slot <= base + LastPawnSlot; ++slot)
      if (b.kind[slot] != pawnKind(side) && b.square[slot] != OffBoard) s.irregularSlots = 1;
    for (int slot = base + QueenBishopSlot; slot <= base + KingBishopSlot; ++slot) {
      const int sq = b.square[slot];
      if (sq == OffBoard) continue;
      const int light = (fileOf(sq) + rankOf(sq)) & 1;
      const int expected = base + QueenBishopSlot + (side == White ? light : 1 - light);
      if (b.kind[slot] != Bishop || slot != expected) s.irregularSlots = 1;
    }
  }
  return s;
}

}  // namespace orv

// Rebuilds the derived words of a Board from the placement of its men.
#include "eval/evaluate.h"

namespace orv {

int recountBoard(Board& b) {
  b.pieces[White] = b.pieces[Black] = 0;
  b.pawns[White] = b.pawns[Black] = 0;
  for (int slot = 0; slot < 32; ++slot) {
    if (b.square[slot] == OffBoard || slot == KingSlot || slot == KingSlot + 16) continue;
    const int k = b.kind[slot];
    if (k >= Queen && k <= Knight) ++b.pieces[colourOfSlot(slot)];
    else if (k == WhitePawn || k == BlackPawn) ++b.pawns[colourOfSlot(slot)];
  }

  b.material[0] = b.material[1] = 0;
  b.nonPawn[White] = b.nonPawn[Black] = 0;
  b.lastMove = int32_t(uint32_t(b.lastMove) & 0xFFFF0000u);
  constexpr int pieceKinds[8] = {King, Queen, Rook, Rook, Bishop, Bishop, Knight, Knight};
  for (int i = 0; i < 8; ++i) b.kind[i] = b.kind[16 + i] = pieceKinds[i];

  for (int slot = 0; slot < 32; ++slot) {
    const int k = b.kind[slot];
    if (k >= King && k <= BlackPawn) b.value[slot] = kindValue[k];
    if (b.square[slot] == OffBoard || k == King) continue;
    const int sign = colourOfSlot(slot) == White ? 1 : -1;
    b.material[0] += sign * materialOpening[k];
    b.material[1] += sign * materialEndgame[k];
    if (k >= Queen && k <= Knight) b.nonPawn[colourOfSlot(slot)] += b.value[slot];
  }
  b.value[32] = 0;
  b.kind[32] = NoKind;

  b.phase = rootPhase(b);

  b.pawnFiles[White] = b.pawnFiles[Black] = 0;
  for (int side = White; side <= Black; ++side) {
    for (int slot = slotBase(side) + FirstPawnSlot; slot <= slotBase(side) + LastPawnSlot; ++slot)
      if (b.square[slot] != OffBoard && b.kind[slot] == pawnKind(side))
        b.pawnFiles[side] |= 1 << fileOf(b.square[slot]);
  }

  b.psq[0] = b.psq[1] = 0;
  for (int slot = 0; slot < 32; ++slot) {
    const int sq = b.square[slot];
    if (sq == OffBoard) continue;
    const int colour = colourOfSlot(slot);
    const int sign = colour == White ? 1 : -1;
    const int k = b.kind[slot];
    b.psq[0] += sign * psqTable[0][k][psqIndex(colour, sq)];
    b.psq[1] += sign * psqTable[1][k][psqIndex(colour, sq)];
  }
  return b.phase;
}

}  // namespace orv

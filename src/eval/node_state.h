// The per-node summary of the position that the search carries from node to
// node and hands to the evaluation.
#pragma once
#include <cstdint>

namespace orv {

struct NodeState {
  int16_t castle[4];        // same order as Board::castle: W O-O, B O-O, W O-O-O, B O-O-O
  int16_t pieces[2];        // men of kinds queen..knight per side
  int16_t pawns[2];         // pawns per side
  uint32_t key[2];          // HashKey low (index), high (lock)
  uint32_t pawnKey[2];      // pawn HashKey low (index), high (lock)
  int32_t phase;            // phase code 0..5
  int32_t material[2];      // balance White - Black, opening and endgame scale
  int32_t psq[2];           // piece-square sums White - Black, opening and endgame
  int32_t ply;              // distance from the root
  int32_t halfMove;         // fifty-move counter
  uint16_t nonPawn[2];      // non-pawn material per side
  uint32_t promotedQueens;  // bit i: pawn slot i holds a queen won by promotion
  uint16_t lastMove;        // the move that led here
  uint8_t pawnFiles[2];     // bit f: the side has a pawn on file f
  uint16_t excluded;        // move skipped by a singular-extension verification
  uint8_t kingSafe;         // the search found no man attacking the mover's king (0 = not known)
  uint8_t irregularSlots;   // a slot may hold a man other than its role's: a promoted man, or a
                            // set-up bishop in the other bishop's slot (set on promotion, kept)
};

}  // namespace orv

#include "board/types.h"

namespace orv {

// The root NodeState built from the Board's derived words: ply 0, no excluded
// move, promoted-queen mask from the kinds of the pawn slots.
NodeState rootNodeState(const Board& b);

}  // namespace orv

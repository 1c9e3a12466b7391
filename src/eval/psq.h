// Piece-square tables, opening and endgame, by kind, written from White's side
// with the eighth rank first (index 0 = a8, 63 = h1).
#pragma once
#include "board/types.h"

namespace orv {

// A White man on sq reads index sq ^ 56 (added); a Black man reads index sq (subtracted).
constexpr int psqIndex(int colour, int sq) { return colour == White ? sq ^ 56 : sq; }

// psqTable[0] opening, psqTable[1] endgame; [kind 0..7][index]; both pawn kinds share
// the pawn table and kind 7 is all zero. Defined in eval/psq_tables.cpp.
extern const int psqTable[2][8][64];

}  // namespace orv

// The game-phase code that selects the evaluation terms.
#include "eval/evaluate.h"

namespace orv {

namespace {

constexpr int QueenAndRook = 8448;

// The code of a position with few pawns or few pieces, before the pawnless tests.
int endgameCode(int whiteMaterial, int blackMaterial) {
  if (whiteMaterial >= QueenAndRook) return 2;
  return blackMaterial < QueenAndRook ? 3 : 2;
}

}  // namespace

int computePhase(const NodeState& s) {
  const int pawns = s.pawns[White] + s.pawns[Black];
  const int pieces = s.pieces[White] + s.pieces[Black];
  const int mw = s.nonPawn[White], mb = s.nonPawn[Black];
  if (pawns <= 11 || pieces <= 9) {
    int code = endgameCode(mw, mb);
    if (pieces == 0) code = 4;
    if (pawns == 0) code = 5;
    return code;
  }
  if (mw >= QueenAndRook) return 0;
  return mb < QueenAndRook ? 3 : 0;
}

// Root form: differs from the node form for pawnless positions with five or
// more pieces (2 or 3 here) and in code 1 (no castling right left).
int rootPhase(const Board& b) {
  const int pawns = b.pawns[White] + b.pawns[Black];
  const int pieces = b.pieces[White] + b.pieces[Black];
  const int mw = b.nonPawn[White], mb = b.nonPawn[Black];
  if (pawns <= 11 || pieces <= 9) {
    const int code = endgameCode(mw, mb);
    if (pieces > 0) return pawns > 0 || pieces > 4 ? code : 5;
    return pawns == 0 ? 5 : 4;
  }
  const bool noRights = b.castle[0] != 0 && b.castle[1] != 0 && b.castle[2] != 0 && b.castle[3] != 0;
  const int k = noRights ? 1 : 0;
  if (mw >= QueenAndRook) return k;
  return mb < QueenAndRook ? 3 : k;
}

}  // namespace orv

// En passant: which pawns may capture a double push that has just been made.
// The one rule for the game's legal moves and FEN target and for the search's
// move generation, probe key and tablebase probe.
#pragma once
#include "board/types.h"

namespace orv {

// After Them's move `last` on `b`: the pawns of Us that can take it en passant.
// Bit 0 is the pawn beside the destination toward file a, bit 1 the one toward
// file h; 0 unless `last` was a double pawn push.
template <int Us> constexpr int enPassantCapturers(const Board& b, Move last) {
  constexpr int Them = opposite(Us);
  if (last == 0) return 0;
  const int from = moveFrom(last), to = moveTo(last);
  constexpr int FromRank = Them == White ? 1 : 6, ToRank = Them == White ? 3 : 4;
  if (rankOf(from) != FromRank || rankOf(to) != ToRank || fileOf(from) != fileOf(to)) return 0;
  if (b.kind[b.map[to]] != pawnKind(Them)) return 0;
  const auto ownPawn = [&](int sq) {
    const int v = b.map[sq];
    return isManOf<Us>(v) && b.kind[v] == pawnKind(Us);
  };
  return (fileOf(to) > 0 && ownPawn(to - 1) ? 1 : 0) | (fileOf(to) < 7 && ownPawn(to + 1) ? 2 : 0);
}
constexpr int EnPassantFromLeft = 1, EnPassantFromRight = 2;

// The square a double push passed over: the en-passant target.
constexpr int passedSquare(Move doublePush) { return (moveFrom(doublePush) + moveTo(doublePush)) / 2; }

}  // namespace orv

// The search's test for an advanced passed-pawn push.
#include "eval/evaluate.h"

namespace orv {

template <int Us> bool isPassedPawn(const Board& p, int sq, const NodeState& s) {
  constexpr int Them = opposite(Us);
  constexpr int up = Us == White ? 8 : -8;
  constexpr int theirPawn = pawnKind(Them);
  auto theirMan = [&](int t) { return p.map[t] != EmptySquare && colourOfSlot(p.map[t]) == Them; };
  // No enemy man of any kind on the file ahead.
  for (int t = sq + up; t >= 0 && t < 64; t += up)
    if (theirMan(t)) return false;
  // No enemy pawn ahead on a neighbouring file, up to the enemy's second rank.
  const int lastRank = Us == White ? 6 : 1;
  for (int side = -1; side <= 1; side += 2) {
    const int file = fileOf(sq) + side;
    if (file < 0 || file > 7 || !(s.pawnFiles[Them] & (1 << file))) continue;
    for (int t = sq + up + side; t >= 0 && t < 64; t += up) {
      if (Us == White ? rankOf(t) > lastRank : rankOf(t) < lastRank) break;
      if (p.kind[p.map[t]] == theirPawn) return false;
    }
  }
  return true;
}

template bool isPassedPawn<White>(const Board&, int, const NodeState&);
template bool isPassedPawn<Black>(const Board&, int, const NodeState&);

}  // namespace orv

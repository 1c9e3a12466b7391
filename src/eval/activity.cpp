// Rooks on open files, the bishop pair, bishops and rooks lined up with the
// enemy king, heavy men on the seventh and eighth ranks, minor-piece outposts.
#include <initializer_list>

#include "board/tables.h"
#include "eval/eval_terms.h"
#include "eval/evaluate.h"

namespace orv {

namespace {

constexpr int OpenFileBonus = 80, HalfOpenFileBonus = 40;
constexpr int LinedUpBonus = 45, LinedUpThroughOneBonus = 49;

template <int Us> int rookFiles(const Board& p, const NodeState& s) {
  constexpr int Them = opposite(Us);
  int v = 0;
  for (int slot : {slotBase(Us) + QueenRookSlot, slotBase(Us) + KingRookSlot}) {
    const int sq = p.square[slot];
    if (sq == OffBoard) continue;
    const int bit = 1 << fileOf(sq);
    if (!(s.pawnFiles[Us] & bit)) v += (s.pawnFiles[Them] & bit) ? HalfOpenFileBonus : OpenFileBonus;
  }
  return v;
}

template <int Us> int bishopPair(const Board& p, const NodeState& s) {
  if (p.square[slotBase(Us) + QueenBishopSlot] == OffBoard || p.square[slotBase(Us) + KingBishopSlot] == OffBoard)
    return 0;
  return 2 * (85 - s.pawns[White] - s.pawns[Black]);
}

// 45 with a clear line to the enemy king, 49 with exactly one man between.
int lineUp(const Board& p, int from, int king, bool diagonal) {
  const int d = direction[from][king];
  if (diagonal ? !isDiagonalStep(d) : !isStraightStep(d)) return 0;
  int between = 0;
  for (int t = from + d; t != king; t += d) {
    if (p.map[t] != EmptySquare && ++between == 2) return 0;
  }
  return between == 0 ? LinedUpBonus : LinedUpThroughOneBonus;
}

template <int Us> int lineUps(const Board& p) {
  const int base = slotBase(Us);
  const int king = p.square[slotBase(opposite(Us)) + KingSlot];
  int v = 0;
  for (int slot : {base + KingBishopSlot, base + QueenBishopSlot})
    if (p.square[slot] != OffBoard) v += lineUp(p, p.square[slot], king, true);
  for (int slot : {base + KingRookSlot, base + QueenRookSlot})
    if (p.square[slot] != OffBoard) v += lineUp(p, p.square[slot], king, false);
  return v;
}

// Rooks and the queen on the enemy's second rank 28, on his first rank 56.
template <int Us> int seventhRank(const Board& p) {
  int v = 0;
  for (int slot : {slotBase(Us) + QueenRookSlot, slotBase(Us) + KingRookSlot, slotBase(Us) + QueenSlot}) {
    const int sq = p.square[slot];
    if (sq == OffBoard) continue;
    const int r = relativeRank<Us>(sq);
    if (r >= 6) v += 28 * r - 140;
  }
  return v;
}

}  // namespace

int activityTerms(const Board& p, const NodeState& s, bool withSeventh) {
  int a = rookFiles<White>(p, s) - rookFiles<Black>(p, s);
  a += bishopPair<White>(p, s) - bishopPair<Black>(p, s);
  a += lineUps<White>(p) - lineUps<Black>(p);
  if (withSeventh) a += seventhRank<White>(p) - seventhRank<Black>(p);
  return a;
}

template <int Us> int outpost(const Board& p, int sq) {
  constexpr int Them = opposite(Us);
  constexpr int up = Us == White ? 8 : -8;
  const int f = fileOf(sq);
  if (f < 2 || f > 5) return 0;
  const int r = relativeRank<Us>(sq);
  if (r != 5 && r != 4) return 0;
  auto pawnAt = [&](int t, int side) { return p.kind[p.map[t]] == pawnKind(side); };
  const bool supported = pawnAt(sq - up - 1, Us) || pawnAt(sq - up + 1, Us);
  const bool attackable = pawnAt(sq + up - 1, Them) || pawnAt(sq + up + 1, Them);
  if (!supported || attackable) return 0;
  if (r == 5) return 90;
  return pawnAt(sq + 2 * up - 1, Them) || pawnAt(sq + 2 * up + 1, Them) ? 0 : 60;
}

template int outpost<White>(const Board&, int);
template int outpost<Black>(const Board&, int);

int outposts(const Board& p) {
  int v = 0;
  for (int slot = QueenBishopSlot; slot <= KingKnightSlot; ++slot) {
    if (p.square[slot] != OffBoard) v += outpost<White>(p, p.square[slot]);
    if (p.square[slot + 16] != OffBoard) v -= outpost<Black>(p, p.square[slot + 16]);
  }
  return v;
}

}  // namespace orv

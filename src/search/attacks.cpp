// The search's attack tests: is the king of the side that just moved capturable,
// does a move give check, and could a hash move belong to this position.
#include <cstdlib>

#include "board/tables.h"
#include "eval/position.h"
#include "search/searchgen.h"

namespace orv {
namespace {

// Bit k of attackBits[from][to]: a man of kind k on `from` attacks `to` on an
// otherwise empty board. Row 64 (a captured man) attacks nothing.
struct AttackBits {
  uint8_t bits[65][64];
};
constexpr AttackBits buildAttackBits() {
  AttackBits t{};
  for (int from = 0; from < 64; ++from) {
    for (int to = 0; to < 64; ++to) {
      if (from == to) continue;
      const int df = fileOf(to) - fileOf(from), dr = rankOf(to) - rankOf(from);
      const int af = df < 0 ? -df : df, ar = dr < 0 ? -dr : dr;
      int b = 0;
      if (af <= 1 && ar <= 1) b |= 1 << King;
      if (df == 0 || dr == 0) b |= 1 << Rook | 1 << Queen;
      if (af == ar) b |= 1 << Bishop | 1 << Queen;
      if ((af == 1 && ar == 2) || (af == 2 && ar == 1)) b |= 1 << Knight;
      if (af == 1 && dr == 1) b |= 1 << WhitePawn;
      if (af == 1 && dr == -1) b |= 1 << BlackPawn;
      t.bits[from][to] = uint8_t(b);
    }
  }
  return t;
}
constexpr AttackBits attackBits = buildAttackBits();
constexpr int SliderKinds = 1 << Queen | 1 << Rook | 1 << Bishop;

// Are the squares strictly between a and b (on one line, unit step d) empty?
inline bool pathClear(int a, int b, int d) {
  const Board& p = searchPosition;
  for (int sq = a + d; sq != b; sq += d)
    if (p.map[sq] != EmptySquare) return false;
  return true;
}

// Does a man of kind k slide along steps d (d nonzero, any direction-table step)?
inline bool slidesAlong(int k, int d) {
  if (k == Queen) return !isKnightStep(d);
  if (k == Rook) return isStraightStep(d);
  return k == Bishop && isDiagonalStep(d);
}

// Is `target` attacked by any man of Us? The table rejects almost every man
// without a branch on its kind; only sliders need their path examined.
template <int Us> inline bool squareAttacked(int target) {
  const Board& p = searchPosition;
  constexpr int Base = slotBase(Us);
  for (int slot = Base; slot < Base + 16; ++slot) {
    const int from = p.square[slot];
    const int k = p.kind[slot];
    if (!((attackBits.bits[from][target] >> k) & 1)) continue;
    if (!((SliderKinds >> k) & 1)) return true;
    if (pathClear(from, target, direction[from][target])) return true;
  }
  return false;
}

}  // namespace

template <int Us>
bool kingAttacked(Move m) {
  constexpr int Them = opposite(Us);
  const int king = searchPosition.square[slotBase(Them)];
  if (squareAttacked<Us>(king)) return true;
  const int kind = moveKind(m);
  if (m != 0 && (kind == CastleKingSide || kind == CastleQueenSide)) {
    constexpr int Rank = Them == White ? 0 : 56;
    const int passed = Rank + (kind == CastleKingSide ? 5 : 3);
    if (squareAttacked<Us>(passed)) return true;
    if (squareAttacked<Us>(Rank + 4)) return true;
  }
  return false;
}

template <int Us>
bool givesCheck(Move m, int enemyKing, const NodeState& s) {
  const Board& p = searchPosition;
  const int from = moveFrom(m), to = moveTo(m);
  const int k = p.kind[p.map[from]];

  // Direct check from the destination; the origin counts as empty since the
  // man leaves it. Kings give no direct check; promotions are judged by the pawn.
  if (k != King && k != NoKind) {
    const int d = direction[to][enemyKing];
    if (d != 0) {
      if (k == Knight) {
        if (isKnightStep(d)) return true;
      } else if (k == pawnKind(Us)) {
        if (to + d == enemyKing && (Us == White ? (d == 7 || d == 9) : (d == -7 || d == -9))) return true;
      } else if (slidesAlong(k, d)) {
        bool clear = true;
        for (int sq = to + d; sq != enemyKing; sq += d)
          if (p.map[sq] != EmptySquare && sq != from) {
            clear = false;
            break;
          }
        if (clear) return true;
      }
    }
  }

  // Discovered check: the origin lies on an open line from the king and the
  // first man behind it is a slider of Us on that line. A man that stays on the
  // line (a pawn pushed toward the king) discovers nothing.
  if (s.pieces[Us] == 0) return false;
  const int d = direction[enemyKing][from];
  if (d == 0 || isKnightStep(d)) return false;
  if (direction[enemyKing][to] == d) return false;
  if (!pathClear(enemyKing, from, d)) return false;
  for (int sq = from + d; sq >= 0 && sq < 64 && direction[enemyKing][sq] == d; sq += d) {
    const int v = p.map[sq];
    if (v == EmptySquare) continue;
    if (colourOfSlot(v) != Us) return false;
    return slidesAlong(p.kind[v], d);
  }
  return false;
}

template <int Us>
bool plausibleHashMove(Move m) {
  const Board& p = searchPosition;
  const int from = moveFrom(m), to = moveTo(m);
  const int mover = p.map[from];
  if (mover == EmptySquare || colourOfSlot(mover) != Us) return false;
  const int target = p.map[to];
  if (target != EmptySquare && colourOfSlot(target) == Us) return false;
  const int d = direction[from][to];
  if (d == 0) return false;
  const int k = p.kind[mover];
  if (isKnightStep(d)) return k == Knight;
  if (k == Knight) return false;
  if (isStraightStep(d)) return k != Bishop;
  return k != Rook;  // a diagonal
}

template bool kingAttacked<White>(Move);
template bool kingAttacked<Black>(Move);
template bool givesCheck<White>(Move, int, const NodeState&);
template bool givesCheck<Black>(Move, int, const NodeState&);
template bool plausibleHashMove<White>(Move);
template bool plausibleHashMove<Black>(Move);

}  // namespace orv

// The search's attack tests: is the king of the side that just moved capturable,
// does a move give check, and could a hash move belong to this position.
#include <cstdlib>

#include "board/square_attacks.h"
#include "board/tables.h"
#include "eval/evaluate.h"
#include "search/attacks.h"

namespace orv {
namespace {

// Does a man of kind k slide along steps d (d nonzero, any direction-table step)?
inline bool slidesAlong(int k, int d) {
  if (k == Queen) return !isKnightStep(d);
  if (k == Rook) return isStraightStep(d);
  return k == Bishop && isDiagonalStep(d);
}

template <int Us> inline bool squareAttacked(const Board& p, int target) { return squareAttackedBy<Us>(p, target); }

}  // namespace

template <int Us> bool kingAttacked(const Board& p, Move m) {
  constexpr int Them = opposite(Us);
  const int king = p.square[slotBase(Them)];
  if (squareAttacked<Us>(p, king)) return true;
  const int kind = moveKind(m);
  if (m != 0 && (kind == CastleKingSide || kind == CastleQueenSide)) {
    constexpr int Rank = Them == White ? 0 : 56;
    const int passed = Rank + (kind == CastleKingSide ? 5 : 3);
    if (squareAttacked<Us>(p, passed)) return true;
    if (squareAttacked<Us>(p, Rank + 4)) return true;
  }
  return false;
}

namespace {

// Does the first man on the line from `king` through `via` belong to Us and
// slide along that line?
template <int Us> inline bool lineAttack(const Board& p, int king, int via) {
  const int d = direction[king][via];
  if (d == 0 || isKnightStep(d)) return false;
  for (int sq = king + d; sq >= 0 && sq < 64 && direction[king][sq] == d; sq += d) {
    const int v = p.map[sq];
    if (v == EmptySquare) continue;
    return colourOfSlot(v) == Us && slidesAlong(p.kind[v], d);
  }
  return false;
}

}  // namespace

template <int Us> bool kingAttackedAfter(const Board& p, Move m, bool wasSafe) {
  constexpr int Them = opposite(Us);
  const int from = moveFrom(m), to = moveTo(m);
  if (!wasSafe || p.map[to] == slotBase(Them)) return kingAttacked<Us>(p, m);
  const int king = p.square[slotBase(Them)];
  if (lineAttack<Us>(p, king, from)) return true;
  return moveKind(m) == EnPassant && lineAttack<Us>(p, king, to + (Them == White ? -8 : 8));
}

template <int Us> bool givesCheck(const Board& p, Move m, int enemyKing, const NodeState& s) {
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
  if (!pathClear(p, enemyKing, from, d)) return false;
  for (int sq = from + d; sq >= 0 && sq < 64 && direction[enemyKing][sq] == d; sq += d) {
    const int v = p.map[sq];
    if (v == EmptySquare) continue;
    if (colourOfSlot(v) != Us) return false;
    return slidesAlong(p.kind[v], d);
  }
  return false;
}

template <int Us> bool plausibleHashMove(const Board& p, Move m) {
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

template bool kingAttacked<White>(const Board&, Move);
template bool kingAttacked<Black>(const Board&, Move);
template bool kingAttackedAfter<White>(const Board&, Move, bool);
template bool kingAttackedAfter<Black>(const Board&, Move, bool);
template bool givesCheck<White>(const Board&, Move, int, const NodeState&);
template bool givesCheck<Black>(const Board&, Move, int, const NodeState&);
template bool plausibleHashMove<White>(const Board&, Move);
template bool plausibleHashMove<Black>(const Board&, Move);

}  // namespace orv

// The search's attack tests: is the king of the side that just moved capturable,
// does a move give check, and could a hash move belong to this position. All
// but the last work on the sets of the search position.
#include "search/attacks.h"

#include "board/attack_tables.h"
#include "board/tables.h"

namespace orv {
namespace {

// The men of Us that slide along the line from a to b (a and b on one line).
template <int Us> inline uint64_t slidersAlong(const SearchBoard& p, int a, int b) {
  return isStraightStep(direction[a][b]) ? p.straightSliders<Us>() : p.diagonalSliders<Us>();
}

// The squares attacked from sq along the line to `toward` over `occupied`.
inline uint64_t lineAttacks(int sq, int toward, uint64_t occupied) {
  return isStraightStep(direction[sq][toward]) ? rookAttacks(sq, occupied) : bishopAttacks(sq, occupied);
}

}  // namespace

template <int Us> bool kingAttacked(const SearchBoard& p, Move m) {
  constexpr int Them = opposite(Us);
  const int king = p.square[slotBase(Them)];
  if (attackedBy<Us>(p, king)) return true;
  const int kind = moveKind(m);
  if (m != 0 && (kind == CastleKingSide || kind == CastleQueenSide)) {
    constexpr int Rank = Them == White ? 0 : 56;
    const int passed = Rank + (kind == CastleKingSide ? 5 : 3);
    if (attackedBy<Us>(p, passed)) return true;
    if (attackedBy<Us>(p, Rank + 4)) return true;
  }
  return false;
}

namespace {

// Does the first man on the line from `king` through `via` belong to Us and
// slide along that line?
template <int Us> inline bool lineAttack(const SearchBoard& p, int king, int via) {
  const uint64_t ray = rayThrough(king, via);
  if (ray == 0) return false;
  return (lineAttacks(king, via, p.bits.occupied) & ray & slidersAlong<Us>(p, king, via)) != 0;
}

}  // namespace

template <int Us> bool kingAttackedAfter(const SearchBoard& p, Move m, bool wasSafe) {
  constexpr int Them = opposite(Us);
  const int from = moveFrom(m), to = moveTo(m);
  if (!wasSafe || p.map[to] == slotBase(Them)) return kingAttacked<Us>(p, m);
  const int king = p.square[slotBase(Them)];
  if (lineAttack<Us>(p, king, from)) return true;
  return moveKind(m) == EnPassant && lineAttack<Us>(p, king, to + (Them == White ? -8 : 8));
}

template <int Us> bool givesCheck(const SearchBoard& p, Move m, int enemyKing, const NodeState& s) {
  const int from = moveFrom(m), to = moveTo(m);
  const int k = p.kind[p.map[from]];
  const uint64_t kingBit = squareBit(enemyKing);

  // Direct check from the destination; the origin counts as empty since the
  // man leaves it. Kings give no direct check; promotions are judged by the pawn.
  switch (k) {
    case Knight:
      if (knightAttacks(to) & kingBit) return true;
      break;
    case pawnKind(Us):
      if (pawnAttacks<Us>(to) & kingBit) return true;
      break;
    case Queen:
    case Rook:
    case Bishop: {
      const int d = direction[to][enemyKing];
      const bool along = k == Queen ? d != 0 && !isKnightStep(d) : k == Rook ? isStraightStep(d) : isDiagonalStep(d);
      if (along && (betweenSquares(to, enemyKing) & p.bits.occupied & ~squareBit(from)) == 0) return true;
      break;
    }
    default: break;
  }

  // Discovered check: the origin lies on an open line from the king and the
  // first man behind it is a slider of Us on that line. A man that stays on the
  // line (a pawn pushed toward the king) discovers nothing.
  if (s.pieces[Us] == 0) return false;
  const uint64_t ray = rayThrough(enemyKing, from);
  if (ray == 0 || (ray & squareBit(to))) return false;
  if (betweenSquares(enemyKing, from) & p.bits.occupied) return false;
  const uint64_t behind = lineAttacks(enemyKing, from, p.bits.occupied & ~squareBit(from)) & ray;
  return (behind & slidersAlong<Us>(p, enemyKing, from)) != 0;
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

template bool kingAttacked<White>(const SearchBoard&, Move);
template bool kingAttacked<Black>(const SearchBoard&, Move);
template bool kingAttackedAfter<White>(const SearchBoard&, Move, bool);
template bool kingAttackedAfter<Black>(const SearchBoard&, Move, bool);
template bool givesCheck<White>(const SearchBoard&, Move, int, const NodeState&);
template bool givesCheck<Black>(const SearchBoard&, Move, int, const NodeState&);
template bool plausibleHashMove<White>(const Board&, Move);
template bool plausibleHashMove<Black>(const Board&, Move);

}  // namespace orv

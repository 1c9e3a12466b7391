// Mobility of knights, bishops, rooks and queens from the attack tables, men
// standing on attacked squares, and the king-attack balance.
#include <algorithm>
#include <cstdlib>
#include <initializer_list>

#include "board/attack_tables.h"
#include "board/tables.h"
#include "eval/eval_terms.h"
#include "eval/evaluate.h"
#include "eval/square_sets.h"

namespace orv {

namespace {

constexpr int knightMobility[9] = {-62, -53, -12, -4, 3, 13, 22, 28, 33};
constexpr int bishopMobility[14] = {-48, -20, 16, 26, 38, 51, 55, 63, 63, 68, 81, 81, 91, 98};
constexpr int rookMobility[15] = {-60, -20, 2, 3, 3, 11, 22, 31, 40, 40, 41, 48, 57, 57, 62};
constexpr int queenMobility[28] = {-30, -12, -8, -9, 20, 23, 23, 35,  38,  53,  64,  65,  65,  66,
                                   67,  67,  72, 72, 77, 79, 93, 108, 108, 108, 110, 114, 114, 116};
struct MobilityTable {
  const int* values;
  int last;
};
constexpr MobilityTable mobilityByKind[5] = {
    {nullptr, 0}, {queenMobility, 27}, {rookMobility, 14}, {bishopMobility, 13}, {knightMobility, 8}};
constexpr int kingAttackWeight[8] = {0, 2, 3, 4, 5, 2, 2, 0};

struct SideState {
  uint64_t excluded;  // squares not counted for mobility
  uint64_t reached;   // squares reached by the knights, bishops and rooks
  int mobility;
  int attackers;
  int weight;
};

// Occupied squares, and the men each side's bishops and rooks see through:
// bishops their own queens, rooks their own queens and rooks (by kind, so
// promoted men count too).
struct Occupancy {
  uint64_t all;
  uint64_t queens[2];
  uint64_t rooks[2];
};

Occupancy occupancyOf(const SearchBoard& p) {
  return {
      p.bits.occupied, {p.menOf<White>(Queen), p.menOf<Black>(Queen)}, {p.menOf<White>(Rook), p.menOf<Black>(Rook)}};
}

// The squares one man reaches: every ray up to and including the first man
// that stops it. Bishops see through their own queen, rooks through their own
// queen and rooks.
template <int Us> uint64_t reachOf(int kind, int from, const Occupancy& o) {
  switch (kind) {
    case Knight: return knightAttacks(from);
    case Bishop: return bishopAttacks(from, o.all & ~o.queens[Us]);
    case Rook: return rookAttacks(from, o.all & ~(o.queens[Us] | o.rooks[Us]));
    default: return queenAttacks(from, o.all);
  }
}

// Counts one man's mobility and notes its king-zone targets.
template <int Us>
inline void walkMan(const Board& p, int slot, int kind, uint64_t excluded, int enemyKing, SideState& st,
                    uint64_t& reached, bool queenGate, const Occupancy& o) {
  const uint64_t reach = reachOf<Us>(kind, p.square[slot], o);
  reached |= reach;
  const int count = squareCount(reach & ~excluded);
  const int zoneWeight = squareCount(reach & squareSets.kingZone[enemyKing]) * kingAttackWeight[kind];
  const MobilityTable& table = mobilityByKind[kind];
  st.mobility += table.values[count < table.last ? count : table.last];
  if (zoneWeight && (!queenGate || st.attackers > 0)) {
    st.weight += zoneWeight;
    ++st.attackers;
  }
}

}  // namespace

int evaluateMobility(const SearchBoard& p, const PassedPawnInfo& info, int side, const NodeState& s, int& a, int& k) {
  const int whiteKing = p.square[KingSlot], blackKing = p.square[16 + KingSlot];
  const bool kingsClose = kingDistance[whiteKing][blackKing] == 2;
  SideState w{info.attacks[Black] | 1ull << whiteKing, 0, 0, kingsClose ? 1 : 0, kingsClose ? 2 : 0};
  SideState b{info.attacks[White] | 1ull << blackKing, 0, 0, kingsClose ? 1 : 0, kingsClose ? 2 : 0};
  uint64_t unused = 0;
  const Occupancy o = occupancyOf(p);

  for (int kind : {Knight, Bishop, Rook}) {
    const int first = kind == Knight ? QueenKnightSlot : kind == Bishop ? QueenBishopSlot : QueenRookSlot;
    for (int slot = first; slot <= first + 1; ++slot)
      if (p.square[slot] != OffBoard) walkMan<White>(p, slot, kind, w.excluded, blackKing, w, w.reached, false, o);
    for (int slot = first + 16; slot <= first + 17; ++slot)
      if (p.square[slot] != OffBoard) walkMan<Black>(p, slot, kind, b.excluded, whiteKing, b, b.reached, false, o);
  }
  // Queens also leave out the squares the enemy's minor pieces and rooks reach.
  const uint64_t whiteQueenExcluded = w.excluded | b.reached;
  const uint64_t blackQueenExcluded = b.excluded | w.reached;
  int whiteQueens = 0, blackQueens = 0;
  for (int slot = FirstPawnSlot; slot <= LastPawnSlot; ++slot)
    if ((s.promotedQueens >> slot) & 1 && p.square[slot] != OffBoard) {
      walkMan<White>(p, slot, Queen, whiteQueenExcluded, blackKing, w, unused, true, o);
      ++whiteQueens;
    }
  if (p.square[QueenSlot] != OffBoard) {
    walkMan<White>(p, QueenSlot, Queen, whiteQueenExcluded, blackKing, w, unused, true, o);
    ++whiteQueens;
  }
  for (int slot = 16 + FirstPawnSlot; slot <= 16 + LastPawnSlot; ++slot)
    if ((s.promotedQueens >> slot) & 1 && p.square[slot] != OffBoard) {
      walkMan<Black>(p, slot, Queen, blackQueenExcluded, whiteKing, b, unused, true, o);
      ++blackQueens;
    }
  if (p.square[16 + QueenSlot] != OffBoard) {
    walkMan<Black>(p, 16 + QueenSlot, Queen, blackQueenExcluded, whiteKing, b, unused, true, o);
    ++blackQueens;
  }

  // Men standing on attacked squares; the side to move can still react.
  const int whitePenalty = side == White ? 110 : 220;
  const int blackPenalty = side == Black ? 110 : 220;
  auto attacked = [&](uint64_t set, int sq) { return (set >> sq) & 1; };
  for (int slot = QueenRookSlot; slot <= KingKnightSlot; ++slot) {
    if (p.square[slot] != OffBoard && attacked(info.attacks[Black], p.square[slot])) a -= whitePenalty;
    if (p.square[slot + 16] != OffBoard && attacked(info.attacks[White], p.square[slot + 16])) a += blackPenalty;
  }
  const uint64_t hitsWhiteQueen = info.attacks[Black] | b.reached;
  const uint64_t hitsBlackQueen = info.attacks[White] | w.reached;
  for (int slot = FirstPawnSlot; slot <= LastPawnSlot; ++slot) {
    if ((s.promotedQueens >> slot) & 1 && p.square[slot] != OffBoard && attacked(hitsWhiteQueen, p.square[slot]))
      a -= whitePenalty;
    if ((s.promotedQueens >> (slot + 16)) & 1 && p.square[slot + 16] != OffBoard &&
        attacked(hitsBlackQueen, p.square[slot + 16]))
      a += blackPenalty;
  }
  if (p.square[QueenSlot] != OffBoard && attacked(hitsWhiteQueen, p.square[QueenSlot])) a -= whitePenalty;
  if (p.square[16 + QueenSlot] != OffBoard && attacked(hitsBlackQueen, p.square[16 + QueenSlot])) a += blackPenalty;

  if (whiteQueens == 0) w.weight = w.weight * 2 / 3;
  if (blackQueens == 0) b.weight = b.weight * 2 / 3;
  const int balance = 7 * (w.attackers * w.weight - b.attackers * b.weight);
  if (std::abs(balance) > 80) k += balance;
  return 2 * (w.mobility - b.mobility);
}

}  // namespace orv

// The squares each kind of man attacks: constant tables for kings, knights and
// pawns, lines between and beyond two squares, and the sliding men's attacks
// over any occupancy by magic multiplication (board/sliders.cpp builds those
// tables once at start-up).
#pragma once
#include <cstdint>

#include "board/bitboard.h"
#include "board/types.h"

namespace orv {

struct StepAttackTables {
  uint64_t king[64];
  uint64_t knight[64];
  uint64_t pawn[2][64];  // squares a pawn of that colour attacks
  // The squares strictly between two squares on one line (rank, file or
  // diagonal), else none.
  uint64_t between[64][64];
  // The ray that starts beside `from` and runs through `to` to the board's
  // edge, when the two share a line, else none.
  uint64_t rayFrom[64][64];
};

constexpr StepAttackTables buildStepAttackTables() {
  StepAttackTables t{};
  for (int sq = 0; sq < 64; ++sq) {
    const int f = fileOf(sq), r = rankOf(sq);
    auto add = [&](uint64_t& set, int df, int dr) {
      const int ff = f + df, rr = r + dr;
      if (ff >= 0 && ff < 8 && rr >= 0 && rr < 8) set |= squareBit(makeSquare(ff, rr));
    };
    for (int df = -1; df <= 1; ++df)
      for (int dr = -1; dr <= 1; ++dr)
        if (df != 0 || dr != 0) add(t.king[sq], df, dr);
    constexpr int jumps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    for (const auto& j : jumps) add(t.knight[sq], j[0], j[1]);
    add(t.pawn[White][sq], -1, 1);
    add(t.pawn[White][sq], 1, 1);
    add(t.pawn[Black][sq], -1, -1);
    add(t.pawn[Black][sq], 1, -1);
    for (int df = -1; df <= 1; ++df)
      for (int dr = -1; dr <= 1; ++dr) {
        if (df == 0 && dr == 0) continue;
        uint64_t passed = 0, ray = 0;
        for (int ff = f + df, rr = r + dr; ff >= 0 && ff < 8 && rr >= 0 && rr < 8; ff += df, rr += dr)
          ray |= squareBit(makeSquare(ff, rr));
        for (int ff = f + df, rr = r + dr; ff >= 0 && ff < 8 && rr >= 0 && rr < 8; ff += df, rr += dr) {
          const int to = makeSquare(ff, rr);
          t.between[sq][to] = passed;
          t.rayFrom[sq][to] = ray;
          passed |= squareBit(to);
        }
      }
  }
  return t;
}
inline constexpr StepAttackTables stepAttacks = buildStepAttackTables();

inline uint64_t kingAttacks(int sq) { return stepAttacks.king[sq]; }
inline uint64_t knightAttacks(int sq) { return stepAttacks.knight[sq]; }
template <int Side> inline uint64_t pawnAttacks(int sq) { return stepAttacks.pawn[Side][sq]; }
inline uint64_t betweenSquares(int a, int b) { return stepAttacks.between[a][b]; }
inline uint64_t rayThrough(int from, int to) { return stepAttacks.rayFrom[from][to]; }

// One square's magic: the relevant occupancy mask, the multiplier and shift
// that hash it, and where its attack sets start in the shared table.
struct SliderMagic {
  uint64_t mask;
  uint64_t multiplier;
  const uint64_t* attacks;
  int shift;
};
constexpr int RookAttackEntries = 102400;
constexpr int BishopAttackEntries = 5248;
struct SliderTables {
  SliderMagic rook[64];
  SliderMagic bishop[64];
  uint64_t attacks[RookAttackEntries + BishopAttackEntries];
  SliderTables();  // finds the multipliers and fills the attack sets
};
// Built before main runs; constant from then on.
extern const SliderTables sliderTables;

inline uint64_t sliderLookup(const SliderMagic& m, uint64_t occupied) {
  return m.attacks[((occupied & m.mask) * m.multiplier) >> m.shift];
}
inline uint64_t rookAttacks(int sq, uint64_t occupied) { return sliderLookup(sliderTables.rook[sq], occupied); }
inline uint64_t bishopAttacks(int sq, uint64_t occupied) { return sliderLookup(sliderTables.bishop[sq], occupied); }
inline uint64_t queenAttacks(int sq, uint64_t occupied) {
  return rookAttacks(sq, occupied) | bishopAttacks(sq, occupied);
}

// The squares a man of kind k (King..Knight) on sq attacks over `occupied`.
inline uint64_t pieceAttacks(int k, int sq, uint64_t occupied) {
  switch (k) {
    case King: return kingAttacks(sq);
    case Queen: return queenAttacks(sq, occupied);
    case Rook: return rookAttacks(sq, occupied);
    case Bishop: return bishopAttacks(sq, occupied);
    default: return knightAttacks(sq);
  }
}

}  // namespace orv

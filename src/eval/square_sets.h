// The evaluation's tables of squares (board/bitboard.h): rays, knight targets
// and king zones as constexpr tables, and the squares a sliding man reaches
// over a given occupancy by walking its rays.
#pragma once
#include <cstdint>

#include "board/bitboard.h"
#include "board/types.h"

namespace orv {

// Ray directions: even indices step to higher squares, odd ones to lower.
enum RayDirection : int { North, South, East, West, NorthEast, SouthWest, NorthWest, SouthEast };
constexpr int rayFileStep[8] = {0, 0, 1, -1, 1, -1, -1, 1};
constexpr int rayRankStep[8] = {1, -1, 0, 0, 1, -1, 1, -1};

struct SquareSetTables {
  uint64_t ray[64][8];    // squares from sq (excluded) to the board's edge
  uint64_t knight[64];    // knight targets
  uint64_t kingZone[64];  // squares at king distance <= 1, sq included
};

constexpr SquareSetTables buildSquareSetTables() {
  SquareSetTables t{};
  for (int sq = 0; sq < 64; ++sq) {
    const int f = fileOf(sq), r = rankOf(sq);
    for (int d = 0; d < 8; ++d) {
      uint64_t set = 0;
      for (int ff = f + rayFileStep[d], rr = r + rayRankStep[d]; ff >= 0 && ff < 8 && rr >= 0 && rr < 8;
           ff += rayFileStep[d], rr += rayRankStep[d])
        set |= squareBit(makeSquare(ff, rr));
      t.ray[sq][d] = set;
    }
    for (int df = -2; df <= 2; ++df)
      for (int dr = -2; dr <= 2; ++dr) {
        const int ff = f + df, rr = r + dr;
        if (ff < 0 || ff > 7 || rr < 0 || rr > 7) continue;
        const int af = df < 0 ? -df : df, ar = dr < 0 ? -dr : dr;
        if (af * ar == 2) t.knight[sq] |= squareBit(makeSquare(ff, rr));
        if (af <= 1 && ar <= 1) t.kingZone[sq] |= squareBit(makeSquare(ff, rr));
      }
  }
  return t;
}
inline constexpr SquareSetTables squareSets = buildSquareSetTables();

// The squares reached along one ray: up to and including the first occupied one.
template <int D> inline uint64_t rayReach(int sq, uint64_t occupied) {
  const uint64_t ray = squareSets.ray[sq][D];
  const uint64_t blockers = ray & occupied;
  if (!blockers) return ray;
  const int first = (D & 1) == 0 ? __builtin_ctzll(blockers) : 63 - __builtin_clzll(blockers);
  return ray ^ squareSets.ray[first][D];
}

inline uint64_t straightReach(int sq, uint64_t occupied) {
  return rayReach<North>(sq, occupied) | rayReach<South>(sq, occupied) | rayReach<East>(sq, occupied) |
         rayReach<West>(sq, occupied);
}
inline uint64_t diagonalReach(int sq, uint64_t occupied) {
  return rayReach<NorthEast>(sq, occupied) | rayReach<SouthWest>(sq, occupied) | rayReach<NorthWest>(sq, occupied) |
         rayReach<SouthEast>(sq, occupied);
}

}  // namespace orv

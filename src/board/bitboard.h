// Sets of squares as 64-bit words (bit sq = square sq), and the few operations
// on them the board, the search and the evaluation share.
#pragma once
#include <cstdint>

namespace orv {

constexpr uint64_t squareBit(int sq) { return uint64_t(1) << sq; }

// Lowest square of a nonempty set, and the same square taken out of the set.
inline int firstSquare(uint64_t set) { return __builtin_ctzll(set); }
inline int popFirstSquare(uint64_t& set) {
  const int sq = __builtin_ctzll(set);
  set &= set - 1;
  return sq;
}

// Number of squares in a set (the portable build has no population-count instruction).
constexpr int squareCount(uint64_t x) {
#ifdef __POPCNT__
  return __builtin_popcountll(x);
#else
  x = x - ((x >> 1) & 0x5555555555555555ull);
  x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return int((x * 0x0101010101010101ull) >> 56);
#endif
}

}  // namespace orv

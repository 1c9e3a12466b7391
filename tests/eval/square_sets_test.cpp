#include "eval/square_sets.h"

#include <gtest/gtest.h>

#include "board/tables.h"

namespace orv {
namespace {

// Squares reached from sq by stepping (df, dr) until the edge or the first occupied square.
uint64_t walked(int sq, int df, int dr, uint64_t occupied) {
  uint64_t set = 0;
  for (int f = fileOf(sq) + df, r = rankOf(sq) + dr; f >= 0 && f < 8 && r >= 0 && r < 8; f += df, r += dr) {
    set |= squareBit(makeSquare(f, r));
    if (occupied & squareBit(makeSquare(f, r))) break;
  }
  return set;
}

uint64_t nextRandom(uint64_t& state) {
  state = state * 6364136223846793005ull + 1442695040888963407ull;
  return state ^ (state >> 29);
}

TEST(SquareSets, SlidingReachMatchesAStepByStepWalk) {
  uint64_t state = 12345;
  for (int n = 0; n < 400; ++n) {
    // Sparse and dense boards alike.
    uint64_t occupied = nextRandom(state);
    if (n % 3 == 1) occupied &= nextRandom(state);
    if (n % 3 == 2) occupied &= nextRandom(state) & nextRandom(state);
    for (int sq = 0; sq < 64; ++sq) {
      const uint64_t straight = walked(sq, 0, 1, occupied) | walked(sq, 0, -1, occupied) | walked(sq, 1, 0, occupied) |
                                walked(sq, -1, 0, occupied);
      const uint64_t diagonal = walked(sq, 1, 1, occupied) | walked(sq, -1, -1, occupied) |
                                walked(sq, 1, -1, occupied) | walked(sq, -1, 1, occupied);
      ASSERT_EQ(straightReach(sq, occupied), straight) << sq;
      ASSERT_EQ(diagonalReach(sq, occupied), diagonal) << sq;
    }
  }
  // The man's own square never counts, even when marked occupied.
  EXPECT_EQ(straightReach(0, ~0ull), squareBit(1) | squareBit(8));
  EXPECT_EQ(diagonalReach(63, 0), 0x0040201008040201ull);
}

TEST(SquareSets, KnightTargetsAndKingZones) {
  for (int from = 0; from < 64; ++from)
    for (int to = 0; to < 64; ++to) {
      const bool knight = (squareSets.knight[from] >> to) & 1;
      EXPECT_EQ(knight, from != to && isKnightStep(direction[from][to])) << from << " " << to;
      const bool zone = (squareSets.kingZone[from] >> to) & 1;
      EXPECT_EQ(zone, kingDistance[from][to] <= 1) << from << " " << to;
    }
}

TEST(SquareSets, SquareCount) {
  EXPECT_EQ(squareCount(0), 0);
  EXPECT_EQ(squareCount(~0ull), 64);
  EXPECT_EQ(squareCount(0x8000000000000001ull), 2);
  uint64_t state = 99;
  for (int n = 0; n < 1000; ++n) {
    const uint64_t x = nextRandom(state);
    int expected = 0;
    for (int i = 0; i < 64; ++i) expected += int((x >> i) & 1);
    ASSERT_EQ(squareCount(x), expected);
  }
}

}  // namespace
}  // namespace orv

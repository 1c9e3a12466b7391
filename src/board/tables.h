// Tables of the board: Zobrist keys, ray lists, pawn lists, directions and king
// distances. All are constant data computed by the constexpr builders below
// while compiling, so nothing needs building at start-up.
#pragma once
#include <cstdint>

#include "board/types.h"

namespace orv {

// Zobrist halves: index = colour * 512 + kind * 64 + square; kind 7 holds the state keys.
constexpr int zobristIndex(int colour, int kind, int sq) { return colour * 512 + kind * 64 + sq; }
constexpr int ZobristWhiteCastle = 448;  // + 2a + b
constexpr int ZobristSideToMove = 452;   // + side
constexpr int ZobristEnPassant = 456;    // + file
constexpr int ZobristBlackCastle = 960;  // + 2a + b

// The keys are the output of the 32-bit Mersenne Twister (MT19937) seeded with
// 123456: the first 1024 numbers are the low halves, the next 1024 the high ones.
struct ZobristKeys {
  uint32_t low[1024];
  uint32_t high[1024];
};
constexpr ZobristKeys buildZobristKeys() {
  constexpr int N = 624, M = 397;
  uint32_t mt[N] = {};
  mt[0] = 123456;
  for (int i = 1; i < N; ++i) mt[i] = 1812433253u * (mt[i - 1] ^ (mt[i - 1] >> 30)) + uint32_t(i);
  int next = N;
  auto draw = [&]() {
    if (next == N) {
      for (int i = 0; i < N; ++i) {
        const uint32_t y = (mt[i] & 0x80000000u) | (mt[(i + 1) % N] & 0x7fffffffu);
        mt[i] = mt[(i + M) % N] ^ (y >> 1) ^ ((y & 1) ? 0x9908b0dfu : 0u);
      }
      next = 0;
    }
    uint32_t y = mt[next++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    return y ^ (y >> 18);
  };
  ZobristKeys keys{};
  for (uint32_t& k : keys.low) k = draw();
  for (uint32_t& k : keys.high) k = draw();
  return keys;
}
inline constexpr ZobristKeys zobristKeys = buildZobristKeys();
inline constexpr const uint32_t (&zobristL)[1024] = zobristKeys.low;
inline constexpr const uint32_t (&zobristH)[1024] = zobristKeys.high;

// A step from `from` by `d` that stays on the board without wrapping a file edge.
constexpr bool stepOnBoard(int from, int d, int maxFileChange) {
  const int to = from + d;
  if (to < 0 || to > 63) return false;
  const int change = fileOf(to) - fileOf(from);
  return (change < 0 ? -change : change) <= maxFileChange;
}

// Ray lists per twin (0 = White order, 1 = Black order), kind 0..4 and square.
// Each entry: target square and the number of entries left on its ray counting
// itself, so a blocked ray is left with i += left. A target of 64 ends the list.
struct RayEntry {
  uint8_t to;
  uint8_t left;
};
constexpr int RayListSize = 32;
struct RayLists {
  RayEntry entry[2][5][64][RayListSize];
};
constexpr RayLists buildRayLists() {
  // Direction orders of the two twins, by kind (king, queen, rook, bishop, knight).
  // They fix the order in which the generator lists moves.
  constexpr int stepCount[5] = {8, 8, 4, 4, 8};
  constexpr int steps[2][5][8] = {
      {
          {8, -8, 1, -1, 7, -7, 9, -9},
          {8, -8, 1, -1, 7, -7, 9, -9},
          {8, -8, 1, -1},
          {7, -7, 9, -9},
          {10, -10, 17, -17, 15, -15, 6, -6},
      },
      {
          {-8, 8, 1, -1, -9, 9, -7, 7},
          {-8, 8, 1, -1, -9, 9, -7, 7},
          {-8, 8, 1, -1},
          {-9, 9, -7, 7},
          {-6, 6, -15, 15, -17, 17, -10, 10},
      },
  };
  RayLists lists{};
  for (int twin = 0; twin < 2; ++twin)
    for (int kind = King; kind <= Knight; ++kind)
      for (int sq = 0; sq < 64; ++sq) {
        RayEntry* list = lists.entry[twin][kind][sq];
        const bool slides = kind == Queen || kind == Rook || kind == Bishop;
        const int maxFileChange = kind == Knight ? 2 : 1;
        int n = 0;
        for (int i = 0; i < stepCount[kind]; ++i) {
          const int d = steps[twin][kind][i];
          int targets[8] = {};
          int length = 0;
          for (int at = sq; stepOnBoard(at, d, maxFileChange);) {
            at += d;
            targets[length++] = at;
            if (!slides) break;
          }
          for (int j = 0; j < length; ++j) list[n++] = {uint8_t(targets[j]), uint8_t(length - j)};
        }
        list[n] = {64, 0};
      }
  return lists;
}
inline constexpr RayLists rayLists = buildRayLists();
inline constexpr const RayEntry (&rayList)[2][5][64][RayListSize] = rayLists.entry;

// Pawn lists per colour and square: target, entries to skip when blocked, flags.
constexpr uint8_t PawnPush = 1;      // needs an empty target
constexpr uint8_t PawnPromotes = 2;  // the target is on the last rank
struct PawnEntry {
  uint8_t to;
  uint8_t skip;
  uint8_t flags;
};
constexpr int PawnListSize = 6;
struct PawnLists {
  PawnEntry entry[2][64][PawnListSize];
};
constexpr PawnLists buildPawnLists() {
  PawnLists lists{};
  for (int colour = 0; colour < 2; ++colour)
    for (int sq = 0; sq < 64; ++sq) {
      PawnEntry* list = lists.entry[colour][sq];
      const int up = colour == White ? 8 : -8;
      const int startRank = colour == White ? 1 : 6;
      const int lastFromRank = colour == White ? 6 : 1;  // a move from here promotes
      const uint8_t promotes = rankOf(sq) == lastFromRank ? PawnPromotes : 0;
      const int push = sq + up;
      int n = 0;
      if (push >= 0 && push <= 63) {
        const bool twoSteps = rankOf(sq) == startRank;
        list[n++] = {uint8_t(push), uint8_t(twoSteps ? 1 : 0), uint8_t(PawnPush | promotes)};
        if (twoSteps) list[n++] = {uint8_t(push + up), 0, PawnPush};
        if (fileOf(sq) != 0) list[n++] = {uint8_t(push - 1), 0, promotes};  // toward file a
        if (fileOf(sq) != 7) list[n++] = {uint8_t(push + 1), 0, promotes};  // toward file h
      }
      list[n] = {64, 0, 0};
    }
  return lists;
}
inline constexpr PawnLists pawnLists = buildPawnLists();
inline constexpr const PawnEntry (&pawnList)[2][64][PawnListSize] = pawnLists.entry;

// direction: unit step from one square toward another on a line (+-1, +-8,
// +-7, +-9), the jump for a knight's move (+-6, +-10, +-15, +-17), else 0.
// kingDistance: the larger of the file and rank differences.
struct SquarePairTables {
  int16_t direction[64][64];
  uint8_t kingDistance[64][64];
};
constexpr SquarePairTables buildSquarePairTables() {
  SquarePairTables t{};
  for (int s = 0; s < 64; ++s)
    for (int u = 0; u < 64; ++u) {
      const int df = fileOf(u) - fileOf(s), dr = rankOf(u) - rankOf(s);
      const int adf = df < 0 ? -df : df, adr = dr < 0 ? -dr : dr;
      int d = 0;
      if (s != u) {
        if (dr == 0) d = df > 0 ? 1 : -1;
        else if (df == 0) d = dr > 0 ? 8 : -8;
        else if (adf == adr) d = (dr > 0 ? 8 : -8) + (df > 0 ? 1 : -1);
        else if ((adf == 1 && adr == 2) || (adf == 2 && adr == 1)) d = u - s;
      }
      t.direction[s][u] = int16_t(d);
      t.kingDistance[s][u] = uint8_t(adf > adr ? adf : adr);
    }
  return t;
}
inline constexpr SquarePairTables squarePairTables = buildSquarePairTables();
inline constexpr const int16_t (&direction)[64][64] = squarePairTables.direction;
inline constexpr const uint8_t (&kingDistance)[64][64] = squarePairTables.kingDistance;

constexpr bool isStraightStep(int d) { return d == 1 || d == -1 || d == 8 || d == -8; }
constexpr bool isDiagonalStep(int d) { return d == 7 || d == -7 || d == 9 || d == -9; }
constexpr bool isKnightStep(int d) {
  return d == 6 || d == -6 || d == 10 || d == -10 || d == 15 || d == -15 || d == 17 || d == -17;
}

}  // namespace orv

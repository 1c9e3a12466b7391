// Start-up tables: Zobrist keys, ray lists, pawn lists, directions, king distances.
// Built once by initStartupTables(); read-only afterwards.
#pragma once
#include <cstdint>

#include "board/types.h"

namespace orv {

// Zobrist halves: index = colour * 512 + kind * 64 + square; kind 7 holds the state keys.
extern uint32_t zobristL[1024];
extern uint32_t zobristH[1024];
constexpr int zobristIndex(int colour, int kind, int sq) { return colour * 512 + kind * 64 + sq; }
constexpr int ZobristWhiteCastle = 448;   // + 2a + b
constexpr int ZobristSideToMove = 452;    // + side
constexpr int ZobristEnPassant = 456;     // + file
constexpr int ZobristBlackCastle = 960;   // + 2a + b

// Ray lists per twin (0 = White order, 1 = Black order), kind 0..4 and square.
// Each entry: target square and the number of entries left on its ray counting
// itself, so a blocked ray is left with i += left. A target of 64 ends the list.
struct RayEntry {
  uint8_t to;
  uint8_t left;
};
constexpr int RayListSize = 32;
extern RayEntry rayList[2][5][64][RayListSize];

// Pawn lists per colour and square: target, entries to skip when blocked, flags.
constexpr uint8_t PawnPush = 1;       // needs an empty target
constexpr uint8_t PawnPromotes = 2;   // the target is on the last rank
struct PawnEntry {
  uint8_t to;
  uint8_t skip;
  uint8_t flags;
};
constexpr int PawnListSize = 6;
extern PawnEntry pawnList[2][64][PawnListSize];

// Unit step from one square toward another on a line (+-1, +-8, +-7, +-9),
// the jump for a knight's move (+-6, +-10, +-15, +-17), else 0.
extern int16_t direction[64][64];
constexpr bool isStraightStep(int d) { return d == 1 || d == -1 || d == 8 || d == -8; }
constexpr bool isDiagonalStep(int d) { return d == 7 || d == -7 || d == 9 || d == -9; }
constexpr bool isKnightStep(int d) {
  return d == 6 || d == -6 || d == 10 || d == -10 || d == 15 || d == -15 || d == 17 || d == -17;
}

// Larger of the file and rank differences.
extern uint8_t kingDistance[64][64];

// Builds every table above; safe to call more than once.
void initStartupTables();

}  // namespace orv

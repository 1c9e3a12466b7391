// The limits of a search as the go command (UCI) or sd, st and exclude
// (xboard) ask for them.
#pragma once
#include <cstdint>

#include "search/search_limits.h"

namespace orv {

// What a UCI go line asks besides the clock (which applyUciGo reads).
struct GoRequest {
  SearchLimits limits;
  bool infinite = false;  // INFINITE: searched and held until stop
  bool ponder = false;    // PONDER: searched without a clock until ponderhit or stop
  bool clock = false;     // WTIME, BTIME or MOVETIME given
};

// Reads DEPTH, NODES, MATE, SEARCHMOVES, INFINITE and PONDER from the
// upper-cased go line. A value that is missing or not a number is ignored;
// depth and mate are clamped to 1..63, nodes to at least 1. The moves after
// SEARCHMOVES (up to the next keyword) are kept when they are legal in the
// 0-terminated list `legal` of the position; the others are skipped.
GoRequest readGoLine(const char* line, const uint32_t* legal);

// The legal move of `legal` whose coordinate text is `text` (either case), or 0.
uint32_t findLegalMove(const char* text, const uint32_t* legal);

}  // namespace orv

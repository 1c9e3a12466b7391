// Search information lines: the thinking line in the UCI and xboard forms,
// and the xboard status line.
#pragma once
#include <cstddef>
#include <cstdint>

#include "board/types.h"

namespace orv {

// Room for the longest search line: header, 63 moves and the marker.
constexpr size_t SearchLineSize = 512;

// The search line text (newline included) for a 0-terminated line of moves;
// failHigh puts the "!" marker after the first move.
void formatSearchLine(char* out, size_t size, const Move* line, int score, int64_t elapsedMs, uint64_t nodes, int depth,
                      bool uci, bool failHigh);
// Prints the search line of the print buffer when the post flag is set (one write, then a flush).
void printSearchLine(int score, int64_t elapsedMs, uint64_t nodes, int depth, bool uci, bool failHigh);

// The "stat01:" status line text (newline included).
void formatStatusLine(char* out, size_t size, int64_t elapsedCs, uint64_t searchedMoves, int depth, int movesLeft,
                      int moveCount, Move current);

}  // namespace orv

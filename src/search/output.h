// Search information lines: the thinking line in the UCI and xboard forms,
// and the xboard status line.
#pragma once
#include <cstddef>
#include <cstdint>

#include "board/types.h"

namespace orv {

// Room for the longest search line: header, 63 moves and the marker.
constexpr size_t SearchLineSize = 640;

// What a search line reports besides its moves.
enum LineBound { BoundExact = 0, BoundLower = 1, BoundUpper = 2 };
struct SearchLineFigures {
  int depth = 0;
  int selectiveDepth = 0;  // UCI only
  int multiPv = 1;         // UCI only: the line's rank among the root moves
  int score = 0;           // internal units
  int bound = BoundExact;  // lower after a fail high (xboard: "!"), upper after a fail low (xboard: "?")
  int64_t elapsedMs = 0;
  uint64_t nodes = 0;
  int hashPermille = 0;        // UCI only: transposition table use
  uint64_t tablebaseHits = 0;  // UCI only
};

// The search line text (newline included) for a 0-terminated line of moves.
// UCI: "info depth seldepth multipv score [lowerbound|upperbound] nodes nps time
// hashfull tbhits pv" with lower-case promotion letters; xboard: the thinking
// line with the bound as a mark after the first move.
void formatSearchLine(char* out, size_t size, const Move* line, const SearchLineFigures& f, bool uci);
// Prints the search line of `line`, or of the print buffer when it is nullptr,
// when the post flag is set (one write, then a flush).
void printSearchLine(const Move* line, const SearchLineFigures& f, bool uci);

struct SearchWorker;
// Nodes of every worker of w's search (the search lines count them all).
uint64_t searchNodes(const SearchWorker& w);
// The figures of a search line of the main worker w's search at this moment.
SearchLineFigures searchLineFigures(const SearchWorker& w, int score, int depth, int bound);

// Lower-cases the promotion letters of coordinate move text in place (UCI writes e7e8q).
void lowerPromotionLetters(char* text);

// The "stat01:" status line text (newline included).
void formatStatusLine(char* out, size_t size, int64_t elapsedCs, uint64_t searchedMoves, int depth, int movesLeft,
                      int moveCount, Move current);

}  // namespace orv

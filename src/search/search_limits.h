// What the interface asks of one search beyond its clock: a depth, a node
// count, a mate distance, the root moves to consider and the number of lines
// to report. Set by the command thread on the main worker while no search
// runs; read by the main worker's root search.
#pragma once
#include <atomic>
#include <cstdint>

#include "board/types.h"
#include "search/search_state.h"

namespace orv {

constexpr int MaxMultiPv = 256;

struct SearchLimits {
  int depth = 0;                  // plies of iterative deepening; 0 = no limit
  uint64_t nodes = 0;             // stop once this many nodes are searched; 0 = no limit
  int mate = 0;                   // stop once a mate in this many moves or fewer is proved; 0 = none
  int multiPv = 1;                // best root moves reported per iteration, 1..MaxMultiPv
  bool currentMoveLines = false;  // UCI: report the root move searched once the first second has passed
  // Root moves to consider (16-bit moves, searchMoveCount of them); none = every legal move.
  int searchMoveCount = 0;
  Move searchMoves[RootListSize] = {};

  void clear() { *this = SearchLimits{}; }
};

// A clock the command thread hands to a running search: ponderhit turns a
// search without a time limit into the timed one. The command thread writes
// the limits, then raises pending; the main worker's clock reading adopts them.
struct ClockUpdate {
  std::atomic<bool> pending{false};
  std::atomic<int64_t> softMs{0}, hardMs{0};  // from the search's start tick
};

}  // namespace orv

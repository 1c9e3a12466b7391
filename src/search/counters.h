// Counters and root status of one search worker. Written by the worker's own
// thread; the status line, the search lines and the game log read them from
// other threads, so every field is a relaxed atomic (a momentarily stale figure
// is fine).
#pragma once
#include <atomic>
#include <cstdint>

#include "board/score.h"

namespace orv {

struct SearchCounters {
  std::atomic<uint64_t> nodes{0};  // every node entry past the legality test
  std::atomic<uint64_t> fullWidthNodes{0};
  std::atomic<uint64_t> quiescenceNodes{0};
  std::atomic<uint64_t> tableHits{0};  // transposition hits
  std::atomic<uint64_t> searchedMoves{0};
  std::atomic<uint64_t> nullMoves{0};      // null-move searches started
  std::atomic<uint64_t> tablebaseHits{0};  // tablebase probes that gave a value
  std::atomic<int> selectiveDepth{0};      // deepest ply a node of the search reached
  std::atomic<int64_t> startTick{0};       // milliseconds, steady clock
  std::atomic<int> iterationDepth{0};
  std::atomic<int> movesLeft{0};
  std::atomic<int> rootMoveCount{0};
  std::atomic<uint32_t> currentRootMove{0};
  std::atomic<int> currentRootMoveNumber{0};  // 1 for the first root move searched in the iteration

  void resetNodeCounts();  // every count above to 0
};

// Single-writer increment: a plain load and store, no locked instruction.
inline void bump(std::atomic<uint64_t>& counter) {
  counter.store(counter.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

// Milliseconds of the steady clock.
int64_t tickMilliseconds();

}  // namespace orv

// Counters and root status of the running search. Written by the search
// thread; the status line and the shell read them from the command thread,
// so every field is a relaxed atomic (a momentarily stale figure is fine).
#pragma once
#include <atomic>
#include <cstdint>

#include "board/score.h"

namespace orv {

struct SearchCounters {
  std::atomic<uint32_t> nodes{0};  // every node entry past the legality test
  std::atomic<uint32_t> fullWidthNodes{0};
  std::atomic<uint32_t> quiescenceNodes{0};
  std::atomic<uint32_t> tableHits{0};  // transposition hits
  std::atomic<uint32_t> searchedMoves{0};
  std::atomic<uint32_t> nullMoves{0};  // null-move searches started
  std::atomic<int64_t> startTick{0};   // milliseconds, steady clock
  std::atomic<int> iterationDepth{0};
  std::atomic<int> movesLeft{0};
  std::atomic<int> rootMoveCount{0};
  std::atomic<uint32_t> currentRootMove{0};
  std::atomic<int> bestScore{NoScore};  // best root score of the last search
};
extern SearchCounters searchCounters;

// Single-writer increment: a plain load and store, no locked instruction.
inline void bump(std::atomic<uint32_t>& counter) {
  counter.store(counter.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

// Milliseconds of the steady clock.
int64_t tickMilliseconds();

}  // namespace orv

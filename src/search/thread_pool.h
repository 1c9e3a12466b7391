// The search workers of a parallel search: one main worker, which runs the
// root search as a single thread would, and helpers that search the same root
// on threads of their own, sharing the transposition table. The pool belongs
// to the shell; it is resized and cleared only while no search runs.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "board/types.h"
#include "search/search_state.h"
#include "search/worker.h"

namespace orv {

constexpr int MaxSearchThreads = 256;
// Pawn table entries of a helper (about 2.7 MB): the pawn structures of one
// search are few, and the hash budget's table stays the main worker's.
constexpr uint32_t HelperPawnEntries = 1u << 16;

class SearchPool {
 public:
  SearchPool();
  ~SearchPool();
  SearchPool(const SearchPool&) = delete;
  SearchPool& operator=(const SearchPool&) = delete;

  int size() const { return int(workers.size()); }
  SearchWorker& main() { return *workers[0]; }
  const SearchWorker& main() const { return *workers[0]; }
  SearchWorker& worker(int i) { return *workers[std::size_t(i)]; }

  // Makes `count` workers (clamped to 1..MaxSearchThreads); returns how many
  // there are, fewer when memory ran out (a line on standard error says so).
  int resize(int count);
  // Every worker's history and follow-up tables (a new game).
  void clearHistory();

  // Called by the main worker once its root list is ordered: every helper
  // searches a copy of the root below maxDepth until stopHelpers. Returns
  // how many helpers were started.
  int startHelpers(const Board& root, int side, const uint32_t* rootList, int maxDepth);
  // Stops the helpers and waits until their threads have ended.
  void stopHelpers();

  // A helper that proved a mate within its depth reports it and stops; the
  // main worker then ends its search and plays the helper's line (see iterate).
  void reportMate(int helper);
  // The helper that proved a mate in the current search, or 0.
  int mateProver() const { return provedMate.load(std::memory_order_acquire); }

  // Zeroes the helpers' counts and the mate report (idle only: a search without helpers counts the main worker's alone).
  void resetHelperCounts();
  // Nodes of every worker's current (or last) search.
  uint64_t nodes() const;

 private:
  std::vector<std::unique_ptr<SearchWorker>> workers;
  std::vector<std::thread> threads;  // the running helpers
  std::atomic<int> helperStop{0};    // raised by stopHelpers; the helpers' stop flag
  std::atomic<int> provedMate{0};    // set once by the first helper to prove a mate; cleared at a search's start
  Board helperRoot = {};             // the root the helpers search, copied before they start
  uint32_t helperList[RootListSize] = {};
};

}  // namespace orv

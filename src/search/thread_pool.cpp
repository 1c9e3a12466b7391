#include "search/thread_pool.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <system_error>

#include "search/search.h"
#include "search/search_internal.h"

namespace orv {

// A new worker starts with empty history tables: its ordering must not read
// whatever the allocation left there.
SearchWorker::SearchWorker(int workerId) : id(workerId), stop(&searchAbort) { state.clearHistory(); }

SearchWorker::~SearchWorker() { releasePawnTable(ownPawnTable); }

SearchPool::SearchPool() { resize(1); }

SearchPool::~SearchPool() { stopHelpers(); }

int SearchPool::resize(int count) {
  count = std::clamp(count, 1, MaxSearchThreads);
  stopHelpers();
  if (count < size()) workers.resize(std::size_t(count));
  while (size() < count) {
    const int id = size();
    std::unique_ptr<SearchWorker> w;
    try {
      w = std::make_unique<SearchWorker>(id);
    } catch (const std::bad_alloc&) {
      break;
    }
    w->pool = this;
    if (id > 0) {
      if (!allocatePawnTable(w->ownPawnTable, HelperPawnEntries)) break;
      w->pawnTable = &w->ownPawnTable;
      w->stop = &helperStop;
    }
    workers.push_back(std::move(w));
  }
  if (size() < count)
    std::fprintf(stderr, "Threads: memory for %d search threads could not be had; using %d\n", count, size());
  return size();
}

void SearchPool::clearHistory() {
  for (auto& w : workers) w->state.clearHistory();
}

int SearchPool::startHelpers(const Board& root, int side, const uint32_t* rootList, int maxDepth) {
  if (size() < 2) return 0;
  helperRoot = root;
  int n = 0;
  for (; n < RootListSize - 1 && rootList[n] != 0; ++n) helperList[n] = rootList[n];
  helperList[n] = 0;
  helperStop.store(0);
  provedMate.store(0);
  const SearchWorker& mainWorker = main();
  for (int i = 1; i < size(); ++i) {
    SearchWorker& w = worker(i);
    w.repetition.seed(mainWorker.repetition);
    try {
      threads.emplace_back([this, &w, side, maxDepth] { helperSearch(w, helperRoot, side, helperList, maxDepth); });
    } catch (const std::system_error&) {
      std::fprintf(stderr, "Threads: a search thread could not be started; searching with %d\n", i);
      break;
    }
  }
  return int(threads.size());
}

void SearchPool::reportMate(int helper) {
  int none = 0;
  provedMate.compare_exchange_strong(none, helper, std::memory_order_acq_rel);
}

void SearchPool::stopHelpers() {
  helperStop.store(1);
  for (std::thread& t : threads) t.join();
  threads.clear();
}

void SearchPool::resetHelperCounts() {
  for (int i = 1; i < size(); ++i) worker(i).counters.resetNodeCounts();
  provedMate.store(0);
}

uint64_t SearchPool::nodes() const {
  uint64_t total = 0;
  for (const auto& w : workers) total += w->counters.nodes.load(std::memory_order_relaxed);
  return total;
}

}  // namespace orv

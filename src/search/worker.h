// One search thread's worker: everything one search writes, passed by
// reference down the root, the node search, make and take-back, ordering, the
// evaluation and the tablebase probe. The workers share only the transposition
// table, the settings, the stop flags and the constant tables.
#pragma once
#include <atomic>
#include <cstdint>

#include "eval/evaluator.h"
#include "search/counters.h"
#include "search/repetition.h"
#include "search/search_limits.h"
#include "search/search_state.h"
#include "tablebase/probe.h"

namespace orv {

class SearchPool;

struct SearchWorker : Evaluator {
  explicit SearchWorker(int id);
  ~SearchWorker();

  const int id;                  // 0 = the main worker, which alone keeps the clock and prints
  SearchState state;             // ordering tables, root list, PV chains, the root's values
  SearchCounters counters;       // nodes and root status
  RepetitionHistory repetition;  // the game's records and the search's own, for the draw rules
  TablebaseProbe tablebase;      // the probe's scratch
  // The flag this worker stops at: the shell's abort flag for the main worker,
  // the pool's helper flag for the others.
  const std::atomic<int>* stop;
  SearchPool* pool = nullptr;  // the pool the worker belongs to (the main worker starts its helpers)
  PawnHashTable ownPawnTable;  // a helper's pawn table (the main worker uses the hash budget's)
  SearchLimits limits;         // the main worker's: the go command's limits (helpers keep the defaults)
  ClockUpdate clockUpdate;     // the main worker's: a new clock from the command thread (ponderhit)

  bool isMain() const { return id == 0; }
};

}  // namespace orv

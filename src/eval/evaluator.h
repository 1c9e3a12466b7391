// What one search thread's evaluation owns: the position it evaluates, a cache
// of recent results, the pawn table it fills and its counters. The search
// worker of each thread is an Evaluator; the evaluation reads and writes
// nothing else but constant tables.
#pragma once
#include <cstdint>
#include <memory>

#include "board/search_board.h"
#include "board/types.h"
#include "hash/hashtable.h"

namespace orv {

// One cached evaluation. A result is identified by everything the evaluation
// reads that the position key does not fix: the half-move clock (damping), the
// phase code (kept along the path, so it can differ for one position) and the
// side to move.
struct EvalCacheEntry {
  uint32_t key[2];
  uint16_t context;  // 0 = empty
  int16_t score;
  uint32_t unused;  // 16 bytes: four entries to a cache line
};
static_assert(sizeof(EvalCacheEntry) == 16);
constexpr uint32_t EvalCacheEntries = 1u << 16;

struct Evaluator {
  Evaluator() : evalCache(new EvalCacheEntry[EvalCacheEntries]()) {}
  Evaluator(const Evaluator&) = delete;
  Evaluator& operator=(const Evaluator&) = delete;

  // The search position: the search's own working arrays (slot squares, square
  // map, kinds, castling statuses and per-slot values of a Board) and the sets
  // of its men. The search copies the root Board into it before every root
  // call and makes and takes back moves on it; the evaluation only reads it.
  SearchBoard position = {};
  // The pawn table this evaluator fills: the one of the hash budget, or a
  // table of a helper thread's own.
  PawnHashTable* pawnTable = &pawnHashTable;
  std::unique_ptr<EvalCacheEntry[]> evalCache;
  uint32_t evaluationCount = 0;  // calls of evaluate since the last reset
  uint32_t pawnHashHits = 0;     // pawn table hits since the last reset

  void clearEvaluationCache();
};

}  // namespace orv

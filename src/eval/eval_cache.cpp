// A direct-mapped cache of evaluations for the search. A result is identified
// by everything the evaluation reads that the position key does not fix: the
// half-move clock (damping), the phase code (kept along the path, so it can
// differ for one position) and the side to move. Positions whose slots are
// irregular (promoted men, set-up bishops in the other bishop's slot) are
// always evaluated: there, equal keys do not fix which slot holds which man.
#include <cstring>

#include "eval/evaluate.h"

namespace orv {

namespace {

struct EvalCacheEntry {
  uint32_t key[2];
  uint16_t context;  // 0 = empty
  int16_t score;
  uint32_t unused;  // 16 bytes: four entries to a cache line
};
static_assert(sizeof(EvalCacheEntry) == 16);

constexpr uint32_t EvalCacheEntries = 1u << 16;
EvalCacheEntry evalCache[EvalCacheEntries];

inline uint16_t contextOf(int side, const NodeState& s) {
  return uint16_t((s.halfMove + 1) | s.phase << 8 | side << 11);
}

}  // namespace

int evaluateCached(int side, const NodeState& s) {
  if (s.irregularSlots) return evaluate(side, s);
  EvalCacheEntry& e = evalCache[s.key[0] & (EvalCacheEntries - 1)];
  const uint16_t context = contextOf(side, s);
  if (e.key[0] == s.key[0] && e.key[1] == s.key[1] && e.context == context) return e.score;
  const int score = evaluate(side, s);
  e.key[0] = s.key[0];
  e.key[1] = s.key[1];
  e.context = context;
  e.score = int16_t(score);
  return score;
}

void prefetchEvaluation(uint32_t key0) { __builtin_prefetch(&evalCache[key0 & (EvalCacheEntries - 1)]); }

void clearEvaluationCache() { std::memset(evalCache, 0, sizeof evalCache); }

}  // namespace orv

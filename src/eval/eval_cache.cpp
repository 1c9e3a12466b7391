// The evaluator's direct-mapped cache of evaluations for the search. Positions
// whose slots are irregular (promoted men, set-up bishops in the other
// bishop's slot) are always evaluated: there, equal keys do not fix which slot
// holds which man.
#include <cstring>

#include "eval/evaluate.h"

namespace orv {

namespace {

inline uint16_t contextOf(int side, const NodeState& s) {
  return uint16_t((s.halfMove + 1) | s.phase << 8 | side << 11);
}

}  // namespace

int evaluateCached(Evaluator& ev, int side, const NodeState& s) {
  if (s.irregularSlots) return evaluate(ev, side, s);
  EvalCacheEntry& e = ev.evalCache[s.key[0] & (EvalCacheEntries - 1)];
  const uint16_t context = contextOf(side, s);
  if (e.key[0] == s.key[0] && e.key[1] == s.key[1] && e.context == context) return e.score;
  const int score = evaluate(ev, side, s);
  e.key[0] = s.key[0];
  e.key[1] = s.key[1];
  e.context = context;
  e.score = int16_t(score);
  return score;
}

void Evaluator::clearEvaluationCache() {
  std::memset(static_cast<void*>(evalCache.get()), 0, sizeof(EvalCacheEntry) * EvalCacheEntries);
}

}  // namespace orv

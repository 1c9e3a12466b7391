#include <gtest/gtest.h>

#include "board/board.h"
#include "eval_test_util.h"
#include "support/test_worker.h"

namespace orv::test {
namespace {

// The cached evaluation of a prepared position, with the position loaded.
int cached(const Prepared& p, const NodeState& s) {
  p.load();
  return evaluateCached(testWorker(), p.side, s);
}

TEST(EvaluationCache, AnswersAsTheEvaluationForClockPhaseAndSide) {
  testWorker().clearEvaluationCache();
  Prepared p("r1bqkbnr/pppp1ppp/2n5/4p3/3PP3/5N2/PPP2PPP/RNBQKB1R b KQkq - 0 3");
  const int plain = p.eval();
  EXPECT_EQ(cached(p, p.state), plain);
  const uint32_t before = testWorker().evaluationCount;
  EXPECT_EQ(cached(p, p.state), plain);
  EXPECT_EQ(testWorker().evaluationCount, before) << "the second call is answered by the cache";

  // The same key with another half-move clock or phase code is another result.
  NodeState damped = p.state;
  damped.halfMove = 100;
  EXPECT_EQ(cached(p, damped), 80);
  NodeState phase = p.state;
  phase.phase = 1;
  p.load();
  EXPECT_EQ(cached(p, phase), evaluate(testWorker(), p.side, phase));
  EXPECT_EQ(cached(p, p.state), plain);
}

TEST(EvaluationCache, IrregularSlotsAreAlwaysEvaluated) {
  testWorker().clearEvaluationCache();
  // A second queen stands in a pawn slot: which queen is which is not in the key.
  Prepared p("4k3/8/8/8/8/8/8/QQ2K3 w - - 0 1");
  EXPECT_NE(p.state.irregularSlots, 0);
  const int plain = p.eval();
  const uint32_t before = testWorker().evaluationCount;
  EXPECT_EQ(cached(p, p.state), plain);
  EXPECT_EQ(cached(p, p.state), plain);
  EXPECT_EQ(testWorker().evaluationCount, before + 2);
  // Two bishops on light squares: one of them sits in the dark-squared slot.
  EXPECT_NE(Prepared("4k3/8/8/8/8/8/8/1B1BK3 w - - 0 1").state.irregularSlots, 0);
  EXPECT_EQ(Prepared("4k3/8/8/8/8/8/8/2B1KB2 w - - 0 1").state.irregularSlots, 0);
  EXPECT_EQ(Prepared(StartFen).state.irregularSlots, 0);
}

}  // namespace
}  // namespace orv::test

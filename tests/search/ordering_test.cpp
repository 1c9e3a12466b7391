// Move ordering: history and follow-up updates at a cutoff, killer words, and the
// ordering scores of full-width nodes and of the root.
#include <gtest/gtest.h>

#include <map>

#include "board/board.h"
#include "search/ordering.h"
#include "search/search_position_setup.h"
#include "search/search_state.h"
#include "support/test_worker.h"

namespace orv {
namespace {

using namespace gentest;

class Ordering : public ::testing::Test {
 protected:
  void SetUp() override {
    testWorker().state.clearHistory();
    testWorker().state.clearKillers();
  }
  // Scores of the generated list of Us by move.
  template <int Us> std::map<Move, int> scores(Move previous, const NodeState& s) {
    uint32_t list[MaxSearchMoves];
    generateAll<Us>(testWorker().position, list, previous, false, s);
    scoreMoves<Us>(testWorker(), list, previous, s);
    std::map<Move, int> out;
    for (int i = 0; list[i] != 0; ++i) out[moveOf(list[i])] = scoreOf(list[i]);
    return out;
  }
};

// After 1. e4 e5: White to move, the previous move e7e5 put a Black pawn on e5.
constexpr const char* AfterE4E5 = "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -";

TEST_F(Ordering, HistoryBonusGrowsWithDepthUpTo415) {
  EXPECT_EQ(historyBonus(1), 25);
  EXPECT_EQ(historyBonus(10), 403);
  EXPECT_EQ(historyBonus(11), 415);
  EXPECT_EQ(historyBonus(40), 415);
}

TEST_F(Ordering, CutoffRewardsTheMoveAndPunishesTheTriedOnes) {
  loadFen(AfterE4E5);
  const Move previous = mv("e7", "e5");
  const Move cut = mv("g1", "f3");
  const uint16_t tried[2] = {uint16_t(mv("a2", "a3")), uint16_t(mv("b1", "c3"))};
  updateOnCutoff<White>(testWorker(), cut, 1, previous, tried, 2, 3);

  EXPECT_EQ(testWorker().state.history[White][1][Knight][sq("g1")][sq("f3")], 25);
  EXPECT_EQ(testWorker().state.followUp[White][BlackPawn][sq("e5")][Knight][sq("f3")], 25);
  EXPECT_EQ(testWorker().state.history[White][1][WhitePawn][sq("a2")][sq("a3")], -25);
  EXPECT_EQ(testWorker().state.followUp[White][BlackPawn][sq("e5")][WhitePawn][sq("a3")], -25);
  EXPECT_EQ(testWorker().state.history[White][1][Knight][sq("b1")][sq("c3")], -25);
  EXPECT_EQ(testWorker().state.followUp[White][BlackPawn][sq("e5")][Knight][sq("c3")], -25);
  EXPECT_EQ(testWorker().state.killers[3], cut);
  // The other side's tables are untouched.
  EXPECT_EQ(testWorker().state.history[Black][1][Knight][sq("g1")][sq("f3")], 0);

  // h += bonus - bonus * h / 4096 with truncation: 25 + 403 - 2.
  updateOnCutoff<White>(testWorker(), cut, 10, previous, tried, 0, 3);
  EXPECT_EQ(testWorker().state.history[White][1][Knight][sq("g1")][sq("f3")], 426);
  // Truncation toward zero for negative entries: -25 - 25 - 0.
  updateOnCutoff<White>(testWorker(), cut, 1, previous, tried, 1, 3);
  EXPECT_EQ(testWorker().state.history[White][1][WhitePawn][sq("a2")][sq("a3")], -50);

  // Entries stay within +-4096 however often they are updated.
  for (int i = 0; i < 500; ++i) updateOnCutoff<White>(testWorker(), cut, 30, previous, tried, 2, 3);
  const int top = testWorker().state.history[White][1][Knight][sq("g1")][sq("f3")];
  const int bottom = testWorker().state.history[White][1][WhitePawn][sq("a2")][sq("a3")];
  EXPECT_LE(top, 4096);
  EXPECT_GT(top, 4000);
  EXPECT_GE(bottom, -4096);
  EXPECT_LT(bottom, -4000);
}

TEST_F(Ordering, CutoffWithoutPreviousMoveTouchesOnlyHistory) {
  loadFen(AfterE4E5);
  const uint16_t tried[1] = {uint16_t(mv("a2", "a3"))};
  updateOnCutoff<White>(testWorker(), mv("g1", "f3"), 2, 0, tried, 1, 0);
  EXPECT_EQ(testWorker().state.history[White][1][Knight][sq("g1")][sq("f3")], 67);
  EXPECT_EQ(testWorker().state.history[White][1][WhitePawn][sq("a2")][sq("a3")], -67);
  EXPECT_EQ(testWorker().state.followUp[White][BlackPawn][sq("e5")][Knight][sq("f3")], 0);
  EXPECT_EQ(testWorker().state.followUp[White][BlackPawn][sq("e5")][WhitePawn][sq("a3")], 0);
  EXPECT_EQ(testWorker().state.killers[0], 0u);
}

TEST_F(Ordering, KillerWordKeepsTheTwoNewestQuietCutoffs) {
  loadFen("3r3k/4P3/8/8/8/8/6P1/K7 w - -");
  const Move previous = mv("h7", "h8");
  const Move first = mv("a1", "b1"), second = mv("g2", "g3");
  updateOnCutoff<White>(testWorker(), first, 3, previous, nullptr, 0, 5);
  EXPECT_EQ(testWorker().state.killers[5], first);
  updateOnCutoff<White>(testWorker(), second, 3, previous, nullptr, 0, 5);
  EXPECT_EQ(testWorker().state.killers[5], first << 16 | second);
  updateOnCutoff<White>(testWorker(), second, 3, previous, nullptr, 0, 5);  // already the newest
  EXPECT_EQ(testWorker().state.killers[5], first << 16 | second);
  // Captures and promotions are no killers.
  updateOnCutoff<White>(testWorker(), CaptureMark | mv("e7", "d8", PromoteQueen), 3, previous, nullptr, 0, 5);
  updateOnCutoff<White>(testWorker(), mv("e7", "e8", PromoteKnight), 3, previous, nullptr, 0, 5);
  EXPECT_EQ(testWorker().state.killers[5], first << 16 | second);
  EXPECT_EQ(testWorker().state.history[White][0][WhitePawn][sq("e7")][sq("d8")], historyBonus(3));
  EXPECT_EQ(testWorker().state.history[White][1][WhitePawn][sq("e7")][sq("e8")], historyBonus(3));
}

TEST_F(Ordering, ScoresOfKillersCapturesPromotionsAndHistory) {
  NodeState s = loadFen("3r3k/4P3/8/8/8/8/6P1/K7 w - -");
  s.ply = 4;
  const Move previous = mv("h7", "h8");
  const Move newest = mv("g2", "g3"), older = mv("g2", "g4"), plain = mv("a1", "b1");
  testWorker().state.killers[4] = older << 16 | newest;
  testWorker().state.history[White][1][King][sq("a1")][sq("b1")] = 100;
  testWorker().state.followUp[White][King][sq("h8")][King][sq("b1")] = -50;

  auto score = scores<White>(previous, s);
  EXPECT_EQ(score[newest], 8192 + 10000);  // only the newest killer gets the bonus
  EXPECT_EQ(score[older], 8192);
  EXPECT_EQ(score[plain], 8192 + 100 - 50);
  EXPECT_EQ(score[CaptureMark | mv("e7", "d8", PromoteQueen)], 8192 + 10000 + 2832 / 4 + 1404);
  EXPECT_EQ(score[CaptureMark | mv("e7", "d8", PromoteRook)], 8192 + 10000 + 2832 / 4 + 696);
  EXPECT_EQ(score[mv("e7", "e8", PromoteBishop)], 8192 + 10000 + 468);
  EXPECT_EQ(score[mv("e7", "e8", PromoteKnight)], 8192 + 10000 + 468);

  // No move led into the node (after a null move): no killer bonus, no follow-up.
  score = scores<White>(0, s);
  EXPECT_EQ(score[newest], 8192);
  EXPECT_EQ(score[plain], 8192 + 100);

  // Scores never leave 16 bits, even with every table at its bound.
  testWorker().state.history[White][1][King][sq("a1")][sq("b1")] = -4096;
  testWorker().state.followUp[White][King][sq("h8")][King][sq("b1")] = -4096;
  score = scores<White>(previous, s);
  EXPECT_EQ(score[plain], 0);
}

TEST_F(Ordering, RootListIsTakenInItsCurrentOrder) {
  NodeState s = loadFen(StartFen);
  s.ply = 0;
  testWorker().state.orderedRootList[0] = mv("e2", "e4");
  testWorker().state.orderedRootList[1] = mv("d2", "d4");
  testWorker().state.orderedRootList[2] = mv("g1", "f3");
  testWorker().state.orderedRootList[3] = 0;
  uint32_t list[MaxSearchMoves];
  generateAll<White>(testWorker().position, list, 0, false, s);
  scoreMoves<White>(testWorker(), list, 0, s);
  EXPECT_EQ(list[0], 4346u << 16 | mv("e2", "e4"));
  EXPECT_EQ(list[1], 4345u << 16 | mv("d2", "d4"));
  EXPECT_EQ(list[2], 4344u << 16 | mv("g1", "f3"));
  EXPECT_EQ(list[3], 0u);
  testWorker().state.orderedRootList[0] = 0;
}

}  // namespace
}  // namespace orv

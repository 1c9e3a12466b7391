#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "book/book_writer.h"
#include "search/reductions.h"
#include "search/search_internal.h"
#include "search_fixture.h"
#include "support/test_worker.h"

namespace orv::test {
namespace {

using RootSearch = SearchFixture;

TEST_F(RootSearch, FinishedGameGivesMinusOne) {
  setUp("k7/8/1K6/8/8/8/8/2Q5 w - - 0 1", 4);
  play("c1c8");  // mate
  ASSERT_NE(game.result, 0);
  EXPECT_EQ(rootSearch(game, testWorker()), -1);
}

TEST_F(RootSearch, IterationLimitIsHonouredAndTheDepthReachedKept) {
  setUp("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3", 5);
  Move m = 0;
  searchScore(&m);
  EXPECT_EQ(testWorker().state.depthReached, 5);
  EXPECT_EQ(m, testWorker().state.rootList[0] & 0xFFFF);  // the returned move heads the sorted root list
  // One legal move: depth 2 only, whatever the limit.
  setUp("k7/8/8/8/8/8/8/KR5R b - - 0 1", 30);
  searchScore(&m);
  EXPECT_EQ(testWorker().state.depthReached, 2);
  EXPECT_EQ(m, makeMove(sq("a8"), sq("a7")));
}

TEST_F(RootSearch, PassedSoftLimitStopsAfterTheFirstIteration) {
  setUp("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3", 999);
  game.softLimit = 0;
  game.hardLimit = 1 << 28;
  const int score = searchScore();
  EXPECT_EQ(testWorker().state.depthReached, 2);
  EXPECT_GT(score, -32000);
  EXPECT_LT(score, 32000);
}

TEST_F(RootSearch, StartClearsAnEarlierAbort) {
  // The flag left by the previous search does not cut the next one short.
  setUp("4k3/8/8/8/8/8/3q4/4K3 w - - 0 1", 3);
  searchAbort = 1;
  Move m = 0;
  searchScore(&m);
  EXPECT_EQ(m, (makeMove(sq("e1"), sq("d2")) | CaptureMark) & 0xFFFF);
  EXPECT_EQ(testWorker().state.depthReached, 3);
}

TEST_F(RootSearch, StopFromAnotherThreadEndsTheSearch) {
  setUp("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 999);
  auto result = std::async(std::launch::async, [] { return rootSearch(game, testWorker()); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  searchAbort = 1;
  ASSERT_EQ(result.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  const int32_t r = result.get();
  ASSERT_NE(r, -1);
  bool listed = false;
  for (int i = 0; testWorker().state.rootList[i] != 0; ++i)
    listed |= (testWorker().state.rootList[i] & 0xFFFF) == Move(r & 0xFFFF);
  EXPECT_TRUE(listed);
  EXPECT_EQ(Move(r & 0xFFFF), testWorker().state.rootList[0] & 0xFFFF);
  EXPECT_LT(testWorker().state.depthReached, 999);
}

TEST_F(RootSearch, BookMoveComesWithMarkerScoreAndOneLine) {
  TempDir dir;
  writeBookFile(dir.file("Orvalis.bo2"), {makeBookRecord("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR/ b KQkq -",
                                                         {{10, 20, makeMove(sq("c7"), sq("c5"))}})});
  setBookDirectory(dir.path().c_str());
  setUp("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 10);
  searchSettings.useBook = true;
  searchSettings.post = true;
  game.uciMode = true;
  testing::internal::CaptureStdout();
  const int32_t r = rootSearch(game, testWorker());
  const std::string out = testing::internal::GetCapturedStdout();
  searchSettings.post = false;
  game.uciMode = false;
  setBookDirectory(nullptr);
  EXPECT_EQ(r >> 16, 1);
  EXPECT_EQ(Move(r & 0xFFFF), makeMove(sq("c7"), sq("c5")));
  const std::string head = "info depth 2 seldepth 2 multipv 1 score cp 0 lowerbound nodes 1 nps 1000 time 1 hashfull ";
  const std::string tail = " tbhits 0 pv c7c5 \n";
  EXPECT_EQ(out.substr(0, head.size()), head) << out;
  ASSERT_GE(out.size(), head.size() + tail.size());
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail) << out;
}

TEST(TablebaseScore, WinsAndLossesCountMovesFromTheNode) {
  for (int ply : {1, 7, 30})
    for (int moves : {1, 2, 15}) {
      EXPECT_EQ(tablebaseScore(32767 - moves, ply), 32700 - ply - (2 * moves - 1));
      EXPECT_EQ(tablebaseScore(moves - 32766, ply), ply + 2 * moves - 32700);
    }
  EXPECT_EQ(tablebaseScore(0, 9), 0);
}

TEST(RootListSort, StableAndDescendingBySignedScore) {
  auto word = [](uint32_t move, int score) { return move | uint32_t(uint16_t(score)) << 16; };
  uint32_t list[] = {word(1, -5), word(2, 7), word(3, -32767), word(4, 7), word(5, 0), word(6, -5), 0};
  sortRootList(list);
  const uint32_t order[] = {2, 4, 5, 1, 6, 3};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(list[i] & 0xFFFF, order[i]) << i;
  EXPECT_EQ(list[6], 0u);
}

TEST(ReductionTable, LogarithmicProduct) {
  EXPECT_EQ(reductionTable[8][10], 1);
  EXPECT_EQ(reductionTable[20][40], 4);
  EXPECT_EQ(reductionTable[31][63], 5);
  for (int m = 0; m < 64; ++m) {
    EXPECT_EQ(reductionTable[0][m], 0);
    EXPECT_EQ(reductionTable[1][m], 0);
  }
  for (int d = 0; d < 32; ++d) EXPECT_EQ(reductionTable[d][1], 0);
  // Never decreasing in either direction.
  for (int d = 1; d < 32; ++d)
    for (int m = 1; m < 64; ++m) {
      EXPECT_GE(reductionTable[d][m], reductionTable[d - 1][m]);
      EXPECT_GE(reductionTable[d][m], reductionTable[d][m - 1]);
    }
}

}  // namespace
}  // namespace orv::test

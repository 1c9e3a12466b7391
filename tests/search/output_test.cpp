#include <gtest/gtest.h>

#include <string>

#include "search/counters.h"
#include "search/output.h"
#include "search/pv.h"
#include "search/search.h"
#include "support/test_worker.h"

namespace orv::test {
namespace {

constexpr Move e2e4 = makeMove(12, 28), e7e5 = makeMove(52, 36), g1f3 = makeMove(6, 21);

std::string line(int score, int64_t ms, bool uci, bool failHigh = false, uint32_t nodes = 1234, int depth = 7) {
  const Move pv[] = {e2e4, e7e5, g1f3, 0};
  char text[SearchLineSize];
  formatSearchLine(text, sizeof text, pv, score, ms, nodes, depth, uci, failHigh);
  return text;
}

TEST(SearchLine, UciScores) {
  EXPECT_EQ(line(480, 250, true), "info depth 7 score cp 100 time 250 nodes 1234 pv e2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(-1, 250, true), "info depth 7 score cp 0 time 250 nodes 1234 pv e2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(-960, 250, true), "info depth 7 score cp -200 time 250 nodes 1234 pv e2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(32699, 250, true), "info depth 7 score mate 1 time 250 nodes 1234 pv e2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(32697, 250, true), "info depth 7 score mate 2 time 250 nodes 1234 pv e2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(2 - 32700, 250, true), "info depth 7 score mate -1 time 250 nodes 1234 pv e2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(4 - 32700, 250, true), "info depth 7 score mate -2 time 250 nodes 1234 pv e2e4 e7e5 g1f3 \n");
  // The largest normal score is still centipawns.
  EXPECT_EQ(line(32000, 250, true), "info depth 7 score cp 6666 time 250 nodes 1234 pv e2e4 e7e5 g1f3 \n");
}

TEST(SearchLine, XboardScoresAndCentiseconds) {
  EXPECT_EQ(line(480, 250, false), "7 100    25    1234\te2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(-1, 250, false), "7   0    25    1234\te2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(32699, 250, false), "7 100001    25    1234\te2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(32697, 250, false), "7 100002    25    1234\te2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(2 - 32700, 250, false), "7 -100001    25    1234\te2e4 e7e5 g1f3 \n");
}

TEST(SearchLine, ZeroTimeAndMarker) {
  EXPECT_EQ(line(0, 0, true), "info depth 7 score cp 0 time 1 nodes 1234 pv e2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(0, 0, false), "7   0     0    1234\te2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(480, 9, false, true), "7 100     0    1234\te2e4! e7e5 g1f3 \n");
  EXPECT_EQ(line(480, 9, true, true), "info depth 7 score cp 100 time 9 nodes 1234 pv e2e4! e7e5 g1f3 \n");
}

TEST(SearchLine, LongLineStopsAt63Moves) {
  Move pv[70];
  for (int i = 0; i < 69; ++i) pv[i] = i % 2 ? e7e5 : e2e4;
  pv[69] = 0;
  char text[SearchLineSize];
  formatSearchLine(text, sizeof text, pv, 0, 5, 1, 2, true, false);
  const std::string s(text);
  size_t moves = 0;
  for (size_t at = s.find("pv ") + 3; (at = s.find(' ', at)) != std::string::npos; ++at) ++moves;
  EXPECT_EQ(moves, 63u);
  EXPECT_EQ(s.back(), '\n');
}

TEST(SearchLine, PrintedOnlyWithThePostFlag) {
  publishSingleMove(e2e4);
  searchSettings.post = false;
  testing::internal::CaptureStdout();
  printSearchLine(480, 10, 42, 3, true, true);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  searchSettings.post = true;
  testing::internal::CaptureStdout();
  printSearchLine(480, 10, 42, 3, true, true);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "info depth 3 score cp 100 time 10 nodes 42 pv e2e4! \n");
  searchSettings.post = false;
}

TEST(StatusLine, Format) {
  char text[128];
  formatStatusLine(text, sizeof text, 1234, 5678, 9, 25, 31, e2e4);
  EXPECT_STREQ(text, "stat01: 1234 5678 9 25 31 e2e4\n");
}

}  // namespace
}  // namespace orv::test

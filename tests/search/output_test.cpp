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

std::string line(int score, int64_t ms, bool uci, int bound = BoundExact, uint64_t nodes = 1234, int depth = 7) {
  const Move pv[] = {e2e4, e7e5, g1f3, 0};
  SearchLineFigures f;
  f.depth = depth;
  f.selectiveDepth = 9;
  f.score = score;
  f.bound = bound;
  f.elapsedMs = ms;
  f.nodes = nodes;
  f.hashPermille = 12;
  f.tablebaseHits = 3;
  char text[SearchLineSize];
  formatSearchLine(text, sizeof text, pv, f, uci);
  return text;
}

// The UCI line's text around its score.
std::string uciLine(const std::string& score, const std::string& time = "250", const std::string& nps = "4936") {
  return "info depth 7 seldepth 9 multipv 1 score " + score + " nodes 1234 nps " + nps + " time " + time +
         " hashfull 12 tbhits 3 pv e2e4 e7e5 g1f3 \n";
}

TEST(SearchLine, UciScores) {
  EXPECT_EQ(line(480, 250, true), uciLine("cp 100"));
  EXPECT_EQ(line(-1, 250, true), uciLine("cp 0"));
  EXPECT_EQ(line(-960, 250, true), uciLine("cp -200"));
  EXPECT_EQ(line(32699, 250, true), uciLine("mate 1"));
  EXPECT_EQ(line(32697, 250, true), uciLine("mate 2"));
  EXPECT_EQ(line(2 - 32700, 250, true), uciLine("mate -1"));
  EXPECT_EQ(line(4 - 32700, 250, true), uciLine("mate -2"));
  // The largest normal score is still centipawns.
  EXPECT_EQ(line(32000, 250, true), uciLine("cp 6666"));
}

TEST(SearchLine, XboardScoresAndCentiseconds) {
  EXPECT_EQ(line(480, 250, false), "7 100    25    1234\te2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(-1, 250, false), "7   0    25    1234\te2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(32699, 250, false), "7 100001    25    1234\te2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(32697, 250, false), "7 100002    25    1234\te2e4 e7e5 g1f3 \n");
  EXPECT_EQ(line(2 - 32700, 250, false), "7 -100001    25    1234\te2e4 e7e5 g1f3 \n");
}

TEST(SearchLine, ZeroTimeAndBounds) {
  EXPECT_EQ(line(0, 0, true), uciLine("cp 0", "1", "1234000"));
  EXPECT_EQ(line(0, 0, false), "7   0     0    1234\te2e4 e7e5 g1f3 \n");
  // xboard marks the bound after the first move; UCI names it and keeps the moves clean.
  EXPECT_EQ(line(480, 9, false, BoundLower), "7 100     0    1234\te2e4! e7e5 g1f3 \n");
  EXPECT_EQ(line(480, 9, false, BoundUpper), "7 100     0    1234\te2e4? e7e5 g1f3 \n");
  EXPECT_EQ(line(480, 10, true, BoundLower), uciLine("cp 100 lowerbound", "10", "123400"));
  EXPECT_EQ(line(480, 10, true, BoundUpper), uciLine("cp 100 upperbound", "10", "123400"));
}

TEST(SearchLine, CountsPast32BitsAndLowerCasePromotionsUnderUci) {
  const Move promotion[] = {makeMove(52, 60, PromoteQueen), 0};
  SearchLineFigures f;
  f.nodes = 6000000000ull;
  f.elapsedMs = 2000;
  char text[SearchLineSize];
  formatSearchLine(text, sizeof text, promotion, f, true);
  const std::string s(text);
  EXPECT_NE(s.find(" nodes 6000000000 nps 3000000000 "), std::string::npos) << s;
  EXPECT_NE(s.find("pv e7e8q \n"), std::string::npos) << s;
  formatSearchLine(text, sizeof text, promotion, f, false);
  EXPECT_NE(std::string(text).find("e7e8Q"), std::string::npos) << text;
}

TEST(SearchLine, LongLineStopsAt63Moves) {
  Move pv[70];
  for (int i = 0; i < 69; ++i) pv[i] = i % 2 ? e7e5 : e2e4;
  pv[69] = 0;
  SearchLineFigures f;
  f.nodes = ~0ull;
  f.tablebaseHits = ~0ull;
  f.score = -32000;
  f.bound = BoundUpper;
  char text[SearchLineSize];
  formatSearchLine(text, sizeof text, pv, f, true);
  const std::string s(text);
  size_t moves = 0;
  for (size_t at = s.find(" pv ") + 4; (at = s.find(' ', at)) != std::string::npos; ++at) ++moves;
  EXPECT_EQ(moves, 63u);
  EXPECT_EQ(s.back(), '\n');
}

TEST(SearchLine, PrintedOnlyWithThePostFlag) {
  publishSingleMove(e2e4);
  SearchLineFigures f;
  f.depth = 3;
  f.score = 480;
  f.elapsedMs = 10;
  f.nodes = 42;
  searchSettings.post = false;
  testing::internal::CaptureStdout();
  printSearchLine(nullptr, f, false);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  searchSettings.post = true;
  testing::internal::CaptureStdout();
  printSearchLine(nullptr, f, false);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "3 100     1      42\te2e4 \n");
  searchSettings.post = false;
}

TEST(StatusLine, Format) {
  char text[128];
  formatStatusLine(text, sizeof text, 1234, 5678, 9, 25, 31, e2e4);
  EXPECT_STREQ(text, "stat01: 1234 5678 9 25 31 e2e4\n");
}

}  // namespace
}  // namespace orv::test

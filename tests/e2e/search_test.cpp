// The search through orvalis-tool: mate distances, the UCI search lines and
// the bench signature.
#include <gtest/gtest.h>

#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "support/engine_process.h"

namespace orv {
namespace {

constexpr int DeadlineMs = 120000;

std::vector<std::string> runTool(const std::vector<std::string>& args) {
  test::ProgramRun run = test::runProgram(ORVALIS_TOOL, args, DeadlineMs);
  EXPECT_EQ(run.exitCode, 0);
  return run.lines;
}

TEST(SearchTool, MatesWithExactScores) {
  struct Case {
    const char* fen;
    const char* depth;
    const char* result;  // the final line up to the node count
  };
  const Case cases[] = {
      {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", "5", "bestmove d1d8 score 32699 nodes "},
      {"7k/8/8/8/8/8/R7/1R4K1 w - - 0 1", "7", "bestmove a2a7 score 32697 nodes "},
      {"8/8/7k/8/8/8/R7/1R4K1 w - - 0 1", "9", "score 32695 nodes "},
      {"k7/8/1K6/8/8/8/8/7R b - - 0 1", "6", "bestmove a8b8 score -32698 nodes "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fen);
    const std::vector<std::string> lines = runTool({"search", c.depth, c.fen});
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find(c.result), std::string::npos) << lines.back();
  }
}

TEST(SearchTool, PrintsUciLinesPerIteration) {
  const std::vector<std::string> lines =
      runTool({"search", "6", "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3"});
  ASSERT_GE(lines.size(), 2u);
  const std::regex info(
      R"(info depth (\d+) seldepth \d+ multipv 1 score (cp -?\d+|mate -?\d+)( lowerbound)? nodes \d+ nps \d+ time \d+ )"
      R"(hashfull \d+ tbhits \d+ pv ([a-h][1-8][a-h][1-8][qrbn]? )+)");
  int lastExactDepth = 0;
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[i], m, info)) << lines[i];
    if (lines[i].find("lowerbound") == std::string::npos) lastExactDepth = std::stoi(m[1]);
  }
  EXPECT_EQ(lastExactDepth, 6);
  EXPECT_TRUE(std::regex_match(lines.back(), std::regex(R"(bestmove [a-h][1-8][a-h][1-8] score -?\d+ nodes \d+)")))
      << lines.back();
}

TEST(BenchTool, NodeTotalIsTheSameOnEveryRun) {
  auto total = [] {
    const std::vector<std::string> lines = runTool({"bench", "4"});
    EXPECT_GE(lines.size(), 20u);
    std::smatch m;
    const std::string last = lines.empty() ? "" : lines.back();
    EXPECT_TRUE(std::regex_match(last, m, std::regex(R"(bench nodes (\d+) nps \d+ ms \d+)"))) << last;
    return m.size() > 1 ? m[1].str() : std::string();
  };
  const std::string first = total();
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(total(), first);
}

// The per-position lines of a shallow bench: node counts, moves and scores are
// a signature of the search and the evaluation, which speed work must keep.
TEST(BenchTool, ShallowBenchKeepsItsSignature) {
  const char* const expected[] = {
      "position  1 nodes       1922 move d2d4   score     90", "position  2 nodes       3644 move g8f6   score    -80",
      "position  3 nodes       1605 move f3g5   score    800", "position  4 nodes       4207 move f2f3   score     70",
      "position  5 nodes       2435 move c1e3   score    430", "position  6 nodes      36567 move e2a6   score    -70",
      "position  7 nodes       5868 move f3e5   score    450", "position  8 nodes       7554 move d4f5   score   1610",
      "position  9 nodes      32219 move c3b5   score     80", "position 10 nodes      10723 move b2b4   score   1060",
      "position 11 nodes       1727 move f4c7   score   5480", "position 12 nodes       2368 move e4e5   score   1700",
      "position 13 nodes        425 move h5f7   score  32699", "position 14 nodes        104 move d1d8   score  32699",
      "position 15 nodes      11218 move f8c5   score  32695", "position 16 nodes        694 move b1g6   score  32695",
      "position 17 nodes       9326 move d5f6   score  32697", "position 18 nodes       8447 move a3b4   score    530",
      "position 19 nodes        895 move b4f4   score   1050", "position 20 nodes       1233 move e3f4   score    -10",
      "position 21 nodes       1690 move g2f3   score    -80", "position 22 nodes       1227 move f6e5   score    -80",
      "position 23 nodes        911 move e1d2   score    460", "position 24 nodes       4833 move d1a1   score   3129",
      "position 25 nodes       1500 move f7f5   score    730", "position 26 nodes       7615 move d1e2   score   2742",
      "position 27 nodes       1212 move h2g3   score      2", "position 28 nodes      30443 move c1g5   score   5493",
      "position 29 nodes      21849 move f1h3   score   4571", "position 30 nodes      54067 move h1f1   score  -2769",
      "position 31 nodes       9321 move c2d3   score   3598",
  };
  const std::vector<std::string> lines = runTool({"bench", "5"});
  ASSERT_EQ(lines.size(), std::size(expected) + 1);
  for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(lines[i], expected[i]);
  EXPECT_EQ(lines.back().rfind("bench nodes 277849 nps ", 0), 0u) << lines.back();
}

}  // namespace
}  // namespace orv

// The search through orvalis-tool: mate distances, the UCI search lines and
// the bench signature.
#include <gtest/gtest.h>

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
    const char* result;   // the final line up to the node count
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
  const std::regex info(R"(info depth (\d+) score (cp -?\d+|mate -?\d+) time \d+ nodes \d+ pv ([a-h][1-8][a-h][1-8][QRBN]?!? )+)");
  int lastExactDepth = 0;
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[i], m, info)) << lines[i];
    if (lines[i].find('!') == std::string::npos) lastExactDepth = std::stoi(m[1]);
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

}  // namespace
}  // namespace orv

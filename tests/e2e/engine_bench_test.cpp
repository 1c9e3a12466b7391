// The engine binary's bench argument, as testing frameworks run it.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "support/engine_process.h"

namespace orv {
namespace {

constexpr int DeadlineMs = 120000;

TEST(EngineBench, SamePositionsAndNodesAsTheToolWithTheTestersLastLine) {
  const test::ProgramRun engine = test::runProgram(ORVALIS_BIN, {"bench", "5"}, DeadlineMs);
  const test::ProgramRun tool = test::runProgram(ORVALIS_TOOL, {"bench", "5"}, DeadlineMs);
  ASSERT_EQ(engine.exitCode, 0);
  ASSERT_EQ(tool.exitCode, 0);
  ASSERT_EQ(engine.lines.size(), tool.lines.size() + 1);
  // Every position line is the tool's; the node total too.
  for (size_t i = 0; i + 1 < tool.lines.size(); ++i) EXPECT_EQ(engine.lines[i], tool.lines[i]);
  std::smatch total, last;
  ASSERT_TRUE(std::regex_match(tool.lines.back(), total, std::regex(R"(bench nodes (\d+) nps \d+ ms \d+)")));
  ASSERT_TRUE(std::regex_match(engine.lines.back(), last, std::regex(R"((\d+) nodes \d+ nps)"))) << engine.lines.back();
  EXPECT_EQ(last[1].str(), total[1].str());
}

}  // namespace
}  // namespace orv

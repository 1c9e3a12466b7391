// orvalis-tool eval prints the static evaluation and its sub-totals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/engine_process.h"

namespace orv {
namespace {

std::vector<std::string> runEvalTool(const std::vector<std::string>& args) {
  test::ProgramRun run = test::runProgram(ORVALIS_TOOL, args, 30000);
  EXPECT_EQ(run.exitCode, 0);
  return run.lines;
}

TEST(EvalTool, StartPositionForBothSides) {
  EXPECT_EQ(runEvalTool({"eval", "startpos"}), std::vector<std::string>{"eval 80"});
  EXPECT_EQ(runEvalTool({"eval", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1"}),
            std::vector<std::string>{"eval 80"});
}

TEST(EvalTool, TermsComeFirstInTheirOrder) {
  const auto lines = runEvalTool({"eval", "--terms", "4k3/8/8/8/8/8/8/4KR2 w - - 0 1"});
  ASSERT_EQ(lines.size(), 12u);
  const char* names[] = {"A ", "S ", "K ", "J ", "U ", "M ", "T ", "Q ", "phase ", "W ", "E ", "eval "};
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].rfind(names[i], 0), 0u) << lines[i];
  EXPECT_EQ(lines[3], "J 2825");
  EXPECT_EQ(lines[8], "phase 5");
  EXPECT_EQ(lines[9], "W 5");
  EXPECT_EQ(lines[10], "E 73");
}

}  // namespace
}  // namespace orv

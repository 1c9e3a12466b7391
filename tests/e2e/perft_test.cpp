// Leaf counts of the legal move generator against published reference values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/engine_process.h"

namespace orv {
namespace {

struct PerftCase {
  const char* fen;
  int depth;
  const char* nodes;
};

// Every count must arrive well within this even on a busy machine.
constexpr int DeadlineMs = 120000;

std::vector<std::string> runTool(const std::vector<std::string>& args) {
  test::ProgramRun run = test::runProgram(ORVALIS_TOOL, args, DeadlineMs);
  EXPECT_EQ(run.exitCode, 0);
  return run.lines;
}

TEST(Perft, ReferencePositionsMatchPublishedCounts) {
  const PerftCase cases[] = {
      {"startpos", 5, "4865609"},
      {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", 4, "4085603"},
      {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", 5, "674624"},
      {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -", 4, "422333"},
      {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -", 4, "2103487"},
      {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - -", 4, "3894594"},
  };
  for (const PerftCase& c : cases) {
    SCOPED_TRACE(c.fen);
    const auto lines = runTool({"perft", std::to_string(c.depth), c.fen});
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), std::string("nodes ") + c.nodes);
  }
}

TEST(Perft, DivideListsEachRootMoveAndTheirSum) {
  // Option after the depth; the promotion letters are written in upper case.
  const auto lines = runTool({"perft", "1", "--divide", "4k3/1P6/8/8/8/8/8/4K3 w - -"});
  const std::vector<std::string> expected = {
      "e1e2 1",  "e1f1 1",  "e1d1 1",  "e1d2 1",  "e1f2 1",  // the king's direction order
      "b7b8Q 1", "b7b8R 1", "b7b8B 1", "b7b8N 1", "nodes 9",
  };
  EXPECT_EQ(lines, expected);

  const auto deeper = runTool({"perft", "--divide", "3", "startpos"});
  ASSERT_EQ(deeper.size(), 21u);
  EXPECT_EQ(deeper.front(), "b1c3 440");
  EXPECT_EQ(deeper.back(), "nodes 8902");
}

}  // namespace
}  // namespace orv

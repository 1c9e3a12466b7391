// Leaf counts through the search's own generator, make and take back: equal to
// the published counts and to the legal generator's perft, with every node's
// incremental words checked against a full recount (--check).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/engine_process.h"

namespace orv {
namespace {

constexpr int DeadlineMs = 180000;

using ToolRun = test::ProgramRun;

ToolRun runTool(const std::vector<std::string>& args) { return test::runProgram(ORVALIS_TOOL, args, DeadlineMs); }

std::string lastLine(const ToolRun& run) { return run.lines.empty() ? std::string() : run.lines.back(); }

TEST(Sperft, ReferencePositionsMatchPublishedCountsWithEveryNodeChecked) {
  struct Case {
    const char* fen;
    int depth;
    const char* nodes;
  };
  const Case cases[] = {
      {"startpos", 5, "4865609"},
      {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", 4, "4085603"},
      {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", 5, "674624"},
      {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -", 4, "422333"},
      {"r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ -", 4, "422333"},  // the mirror
      {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -", 4, "2103487"},
      {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - -", 4, "3894594"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fen);
    const ToolRun run = runTool({"sperft", "--check", std::to_string(c.depth), c.fen});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(lastLine(run), std::string("nodes ") + c.nodes);
  }
}

TEST(Sperft, EqualsPerftOnPromotionEnPassantAndCrowdedPositions) {
  const char* fens[] = {
      "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -",
      "8/3K4/2p5/p2b4/P1k5/1pP1n3/1P6/8 w - -",
      "r3k2r/8/8/8/3pPp2/8/8/R3K1RR b KQkq -",
      "4k3/8/8/8/8/8/8/4K2R w K -",
      "3Q4/1Q4Q1/4Q3/2Q4R/Q4Q2/3Q4/1Q4Rp/1K1BBNNk w - -",  // 218 moves, eight men in pawn slots
  };
  for (const char* fen : fens) {
    SCOPED_TRACE(fen);
    const ToolRun perft = runTool({"perft", "4", fen});
    const ToolRun sperft = runTool({"sperft", "--check", "4", fen});
    EXPECT_EQ(sperft.exitCode, 0);
    ASSERT_EQ(lastLine(perft).rfind("nodes ", 0), 0u);
    EXPECT_EQ(lastLine(sperft), lastLine(perft));
  }
}

TEST(Sperft, DivideAndRefusals) {
  const ToolRun divide = runTool({"sperft", "--divide", "2", "startpos"});
  ASSERT_EQ(divide.lines.size(), 21u);
  EXPECT_EQ(divide.lines.front(), "b1c3 20");
  EXPECT_EQ(divide.lines.back(), "nodes 400");

  EXPECT_EQ(runTool({"sperft", "3"}).exitCode, 2);
  const ToolRun refused = runTool({"sperft", "2", "8/8/8/8/8/8/8/8 w - -"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.lines.empty());
}

}  // namespace
}  // namespace orv

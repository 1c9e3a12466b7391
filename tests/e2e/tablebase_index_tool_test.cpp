// orvalis-tool tbcount and tbindex: the index ranges and the index a probe reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/engine_process.h"
#include "tablebase/table_info.h"

namespace orv {
namespace {

std::vector<std::string> runTool(const std::vector<std::string>& args) {
  test::ProgramRun run = test::runProgram(ORVALIS_TOOL, args, 30000);
  EXPECT_EQ(run.exitCode, 0);
  return run.lines;
}

std::string indexOf(const std::string& fen) {
  const auto lines = runTool({"tbindex", fen});
  EXPECT_EQ(lines.size(), 1u) << fen;
  return lines.empty() ? std::string() : lines[0];
}

TEST(TablebaseIndexTool, CountsEveryTableSideInRegistryOrder) {
  const auto lines = runTool({"tbcount"});
  ASSERT_EQ(lines.size(), 220u);
  EXPECT_EQ(lines[0], "kpk w 81664");
  EXPECT_EQ(lines[1], "kpk b 84012");
  EXPECT_EQ(lines[6], "krk w 27036");
  EXPECT_EQ(lines[219], "kqqkq b 46912050");
  for (int table = 1; table <= tb::TableCount; ++table)
    for (int side = 0; side < 2; ++side) {
      const std::string& line = lines[2 * (table - 1) + side];
      const std::string head = std::string(tb::tableInfo[table].name) + (side ? " b " : " w ");
      ASSERT_EQ(line.rfind(head, 0), 0u) << line;
      EXPECT_GE(std::stoull(line.substr(head.size())), tb::tableInfo[table].count[side]) << line;
    }
}

TEST(TablebaseIndexTool, ColourExchangeReadsTheSameTableSide) {
  // K+Q against K, and the same turned upside down with colours exchanged.
  const std::string white = indexOf("8/8/8/3k4/8/8/8/KQ6 w - - 0 1");
  EXPECT_EQ(white.rfind("kqk w ", 0), 0u) << white;
  EXPECT_EQ(indexOf("kq6/8/8/8/3K4/8/8/8 b - - 0 1"), white);
  const std::string black = indexOf("8/8/8/3k4/8/8/8/KQ6 b - - 0 1");
  EXPECT_EQ(black.rfind("kqk b ", 0), 0u) << black;
  EXPECT_EQ(indexOf("kq6/8/8/8/3K4/8/8/8 w - - 0 1"), black);
  // Rook against pawn: the colour exchange of krkp.
  EXPECT_EQ(indexOf("8/8/8/2k5/8/8/P7/K6r w - - 0 1").rfind("krkp b ", 0), 0u);
}

TEST(TablebaseIndexTool, SymmetricMaterialIsReadWithColoursExchanged) {
  // kpkp with White to move is read from the Black-to-move side.
  const std::string plain = indexOf("8/8/4k3/8/3pP3/8/8/4K3 b - - 0 1");
  EXPECT_EQ(plain.rfind("kpkp w ", 0), 0u) << plain;
  const std::string ep = indexOf("8/8/4k3/8/3pP3/8/8/4K3 b - e3 0 1");
  ASSERT_EQ(ep.rfind("kpkp w ", 0), 0u) << ep;
  EXPECT_GE(std::stoul(ep.substr(7)), 81664u * 47u);  // en-passant positions follow the others
  // A target no pawn can use is no en-passant right.
  EXPECT_EQ(indexOf("8/8/4k3/8/4P3/8/3p4/4K3 b - e3 0 1"), indexOf("8/8/4k3/8/4P3/8/3p4/4K3 b - - 0 1"));
}

TEST(TablebaseIndexTool, NoneWithoutATable) {
  EXPECT_EQ(indexOf("4k3/8/8/8/8/8/8/4K3 w - - 0 1"), "none");      // kings only
  EXPECT_EQ(indexOf("4k3/pp6/8/8/8/8/PP6/4K3 w - - 0 1"), "none");  // six men
  EXPECT_EQ(indexOf("4k3/8/8/8/8/8/8/4KQN1 w - - 0 1").rfind("kqnk w ", 0), 0u);
  EXPECT_EQ(indexOf("8/8/8/8/8/8/8/KQQQk3 w - - 0 1"), "none");  // kqqqk is not a table
  EXPECT_EQ(indexOf("8/8/8/3k4/8/8/8/KN6 w - - 0 1").rfind("knk w ", 0), 0u);
  EXPECT_EQ(indexOf("8/8/8/8/8/8/3k4/KN6 w - - 0 1"), "none");  // the knight checks the king not to move
  EXPECT_EQ(indexOf("not a position"), "none");
}

TEST(TablebaseIndexTool, UnstoredTailPositionsStillHaveTheirIndex) {
  // Kings d4 and h8 with a rook on a8 giving check: the first unstored index.
  EXPECT_EQ(indexOf("R6k/8/8/8/3K4/8/8/8 w - - 0 1"), "krk w 27030");
}

TEST(TablebaseIndexTool, ReadsOneFenPerLineFromStandardInput) {
  test::EngineProcess tool(ORVALIS_TOOL, {"tbindex", "-"});
  ASSERT_TRUE(tool.started());
  const std::vector<std::string> fens = {"8/8/8/3k4/8/8/8/KQ6 w - - 0 1", "4k3/8/8/8/8/8/8/4K3 w - - 0 1",
                                         "R6k/8/8/8/3K4/8/8/8 w - - 0 1"};
  for (const auto& fen : fens) ASSERT_TRUE(tool.writeLine(fen));
  tool.closeStdin();
  std::vector<std::string> answers;
  while (auto line = tool.readLine(10000)) answers.push_back(*line);
  ASSERT_EQ(answers.size(), 3u);
  EXPECT_EQ(answers[0], indexOf(fens[0]));
  EXPECT_EQ(answers[1], "none");
  EXPECT_EQ(answers[2], "krk w 27030");
  EXPECT_EQ(tool.waitExit(10000), 0);
}

}  // namespace
}  // namespace orv

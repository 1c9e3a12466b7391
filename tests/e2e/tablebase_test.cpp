// Tablebases through the real binaries: the tbprobe tool, the start-up lines,
// EGTPATH and NalimovPath, damaged files, and a search that uses the tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_session.h"
#include "support/table_files.h"

namespace orv::e2e {
namespace {

using test::TempDir;

constexpr const char* QueenAgainstKing = "7k/8/8/8/8/8/8/K5Q1 w - -";

// kqk with White to move only, every byte `value`.
void writeUniformKqkWhite(const TempDir& d, int8_t value) {
  ASSERT_TRUE(test::writeBytes(d.file("kqk.nbw"), std::vector<uint8_t>(tb::tableInfo[5].count[0], uint8_t(value))));
}

TEST(TablebaseTool, ProbesOneFenOrEveryLineOfStandardInput) {
  TempDir d;
  writeUniformKqkWhite(d, 5);
  test::ProgramRun run = test::runProgram(ORVALIS_TOOL, {"tbprobe", d.path(), QueenAgainstKing}, ReplyMs);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.lines, (std::vector<std::string>{"tb 32645"}));

  test::EngineProcess p(ORVALIS_TOOL, {"tbprobe", "/nonexistent;" + d.path(), "-"});
  for (const char* fen : {QueenAgainstKing,
                          "7k/8/8/8/8/8/8/K5Q1 b - -",  // Black to move: no file
                          "7K/8/8/8/8/8/8/k5q1 b - -",  // colours exchanged: White's table
                          "7K/8/8/8/8/8/8/k5q1 w - -", "", "not a position", "startpos", "7k/8/8/8/8/8/8/K7 w - -"})
    p.writeLine(fen);
  p.closeStdin();
  std::vector<std::string> lines;
  while (auto line = p.readLine(ReplyMs)) lines.push_back(*line);
  EXPECT_EQ(lines, (std::vector<std::string>{"tb 32645", "tb 32767", "tb 32645", "tb 32767", "tb 32767", "tb 32767",
                                             "tb 32767", "tb 32767"}));
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
  EXPECT_EQ(p.drainStderr(50), "TbPath=</nonexistent;" + d.path() + ">\nInitTb=3\n");
}

TEST(TablebaseTool, ADamagedFileEndsTheProcessWithCodeOne) {
  TempDir d;
  ASSERT_TRUE(test::writeBytes(d.file("krk.nbb"), std::vector<uint8_t>(1000)));
  test::ProgramRun run = test::runProgram(ORVALIS_TOOL, {"tbprobe", d.path(), QueenAgainstKing}, ReplyMs);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.lines, (std::vector<std::string>{"*** " + d.file("krk.nbb") + " corrupted"}));
}

TEST(TablebaseEngine, StartUpEgtpathAndNalimovPathRegisterTheTables) {
  TempDir a, b;
  writeUniformKqkWhite(b, 0);
  test::EngineProcess p(ORVALIS_BIN, {"-d" + a.path()});
  std::vector<std::string> startUp;
  while (auto line = p.readStderrLine(ReplyMs)) {
    startUp.push_back(*line);
    if (*line == "type quit to exit") break;
  }
  ASSERT_GE(startUp.size(), 3u);
  EXPECT_EQ(startUp[startUp.size() - 3], "TbPath=<" + a.path() + ">");
  EXPECT_EQ(startUp[startUp.size() - 2], "InitTb=0");
  p.writeLine("ping 1");
  ASSERT_EQ(p.readLine(ReplyMs), "pong 1");
  EXPECT_EQ(p.drainStderr(50), "");
  p.writeLine("egtpath nalimov \"" + b.path() + "\"");
  p.writeLine("uci");
  p.writeLine("setoption name NalimovPath value " + a.path());
  p.writeLine("isready");
  ASSERT_TRUE(p.readUntil([](const std::string& l) { return l == "readyok"; }, ReplyMs).has_value());
  const std::string both = a.path() + ";" + b.path();
  EXPECT_EQ(p.drainStderr(100), "TbPath=<" + both + ">\nInitTb=3\nTbPath=<" + both + ";" + a.path() + ">\nInitTb=3\n");
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
}

TEST(TablebaseEngine, StartUpLinesFollowTheBanner) {
  TempDir d;
  test::EngineProcess p(ORVALIS_BIN, {"-d" + d.path()});
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
  const std::string err = p.drainStderr(100);
  const size_t at = err.find("TbPath=<" + d.path() + ">\nInitTb=0\ntype quit to exit\n");
  EXPECT_NE(at, std::string::npos) << err;
  EXPECT_LT(err.find("Hash="), at);
}

// The final score of a UCI search of the position with the given tables.
std::string searchScoreWith(const std::string& dir) {
  test::EngineProcess p(ORVALIS_BIN, {"-d" + dir});
  p.writeLine("uci");
  p.writeLine(std::string("position fen ") + QueenAgainstKing);
  p.writeLine("go movetime 300");
  std::vector<std::string> before;
  auto best = p.readLineStartingWith("bestmove ", 30000, &before);
  EXPECT_TRUE(best.has_value());
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
  std::string score;
  for (const auto& l : before)
    if (l.rfind("info depth", 0) == 0 && l.find(" score ") != std::string::npos)
      score = l.substr(l.find(" score ") + 7, l.find(" nodes ") - l.find(" score ") - 7);
  return score;
}

TEST(TablebaseEngine, TheSearchUsesTheTablesFoundAtStartUp) {
  TempDir none, drawn;
  for (int side = 0; side < 2; ++side)
    ASSERT_TRUE(test::writeSparse(drawn.file(test::tableFileName(5, side)), tb::tableInfo[5].count[side]));
  EXPECT_EQ(searchScoreWith(drawn.path()), "cp 0");  // the synthetic tables call it a draw
  EXPECT_NE(searchScoreWith(none.path()), "cp 0");
}

}  // namespace
}  // namespace orv::e2e

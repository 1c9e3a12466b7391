#include "notation/game_log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/game.h"
#include "search/counters.h"
#include "search/pv.h"
#include "support/temp_dir.h"
#include "support/test_worker.h"

namespace orv {
namespace {

constexpr Move E2E4 = 12 | 28 << 6, E7E5 = 52 | 36 << 6, G1F3 = 6 | 21 << 6;

std::vector<std::string> fileLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// [Date "yyyy.mm.dd"]
bool isDateHeader(const std::string& line) {
  const std::string form = "[Date \"0000.00.00\"]";
  if (line.size() != form.size()) return false;
  for (size_t i = 0; i < form.size(); ++i)
    if (form[i] == '0' ? (line[i] < '0' || line[i] > '9') : line[i] != form[i]) return false;
  return true;
}

struct GameLogTest : ::testing::Test {
  test::TempDir dir;
  std::string path = dir.file("engine.log");
  void SetUp() override { newGame(); }
  void TearDown() override {
    closeGameLog();
    newGame();
  }
};

TEST_F(GameLogTest, GameWithHeadersMoveLinesAndResult) {
  ASSERT_TRUE(openGameLog(path.c_str()));
  writeLogHeader();
  writeLogMove(E2E4, false);
  ASSERT_EQ(makeGameMove(E2E4), 0);
  {
    std::lock_guard<std::mutex> hold(pvLock);
    std::memset(printPv, 0, sizeof printPv);
    printPv[0] = E7E5, printPv[1] = G1F3;
  }
  bestRootScore.store(-120);
  writeLogMove(E7E5, true);
  ASSERT_EQ(makeGameMove(E7E5), 0);
  writeLogMove(G1F3, false);
  writeLogDiagnostic(3456);
  writeLogResult("1-0 {WHITE MATES}");
  // Every line is on disk without closing the file.
  const std::vector<std::string> lines = fileLines(path);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "[Event \"Computer chess game\"]");
  EXPECT_TRUE(isDateHeader(lines[1])) << lines[1];
  EXPECT_EQ(lines[2], "1.   e4 ({})");
  EXPECT_EQ(lines[3], "1... e5 ({-0.25 e7e5 g1f3 })");
  EXPECT_EQ(lines[4], "2.   Nf3 ({})");
  EXPECT_EQ(lines[5], "OV code 3456");
  EXPECT_EQ(lines[6], "1-0 {WHITE MATES}");
}

TEST_F(GameLogTest, EmptyMoveLineAndSetUpPositionWithBlackToMove) {
  ASSERT_TRUE(openGameLog(path.c_str()));
  writeLogMove(0, false);  // ANALYZE
  ASSERT_EQ(parseFen("4k3/8/8/8/8/8/4P3/4K3 b - -"), 0);
  writeLogMove(makeMove(60, 59), false);  // Kd8
  writeLogMove(makeMove(60, 44), false);  // not legal: the move text stays empty
  EXPECT_EQ(fileLines(path), (std::vector<std::string>{"1.   ({})", "1... Kd8 ({})", "1... ({})"}));
}

TEST_F(GameLogTest, AppendsAcrossOpeningsAndWritesNothingWhileClosed) {
  writeLogHeader();
  writeLogMove(E2E4, false);
  ASSERT_TRUE(openGameLog(path.c_str()));
  writeLogResult("*");
  closeGameLog();
  writeLogResult("lost");
  ASSERT_TRUE(openGameLog(path.c_str()));
  writeLogResult("1/2-1/2");
  EXPECT_EQ(fileLines(path), (std::vector<std::string>{"*", "1/2-1/2"}));
}

TEST_F(GameLogTest, LogThatCannotBeOpenedOrWrittenIsOff) {
  EXPECT_FALSE(openGameLog((dir.path() + "/missing/engine.log").c_str()));
  EXPECT_FALSE(gameLogOpen());
  EXPECT_FALSE(openGameLog(""));
  // A full disk: the first write fails and turns the log off.
  ASSERT_TRUE(openGameLog("/dev/full"));
  writeLogHeader();
  EXPECT_FALSE(gameLogOpen());
  writeLogMove(E2E4, false);  // nothing happens
}

TEST(GameLogName, ProgramPathPlusExtensionOrRefused) {
  char name[GameLogNameLength + 1];
  EXPECT_TRUE(formGameLogName("/usr/bin/orvalis", name));
  EXPECT_STREQ(name, "/usr/bin/orvalis.log");
  const std::string longest(GameLogNameLength - 4, 'a');
  EXPECT_TRUE(formGameLogName(longest.c_str(), name));
  EXPECT_EQ(std::strlen(name), GameLogNameLength);
  EXPECT_FALSE(formGameLogName((longest + "a").c_str(), name));  // cut it would name another file
  EXPECT_STREQ(name, "");
}

}  // namespace
}  // namespace orv

// Configuration lines and the -p position file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "board/game.h"
#include "notation/board_text.h"
#include "shell/configuration.h"
#include "shell/settings.h"

namespace {

struct ConfigurationTest : ::testing::Test {
  void SetUp() override {
    savedPaths = orv::settings.tablebasePaths;
    savedExponent = orv::settings.hashExponent;
    savedCache = orv::settings.tablebaseCache;
    savedResign = orv::settings.resign.load();
    savedBook = orv::settings.useBook.load();
    savedLog = orv::settings.logOn;
  }
  void TearDown() override {
    std::strcpy(orv::settings.tablebasePaths, savedPaths.c_str());
    orv::settings.hashExponent = savedExponent;
    orv::settings.tablebaseCache = savedCache;
    orv::settings.resign.store(savedResign);
    orv::settings.useBook.store(savedBook);
    orv::settings.logOn = savedLog;
  }
  std::string savedPaths;
  int savedExponent = 0, savedResign = 1, savedBook = 1, savedLog = 0;
  long savedCache = 0;
};

std::string writeTempFile(const std::string& text) {
  char name[] = "/tmp/orvalis_position_XXXXXX";
  int fd = mkstemp(name);
  EXPECT_GE(fd, 0);
  std::FILE* f = fdopen(fd, "w");
  std::fputs(text.c_str(), f);
  std::fclose(f);
  return name;
}

std::string diagram() {
  char text[80];
  orv::formatBoard(text);
  return text;
}

}  // namespace

TEST_F(ConfigurationTest, KeysArePrefixesTestedInOrder) {
  orv::applyConfigurationLine("HASHTABLE=23\n");
  EXPECT_EQ(orv::settings.hashExponent, 23);
  orv::applyConfigurationLine("hashtable = 0\n");  // not above 0: unchanged
  EXPECT_EQ(orv::settings.hashExponent, 23);
  orv::applyConfigurationLine("  \tRESIGNATION=0\n");
  EXPECT_EQ(orv::settings.resign.load(), 0);
  orv::applyConfigurationLine("use_book=0\n");
  EXPECT_EQ(orv::settings.useBook.load(), 0);
  orv::applyConfigurationLine("TB_CACHE_SIZE=8\n");
  EXPECT_EQ(orv::settings.tablebaseCache, 8L << 20);
  orv::applyConfigurationLine("LOGFILE=1\n");
  EXPECT_EQ(orv::settings.logOn, 1);
}

TEST_F(ConfigurationTest, CommentsAndKeysWithoutValueAreIgnored) {
  orv::applyConfigurationLine("   ;HASHTABLE=20\n");
  orv::applyConfigurationLine("HASHTABLE 20\n");
  orv::applyConfigurationLine("UNKNOWN=3\n");
  orv::applyConfigurationLine("NULLEVAL=1.5\n");
  EXPECT_EQ(orv::settings.hashExponent, savedExponent);
}

TEST_F(ConfigurationTest, TablebaseLinesAppendAfterTheList) {
  std::strcpy(orv::settings.tablebasePaths, "/opt/engine");
  orv::applyConfigurationLine("TABLEBASE= \t/tb/five\r\n");
  EXPECT_STREQ(orv::settings.tablebasePaths, "/opt/engine;/tb/five");
  std::string tooLong = "TABLEBASE=" + std::string(290, 'x') + "\n";
  orv::applyConfigurationLine(tooLong.c_str());
  EXPECT_STREQ(orv::settings.tablebasePaths, "/opt/engine;/tb/five");
  orv::settings.tablebasePaths[0] = 0;
  orv::applyConfigurationLine("TABLEBASE=/tb\n");
  EXPECT_STREQ(orv::settings.tablebasePaths, "/tb");
}

TEST_F(ConfigurationTest, HugeNumbersAreClampedNotOverflowed) {
  orv::applyConfigurationLine("HASHTABLE=2147483647");
  EXPECT_EQ(orv::settings.hashExponent, 2147483647);
  orv::applyConfigurationLine("HASHTABLE=99999999999999");
  EXPECT_EQ(orv::settings.hashExponent, 2147483647);
  orv::applyConfigurationLine("TB_CACHE_SIZE=2147483647");
  EXPECT_EQ(orv::settings.tablebaseCache, 2147483647L * 1048576);

  const int savedSoft = orv::game.softLimit, savedHard = orv::game.hardLimit;
  char arg0[] = "orvalis", hash[] = "-h-2147483648", seconds[] = "-t300000000";
  char* argv[] = {arg0, hash, seconds};
  EXPECT_EQ(orv::parseCommandLine(3, argv), -1);
  EXPECT_EQ(orv::settings.hashExponent, -2147483647 - 1);
  EXPECT_GT(orv::game.softLimit, 0);  // cut to what tenths of a second hold, never negative
  EXPECT_EQ(orv::game.hardLimit, orv::game.softLimit);
  orv::game.softLimit = savedSoft;
  orv::game.hardLimit = savedHard;
}

TEST(PositionFile, ColourLinesDecideSideToMove) {
  std::string whiteToMove = writeTempFile("b\nre1\nPa2\nn\nre8\n");
  ASSERT_EQ(orv::readPositionFile(whiteToMove.c_str()), 0);
  EXPECT_EQ(orv::game.side, orv::White);
  EXPECT_EQ(diagram(), "....R...\n........\n........\n........\n........\n........\np.......\n....r...\n");

  std::string blackToMove = writeTempFile("n\nRe8\ncb8\nb\nre1\n");
  ASSERT_EQ(orv::readPositionFile(blackToMove.c_str()), 0);
  EXPECT_EQ(orv::game.side, orv::Black);
  EXPECT_EQ(diagram(), ".C..R...\n........\n........\n........\n........\n........\n........\n....r...\n");
  std::remove(whiteToMove.c_str());
  std::remove(blackToMove.c_str());
}

TEST(PositionFile, MissingFileKingOrBadSquareFails) {
  EXPECT_EQ(orv::readPositionFile("/nonexistent/position"), -1);
  std::string noBlackKing = writeTempFile("b\nre1\n");
  EXPECT_EQ(orv::readPositionFile(noBlackKing.c_str()), -2);
  std::string badSquare = writeTempFile("re1\nn\nre8\ndz9\n");
  EXPECT_EQ(orv::readPositionFile(badSquare.c_str()), -2);
  std::remove(noBlackKing.c_str());
  std::remove(badSquare.c_str());
  orv::newGame();
}

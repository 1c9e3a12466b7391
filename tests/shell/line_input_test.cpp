// Line reading and normalisation: the forms every dispatcher test compares against.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "shell/line_input.h"

namespace {

std::string normalised(const char* text) {
  char buffer[2700];
  std::snprintf(buffer, sizeof buffer, "%s", text);
  orv::normaliseLine(buffer);
  return buffer;
}

}  // namespace

TEST(NormaliseLine, KeepsArgumentCaseOfTheSpecialCommands) {
  EXPECT_EQ(normalised("setboard rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"),
            "SETBOARD rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
  EXPECT_EQ(normalised("SeTbOaRd 8/8/8/8/8/8/8/K6k b - -"), "SETBOARD 8/8/8/8/8/8/8/K6k b - -");
  EXPECT_EQ(normalised("egtpath nalimov /Tb/Dir"), "EGTPATH nalimov /Tb/Dir");
  EXPECT_EQ(normalised("POSITION startpos moves e2e4"), "position startpos moves e2e4");
  EXPECT_EQ(normalised("SETOPTION name Hash value 64"), "setoption name Hash value 64");
  EXPECT_EQ(normalised("partie /Games/Club.pgn"), "PARTIE /Games/Club.pgn");
  EXPECT_EQ(normalised("partiex y"), "PARTIEX Y");
}

TEST(NormaliseLine, UpperCasesEverythingElse) {
  EXPECT_EQ(normalised("PiNg 3"), "PING 3");
  EXPECT_EQ(normalised("e7e8q"), "E7E8Q");
  EXPECT_EQ(normalised("isready"), "ISREADY");
  EXPECT_EQ(normalised("result 1-0 {White mates}"), "RESULT 1-0 {WHITE MATES}");
  // "setboar" is too short for the special rule.
  EXPECT_EQ(normalised("setboar x"), "SETBOAR X");
  EXPECT_EQ(normalised(""), "");
}

TEST(NormaliseLine, LeavesBytesOutsideAsciiAlone) {
  char line[] = {'p', 'i', char(0xE9), char(0xFF), 'n', 'g', 0};
  orv::normaliseLine(line);
  EXPECT_EQ(std::string(line), std::string("PI\xE9\xFFNG"));
}

TEST(StartsWithNoCase, ComparesOnlyTheGivenLength) {
  EXPECT_TRUE(orv::startsWithNoCase("Option USE BOOK=0", "option", 6));
  EXPECT_TRUE(orv::startsWithNoCase("nalimov", "NALIMOV", 7));
  EXPECT_FALSE(orv::startsWithNoCase("nalim", "NALIMOV", 7));
  EXPECT_FALSE(orv::startsWithNoCase("", "GO", 2));
}

TEST(ReadCommandLine, SplitsLongLinesIntoPiecesAndStopsAtEnd) {
  std::string input = std::string(3000, 'a') + "\n\nping 1\n";
  std::FILE* in = fmemopen(input.data(), input.size(), "r");
  ASSERT_NE(in, nullptr);
  char buffer[2700];
  ASSERT_TRUE(orv::readCommandLine(in, buffer, sizeof buffer));
  EXPECT_EQ(std::strlen(buffer), 2699u);
  ASSERT_TRUE(orv::readCommandLine(in, buffer, sizeof buffer));
  EXPECT_EQ(std::strlen(buffer), 301u);   // the rest of the long line, newline removed
  ASSERT_TRUE(orv::readCommandLine(in, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "");
  ASSERT_TRUE(orv::readCommandLine(in, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "ping 1");
  EXPECT_FALSE(orv::readCommandLine(in, buffer, sizeof buffer));
  std::fclose(in);
}

// Line reading and normalisation: the forms every dispatcher test compares against.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

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

TEST(ReadCommandLine, RefusesOverLongLinesWholeAndStopsAtEnd) {
  std::string input = std::string(3000, 'a') + "\n\nping 1\n" + std::string(2699, 'b') + "\nlast";
  std::FILE* in = fmemopen(input.data(), input.size(), "r");
  ASSERT_NE(in, nullptr);
  char buffer[2700];
  bool cut = false;
  ASSERT_TRUE(orv::readCommandLine(in, buffer, sizeof buffer, &cut));
  EXPECT_TRUE(cut);  // the rest of the long line is consumed, not run as a line of its own
  EXPECT_EQ(std::strlen(buffer), 2699u);
  ASSERT_TRUE(orv::readCommandLine(in, buffer, sizeof buffer, &cut));
  EXPECT_FALSE(cut);
  EXPECT_STREQ(buffer, "");
  ASSERT_TRUE(orv::readCommandLine(in, buffer, sizeof buffer, &cut));
  EXPECT_STREQ(buffer, "ping 1");
  ASSERT_TRUE(orv::readCommandLine(in, buffer, sizeof buffer, &cut));
  EXPECT_TRUE(cut);  // exactly the capacity less one is already too long
  ASSERT_TRUE(orv::readCommandLine(in, buffer, sizeof buffer, &cut));
  EXPECT_FALSE(cut);
  EXPECT_STREQ(buffer, "last");  // a last line without its newline
  EXPECT_FALSE(orv::readCommandLine(in, buffer, sizeof buffer));
  std::fclose(in);
}

TEST(ReadCommandLine, DropsOneCarriageReturn) {
  std::string input = "quit\r\nping 2\r\r\n";
  std::FILE* in = fmemopen(input.data(), input.size(), "r");
  ASSERT_NE(in, nullptr);
  char buffer[64];
  ASSERT_TRUE(orv::readCommandLine(in, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "quit");
  ASSERT_TRUE(orv::readCommandLine(in, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "ping 2\r");
  std::fclose(in);
}

TEST(ReadCommandLine, WaitsOnANonBlockingStream) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
  std::FILE* in = ::fdopen(fds[0], "r");
  ASSERT_NE(in, nullptr);
  std::thread writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(::write(fds[1], "pi", 2), 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(::write(fds[1], "ng 3\n", 5), 5);
    ::close(fds[1]);
  });
  char buffer[64];
  ASSERT_TRUE(orv::readCommandLine(in, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "ping 3");
  EXPECT_FALSE(orv::readCommandLine(in, buffer, sizeof buffer));
  writer.join();
  std::fclose(in);
}

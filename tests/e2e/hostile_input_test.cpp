// What interfaces, testers and files may throw at the engine: it answers, and
// it never runs something nobody asked for.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/game.h"
#include "book/book_writer.h"
#include "engine_session.h"
#include "notation/board_text.h"
#include "notation/movetext.h"

namespace orv::e2e {
namespace {

// Splits the diagram text into its eight lines.
std::vector<std::string> diagramLines() {
  char text[80];
  formatBoard(text);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// A game of `plies` legal moves from the start position chosen by a fixed
// pseudo-random walk that avoids every move ending the game.
std::string randomGame(int plies, std::vector<std::string>* diagram) {
  for (uint32_t seed = 1;; ++seed) {
    newGame();
    std::string moves;
    uint32_t state = seed;
    int played = 0;
    while (played < plies) {
      int count = 0;
      while (game.legal[count] != 0) ++count;
      if (count == 0) break;
      state = state * 1664525u + 1013904223u;
      const Move m = game.legal[(state >> 8) % uint32_t(count)] & 0xFFFF;
      char text[16];
      coordinateText(m, text);
      if (makeGameMove(m) != MovePlayed) break;
      moves += " ";
      moves += text;
      ++played;
    }
    if (played == plies) {
      *diagram = diagramLines();
      newGame();
      return moves;
    }
  }
}

TEST(HostileInput, A600PlyPositionCommandSetsUpExactlyThatPosition) {
  std::vector<std::string> expected;
  const std::string moves = randomGame(600, &expected);
  ASSERT_GT(moves.size(), 2700u);  // longer than a line used to be
  EngineSession s;
  s.send("uci");
  s.lineStartingWith("uciok", ReplyMs);
  s.send("position startpos moves" + moves);
  s.send("isready");
  std::vector<std::string> before;
  ASSERT_TRUE(s.process().readUntil([](const std::string& l) { return l == "readyok"; }, ReplyMs, &before));
  for (const auto& l : before) EXPECT_EQ(l.rfind("bestmove", 0), std::string::npos) << l;
  s.send("PRINT");
  s.send("isready");
  std::vector<std::string> printed;
  ASSERT_TRUE(s.process().readUntil([](const std::string& l) { return l == "readyok"; }, ReplyMs, &printed));
  ASSERT_GE(printed.size(), 8u);
  EXPECT_EQ(std::vector<std::string>(printed.end() - 8, printed.end()), expected);
  s.quit();
}

TEST(HostileInput, AnOverLongLineIsOneUnknownCommand) {
  EngineSession s;
  const std::string tail = "e2e4";
  const auto lines = s.exchange({std::string(70000, ' ') + tail});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("Error (unknown command): ", 0), 0u);
  EXPECT_EQ(s.exchange({"PRINT"}), startDiagram());  // the tail was not played
  s.quit();
}

TEST(HostileInput, CarriageReturnsAreDropped) {
  EngineSession s;
  const auto lines = s.exchange({"force\r", "e2e4\r", "PRINT\r"});
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[4], "....p...");
  s.send("quit\r");
  s.process().closeStdin();
  EXPECT_EQ(s.process().waitExit(ReplyMs), 0);
}

// Sends the lines, expects a line starting with `answer`, then quits cleanly.
void answersAndQuits(test::EngineProcess& p, const std::vector<std::string>& lines, const std::string& answer) {
  for (const auto& l : lines) p.writeLine(l);
  EXPECT_TRUE(p.readLineStartingWith(answer, 30000).has_value()) << answer;
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
}

const std::vector<std::string> xboardMove = {"new", "level 40 1 0", "time 500", "go"};

// A book that is not a regular file: the search answers, stop and quit work.
void searchesDespiteBook(const std::string& dir) {
  test::EngineProcess p(ORVALIS_BIN, {}, dir);
  p.writeLine("xboard");
  answersAndQuits(p, xboardMove, "move ");
}

TEST(HostileInput, BooksThatAreNotRegularFilesAreIgnored) {
  test::TempDir dir;
  const std::string book = dir.file("Mini.bo2");
  ASSERT_EQ(symlink("/dev/zero", book.c_str()), 0);
  searchesDespiteBook(dir.path());
  std::remove(book.c_str());
  ASSERT_EQ(mkfifo(book.c_str(), 0600), 0);
  searchesDespiteBook(dir.path());
  std::remove(book.c_str());
}

// Under a memory limit the tables cannot grow to 2000 MB; the engine keeps
// the ones it has and goes on searching.
TEST(HostileInput, RefusedHashGrowthKeepsTheTables) {
  const std::string limited = std::string("ulimit -v 1500000; exec ") + ORVALIS_BIN;
  {
    test::EngineProcess p("/bin/sh", {"-c", limited});
    p.writeLine("xboard");
    p.writeLine("memory 2000");
    answersAndQuits(p, xboardMove, "move ");
  }
  {
    test::EngineProcess p("/bin/sh", {"-c", limited});
    answersAndQuits(p, {"uci", "setoption name Hash value 2000", "position startpos", "go depth 4"}, "bestmove ");
  }
}

TEST(HostileInput, HugeCommandLineNumbersStillStartTheEngine) {
  for (const char* arg : {"-h2147483647", "-h-2147483648", "-t300000000"}) {
    test::EngineProcess p(ORVALIS_BIN, {arg});
    p.writeLine("ping 1");
    EXPECT_EQ(p.readLineStartingWith("pong", ReplyMs).value_or(""), "pong 1") << arg;
    p.writeLine("quit");
    EXPECT_EQ(p.waitExit(ReplyMs), 0) << arg;
  }
}

}  // namespace
}  // namespace orv::e2e

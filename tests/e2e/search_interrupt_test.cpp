// Starting, stopping, interrupting and restarting searches under both
// protocols. `make tsan` runs these (and the other protocol tests) with the
// engine under ThreadSanitizer: a reported race makes the engine exit with a
// non-zero code, which fails the session's last check.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_session.h"

namespace orv::e2e {
namespace {

using Lines = std::vector<std::string>;

constexpr int MoveMs = 30000;

int countStartingWith(const Lines& lines, const std::string& prefix) {
  int n = 0;
  for (const auto& l : lines)
    if (l.rfind(prefix, 0) == 0) ++n;
  return n;
}

// Quits, then checks the exit code and that no sanitizer spoke on standard error.
void finish(EngineSession& e) {
  e.send("quit");
  e.process().closeStdin();
  EXPECT_EQ(e.process().waitExit(ReplyMs), 0);
  EXPECT_EQ(e.process().drainStderr(50).find("ThreadSanitizer"), std::string::npos);
}

// Starts a long xboard search for the side to move.
void thinkLong(EngineSession& e) { e.exchange({"level 40 60 0", "time 360000", "otim 360000", "go"}); }

TEST(SearchInterrupt, UciGoIsreadyStopCycles) {
  EngineSession e;
  e.exchange({"uci"});
  for (int i = 0; i < 4; ++i) {
    e.send(i % 2 ? "position startpos" : "position fen rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1");
    e.send("go infinite");
    e.send("isready");
    Lines before;
    EXPECT_EQ(e.lineStartingWith("readyok", ReplyMs, &before), "readyok");
    EXPECT_EQ(countStartingWith(before, "bestmove"), 0);
    e.send("stop");
    EXPECT_EQ(e.lineStartingWith("bestmove ", ReplyMs).size(), 13u);
  }
  finish(e);
}

TEST(SearchInterrupt, UciRepeatedGoWhileThinkingStartsNoSecondSearch) {
  EngineSession e;
  e.exchange({"uci", "position startpos", "go infinite"});
  e.exchange({"go infinite", "go movetime 50", "go wtime 1000 btime 1000"});
  e.send("stop");
  e.lineStartingWith("bestmove ", ReplyMs);
  // Nothing else was running: no further bestmove follows.
  e.send("isready");
  Lines after;
  e.lineStartingWith("readyok", ReplyMs, &after);
  EXPECT_EQ(countStartingWith(after, "bestmove"), 0);
  finish(e);
}

TEST(SearchInterrupt, UciCommandsThatStopTheSearchFirst) {
  EngineSession e;
  e.exchange({"uci", "position startpos"});
  for (const char* line : {"setoption name Hash value 8", "ucinewgame", "position startpos moves e2e4 e7e5"}) {
    e.send("go infinite");
    e.send(line);
    EXPECT_EQ(e.lineStartingWith("bestmove ", ReplyMs).size(), 13u) << line;
  }
  EXPECT_EQ(e.exchange({"PRINT"})[3], "....P...");
  // A typed move stops the search, plays, and searches the position after it.
  e.send("go infinite");
  e.send("g1f3");
  e.lineStartingWith("bestmove ", ReplyMs);
  e.exchange({"stop"});
  finish(e);
}

TEST(SearchInterrupt, UciQuitRightAfterGo) {
  for (int i = 0; i < 3; ++i) {
    EngineSession e;
    e.exchange({"uci", "position startpos"});
    e.send("go infinite");
    finish(e);
  }
}

TEST(SearchInterrupt, XboardTypedMoveAndPrintWhileThinking) {
  EngineSession e;
  e.exchange({"new", "level 40 60 0", "time 360000", "otim 360000"});
  e.send("e2e4");  // the engine now thinks for Black
  Lines board = e.exchange({"PRINT"});
  ASSERT_EQ(board.size(), 8u);
  EXPECT_EQ(board[4], "....p...");
  // A move typed while the engine thinks: its search ends and plays first,
  // then the typed move is White's, and the engine thinks again.
  e.send("d2d4");
  Lines out;
  e.lineStartingWith("move ", MoveMs, &out);
  board = e.exchange({"PRINT"});
  ASSERT_EQ(board.size(), 8u);
  EXPECT_EQ(board[6], "ppp..ppp");  // both of White's moves stand
  e.send("?");
  e.lineStartingWith("move ", MoveMs, &out);
  EXPECT_EQ(countStartingWith(out, "Illegal"), 0);
  finish(e);
}

TEST(SearchInterrupt, XboardRepeatedGoAndQuestionMarks) {
  EngineSession e;
  e.exchange({"new", "force"});
  thinkLong(e);
  Lines out = e.exchange({"go", "go", "post", "nopost", "post", "."});
  EXPECT_EQ(countStartingWith(out, "stat01:"), 1);
  e.send("?");
  e.lineStartingWith("move ", MoveMs);
  // Only one search ran: a question mark now finds none.
  EXPECT_EQ(countStartingWith(e.exchange({"?", "?"}), "move "), 0);
  finish(e);
}

TEST(SearchInterrupt, XboardCommandsThatStopTheSearchFirst) {
  EngineSession e;
  e.exchange({"new"});
  const char* const stoppers[] = {"new",  "force",      "memory 8", "setboard 7k/8/8/8/8/8/8/K6Q w - - 0 1",
                                  "undo", "result 1-0", "edit"};
  for (const char* line : stoppers) {
    e.exchange({"new"});
    thinkLong(e);
    e.exchange({"time 300000", "otim 300000", "nopost", "."});
    e.send(line);
    if (std::string(line) == "edit") e.send(".");
    e.lineStartingWith("move ", MoveMs);
  }
  EXPECT_EQ(e.exchange({"new", "PRINT"}), startDiagram());
  finish(e);
}

TEST(SearchInterrupt, XboardAnalyzeFollowsTheGameUntilExit) {
  EngineSession e;
  e.exchange({"new", "post", "analyze"});
  Lines out = e.exchange({"e2e4", ".", "e7e5", "undo", "setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "new"});
  out = e.exchange({".", "exit"});
  EXPECT_EQ(countStartingWith(out, "move "), 0);
  e.exchange({"analyze", "g1f3"});
  e.exchange({"exit", "analyze"});
  finish(e);  // quits while analysing
}

// An xboard search that ended on its own has played its move; moves of a UCI
// position command read the side to move that it set.
TEST(SearchInterrupt, UciPositionMovesAfterTheXboardEngineMoved) {
  EngineSession e;
  e.exchange({"new", "level 40 1 0", "time 100", "otim 100"});
  e.send("go");
  e.lineStartingWith("move ", MoveMs);
  e.send("uci");
  e.lineStartingWith("uciok", ReplyMs);
  e.send("position moves e7e5");
  e.send("isready");
  EXPECT_EQ(e.lineStartingWith("readyok", ReplyMs), "readyok");
  EXPECT_EQ(e.exchange({"PRINT"}).at(1), "PPPP.PPP");
  finish(e);
}

TEST(SearchInterrupt, XboardQuitRightAfterGo) {
  for (int i = 0; i < 3; ++i) {
    EngineSession e;
    e.exchange({"new", "level 40 60 0", "time 360000", "otim 360000"});
    e.send("go");
    finish(e);
  }
}

}  // namespace
}  // namespace orv::e2e

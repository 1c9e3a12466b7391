// Playing under xboard: typed moves, take-backs, the engine's replies and game ends.
#include <gtest/gtest.h>
#include <signal.h>

#include <cctype>
#include <string>
#include <vector>

#include "engine_session.h"

namespace orv::e2e {
namespace {

using Lines = std::vector<std::string>;

bool hasMoveLine(const Lines& lines) {
  for (const auto& l : lines)
    if (l.rfind("move ", 0) == 0) return true;
  return false;
}

TEST(XboardGame, TypedMovesReportIllegalMovesAndMates) {
  EngineSession e;
  EXPECT_EQ(e.exchange({"force", "e2e5", "e7e5", "e1e2x", "a7a8q"}),
            (Lines{"Illegal move: E2E5", "Illegal move: E7E5", "Illegal move: E1E2X", "Illegal move: A7A8Q"}));
  // e1e2x: the fifth letter is no promotion letter, so it is the move e1e2, blocked by the pawn.
  // Fool's mate typed in force mode.
  EXPECT_EQ(e.exchange({"f2f3", "e7e5", "g2g4", "d8h4"}), (Lines{"0-1 {Black mates}"}));
  EXPECT_EQ(e.exchange({"go"}), Lines{});  // the game is over: no search
  e.quit();
}

TEST(XboardGame, MatingTypedMoveStartsNoSearch) {
  EngineSession e;
  Lines out = e.exchange({"setboard 6k1/5ppp/8/8/8/8/8/R5K1 w - -", "a1a8"});
  EXPECT_EQ(out, (Lines{"1-0 {White mates}"}));
  EXPECT_FALSE(hasMoveLine(e.exchange({"go"})));
  EXPECT_EQ(e.process().readLine(300), std::nullopt);
  e.quit();
}

TEST(XboardGame, PromotionWithoutPieceIsRefused) {
  EngineSession e;
  EXPECT_EQ(e.exchange({"force", "setboard 7k/P6p/8/8/8/8/8/K7 w - -", "a7a8", "a7a8+"}),
            (Lines{"Illegal move (promote?): A7A8", "Illegal move (promote?): A7A8+"}));
  EXPECT_TRUE(e.exchange({"a7a8n"}).empty());
  e.quit();
}

TEST(XboardGame, RemoveAndUndoTakeBackPlies) {
  EngineSession e;
  EXPECT_EQ(e.exchange({"force", "remove", "undo"}),
            (Lines{"Error (command not legal now): remove", "Error (command not legal now): undo"}));
  // After one ply, remove takes it back and still reports the error.
  EXPECT_EQ(e.exchange({"e2e4", "remove"}), (Lines{"Error (command not legal now): remove"}));
  EXPECT_EQ(e.exchange({"PRINT"}), startDiagram());
  EXPECT_TRUE(e.exchange({"e2e4", "e7e5", "g1f3", "remove"}).empty());
  Lines board = e.exchange({"PRINT"});
  EXPECT_EQ(board[4], "....p...");
  EXPECT_EQ(board[3], "........");
  EXPECT_TRUE(e.exchange({"undo", "PRINT"}).size() == 8u);
  EXPECT_EQ(e.exchange({"new", "PRINT"}), startDiagram());
  e.quit();
}

TEST(XboardGame, GoRepliesWithALegalMove) {
  EngineSession e;
  e.exchange({"new", "level 0 0:10 0", "time 1000", "otim 1000"});
  e.send("go");
  std::string line = e.lineStartingWith("move ", 30000);
  EXPECT_TRUE(isLegalFirstMove(line.substr(5))) << line;
  // The engine played it: the same move typed now is illegal for White.
  EXPECT_EQ(e.exchange({"force", line.substr(5)}), (Lines{"Illegal move: " + [&] {
              std::string up = line.substr(5);
              for (auto& c : up) c = char(std::toupper(c));
              return up;
            }()}));
  e.quit();
}

TEST(XboardGame, TypedMoveOutsideForceModeGetsAReply) {
  EngineSession e;
  e.exchange({"new", "time 500", "otim 500"});
  e.send("e2e4");
  std::string line = e.lineStartingWith("move ", 30000);
  EXPECT_EQ(line.size(), 9u) << line;
  // A go while the game goes on and the search is done starts the next search for Black's opponent.
  e.quit();
}

TEST(XboardGame, QuestionMarkStopsTheSearchWhichStillMoves) {
  EngineSession e;
  e.exchange({"new", "level 40 60 0", "time 360000", "otim 360000", "go"});
  e.send("?");
  EXPECT_NE(e.lineStartingWith("move ", 10000), "");
  e.quit();
}

TEST(XboardGame, AnalyzeAndExitPrintNoMove) {
  EngineSession e;
  e.exchange({"new", "analyze"});
  Lines out = e.exchange({"e2e4", "undo", "new"});
  out = e.exchange({"exit"});
  EXPECT_FALSE(hasMoveLine(out));
  // Leaving analysis does not make the engine move.
  EXPECT_EQ(e.process().readLine(300), std::nullopt);
  e.quit();
}

TEST(XboardGame, EngineMateIsAnnounced) {
  EngineSession e;
  e.exchange({"setboard 6k1/5ppp/8/8/8/8/8/R5K1 w - -", "time 1000", "otim 1000"});
  e.send("go");
  EXPECT_EQ(e.lineStartingWith("move ", 30000), "move a1a8");
  EXPECT_EQ(e.process().readLine(ReplyMs), "1-0 {White mates}");
  e.quit();
}

TEST(XboardGame, QuitDuringASearchEndsCleanly) {
  EngineSession e;
  e.exchange({"new", "level 40 60 0", "time 360000", "otim 360000", "analyze"});
  e.send("quit");
  EXPECT_EQ(e.process().waitExit(ReplyMs), 0);
}

TEST(XboardGame, TerminationSignalStopsTheSearchAndExits) {
  EngineSession e;
  e.exchange({"new", "analyze"});
  e.process().drainStderr(0);
  ASSERT_EQ(::kill(e.process().pid(), SIGTERM), 0);
  EXPECT_EQ(e.process().waitExit(ReplyMs), 0);
  EXPECT_NE(e.process().drainStderr(50).find("\rsigterm received,exiting\n"), std::string::npos);
}

}  // namespace
}  // namespace orv::e2e

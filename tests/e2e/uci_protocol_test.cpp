// UCI through the common command loop, driven through the real binary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_session.h"

namespace orv::e2e {
namespace {

using Lines = std::vector<std::string>;

const Lines identification = {"id name Orvalis 4.8",
                              "id author Marvendel",
                              "option name NalimovPath type string default",
                              "option name NalimovCache type spin default 4 min 1 max 16",
                              "option name Hash type spin default 128 min 30 max 1000",
                              "option name Threads type spin default 1 min 1 max 256",
                              "option name OwnBook type check default true",
                              "option name BookFile type string default",
                              "option name BookBestMove type check default false",
                              "option name Ponder type check default false",
                              "option name MultiPV type spin default 1 min 1 max 256",
                              "option name Move Overhead type spin default 30 min 0 max 5000",
                              "option name Clear Hash type button",
                              "uciok"};

TEST(UciProtocol, IdentificationBlockAndReadyok) {
  EngineSession e;
  EXPECT_EQ(e.exchange({"uci"}), identification);
  EXPECT_EQ(e.exchange({"isready", "ucinewgame", "setoption name Hash value 8", "setoption name NalimovCache value 0",
                        "SETOPTION NAME NalimovPath value /nonexistent", "setoption name Unknown value 1", "debug on",
                        "debug off", "register later", "register name A code 1"}),
            (Lines{"readyok"}));
  e.quit();
}

TEST(UciProtocol, PositionAppliesMovesToStartposAndFen) {
  EngineSession e;
  e.exchange({"uci"});
  EXPECT_EQ(e.exchange({"position startpos moves e2e4 e7e5", "PRINT"}),
            (Lines{"TCFDRFCT", "PPPP.PPP", "........", "....P...", "....p...", "........", "pppp.ppp", "tcfdrfct"}));
  // A promotion token keeps its fifth letter; an unreadable token is skipped.
  EXPECT_EQ(e.exchange({"position fen 7k/P7/8/8/8/8/7q/K7 w - - 0 1 moves a7a8n zz99 h8h7", "PRINT"}),
            (Lines{"c.......", ".......R", "........", "........", "........", "........", ".......D", "r......."}));
  // Without startpos or fen the moves go on from the current position.
  EXPECT_EQ(e.exchange({"position moves a8c7", "PRINT"})[1], "..c....R");
  e.quit();
}

TEST(UciProtocol, GoPrintsALegalBestmove) {
  EngineSession e;
  e.exchange({"uci", "ucinewgame", "position startpos"});
  e.send("go movetime 300");
  std::string line = e.lineStartingWith("bestmove ", 30000);
  EXPECT_TRUE(isLegalFirstMove(line.substr(9))) << line;
  // The engine's move is not played on its own game under UCI.
  EXPECT_EQ(e.exchange({"PRINT"}), startDiagram());
  e.quit();
}

TEST(UciProtocol, IsreadyIsAnsweredDuringASearchAndStopGivesBestmove) {
  EngineSession e;
  e.exchange({"uci", "position startpos"});
  e.send("go infinite");
  e.send("isready");
  Lines before;
  EXPECT_EQ(e.lineStartingWith("readyok", ReplyMs, &before), "readyok");
  for (const auto& l : before) EXPECT_NE(l.rfind("bestmove", 0), 0u) << l;
  e.send("stop");
  std::string line = e.lineStartingWith("bestmove ", ReplyMs);
  EXPECT_TRUE(isLegalFirstMove(line.substr(9))) << line;
  e.quit();
}

TEST(UciProtocol, PositionDuringASearchStopsItFirst) {
  EngineSession e;
  e.exchange({"uci", "position startpos", "go infinite"});
  e.send("position startpos moves e2e4");
  e.lineStartingWith("bestmove ", ReplyMs);
  e.send("go movetime 200");
  std::string reply = e.lineStartingWith("bestmove ", 30000);
  EXPECT_EQ(reply.size(), 13u) << reply;
  e.quit();
}

TEST(UciProtocol, TypedMoveInUciModeStartsASearch) {
  EngineSession e;
  e.exchange({"uci", "position startpos"});
  e.send("go movetime 100");
  e.lineStartingWith("bestmove ", 30000);
  e.send("e2e4");
  std::string reply = e.lineStartingWith("bestmove ", 60000);
  EXPECT_EQ(reply.size(), 13u) << reply;
  e.quit();
}

TEST(UciProtocol, QuitDuringInfiniteSearchEndsCleanly) {
  EngineSession e;
  e.exchange({"uci", "position startpos", "go infinite"});
  e.send("quit");
  EXPECT_EQ(e.process().waitExit(ReplyMs), 0);
}

}  // namespace
}  // namespace orv::e2e

// The xboard side of the command loop, driven through the real binary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_session.h"

namespace orv::e2e {
namespace {

using Lines = std::vector<std::string>;

TEST(XboardProtocol, StartupBannerGoesToStandardError) {
  EngineSession e;
  e.quit();
  std::string err = e.process().drainStderr(200);
  EXPECT_EQ(err.rfind("Orvalis 4.8\n", 0), 0u) << err;
  EXPECT_NE(err.find("Marvendel"), std::string::npos);
  EXPECT_NE(err.find("Hash="), std::string::npos);
  EXPECT_NE(err.find("MB Sst=76\n"), std::string::npos);
  EXPECT_NE(err.find("type quit to exit\n"), std::string::npos);
  EXPECT_EQ(e.process().drainOutput(50), "");
}

TEST(XboardProtocol, Protover2AnnouncesTheFeatureLines) {
  EngineSession e;
  EXPECT_EQ(e.exchange({"xboard", "protover 2"}),
            (Lines{"feature myname=\"Orvalis 4.8\" name=1 ping=1 time=1 analyze=1 setboard=1 memory=1 reuse=0 "
                   "egt=\"nalimov\"",
                   "feature option=\"RESIGN -check 1\"",
                   "feature smp=1 draw=0 exclude=1 nps=0 option=\"BookFile -file \" option=\"BookBestMove -check 0\"",
                   "feature option=\"USE BOOK -check 1\" done=1"}));
  // Options change the announced values; other protocol versions are no command.
  EXPECT_EQ(e.exchange({"option RESIGN=0", "option USE BOOK=0", "protover 2", "protover 3"}),
            (Lines{"feature myname=\"Orvalis 4.8\" name=1 ping=1 time=1 analyze=1 setboard=1 memory=1 reuse=0 "
                   "egt=\"nalimov\"",
                   "feature option=\"RESIGN -check 0\"",
                   "feature smp=1 draw=0 exclude=1 nps=0 option=\"BookFile -file \" option=\"BookBestMove -check 0\"",
                   "feature option=\"USE BOOK -check 0\" done=1", "Error (unknown command): PROTOVER 3"}));
  e.quit();
}

TEST(XboardProtocol, PingIsAnsweredInAnyCase) {
  EngineSession e;
  e.send("PiNg 3");
  EXPECT_EQ(e.process().readLine(ReplyMs), "pong 3");
  e.send("ping 12");
  EXPECT_EQ(e.process().readLine(ReplyMs), "pong 12");
  e.quit();
}

TEST(XboardProtocol, CommandsOutsideTheTableAreUnknown) {
  EngineSession e;
  EXPECT_EQ(e.exchange({"random", "computer", "rejected", "isready", "position startpos", "stop"}),
            (Lines{"Error (unknown command): RANDOM", "Error (unknown command): COMPUTER",
                   "Error (unknown command): REJECTED", "Error (unknown command): ISREADY",
                   "Error (unknown command): position startpos", "Error (unknown command): STOP"}));
  // Silent commands of the table print nothing.
  EXPECT_TRUE(
      e.exchange({"accepted setboard", "name someone", "hard", "easy", "white", "black", "post", "nopost", "reset",
                  "time 12345", "otim 0", "result 1-0 {x}", "memory 16", "level 40 5 0", "level 0 2:30 12"})
          .empty());
  EXPECT_EQ(e.exchange({"level"}), (Lines{"Error (command not legal)"}));
  e.quit();
}

TEST(XboardProtocol, EndOfInputExitsWithZeroAndNoOutput) {
  EngineSession e;
  e.process().closeStdin();
  EXPECT_EQ(e.process().waitExit(ReplyMs), 0);
  EXPECT_EQ(e.process().drainOutput(50), "");
}

TEST(XboardProtocol, LongEmptyAndNonAsciiLinesDoNotDisturbTheLoop) {
  EngineSession e;
  std::string longLine(5000, 'x');
  Lines out = e.exchange({"force", longLine, "", "\xe9\xff\x80", "e2e4\xff"});
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0], "Error (unknown command): " + std::string(5000, 'X'));  // one line, one answer
  EXPECT_EQ(out[1], "Error (unknown command): ");
  EXPECT_EQ(out[2], "Error (unknown command): \xe9\xff\x80");
  // A move followed by a byte outside ASCII is still read as the move (the rest is ignored).
  EXPECT_EQ(e.exchange({"PRINT"})[4], "....p...");
  e.quit();
}

TEST(XboardProtocol, SetboardKeepsTheCaseOfItsFen) {
  EngineSession e;
  EXPECT_EQ(e.exchange({"SeTbOaRd 4k3/8/8/8/8/8/4P3/4K3 w - -", "PRINT"}),
            (Lines{"....R...", "........", "........", "........", "........", "........", "....p...", "....r..."}));
  EXPECT_EQ(e.exchange({"setboard 8/8/8/8/8/8/8/8 w - -"}), (Lines{"tellusererror Illegal position -3"}));
  // The side not to move stands in check.
  EXPECT_EQ(e.exchange({"setboard 4k3/8/8/8/8/8/8/4KR2 w - -", "setboard 4k3/4R3/8/8/8/8/8/4K3 w - -"}),
            (Lines{"tellusererror Illegal position 524288"}));
  // A refused position leaves the previous one on the board.
  EXPECT_EQ(e.exchange({"setboard 8/8/8/8/8/8/8/8 w - -", "PRINT"})[0], "tellusererror Illegal position -3");
  EXPECT_EQ(e.exchange({"PRINT"})[0], "....R...");
  e.quit();
}

TEST(XboardProtocol, EditModePlacesMenWithoutReplying) {
  EngineSession e;
  EXPECT_EQ(e.exchange({"edit", "#", "Ke1", "Ra1", "c", "ke8", "Pd7", "Qz9", "Zd4", "x", ".", "PRINT"}),
            (Lines{"....R...", "...P....", "........", "........", "........", "........", "........", "t...r..."}));
  // White to move, castling long is allowed from the placement.
  EXPECT_TRUE(e.exchange({"force", "e1c1"}).empty());
  EXPECT_EQ(e.exchange({"PRINT"})[7], "..rt....");
  // Removing a man.
  EXPECT_EQ(e.exchange({"edit", "xd7", ".", "PRINT"})[1], "........");
  // A board left without kings is never searched nor played on.
  EXPECT_EQ(e.exchange({"edit", "#", ".", "go", "e2e4"}), (Lines{"Illegal move: E2E4"}));
  e.quit();
}

TEST(XboardProtocol, EndOfInputInsideEditModeExitsWithZero) {
  EngineSession e;
  e.send("edit");
  e.send("Pe4");
  e.process().closeStdin();
  EXPECT_EQ(e.process().waitExit(ReplyMs), 0);
  EXPECT_EQ(e.process().drainOutput(50), "");
}

TEST(XboardProtocol, QuitEndsWithZero) {
  EngineSession e;
  EXPECT_TRUE(e.exchange({"new"}).empty());
  e.quit();
}

}  // namespace
}  // namespace orv::e2e

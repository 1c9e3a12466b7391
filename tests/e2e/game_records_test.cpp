// The game log written with LOGFILE=1, game files loaded by PARTIE and -f.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine_copy.h"
#include "engine_session.h"

namespace orv::e2e {
namespace {

using Lines = std::vector<std::string>;

// The first move of the line in an engine move's log comment
// "N... move ({score move ...})", or "" for a line of another form.
std::string firstLineMove(const std::string& logLine) {
  const size_t open = logLine.find(" ({");
  if (open == std::string::npos || logLine.compare(logLine.size() - 2, 2, "})") != 0) return "";
  std::istringstream words(logLine.substr(open + 3, logLine.size() - open - 5));
  std::string score, move;
  words >> score >> move;
  return move;
}

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// A new xboard game with both clocks at `centiseconds`, 1. e4 typed: the engine's "move" line.
std::optional<std::string> replyToE4(test::EngineProcess& p, int centiseconds) {
  for (const std::string& line : {std::string("new"), "time " + std::to_string(centiseconds),
                                  "otim " + std::to_string(centiseconds), std::string("e2e4")})
    p.writeLine(line);
  return p.readLineStartingWith("move ", 30000);
}

TEST(GameLog, XboardGameWithHeadersMovesResultAndAnalyze) {
  EngineCopy copy("LOGFILE=1\n");
  test::EngineProcess p(copy.binary(), {}, copy.directory());
  const auto reply = replyToE4(p, 300);
  ASSERT_TRUE(reply.has_value());
  p.writeLine("result 1-0 {White wins}");
  p.writeLine("analyze");
  p.writeLine("exit");
  p.writeLine("quit");
  ASSERT_EQ(p.waitExit(ReplyMs), 0);

  const Lines log = copy.logLines();
  ASSERT_EQ(log.size(), 6u) << ::testing::PrintToString(log);
  EXPECT_EQ(log[0], "[Event \"Computer chess game\"]");
  EXPECT_EQ(log[1].substr(0, 7), "[Date \"") << log[1];
  EXPECT_EQ(log[2], "1.   e4 ({})");
  EXPECT_EQ(log[3].substr(0, 5), "1... ");
  EXPECT_EQ(firstLineMove(log[3]), reply->substr(5)) << log[3];  // the comment's line starts with the move played
  EXPECT_EQ(log[4], "1-0 {WHITE WINS}");
  EXPECT_EQ(log[5], "2.   ({})");  // ANALYZE's empty move
}

TEST(GameLog, UciGameLogsTheEngineMovesWithoutHeaders) {
  EngineCopy copy("LOGFILE=1\n");
  test::EngineProcess p(copy.binary(), {}, copy.directory());
  p.writeLine("uci");
  p.writeLine("ucinewgame");
  p.writeLine("position startpos");
  p.writeLine("go movetime 200");
  const auto first = p.readLineStartingWith("bestmove ", 30000);
  ASSERT_TRUE(first.has_value());
  p.writeLine("position startpos moves e2e4 e7e5");
  p.writeLine("go movetime 200");
  const auto second = p.readLineStartingWith("bestmove ", 30000);
  ASSERT_TRUE(second.has_value());
  p.writeLine("quit");
  ASSERT_EQ(p.waitExit(ReplyMs), 0);

  const Lines log = copy.logLines();
  ASSERT_EQ(log.size(), 2u) << ::testing::PrintToString(log);
  EXPECT_EQ(log[0].substr(0, 5), "1.   ");
  EXPECT_EQ(firstLineMove(log[0]), first->substr(9)) << log[0];
  EXPECT_EQ(log[1].substr(0, 5), "2.   ");
  EXPECT_EQ(firstLineMove(log[1]), second->substr(9)) << log[1];
}

TEST(GameLog, LogThatCannotBeOpenedIsOffAndTheEnginePlaysOn) {
  EngineCopy copy("LOGFILE=1\n");
  ASSERT_EQ(::mkdir(copy.logPath().c_str(), 0700), 0);  // a directory where the log would be
  test::EngineProcess p(copy.binary(), {}, copy.directory());
  EXPECT_TRUE(replyToE4(p, 200).has_value());
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
  EXPECT_NE(p.drainStderr(50).find("cannot be opened, the log is off"), std::string::npos);
}

TEST(GameFiles, PartieLoadsTheNameAsWrittenOrUpperCasedThenGo) {
  test::TempDir dir;
  writeFile(dir.file("Opening.pgn"), "[Event \"Club\"]\n1. e2e4 e7e5 2. g1f3 b8c6 *\n");
  writeFile(dir.file("FOOLS.TXT"), "f2f3 e7e5\ng2g4\n");
  test::EngineProcess p(ORVALIS_BIN, {}, dir.path());
  auto exchange = [&p](const Lines& lines, int count) {
    for (const auto& l : lines) p.writeLine(l);
    Lines out;
    for (int i = 0; i < count; ++i) out.push_back(p.readLine(ReplyMs).value_or("<none>"));
    return out;
  };
  EXPECT_EQ(exchange({"force", "partie Opening.pgn", "PRINT"}, 8),
            (Lines{"T.FDRFCT", "PPPP.PPP", "..C.....", "....P...", "....p...", ".....c..", "pppp.ppp", "tcfdrf.t"}));
  EXPECT_EQ(exchange({"partie fools.txt", "PRINT"}, 8)[6], "ppppp..p");
  EXPECT_EQ(exchange({"partie missing.txt", "PRINT"}, 8)[6], "ppppp..p");  // nothing changed
  p.writeLine("time 1000");
  p.writeLine("otim 1000");
  p.writeLine("go");
  EXPECT_EQ(p.readLineStartingWith("move ", 30000), "move d8h4");
  EXPECT_EQ(p.readLine(ReplyMs), "0-1 {Black mates}");
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
}

TEST(GameFiles, OneShotSearchOfAGameFileFindsTheMate) {
  EngineCopy copy;
  const std::string game = copy.file("game.txt");
  writeFile(game, "[Event \"Fool's mate\"]\n1. f2f3 e7e5 2. g2g4\n");
  test::EngineProcess p(copy.binary(), {"-t1", "-f" + game}, copy.directory());
  Lines lines;
  while (auto line = p.readLine(30000)) lines.push_back(*line);
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("d8h4"), std::string::npos) << lines.back();
  EXPECT_NE(lines.back().find(" 100001 "), std::string::npos) << lines.back();  // mate in one
  // No banner in one-shot mode: only the tablebase initialisation speaks.
  const std::string err = p.drainStderr(50);
  EXPECT_EQ(err.find("Orvalis"), std::string::npos) << err;
  EXPECT_NE(err.find("InitTb=0\n"), std::string::npos) << err;
}

TEST(GameFiles, UnreadableGameFileEndsWithCodeOne) {
  test::EngineProcess p(ORVALIS_BIN, {"-f/nonexistent/game.txt"});
  EXPECT_EQ(p.readLine(ReplyMs), "fichier??");
  EXPECT_EQ(p.waitExit(ReplyMs), 1);
}

}  // namespace
}  // namespace orv::e2e

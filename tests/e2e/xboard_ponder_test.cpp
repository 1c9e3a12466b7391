// xboard pondering (hard): after its move the engine searches on the reply it
// expects; that reply continues the search with the clock, another move ends
// it and is played on the game as it stood, and so does any other command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_session.h"

namespace orv::e2e {
namespace {

using Lines = std::vector<std::string>;

constexpr int SearchMs = 60000;

bool isThinkingLine(const std::string& l) {
  return !l.empty() && l[0] >= '1' && l[0] <= '9' && l.find('\t') != std::string::npos;
}

// The engine's next move; the lines before it hold no error.
std::string engineMove(EngineSession& e) {
  Lines before;
  const std::string line = e.lineStartingWith("move ", SearchMs, &before);
  for (const auto& l : before) EXPECT_EQ(l.find("Illegal move"), std::string::npos) << l;
  return line.size() > 5 ? line.substr(5) : "";
}

// The lines without the thinking lines the pondering search may print.
Lines answers(const Lines& lines) {
  Lines out;
  for (const auto& l : lines)
    if (!isThinkingLine(l)) out.push_back(l);
  return out;
}

std::string hint(EngineSession& e) {
  const Lines lines = e.exchange({"hint"});
  for (const auto& l : lines)
    if (l.rfind("Hint: ", 0) == 0) return l.substr(6);
  return "";
}

// Waits for a thinking line printed after the move: the engine ponders.
void expectPondering(EngineSession& e) {
  const auto line = e.process().readUntil(isThinkingLine, SearchMs);
  EXPECT_TRUE(line.has_value()) << "no thinking line while pondering";
}

void startGame(EngineSession& e) {
  e.exchange({"xboard", "protover 2", "new", "option USE BOOK=0", "post", "hard", "level 40 2 0"});
  e.send("e2e4");
  EXPECT_FALSE(engineMove(e).empty());
}

TEST(XboardPonder, AMissedReplyIsPlayedAndAnExpectedOneContinuesTheSearch) {
  EngineSession e;
  startGame(e);
  // White's a- and h-pawn can always step after 1.e4 and any black reply.
  std::string expected = hint(e);
  ASSERT_EQ(expected.size(), 4u) << expected;
  expectPondering(e);
  e.exchange({"time 11900", "otim 11800"});
  e.send(expected == "a2a3" ? "h2h3" : "a2a3");
  EXPECT_FALSE(engineMove(e).empty());

  for (int i = 0; i < 3; ++i) {
    expected = hint(e);
    ASSERT_FALSE(expected.empty()) << "move " << i;
    expectPondering(e);
    e.exchange({"time 11000", "otim 11000"});
    e.send(expected);
    EXPECT_FALSE(engineMove(e).empty()) << "after the expected " << expected;
  }
  e.quit();
}

TEST(XboardPonder, CommandsWhilePonderingFindTheGameAsItWas) {
  EngineSession e;
  startGame(e);
  expectPondering(e);
  // Two moves back is the start position, whatever the engine pondered on.
  EXPECT_EQ(answers(e.exchange({"force", "undo", "undo"})), Lines{});
  e.send("go");
  EXPECT_TRUE(isLegalFirstMove(engineMove(e)));

  // easy ends the pondering; the game goes on from the engine's move.
  expectPondering(e);
  EXPECT_EQ(answers(e.exchange({"easy"})), Lines{});
  e.exchange({"new", "hard"});
  e.send("e2e4");
  EXPECT_FALSE(engineMove(e).empty());
  expectPondering(e);
  e.quit();
}

// force or ? while the engine thinks on its own move: the search plays its
// move and would start to ponder; the command must not wait for that for ever.
TEST(XboardPonder, ForceOrMoveNowWhileThinkingDoesNotHang) {
  EngineSession e;
  e.exchange({"xboard", "protover 2", "new", "option USE BOOK=0", "hard", "level 40 5 0"});
  for (const char* command : {"?", "force"}) {
    e.send("e2e4");
    e.send(command);
    e.sync();  // the pong comes within the barrier's deadline
    e.exchange({"new"});
  }
  e.quit();
}

}  // namespace
}  // namespace orv::e2e

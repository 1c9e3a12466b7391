// xboard commands beyond the game and clock: st, sd, hint, bk, draw and
// exclude/include in analysis, driven through the real binary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_session.h"

namespace orv::e2e {
namespace {

using Lines = std::vector<std::string>;

constexpr int SearchMs = 60000;

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// The thinking lines ("depth score time nodes<TAB>pv") among the lines.
Lines thinkingLines(const Lines& lines) {
  Lines out;
  for (const auto& l : lines)
    if (!l.empty() && l[0] >= '1' && l[0] <= '9' && l.find('\t') != std::string::npos) out.push_back(l);
  return out;
}

std::string firstPvMove(const std::string& line) {
  const std::string pv = line.substr(line.find('\t') + 1);
  return pv.substr(0, pv.find_first_of(" !?"));
}

void startXboard(EngineSession& e) { e.exchange({"xboard", "protover 2", "new", "option USE BOOK=0", "post"}); }

TEST(XboardExtras, SdLimitsTheDepthAndStTheTimePerMove) {
  EngineSession e;
  startXboard(e);
  EXPECT_EQ(e.exchange({"sd 3", "st 30"}), Lines{});
  e.send("go");
  Lines before;
  const std::string move = e.lineStartingWith("move ", SearchMs, &before);
  EXPECT_TRUE(isLegalFirstMove(move.substr(5))) << move;
  const Lines lines = thinkingLines(before);
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(startsWith(lines.back(), "3 ")) << lines.back();
  EXPECT_EQ(
      e.exchange({"sd 0", "sd -2", "sd x", "st -1", "st 0", "st", "sd"}),
      (Lines{"Error (bad value): SD 0", "Error (bad value): SD -2", "Error (bad value): SD X",
             "Error (bad value): ST -1", "Error (bad value): ST 0", "Error (bad value): ST", "Error (bad value): SD"}));
  // st alone ends the move without a clock.
  e.exchange({"sd 60", "st 1", "force", "new"});
  e.send("go");
  EXPECT_FALSE(e.lineStartingWith("move ", SearchMs).empty());
  e.quit();
}

TEST(XboardExtras, HintNamesTheExpectedReplyAndDrawIsIgnored) {
  EngineSession e;
  startXboard(e);
  EXPECT_EQ(e.exchange({"hint", "draw", "bk"}), Lines{});
  // go after the barrier: a depth-5 search may print its move before the pong.
  e.exchange({"sd 5"});
  e.send("go");
  e.lineStartingWith("move ", SearchMs);
  const Lines hint = e.exchange({"hint", "draw"});
  ASSERT_EQ(hint.size(), 1u);
  EXPECT_TRUE(startsWith(hint[0], "Hint: ")) << hint[0];
  EXPECT_EQ(hint[0].size(), 10u) << hint[0];
  e.quit();
}

TEST(XboardExtras, ExcludeAndIncludeNarrowTheAnalysis) {
  EngineSession e;
  startXboard(e);
  e.exchange({"analyze", "exclude all", "include d2d4", "include e2e4", "include g1f3"});
  e.send("exclude g1f3");
  // Once the analysis has restarted (after the pong), every line starts with d2d4 or e2e4.
  e.sync();
  Lines before;
  e.lineStartingWith("6 ", SearchMs, &before);
  for (const auto& l : thinkingLines(before)) EXPECT_TRUE(firstPvMove(l) == "d2d4" || firstPvMove(l) == "e2e4") << l;
  // The analysis goes on printing meanwhile: only the other lines count.
  Lines answers;
  for (const auto& l : e.exchange({"exclude e2e5", "include zz"}))
    if (thinkingLines({l}).empty()) answers.push_back(l);
  EXPECT_EQ(answers, (Lines{"Error (illegal move): EXCLUDE E2E5", "Error (illegal move): INCLUDE ZZ"}));
  // A new position forgets the exclusions.
  e.exchange({"exit", "new", "sd 4"});
  e.send("analyze");
  before.clear();
  e.lineStartingWith("4 ", SearchMs, &before);
  e.exchange({"exit"});
  e.quit();
}

}  // namespace
}  // namespace orv::e2e

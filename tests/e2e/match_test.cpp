// The match driver's own checks, against a random-move engine that can be told to misbehave.
#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "support/engine_process.h"

namespace orv {
namespace {

struct DriverRun {
  int exitCode = -1;
  std::string output;
};

DriverRun runDriver(const std::vector<std::string>& args, int timeoutMs) {
  test::EngineProcess driver(ORVALIS_MATCH, args);
  DriverRun run;
  long long deadline = test::steadyNowMs() + timeoutMs;
  while (auto line = driver.readLine(int(std::max(0LL, deadline - test::steadyNowMs())))) run.output += *line + "\n";
  run.exitCode = driver.waitExit(int(std::max(0LL, deadline - test::steadyNowMs())));
  return run;
}

std::string randomPlayer(const std::string& extra = "") {
  return std::string(ORVALIS_RANDOM_PLAYER) + (extra.empty() ? "" : " " + extra);
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(MatchDriver, RandomPlayersFinishCleanGames) {
  for (const char* protocol : {"xboard", "uci"}) {
    SCOPED_TRACE(protocol);
    DriverRun run = runDriver({randomPlayer("--seed 3"), "4", protocol, "40/10", "--engine2", randomPlayer("--seed 4"),
                               "--max-plies", "1000"},
                              60000);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(contains(run.output, "games 4:")) << run.output;
    EXPECT_TRUE(contains(run.output, "faults 0:")) << run.output;
    // Random games end by the rules (mate, stalemate, material, fifty moves), not by the cap.
    EXPECT_FALSE(contains(run.output, "move cap")) << run.output;
  }
}

TEST(MatchDriver, ReportsEveryKindOfFault) {
  struct Case {
    const char* fault;
    const char* count;
    const char* reason;
  };
  const Case cases[] = {
      {"illegal", "illegal moves 1,", "Black plays an illegal move"},
      {"crash", "crashes 1,", "Black crashed"},
      {"hang", "hangs 1,", "Black hangs"},
      {"slow", "time forfeits 1,", "Black forfeits on time"},
      {"complain", "complaints 1,", "Black complains"},
  };
  for (const char* protocol : {"xboard", "uci"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(protocol) + " " + c.fault);
      // Engine 2 has Black in game 1 and misbehaves at ply 5; in game 2 (White) it never
      // reaches an odd ply on move, so the second game shows that play goes on.
      DriverRun run = runDriver(
          {randomPlayer(), "2", protocol, "1", "--engine2", randomPlayer(std::string("--fault ") + c.fault + " --at 5"),
           "--max-plies", "30", "--hang-margin", "1000"},
          30000);
      EXPECT_EQ(run.exitCode, 1) << run.output;
      EXPECT_TRUE(contains(run.output, c.count)) << run.output;
      EXPECT_TRUE(contains(run.output, std::string("1-0 {") + c.reason + "}")) << run.output;
      EXPECT_TRUE(contains(run.output, "FAULT game 1: engine 2 (Black)")) << run.output;
      EXPECT_TRUE(contains(run.output, "game 2: engine 2 (White) - engine 1 (Black): 1/2-1/2 {move cap} 30 plies"))
          << run.output;
    }
  }
}

TEST(MatchDriver, ResignationEndsTheGame) {
  DriverRun run =
      runDriver({randomPlayer(), "1", "xboard", "5", "--engine2", randomPlayer("--fault resign --at 5")}, 30000);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(contains(run.output, "1-0 {Black resigns}")) << run.output;
}

TEST(MatchDriver, ChecksEngineExitsAndGamePreparation) {
  DriverRun run = runDriver(
      {randomPlayer(), "2", "xboard", "5", "--engine2", randomPlayer("--fault dieonresult"), "--max-plies", "10"},
      30000);
  EXPECT_EQ(run.exitCode, 1) << run.output;
  // The engine dies as it reads "result": the driver sees that either before the next
  // game (and restarts it) or while preparing that game (which is then lost); both are
  // reported as the same crash.
  EXPECT_TRUE(contains(run.output, "FAULT game 2: engine 2 (White): exited with code 4 between games") ||
              contains(run.output, "FAULT game 2: engine 2 (White): new game: exited with code 4"))
      << run.output;

  run = runDriver({randomPlayer(), "1", "uci", "5", "--engine2", randomPlayer("--fault badquit"), "--max-plies", "10"},
                  30000);
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_TRUE(contains(run.output, "FAULT at the end: engine 2 exited with code 5")) << run.output;
  EXPECT_TRUE(contains(run.output, "crashes 1,")) << run.output;

  run = runDriver({randomPlayer(), "1", "xboard", "5", "--engine2", randomPlayer("--fault nolevel")}, 30000);
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_TRUE(contains(run.output, "engine 2 (Black): new game: complains: Error (command not legal)")) << run.output;
  EXPECT_TRUE(contains(run.output, "1-0 {Black complains} 0 plies")) << run.output;
}

TEST(MatchDriver, RejectsBadCommandLines) {
  EXPECT_EQ(runDriver({randomPlayer(), "2", "xboard"}, 10000).exitCode, 2);
  EXPECT_EQ(runDriver({randomPlayer(), "2", "winboard", "10"}, 10000).exitCode, 2);
  EXPECT_EQ(runDriver({randomPlayer(), "2", "xboard", "10.5+1"}, 10000).exitCode, 2);  // whole base seconds only
  EXPECT_EQ(runDriver({randomPlayer(), "0", "uci", "10"}, 10000).exitCode, 2);
  EXPECT_EQ(runDriver({randomPlayer(), "2", "uci", "40/"}, 10000).exitCode, 2);
  EXPECT_EQ(runDriver({randomPlayer(), "2", "xboard", "10", "--ponder", "0"}, 10000).exitCode, 2);
  EXPECT_EQ(runDriver({randomPlayer(), "2", "uci", "10", "--ponder", "3"}, 10000).exitCode, 2);
}

}  // namespace
}  // namespace orv

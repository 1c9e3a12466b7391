// Whole games of the engine against itself through the match driver, under both protocols:
// every move legal, on time, no crash and no hang.
#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "support/engine_process.h"

namespace orv {
namespace {

std::string runDriver(const std::vector<std::string>& args, int timeoutMs, int& exitCode) {
  test::EngineProcess driver(ORVALIS_MATCH, args);
  std::string output;
  long long deadline = test::steadyNowMs() + timeoutMs;
  while (auto line = driver.readLine(int(std::max(0LL, deadline - test::steadyNowMs())))) output += *line + "\n";
  exitCode = driver.waitExit(int(std::max(0LL, deadline - test::steadyNowMs())));
  return output;
}

// Two short games with these match arguments: both end, with no fault of any kind.
void expectTwoCleanGames(const std::string& protocol, const std::string& clock, const std::vector<std::string>& extra) {
  std::vector<std::string> args = {ORVALIS_BIN, "2", protocol, clock, "--max-plies", "30"};
  args.insert(args.end(), extra.begin(), extra.end());
  int exitCode = -1;
  const std::string output = runDriver(args, 120000, exitCode);
  EXPECT_EQ(exitCode, 0) << output;
  EXPECT_TRUE(output.find("games 2:") != std::string::npos) << output;
  EXPECT_TRUE(output.find("faults 0:") != std::string::npos) << output;
}

TEST(EngineMatch, PlaysCleanGamesUnderXboard) { expectTwoCleanGames("xboard", "40/10", {}); }

TEST(EngineMatch, PlaysCleanGamesUnderUci) { expectTwoCleanGames("uci", "40/10+0.1", {}); }

// Both engines ponder: every expected reply is answered with ponderhit or stop,
// and no bestmove comes before it.
TEST(EngineMatch, PlaysCleanGamesUnderUciWithPondering) { expectTwoCleanGames("uci", "40/10+0.1", {"--ponder", "12"}); }

// Both engines ponder under xboard (hard): their moves come in turn and on time.
TEST(EngineMatch, PlaysCleanGamesUnderXboardWithPondering) {
  expectTwoCleanGames("xboard", "40/10+0.1", {"--ponder", "12"});
}

}  // namespace
}  // namespace orv

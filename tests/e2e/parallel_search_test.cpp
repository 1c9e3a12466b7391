// Several search threads through the real binary: the Threads option, the
// cores command and the THREADS key, searches that stop when told, a go that
// follows a move at once, and a tablebase position searched by every thread.
// `make tsan` runs these with the engine under ThreadSanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine_copy.h"
#include "engine_session.h"
#include "support/table_files.h"

namespace orv::e2e {
namespace {

using Lines = std::vector<std::string>;

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// Quits, then checks that the process ended at once with code 0 and that no sanitizer spoke.
void quitAtOnce(EngineSession& e) {
  e.send("quit");
  e.process().closeStdin();
  EXPECT_EQ(e.process().waitExit(ReplyMs), 0);
  EXPECT_EQ(e.process().drainStderr(50).find("ThreadSanitizer"), std::string::npos);
}

std::string bestMove(EngineSession& e) {
  const std::string line = e.lineStartingWith("bestmove ", 60000);
  return line.size() > 9 ? line.substr(9, line.find(' ', 9) - 9) : "";
}

TEST(ParallelSearch, ThreadsIsAnnouncedAfterHashAndAccepted) {
  EngineSession e;
  const Lines id = e.exchange({"uci"});
  const auto hash = std::find(id.begin(), id.end(), "option name Hash type spin default 128 min 30 max 1000");
  ASSERT_NE(hash, id.end());
  const auto threads = std::find(id.begin(), id.end(), "option name Threads type spin default 1 min 1 max 256");
  ASSERT_NE(threads, id.end());
  EXPECT_LT(hash, threads);
  EXPECT_LT(threads, std::find(id.begin(), id.end(), "uciok"));

  // Changed between searches, each search answers with a legal move.
  for (const char* n : {"4", "2", "3", "1"}) {
    e.exchange({std::string("setoption name Threads value ") + n, "position startpos"});
    e.send("go movetime 300");
    EXPECT_TRUE(isLegalFirstMove(bestMove(e))) << n << " threads";
  }
  quitAtOnce(e);
}

TEST(ParallelSearch, BadThreadCountsAreClampedOrRefusedOnStandardError) {
  EngineSession e;
  e.exchange({"uci"});
  for (const char* bad : {"0", "-3", "lots", "", "1000"}) {
    e.exchange({std::string("setoption name Threads value ") + bad});
    const std::string err = e.process().drainStderr(200);
    EXPECT_NE(err.find("Threads"), std::string::npos) << "value " << bad << ": " << err;
  }
  // The last of them asked for 256 threads: a sane count is set before searching.
  e.exchange({"setoption name Threads value 2", "position startpos"});
  e.send("go movetime 200");
  EXPECT_TRUE(isLegalFirstMove(bestMove(e)));
  quitAtOnce(e);
}

TEST(ParallelSearch, FourThreadsStopAtStopAndAtQuit) {
  EngineSession e;
  // go is sent after the barrier: a fast search would print its depth-6 line
  // before the pong, among the lines the barrier returns.
  e.exchange({"uci", "setoption name Threads value 4", "position startpos"});
  e.send("go infinite");
  e.lineStartingWith("info depth 6", 60000);
  e.send("stop");
  EXPECT_TRUE(isLegalFirstMove(bestMove(e)));
  // A second search is ended by quit: the process exits at once with every thread gone.
  e.exchange({"position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"});
  e.send("go infinite");
  e.lineStartingWith("info depth 4", 60000);
  quitAtOnce(e);
}

TEST(ParallelSearch, XboardCoresAnnouncedAndAccepted) {
  EngineSession e;
  const Lines features = e.exchange({"xboard", "protover 2"});
  const auto smp = std::find_if(features.begin(), features.end(),
                                [](const std::string& l) { return startsWith(l, "feature smp=1 "); });
  ASSERT_NE(smp, features.end());
  EXPECT_TRUE(startsWith(features.back(), "feature ") && features.back().find("done=1") != std::string::npos);
  EXPECT_EQ(smp + 1, features.end() - 1) << "the extra line comes right before the one ending with done=1";
  EXPECT_EQ(e.exchange({"cores 2", "new", "level 0 1 0", "time 300", "otim 300"}), Lines{});
  e.send("go");
  const std::string move = e.lineStartingWith("move ", 60000);
  EXPECT_TRUE(isLegalFirstMove(move.substr(5)));
  e.exchange({"cores 0", "cores x"});
  EXPECT_NE(e.process().drainStderr(200).find("cores"), std::string::npos);
  quitAtOnce(e);
}

// A go sent the moment the move is printed is for the new position: it is
// never lost while the search thread that printed the move is still ending.
TEST(ParallelSearch, GoRightAfterTheMoveIsNeverLost) {
  for (const char* threads : {"1", "2"}) {
    SCOPED_TRACE(std::string(threads) + " threads");
    EngineSession e;
    e.exchange({"xboard", "protover 2", std::string("cores ") + threads, "level 0 1 0"});
    for (int i = 0; i < 30; ++i) {
      e.send("new");
      e.exchange({"force", "e2e4", "e7e5", "time 100", "otim 100"});
      e.send("go");
      ASSERT_FALSE(e.lineStartingWith("move ", 60000).empty()) << "try " << i;
      e.send("go");
      ASSERT_FALSE(e.lineStartingWith("move ", 60000).empty()) << "the second go was lost, try " << i;
    }
    quitAtOnce(e);
  }
}

TEST(ParallelSearch, UciGoRightAfterBestmoveIsNeverLost) {
  EngineSession e;
  e.exchange({"uci", "setoption name Threads value 2", "position startpos moves e2e4 e7e5"});
  for (int i = 0; i < 30; ++i) {
    e.send("go movetime 20");
    ASSERT_FALSE(e.lineStartingWith("bestmove ", 60000).empty()) << "a go was lost, try " << i;
  }
  quitAtOnce(e);
}

// The synthetic kqk tables call every position a draw: four threads probing
// them at once still give the tables' result.
TEST(ParallelSearch, FourThreadsProbeTheTablebases) {
  test::TempDir drawn;
  for (int side = 0; side < 2; ++side)
    ASSERT_TRUE(test::writeSparse(drawn.file(test::tableFileName(5, side)), tb::tableInfo[5].count[side]));
  test::EngineProcess p(ORVALIS_BIN, {"-d" + drawn.path()});
  p.writeLine("uci");
  p.writeLine("setoption name Threads value 4");
  p.writeLine("position fen 7k/8/8/8/8/8/8/K5Q1 w - -");
  p.writeLine("go movetime 500");
  Lines before;
  ASSERT_TRUE(p.readLineStartingWith("bestmove ", 30000, &before).has_value());
  std::string score;
  for (const auto& l : before)
    if (startsWith(l, "info depth") && l.find(" score ") != std::string::npos)
      score = l.substr(l.find(" score ") + 7, l.find(" nodes ") - l.find(" score ") - 7);
  EXPECT_EQ(score, "cp 0");
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
  EXPECT_EQ(p.drainStderr(50).find("ThreadSanitizer"), std::string::npos);
}

// King and queen against king: nothing is reduced without pawns, so a fixed
// depth is costly for a worker whose table is full of a helper's mate bounds.
// A helper that proves the mate ends the search with its line; each search
// must end well within the deadline (before, about one in twenty took 35 s
// to two minutes).
TEST(PawnlessParallel, FixedDepthSearchesOfAMateEnd) {
  EngineSession e;
  e.exchange({"uci", "setoption name Threads value 2"});
  for (int i = 0; i < 25; ++i) {
    e.exchange({"ucinewgame", "position fen 8/8/8/4k3/8/8/8/2QK4 w - - 0 1"});
    e.send("go depth 11");
    Lines lines;
    ASSERT_TRUE(e.process().readLineStartingWith("bestmove ", 30000, &lines).has_value()) << "try " << i;
    std::string last;
    for (const auto& l : lines)
      if (startsWith(l, "info depth") && l.find(" pv ") != std::string::npos) last = l;
    EXPECT_NE(last.find(" score "), std::string::npos) << "try " << i;
    EXPECT_EQ(last.find("bound"), std::string::npos) << "try " << i << ": " << last;
  }
  quitAtOnce(e);
}

// THREADS in the configuration file beside the executable sets the count.
TEST(ParallelSearch, ConfigurationKeyThreads) {
  EngineCopy copy("THREADS=3\nTHREADS=many\n");
  test::EngineProcess p(copy.binary());
  const std::string err = p.drainStderr(500);
  EXPECT_NE(err.find("THREADS: \"many\" is not a number of threads; keeping 3"), std::string::npos) << err;
  p.writeLine("uci");
  p.writeLine("position startpos");
  p.writeLine("go movetime 200");
  EXPECT_TRUE(p.readLineStartingWith("bestmove ", 30000).has_value());
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
}

}  // namespace
}  // namespace orv::e2e

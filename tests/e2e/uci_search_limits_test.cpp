// The go command's limits, held answers, pondering, MultiPV and the options
// that come with them, driven through the real binary under UCI.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "engine_session.h"

namespace orv::e2e {
namespace {

using Lines = std::vector<std::string>;

constexpr int SearchMs = 60000;

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// The search lines (info lines with a pv) among the lines.
Lines pvLines(const Lines& lines) {
  Lines out;
  for (const auto& l : lines)
    if (startsWith(l, "info depth ") && l.find(" pv ") != std::string::npos) out.push_back(l);
  return out;
}

std::string field(const std::string& line, const std::string& name) {
  const size_t at = line.find(" " + name + " ");
  if (at == std::string::npos) return "";
  const size_t from = at + name.size() + 2;
  return line.substr(from, line.find(' ', from) - from);
}

std::string firstPvMove(const std::string& line) { return field(line, "pv"); }

// Sends go and returns the lines before bestmove, and the bestmove line.
Lines searchUntilBestmove(EngineSession& e, const std::string& go, std::string& bestmove) {
  e.send(go);
  Lines before;
  bestmove = e.lineStartingWith("bestmove ", SearchMs, &before);
  return before;
}

void startUci(EngineSession& e) { e.exchange({"uci", "setoption name Hash value 8", "ucinewgame"}); }

TEST(UciSearchLimits, DepthEndsWithThatDepthsLine) {
  EngineSession e;
  startUci(e);
  e.send("position startpos");
  std::string best;
  const Lines lines = pvLines(searchUntilBestmove(e, "go depth 5", best));
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(startsWith(lines.back(), "info depth 5 ")) << lines.back();
  EXPECT_TRUE(isLegalFirstMove(best.substr(9))) << best;
  // Out-of-range depths are clamped: the search still ends by itself.
  for (const char* go : {"go depth -3", "go depth 0", "go depth 99999999999999999999 nodes 3000"}) {
    searchUntilBestmove(e, go, best);
    EXPECT_TRUE(isLegalFirstMove(best.substr(9))) << go << ": " << best;
  }
  e.quit();
}

TEST(UciSearchLimits, NodesEndNearTheCount) {
  EngineSession e;
  startUci(e);
  e.send("position startpos");
  std::string best;
  for (const char* go :
       {"go nodes 1", "go nodes 30000", "go nodes 99999999999999999999 depth 3", "go nodes -5 depth 3"}) {
    const Lines lines = pvLines(searchUntilBestmove(e, go, best));
    EXPECT_TRUE(isLegalFirstMove(best.substr(9))) << go << ": " << best;
    // Every finished iteration stays below the limit plus one clock-reading interval.
    if (std::string(go) != "go nodes 30000") continue;
    for (const auto& l : lines) EXPECT_LT(std::stoull(field(l, "nodes")), 30000u + 4096u) << l;
  }
  e.quit();
}

TEST(UciSearchLimits, MateStopsOnceTheMateIsProved) {
  EngineSession e;
  startUci(e);
  e.send("position fen 7k/8/8/8/8/8/R7/1R4K1 w - - 0 1");
  std::string best;
  const Lines lines = pvLines(searchUntilBestmove(e, "go mate 2", best));
  EXPECT_EQ(best, "bestmove a2a7");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(field(lines.back(), "score"), "mate");
  EXPECT_NE(lines.back().find(" score mate 2 "), std::string::npos) << lines.back();
  e.quit();
}

TEST(UciSearchLimits, SearchmovesRestrictsTheRoot) {
  EngineSession e;
  startUci(e);
  e.send("position startpos");
  std::string best;
  const Lines lines = pvLines(searchUntilBestmove(e, "go searchmoves a2a3 zz99 e2e5 h2h4 depth 4", best));
  const std::set<std::string> allowed = {"a2a3", "h2h4"};
  EXPECT_EQ(allowed.count(best.substr(9)), 1u) << best;
  for (const auto& l : lines) EXPECT_EQ(allowed.count(firstPvMove(l)), 1u) << l;
  // No legal move left among them: every move is searched.
  searchUntilBestmove(e, "go depth 3 searchmoves zz99 e7e5", best);
  EXPECT_TRUE(isLegalFirstMove(best.substr(9))) << best;
  e.quit();
}

TEST(UciSearchLimits, InfiniteHoldsTheBestmoveUntilStopEvenOnAForcedMate) {
  EngineSession e;
  startUci(e);
  e.send("position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1");
  e.send("go infinite");
  // The mate in one lets the search reach its deepest iteration at once.
  Lines before;
  e.lineStartingWith("info depth 63 ", SearchMs, &before);
  e.send("isready");
  e.lineStartingWith("readyok", ReplyMs, &before);
  for (const auto& l : before) EXPECT_FALSE(startsWith(l, "bestmove")) << l;
  e.send("stop");
  EXPECT_EQ(e.lineStartingWith("bestmove ", ReplyMs), "bestmove d1d8");
  e.quit();
}

TEST(UciSearchLimits, FinishedPositionAnswersNullMove) {
  EngineSession e;
  startUci(e);
  for (const char* fen : {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1"}) {
    e.send(std::string("position fen ") + fen);
    for (const char* go : {"go movetime 200", "go depth 3"})
      EXPECT_EQ(e.exchange({go}), Lines{"bestmove 0000"}) << fen << " " << go;
    // go infinite and go ponder hold even that answer until stop or ponderhit.
    EXPECT_EQ(e.exchange({"go infinite"}), Lines{}) << fen;
    EXPECT_EQ(e.exchange({"stop"}), Lines{"bestmove 0000"}) << fen;
    EXPECT_EQ(e.exchange({"go ponder wtime 1000 btime 1000"}), Lines{}) << fen;
    e.send("ponderhit");
    EXPECT_EQ(e.lineStartingWith("bestmove ", ReplyMs), "bestmove 0000") << fen;
  }
  e.quit();
}

TEST(UciSearchLimits, UciLinesNameTheBoundAndWriteLowerCasePromotions) {
  EngineSession e;
  startUci(e);
  e.send("position startpos");
  std::string best;
  const Lines lines = pvLines(searchUntilBestmove(e, "go depth 9", best));
  const std::regex info(
      R"(info depth \d+ seldepth \d+ multipv 1 score (cp|mate) -?\d+( lowerbound| upperbound)? nodes \d+ nps \d+ )"
      R"(time \d+ hashfull \d+ tbhits \d+ pv ([a-h][1-8][a-h][1-8][qrbn]? )+)");
  for (const auto& l : lines) EXPECT_TRUE(std::regex_match(l, info)) << l;
  e.send("position fen 8/4P3/8/8/8/8/k7/7K w - - 0 1");
  searchUntilBestmove(e, "go depth 3 searchmoves e7e8q", best);
  EXPECT_EQ(best, "bestmove e7e8q");
  e.quit();
}

TEST(UciSearchLimits, MultiPvGivesDistinctFirstMovesPerDepth) {
  EngineSession e;
  startUci(e);
  e.exchange({"setoption name MultiPV value 3", "position startpos"});
  std::string best;
  const Lines lines = pvLines(searchUntilBestmove(e, "go depth 5", best));
  for (int depth = 2; depth <= 5; ++depth) {
    std::set<std::string> firsts;
    std::set<std::string> ranks;
    for (const auto& l : lines)
      if (field(l, "depth") == std::to_string(depth) && l.find("bound") == std::string::npos) {
        firsts.insert(firstPvMove(l));
        ranks.insert(field(l, "multipv"));
      }
    EXPECT_EQ(firsts.size(), 3u) << "depth " << depth;
    EXPECT_EQ(ranks, (std::set<std::string>{"1", "2", "3"})) << "depth " << depth;
  }
  // Out of range is clamped; 1 gives single lines again.
  e.exchange({"setoption name MultiPV value 0"});
  for (const auto& l : pvLines(searchUntilBestmove(e, "go depth 4", best))) EXPECT_EQ(field(l, "multipv"), "1") << l;
  e.exchange({"setoption name MultiPV value 1000"});
  searchUntilBestmove(e, "go depth 2", best);
  EXPECT_TRUE(isLegalFirstMove(best.substr(9))) << best;
  e.quit();
}

TEST(UciSearchLimits, NewOptionsTakeBadValuesQuietly) {
  EngineSession e;
  startUci(e);
  EXPECT_EQ(e.exchange({"setoption name Move Overhead value -5", "setoption name Move Overhead value 999999",
                        "setoption name Move Overhead value x", "setoption name Clear Hash",
                        "setoption name Ponder value maybe", "setoption name MultiPV value abc", "isready"}),
            Lines{"readyok"});
  e.send("position startpos");
  std::string best;
  searchUntilBestmove(e, "go wtime 3000 btime 3000", best);
  EXPECT_TRUE(isLegalFirstMove(best.substr(9))) << best;
  e.quit();
}

TEST(UciPonder, PonderhitTurnsThePonderingIntoTheTimedSearch) {
  EngineSession e;
  startUci(e);
  e.exchange({"setoption name Ponder value true", "position startpos"});
  std::string best;
  searchUntilBestmove(e, "go depth 6", best);
  const std::regex withPonder(R"(bestmove ([a-h][1-8][a-h][1-8]) ponder ([a-h][1-8][a-h][1-8]))");
  std::smatch m;
  ASSERT_TRUE(std::regex_match(best, m, withPonder)) << best;
  e.send("position startpos moves " + m[1].str() + " " + m[2].str());
  e.send("go ponder wtime 2000 btime 2000 winc 0 binc 0");
  Lines before = e.exchange({"isready"});
  for (const auto& l : before) EXPECT_FALSE(startsWith(l, "bestmove")) << l;
  e.send("ponderhit");
  const std::string reply = e.lineStartingWith("bestmove ", SearchMs);
  EXPECT_TRUE(startsWith(reply, "bestmove ")) << reply;
  // A pondering search that has already finished keeps its answer until ponderhit.
  e.send("go ponder depth 3 wtime 2000 btime 2000");
  before.clear();
  e.lineStartingWith("info depth 3 ", SearchMs, &before);
  before = e.exchange({"isready"});
  for (const auto& l : before) EXPECT_FALSE(startsWith(l, "bestmove")) << l;
  e.send("ponderhit");
  e.lineStartingWith("bestmove ", SearchMs);
  e.quit();
}

TEST(UciPonder, StopDuringPonderingAnswersBestmove) {
  EngineSession e;
  startUci(e);
  e.exchange({"setoption name Ponder value true", "position startpos moves e2e4 e7e5"});
  e.send("go ponder wtime 60000 btime 60000");
  const Lines before = e.exchange({"isready"});
  for (const auto& l : before) EXPECT_FALSE(startsWith(l, "bestmove")) << l;
  e.send("stop");
  EXPECT_TRUE(startsWith(e.lineStartingWith("bestmove ", ReplyMs), "bestmove "));
  // A ponderhit with nothing pondering is ignored.
  EXPECT_EQ(e.exchange({"ponderhit"}), Lines{});
  e.quit();
}

}  // namespace
}  // namespace orv::e2e

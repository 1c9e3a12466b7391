#include "search/output.h"

#include <algorithm>
#include <cstdio>

#include "board/score.h"
#include "hash/hashtable.h"
#include "notation/movetext.h"
#include "search/counters.h"
#include "search/pv.h"
#include "search/search.h"
#include "search/search_internal.h"
#include "search/thread_pool.h"
#include "search/worker.h"

namespace orv {

namespace {

// Mate in n for the side to move reads "mate n"; being mated reads "mate -n".
void uciScoreText(int s, char* out, size_t size) {
  if (s > NormalScoreLimit) std::snprintf(out, size, "mate %d", (MateScore - 1 - s) / 2 + 1);
  else if (s < -NormalScoreLimit) std::snprintf(out, size, "mate %d", -((s + MateScore - 1) / 2) - 1);
  else std::snprintf(out, size, "cp %d", s * 100 / PawnValue);
}

int xboardScore(int s) {
  if (s > NormalScoreLimit) return (MateScore - 1 - s) / 2 + 100001;
  if (s < -NormalScoreLimit) return -100001 - (s + MateScore - 1) / 2;
  return s * 100 / PawnValue;
}

}  // namespace

void lowerPromotionLetters(char* text) {
  for (char* p = text; *p; ++p)
    if (*p >= 'A' && *p <= 'Z') *p = char(*p - 'A' + 'a');
}

void formatSearchLine(char* out, size_t size, const Move* line, const SearchLineFigures& f, bool uci) {
  const unsigned t = unsigned(f.elapsedMs > 0 ? f.elapsedMs : 1);
  const auto nodes = static_cast<unsigned long long>(f.nodes);
  int n;
  if (uci) {
    char scoreText[32];
    uciScoreText(f.score, scoreText, sizeof scoreText);
    const char* bound = f.bound == BoundLower ? " lowerbound" : f.bound == BoundUpper ? " upperbound" : "";
    n = std::snprintf(out, size,
                      "info depth %d seldepth %d multipv %d score %s%s nodes %llu nps %llu time %u hashfull %d "
                      "tbhits %llu pv ",
                      f.depth, f.selectiveDepth, f.multiPv, scoreText, bound, nodes, nodes * 1000 / t, t,
                      f.hashPermille, static_cast<unsigned long long>(f.tablebaseHits));
  } else {
    n = std::snprintf(out, size, "%d %3d %5u %7llu\t", f.depth, xboardScore(f.score), t / 10, nodes);
  }
  if (n < 0 || size_t(n) >= size) n = int(size) - 1;
  char lineBuffer[LineTextSize];
  // UCI marks a bound in words; its move list carries no marks.
  const int mark = uci || f.bound == BoundExact ? -1 : f.bound == BoundLower ? 1 : 0;
  lineText(line, mark, lineBuffer);
  if (uci) lowerPromotionLetters(lineBuffer);
  std::snprintf(out + n, size - size_t(n), "%s\n", lineBuffer);
}

void printSearchLine(const Move* line, const SearchLineFigures& f, bool uci) {
  if (!searchSettings.post.load(std::memory_order_relaxed)) return;
  Move printed[PvBufferSize];
  if (!line) {
    copyPrintPv(printed);
    line = printed;
  }
  char text[SearchLineSize];
  formatSearchLine(text, sizeof text, line, f, uci);
  std::printf("%s", text);
  std::fflush(stdout);
}

uint64_t searchNodes(const SearchWorker& w) {
  return w.pool ? w.pool->nodes() : w.counters.nodes.load(std::memory_order_relaxed);
}

SearchLineFigures searchLineFigures(const SearchWorker& w, int score, int depth, int bound) {
  SearchLineFigures f;
  f.depth = depth;
  f.selectiveDepth = std::max(depth, w.counters.selectiveDepth.load(std::memory_order_relaxed));
  f.score = score;
  f.bound = bound;
  f.elapsedMs = tickMilliseconds() - w.counters.startTick.load(std::memory_order_relaxed);
  f.nodes = searchNodes(w);
  f.hashPermille = transpositionPermille();
  f.tablebaseHits = w.counters.tablebaseHits.load(std::memory_order_relaxed);
  return f;
}

void announceRootMove(const SearchWorker& w, Move m, int number) {
  if (!w.limits.currentMoveLines || !searchSettings.post.load(std::memory_order_relaxed)) return;
  const SearchCounters& c = w.counters;
  if (tickMilliseconds() - c.startTick.load(std::memory_order_relaxed) < 1000) return;
  char moveText[CoordinateTextSize];
  coordinateText(m, moveText);
  lowerPromotionLetters(moveText);
  std::printf("info depth %d currmove %s currmovenumber %d\n", c.iterationDepth.load(std::memory_order_relaxed),
              moveText, number);
  std::fflush(stdout);
}

void formatStatusLine(char* out, size_t size, int64_t elapsedCs, uint64_t searchedMoves, int depth, int movesLeft,
                      int moveCount, Move current) {
  char moveText[CoordinateTextSize];
  coordinateText(current, moveText);
  std::snprintf(out, size, "stat01: %d %llu %d %d %d %s\n", int(elapsedCs),
                static_cast<unsigned long long>(searchedMoves), depth, movesLeft, moveCount, moveText);
}

void printStatus(const SearchWorker& w) {
  const SearchCounters& c = w.counters;
  char text[128];
  formatStatusLine(text, sizeof text, (tickMilliseconds() - c.startTick.load(std::memory_order_relaxed)) / 10,
                   c.searchedMoves.load(std::memory_order_relaxed), c.iterationDepth.load(std::memory_order_relaxed),
                   c.movesLeft.load(std::memory_order_relaxed), c.rootMoveCount.load(std::memory_order_relaxed),
                   c.currentRootMove.load(std::memory_order_relaxed));
  std::printf("%s", text);
  std::fflush(stdout);
}

}  // namespace orv

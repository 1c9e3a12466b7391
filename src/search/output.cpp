#include "search/output.h"

#include <cstdio>

#include "board/score.h"
#include "notation/movetext.h"
#include "search/counters.h"
#include "search/pv.h"
#include "search/search.h"
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

void formatSearchLine(char* out, size_t size, const Move* line, int score, int64_t elapsedMs, uint64_t nodes, int depth,
                      bool uci, bool failHigh) {
  unsigned t = unsigned(elapsedMs > 0 ? elapsedMs : 1);
  int n;
  if (uci) {
    char scoreText[32];
    uciScoreText(score, scoreText, sizeof scoreText);
    n = std::snprintf(out, size, "info depth %d score %s time %u nodes %llu pv ", depth, scoreText, t,
                      static_cast<unsigned long long>(nodes));
  } else {
    n = std::snprintf(out, size, "%d %3d %5u %7llu\t", depth, xboardScore(score), t / 10,
                      static_cast<unsigned long long>(nodes));
  }
  if (n < 0 || size_t(n) >= size) n = int(size) - 1;
  char lineBuffer[LineTextSize];
  lineText(line, failHigh ? 1 : -1, lineBuffer);
  std::snprintf(out + n, size - size_t(n), "%s\n", lineBuffer);
}

void printSearchLine(int score, int64_t elapsedMs, uint64_t nodes, int depth, bool uci, bool failHigh) {
  if (!searchSettings.post.load(std::memory_order_relaxed)) return;
  Move line[PvBufferSize];
  copyPrintPv(line);
  char text[SearchLineSize];
  formatSearchLine(text, sizeof text, line, score, elapsedMs, nodes, depth, uci, failHigh);
  std::printf("%s", text);
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

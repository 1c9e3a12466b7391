// The root search: book, pre-scoring of the root moves, iterative deepening
// with aspiration windows, the clock, and the packed result.
#include <chrono>
#include <cstring>

#include "board/board.h"
#include "book/book.h"
#include "eval/evaluate.h"
#include "hash/hashtable.h"
#include "search/counters.h"
#include "search/make.h"
#include "search/move_words.h"
#include "search/output.h"
#include "search/pv.h"
#include "search/search.h"
#include "search/search_internal.h"
#include "search/search_state.h"

namespace orv {

SearchSettings searchSettings;
std::atomic<int> searchAbort{0};
void (*diagnosticHook)(int code) = nullptr;
SearchCounters searchCounters;

namespace {

int64_t softLimitMs = 0, hardLimitMs = 0;  // from the move's start tick
bool softPassed = false;

int64_t elapsedMs() { return tickMilliseconds() - searchCounters.startTick.load(std::memory_order_relaxed); }

void setTimeLimits(const MoveClock& clock) {
  searchAbort.store(0);
  softPassed = false;
  softLimitMs = clock.softMs;
  hardLimitMs = clock.hardMs;
}

// Between iterations: notes the soft limit and enforces the hard one, but
// leaves the decision to stop on the soft limit to shouldStop.
void readClockBetweenIterations() {
  const int64_t elapsed = elapsedMs();
  if (elapsed >= softLimitMs) softPassed = true;
  if (elapsed >= hardLimitMs) searchAbort.store(1);
}

// The book scan ends with a miss once the search is stopped or its hard limit passes.
int64_t bookDeadlineMs = 0;
bool bookScanShouldStop() { return searchAbort.load() != 0 || tickMilliseconds() >= bookDeadlineMs; }

bool shouldStop(int scoreChange) { return searchAbort.load() != 0 || (scoreChange >= -159 && softPassed); }

}  // namespace

void sortRootList(uint32_t* list) {
  for (int i = 0; list[i] != 0; ++i) {
    int best = i;
    for (int j = i + 1; list[j] != 0; ++j)
      if (signedScoreOf(list[j]) > signedScoreOf(list[best])) best = j;
    const uint32_t word = list[best];
    for (int j = best; j > i; --j) list[j] = list[j - 1];
    list[i] = word;
  }
}

namespace {

void copyToOrderedList(const uint32_t* list) {
  int i = 0;
  for (; i < RootListSize - 1 && list[i] != 0; ++i) searchState.orderedRootList[i] = moveOf(list[i]);
  searchState.orderedRootList[i] = 0;
}

void setRootScore(uint32_t* list, Move m, int score) {
  for (int i = 0; list[i] != 0; ++i)
    if (moveOf(list[i]) == moveOf(m)) {
      list[i] = scoredWord(list[i], score);
      return;
    }
}

int rootCount(const uint32_t* list) {
  int n = 0;
  while (list[n] != 0) ++n;
  return n;
}

void resetCounters() {
  SearchCounters& c = searchCounters;
  c.nodes.store(0, std::memory_order_relaxed);
  c.fullWidthNodes.store(0, std::memory_order_relaxed);
  c.searchedMoves.store(0, std::memory_order_relaxed);
  c.quiescenceNodes.store(0, std::memory_order_relaxed);
  c.tableHits.store(0, std::memory_order_relaxed);
  c.nullMoves.store(0, std::memory_order_relaxed);
  pawnHashHits = 0;
}

inline int rootPvScore() { return signedScoreOf(searchState.pvLine[0]->word); }
inline Move rootPvMove() { return moveOf(searchState.pvLine[0]->word); }

// Pre-scores every root move by a quiescence search of the position after it.
void preScore(int side, uint32_t* list, const Board& b) {
  for (int i = 0; list[i] != 0; ++i) list[i] = scoredWord(list[i], -InfiniteScore);
  searchState.extensionPlyLimit = 0;
  searchCounters.iterationDepth.store(0, std::memory_order_relaxed);
  try {
    for (int i = 0; list[i] != 0; ++i) {
      const int v = searchRootCall(opposite(side), moveOf(list[i]), FlagFirstLine | FlagLegality, 0, -InfiniteScore,
                                   InfiniteScore, b);
      if (v != IllegalMoveScore) list[i] = scoredWord(list[i], -v);
    }
  } catch (const SearchAborted&) {
    // An abort ends only the pre-scoring.
  }
  sortRootList(list);
}

int iterate(int side, uint32_t* list, int previousScore, const MoveClock& clock, int& iterationLimit, bool clearPv,
            Board& b, bool uci) {
  SearchCounters& c = searchCounters;
  int bestScore = NoScore;
  c.bestScore.store(NoScore, std::memory_order_relaxed);
  resetCounters();
  c.startTick.store(clock.startTick, std::memory_order_relaxed);
  searchState.failHighFlag = false;
  std::memset(searchState.orderedRootList, 0, sizeof searchState.orderedRootList);
  searchState.timeCheckCounter = 0;

  if (clearPv) {
    clearWorkingPv();
    searchState.pvLine[0]->word = 0;
  }
  computeFullKey(side, b);

  bookDeadlineMs = clock.startTick + clock.hardMs;
  setBookScanStop(bookScanShouldStop);
  if (searchSettings.useBook.load() && probeBook(list) == 1) {
    publishSingleMove(list[0]);
    c.nodes.store(1, std::memory_order_relaxed);
    c.fullWidthNodes.store(1, std::memory_order_relaxed);
    c.searchedMoves.store(1, std::memory_order_relaxed);
    c.quiescenceNodes.store(1, std::memory_order_relaxed);
    c.currentRootMove.store(moveOf(list[0]), std::memory_order_relaxed);
    printSearchLine(0, 1, 2, uci, true);
    const int count = rootCount(list);
    c.rootMoveCount.store(count, std::memory_order_relaxed);
    c.iterationDepth.store(0, std::memory_order_relaxed);
    c.movesLeft.store(count - 1, std::memory_order_relaxed);
    return 1;
  }

  const int phase = recountBoard(b);
  setTimeLimits(clock);
  nextGeneration();
  searchState.clearKillers();
  searchState.rootSide = side;
  saveWorkingPv();

  const int count = rootCount(list);
  int maxDepth = 64;
  if (count == 1) maxDepth = 3;
  else preScore(side, list, b);
  copyToOrderedList(list);

  int d = 2, previous = previousScore;
  while (!searchAbort.load() && d < maxDepth) {
    for (int i = 0; list[i] != 0; ++i) list[i] = scoredWord(list[i], -InfiniteScore);
    searchState.extensionPlyLimit = std::min(2 * d, 62);
    c.iterationDepth.store(d, std::memory_order_relaxed);
    c.currentRootMove.store(rootPvMove(), std::memory_order_relaxed);
    c.rootMoveCount.store(count, std::memory_order_relaxed);
    c.movesLeft.store(count - 1 - phase, std::memory_order_relaxed);

    bool haveScore = false;
    int iterationScore = 0;
    int alpha = -InfiniteScore, beta = InfiniteScore;
    try {
      if (d >= 4) {
        alpha = std::max(previous - 50, -InfiniteScore);
        beta = std::min(previous + 50, InfiniteScore);
      }
      int delta = 50, s;
      do {
        searchState.pvLine[0]->word = scoredWord(rootPvMove(), -InfiniteScore);
        searchRootCall(side, 0, FlagRoot | FlagFirstLine, d, alpha, beta, b);
        s = rootPvScore();
        if (s > -InfiniteScore) {
          setRootScore(list, rootPvMove(), s);
          publishRootLine();
          if (s >= beta) printSearchLine(s, elapsedMs(), d, uci, true);
        }
        delta += delta / 2 + 50;
        sortRootList(list);
        copyToOrderedList(list);
        if (alpha < s && s < beta) break;
        if (s >= beta) {
          beta = s + delta > NormalScoreLimit ? InfiniteScore : s + delta;
          searchState.failHighFlag = true;
        } else {
          beta = std::min((alpha + beta) / 2, InfiniteScore);
          alpha = s - delta < -NormalScoreLimit ? -InfiniteScore : s - delta;
          searchState.failHighFlag = false;
        }
      } while (beta - alpha > 1);
      haveScore = true;
      iterationScore = alpha;
      if (rootPvScore() > -InfiniteScore) {
        searchState.failHighFlag = false;
        bestScore = iterationScore = s;
        setRootScore(list, rootPvMove(), s);
        publishRootLine();
        printSearchLine(s, elapsedMs(), d, uci, false);
      }
    } catch (const SearchAborted&) {
      if (rootPvScore() > -InfiniteScore) {
        haveScore = true;
        bestScore = iterationScore = rootPvScore();
        setRootScore(list, rootPvMove(), iterationScore);
        publishRootLine();
      }
    }
    if (haveScore) {
      sortRootList(list);
      copyToOrderedList(list);
      readClockBetweenIterations();
      if (shouldStop(iterationScore - previous)) searchAbort.store(1);
      if (iterationLimit <= d) searchAbort.store(1);
      ++d;
      previous = iterationScore;
    }
  }
  iterationLimit = d - 1;
  c.bestScore.store(bestScore, std::memory_order_relaxed);
  return bestScore;
}

}  // namespace

int64_t tickMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void timeCheck() {
  const int64_t elapsed = elapsedMs();
  if (elapsed >= softLimitMs) softPassed = true;
  if (softPassed && !searchState.failHighFlag) searchAbort.store(1);
  if (elapsed >= hardLimitMs) searchAbort.store(1);
}

MoveClock moveClockOf(const Game& g) {
  MoveClock clock;
  clock.softMs = int64_t(g.softLimit) * 100;
  clock.hardMs = int64_t(g.hardLimit) * 100;
  if (g.softCapMs > 0 && g.softCapMs < clock.softMs) clock.softMs = g.softCapMs;
  if (g.hardCapMs > 0 && g.hardCapMs < clock.hardMs) clock.hardMs = g.hardCapMs;
  const int64_t now = tickMilliseconds();
  clock.startTick = g.moveStartTick > 0 && g.moveStartTick <= now ? g.moveStartTick : now;
  return clock;
}

int searchRootCall(int side, Move move, uint32_t flags, int depthPlies, int alpha, int beta, const Board& b) {
  loadSearchPosition(b);
  const NodeState root = rootNodeState(b);
  static Board before;
  std::memcpy(&before, &searchPosition, sizeof before);
  const int result = side == White ? searchWhite(move, flags, depthPlies * OnePly, alpha, beta, root)
                                   : searchBlack(move, flags, depthPlies * OnePly, alpha, beta, root);
  // Every node takes back its move: the men must stand as they stood.
  const Board& after = searchPosition;
  const bool restored = std::memcmp(before.square, after.square, sizeof before.square) == 0 &&
                        std::memcmp(before.map, after.map, sizeof before.map) == 0 &&
                        std::memcmp(before.kind, after.kind, sizeof before.kind) == 0 &&
                        std::memcmp(before.value, after.value, sizeof before.value) == 0;
  if (!restored && diagnosticHook) diagnosticHook(333);
  return result;
}

int32_t rootSearch(Game& g) {
  if (g.result != 0 || g.legal[0] == 0) return -1;
  static_assert(sizeof(g.legal) / sizeof(g.legal[0]) == RootListSize);
  // The search works on its own copy of the Board: the command thread may read
  // the Game's (PRINT) while the search runs.
  static Board rootBoard;
  rootBoard = g.board;
  const int score =
      iterate(g.side, g.legal, -InfiniteScore, moveClockOf(g), g.iterationLimit, true, rootBoard, g.uciMode);
  return packSearchResult(g.legal[0], score);
}

}  // namespace orv

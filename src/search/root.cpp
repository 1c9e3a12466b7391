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
#include "search/multipv.h"
#include "search/output.h"
#include "search/pv.h"
#include "search/search.h"
#include "search/search_internal.h"
#include "search/search_state.h"
#include "search/thread_pool.h"
#include "search/worker.h"

namespace orv {

SearchSettings searchSettings;
std::atomic<int> searchAbort{0};
void (*diagnosticHook)(int code) = nullptr;

namespace {

int64_t elapsedMs(const SearchWorker& w) {
  return tickMilliseconds() - w.counters.startTick.load(std::memory_order_relaxed);
}

void setTimeLimits(SearchWorker& w, const MoveClock& clock) {
  searchAbort.store(0);
  w.state.softPassed = false;
  w.state.softLimitMs = clock.softMs;
  w.state.hardLimitMs = clock.hardMs;
}

// A clock handed over by the command thread (ponderhit) replaces the limits.
void adoptClockUpdate(SearchWorker& w) {
  if (!w.clockUpdate.pending.load()) return;
  w.state.softLimitMs = w.clockUpdate.softMs.load();
  w.state.hardLimitMs = w.clockUpdate.hardMs.load();
  w.clockUpdate.pending.store(false);
}

// The node limit of the go command: stops the search once the workers have
// searched that many nodes.
bool nodeLimitReached(const SearchWorker& w);

// Between iterations: notes the soft limit and enforces the hard one, but
// leaves the decision to stop on the soft limit to shouldStop.
void readClockBetweenIterations(SearchWorker& w) {
  adoptClockUpdate(w);
  if (nodeLimitReached(w)) searchAbort.store(1);
  const int64_t elapsed = elapsedMs(w);
  if (elapsed >= w.state.softLimitMs) w.state.softPassed = true;
  if (elapsed >= w.state.hardLimitMs) searchAbort.store(1);
}

// The book scan ends with a miss once the search is stopped or its hard limit
// passes. Written by the main worker just before its book probe, which reads it
// on the same thread.
std::atomic<int64_t> bookDeadlineMs{0};
bool bookScanShouldStop() {
  return searchAbort.load() != 0 || tickMilliseconds() >= bookDeadlineMs.load(std::memory_order_relaxed);
}

bool shouldStop(const SearchWorker& w, int scoreChange) {
  return searchAbort.load() != 0 || (scoreChange >= -159 && w.state.softPassed);
}

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

void copyToOrderedList(SearchWorker& w, const uint32_t* list) {
  int i = 0;
  for (; i < RootListSize - 1 && list[i] != 0; ++i) w.state.orderedRootList[i] = moveOf(list[i]);
  w.state.orderedRootList[i] = 0;
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

void resetCounters(SearchWorker& w) {
  w.counters.resetNodeCounts();
  w.pawnHashHits = 0;
}

inline int rootPvScore(const SearchWorker& w) { return signedScoreOf(w.state.pvLine[0]->word); }
inline Move rootPvMove(const SearchWorker& w) { return moveOf(w.state.pvLine[0]->word); }

bool nodeLimitReached(const SearchWorker& w) { return w.limits.nodes > 0 && searchNodes(w) >= w.limits.nodes; }

// With a node limit the clock is read sooner than every TimeCheckInterval node
// entries when the limit is nearer: the next reading comes as the main worker
// alone would reach it.
void scheduleNodeCheck(SearchWorker& w) {
  if (w.limits.nodes == 0) return;
  const uint64_t nodes = searchNodes(w);
  const uint64_t left = w.limits.nodes > nodes ? w.limits.nodes - nodes : 1;
  if (left < TimeCheckInterval) w.state.timeCheckCounter = uint32_t(TimeCheckInterval - left);
}

// Mate in n moves for the side to move, or 0 when the score is no mate for it.
// A score that is a mate (for either side) found within d plies.
bool provesMate(int score, int d) {
  return score != NoScore && std::abs(score) > NormalScoreLimit && MateScore - std::abs(score) <= d;
}

int mateDistanceMoves(int score) { return score > NormalScoreLimit ? (MateScore - 1 - score) / 2 + 1 : 0; }

void printLine(const SearchWorker& w, int score, int depth, bool uci, bool failHigh) {
  printSearchLine(nullptr, searchLineFigures(w, score, depth, failHigh ? BoundLower : BoundExact), uci);
}

// Pre-scores every root move by a quiescence search of the position after it.
void preScore(SearchWorker& w, int side, uint32_t* list, const Board& b) {
  for (int i = 0; list[i] != 0; ++i) list[i] = scoredWord(list[i], -InfiniteScore);
  w.state.extensionPlyLimit = 0;
  w.counters.iterationDepth.store(0, std::memory_order_relaxed);
  try {
    for (int i = 0; list[i] != 0; ++i) {
      const int v = searchRootCall(w, opposite(side), moveOf(list[i]), FlagFirstLine | FlagLegality, 0, -InfiniteScore,
                                   InfiniteScore, b);
      if (v != IllegalMoveScore) list[i] = scoredWord(list[i], -v);
    }
  } catch (const SearchAborted&) {
    // An abort ends only the pre-scoring.
  }
  sortRootList(list);
}

// One iteration of depth d, with aspiration windows around the previous
// iteration's score from depth 4 on. The main worker publishes and prints its
// lines; a helper only searches. False when the worker was stopped before the
// iteration gave a score; else iterationScore is its score (the window's lower
// bound when no move reached it), and bestScore the root line's score if it has one.
bool searchIteration(SearchWorker& w, int side, uint32_t* list, int d, int previous, const Board& b, bool uci,
                     int& iterationScore, int& bestScore) {
  const bool report = w.isMain();
  bool haveScore = false;
  int alpha = -InfiniteScore, beta = InfiniteScore;
  try {
    if (d >= 4) {
      alpha = std::max(previous - 50, -InfiniteScore);
      beta = std::min(previous + 50, InfiniteScore);
    }
    int delta = 50, s;
    do {
      w.state.pvLine[0]->word = scoredWord(rootPvMove(w), -InfiniteScore);
      searchRootCall(w, side, 0, FlagRoot | FlagFirstLine, d, alpha, beta, b);
      s = rootPvScore(w);
      if (s > -InfiniteScore) {
        setRootScore(list, rootPvMove(w), s);
        if (report) {
          publishRootLine(w.state.pvLine);
          if (s >= beta) printLine(w, s, d, uci, true);
        }
      }
      delta += delta / 2 + 50;
      sortRootList(list);
      copyToOrderedList(w, list);
      if (alpha < s && s < beta) break;
      if (s >= beta) {
        beta = s + delta > NormalScoreLimit ? InfiniteScore : s + delta;
        w.state.failHighFlag = true;
      } else {
        beta = std::min((alpha + beta) / 2, InfiniteScore);
        alpha = s - delta < -NormalScoreLimit ? -InfiniteScore : s - delta;
        w.state.failHighFlag = false;
      }
    } while (beta - alpha > 1);
    haveScore = true;
    iterationScore = alpha;
    if (rootPvScore(w) > -InfiniteScore) {
      w.state.failHighFlag = false;
      bestScore = iterationScore = s;
      setRootScore(list, rootPvMove(w), s);
      if (report) {
        publishRootLine(w.state.pvLine);
        printLine(w, s, d, uci, false);
      }
    }
  } catch (const SearchAborted&) {
    if (rootPvScore(w) > -InfiniteScore) {
      haveScore = true;
      bestScore = iterationScore = rootPvScore(w);
      setRootScore(list, rootPvMove(w), iterationScore);
      if (report) publishRootLine(w.state.pvLine);
    }
  }
  return haveScore;
}

// A helper proved a mate the main worker has not: its line becomes the
// search's result, printed as the main worker's lines are. The helper has
// ended, so its PV chain is read without a race.
void adoptHelperMate(SearchWorker& w, const SearchWorker& helper, uint32_t* list, bool uci, int& bestScore) {
  const int score = rootPvScore(helper);
  const Move move = rootPvMove(helper);
  if (move == 0 || (bestScore != NoScore && bestScore >= score)) return;
  setRootScore(list, move, score);
  sortRootList(list);
  bestScore = score;
  publishRootLine(helper.state.pvLine);
  printLine(w, score, helper.counters.iterationDepth.load(std::memory_order_relaxed), uci, false);
}

int iterate(SearchWorker& w, int side, uint32_t* list, int previousScore, const MoveClock& clock, int& iterationLimit,
            bool clearPv, Board& b, bool uci) {
  SearchCounters& c = w.counters;
  int bestScore = NoScore;
  bestRootScore.store(NoScore, std::memory_order_relaxed);
  resetCounters(w);
  if (w.pool) w.pool->resetHelperCounts();
  c.startTick.store(clock.startTick, std::memory_order_relaxed);
  w.state.failHighFlag = false;
  std::memset(w.state.orderedRootList, 0, sizeof w.state.orderedRootList);
  w.state.timeCheckCounter = 0;
  scheduleNodeCheck(w);

  if (clearPv) {
    clearWorkingPv();
    w.state.pvLine[0]->word = 0;
  }
  computeFullKey(side, b);

  bookDeadlineMs.store(clock.startTick + clock.hardMs, std::memory_order_relaxed);
  setBookScanStop(bookScanShouldStop);
  if (searchSettings.useBook.load() && probeBook(list) == 1) {
    publishSingleMove(list[0]);
    c.nodes.store(1, std::memory_order_relaxed);
    c.fullWidthNodes.store(1, std::memory_order_relaxed);
    c.searchedMoves.store(1, std::memory_order_relaxed);
    c.quiescenceNodes.store(1, std::memory_order_relaxed);
    c.currentRootMove.store(moveOf(list[0]), std::memory_order_relaxed);
    printLine(w, 0, 2, uci, true);
    const int count = rootCount(list);
    c.rootMoveCount.store(count, std::memory_order_relaxed);
    c.iterationDepth.store(0, std::memory_order_relaxed);
    c.movesLeft.store(count - 1, std::memory_order_relaxed);
    return 1;
  }

  const int phase = recountBoard(b);
  setTimeLimits(w, clock);
  nextGeneration();
  w.state.clearKillers();
  w.state.rootSide = side;
  saveWorkingPv();

  const int count = rootCount(list);
  int maxDepth = 64;
  if (count == 1) maxDepth = 3;
  else preScore(w, side, list, b);
  copyToOrderedList(w, list);
  w.state.sharedTable = w.pool && w.pool->startHelpers(b, side, list, maxDepth) > 0;

  int d = 2, previous = previousScore;
  while (!searchAbort.load() && d < maxDepth) {
    for (int i = 0; list[i] != 0; ++i) list[i] = scoredWord(list[i], -InfiniteScore);
    w.state.extensionPlyLimit = std::min(2 * d, 62);
    c.iterationDepth.store(d, std::memory_order_relaxed);
    c.currentRootMove.store(rootPvMove(w), std::memory_order_relaxed);
    c.rootMoveCount.store(count, std::memory_order_relaxed);
    c.movesLeft.store(count - 1 - phase, std::memory_order_relaxed);

    int iterationScore = 0;
    if (searchIteration(w, side, list, d, previous, b, uci, iterationScore, bestScore)) {
      sortRootList(list);
      copyToOrderedList(w, list);
      readClockBetweenIterations(w);
      if (w.limits.multiPv > 1 && !searchAbort.load()) {
        searchOtherLines(w, side, list, d, b, uci);
        sortRootList(list);
        copyToOrderedList(w, list);
      }
      if (shouldStop(w, iterationScore - previous)) searchAbort.store(1);
      if (iterationLimit <= d) searchAbort.store(1);
      const int mate = mateDistanceMoves(bestScore);
      if (w.limits.mate > 0 && mate > 0 && mate <= w.limits.mate) searchAbort.store(1);
      ++d;
      previous = iterationScore;
    }
  }
  // Every helper stops before the move is printed.
  if (w.pool) {
    w.pool->stopHelpers();
    if (w.pool->mateProver() != 0) adoptHelperMate(w, w.pool->worker(w.pool->mateProver()), list, uci, bestScore);
  }
  iterationLimit = d - 1;
  bestRootScore.store(bestScore, std::memory_order_relaxed);
  return bestScore;
}

// Helper i skips some depths so that the helpers spread over the depths
// instead of all searching the main worker's: the helpers are taken in groups
// of 2, 4, 6 and 8 (then again), and a helper of group g skips blocks of g
// depths in turn, starting at its place in the group.
constexpr bool helperSkipsDepth(int helper, int depth) {
  int i = (helper - 1) % 20, size = 1;
  for (int group = 2; i >= group; group += 2) {
    i -= group;
    ++size;
  }
  return ((depth + i) / size) % 2 == 1;
}
static_assert(helperSkipsDepth(1, 3) && !helperSkipsDepth(1, 2) && helperSkipsDepth(2, 2));

}  // namespace

void helperSearch(SearchWorker& w, const Board& root, int side, const uint32_t* rootList, int maxDepth) {
  uint32_t list[RootListSize];
  int n = 0;
  for (; n < RootListSize - 1 && rootList[n] != 0; ++n) list[n] = rootList[n];
  list[n] = 0;
  resetCounters(w);
  w.state.failHighFlag = false;
  w.state.timeCheckCounter = 0;
  w.state.clearKillers();
  w.state.rootSide = side;
  w.state.sharedTable = true;
  w.state.pvLine[0]->word = 0;
  copyToOrderedList(w, list);
  int previous = n > 0 ? signedScoreOf(list[0]) : 0;
  for (int d = 2; d < maxDepth && !w.stop->load(std::memory_order_relaxed); ++d) {
    if (helperSkipsDepth(w.id, d)) continue;
    for (int i = 0; list[i] != 0; ++i) list[i] = scoredWord(list[i], -InfiniteScore);
    w.state.extensionPlyLimit = std::min(2 * d, 62);
    w.counters.iterationDepth.store(d, std::memory_order_relaxed);
    int iterationScore = 0, bestScore = NoScore;
    if (!searchIteration(w, side, list, d, previous, root, false, iterationScore, bestScore)) break;
    sortRootList(list);
    copyToOrderedList(w, list);
    previous = iterationScore;
    // A mate proved within the depth searched ends the search: going deeper
    // gains nothing, and the main worker, short of the mate and in a window
    // around its own score, would search on with table entries (bounds around
    // the mate score, mating moves first) that it cannot use. In a pawnless
    // ending, where nothing is reduced, that costs it minutes.
    if (provesMate(bestScore, d)) {
      w.counters.iterationDepth.store(d, std::memory_order_relaxed);
      if (w.pool) w.pool->reportMate(w.id);
      break;
    }
  }
}

int64_t tickMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void timeCheck(SearchWorker& w) {
  adoptClockUpdate(w);
  if (w.pool && w.pool->mateProver() != 0) searchAbort.store(1);
  if (nodeLimitReached(w)) searchAbort.store(1);
  scheduleNodeCheck(w);
  const int64_t elapsed = elapsedMs(w);
  if (elapsed >= w.state.softLimitMs) w.state.softPassed = true;
  if (w.state.softPassed && !w.state.failHighFlag) searchAbort.store(1);
  if (elapsed >= w.state.hardLimitMs) searchAbort.store(1);
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

int searchRootCall(SearchWorker& w, int side, Move move, uint32_t flags, int depthPlies, int alpha, int beta,
                   const Board& b) {
  w.position = b;
  const NodeState root = rootNodeState(b);
  const Board before = w.position;
  const int result = side == White ? searchWhite(w, move, flags, depthPlies * OnePly, alpha, beta, root)
                                   : searchBlack(w, move, flags, depthPlies * OnePly, alpha, beta, root);
  // Every node takes back its move: the men must stand as they stood.
  const Board& after = w.position;
  const bool restored = std::memcmp(before.square, after.square, sizeof before.square) == 0 &&
                        std::memcmp(before.map, after.map, sizeof before.map) == 0 &&
                        std::memcmp(before.kind, after.kind, sizeof before.kind) == 0 &&
                        std::memcmp(before.value, after.value, sizeof before.value) == 0;
  if (!restored && w.isMain() && diagnosticHook) diagnosticHook(333);
  return result;
}

namespace {

// Keeps only the root moves the limits name, in their order; when none of them
// is legal the list stays whole.
void keepSearchMoves(uint32_t* list, const SearchLimits& limits) {
  if (limits.searchMoveCount == 0) return;
  int kept = 0;
  for (int i = 0; list[i] != 0; ++i) {
    bool named = false;
    for (int j = 0; j < limits.searchMoveCount && !named; ++j) named = moveOf(limits.searchMoves[j]) == moveOf(list[i]);
    if (named) list[kept++] = list[i];
  }
  if (kept == 0) return;
  for (int i = kept; list[i] != 0; ++i) list[i] = 0;
}

}  // namespace

int32_t rootSearch(const Game& g, SearchWorker& w) {
  if (g.result != 0 || g.legal[0] == 0) return -1;
  static_assert(sizeof(g.legal) / sizeof(g.legal[0]) == RootListSize);
  w.repetition.seed(g);
  // The search works on its own copies of the Board and the legal moves: the
  // command thread may read the Game's (PRINT, a typed move) while it runs.
  Board rootBoard = g.board;
  uint32_t* list = w.state.rootList;
  std::memcpy(list, g.legal, sizeof w.state.rootList);
  keepSearchMoves(list, w.limits);
  w.state.depthReached = g.iterationLimit;
  if (w.limits.depth > 0 && w.limits.depth < w.state.depthReached) w.state.depthReached = w.limits.depth;
  const int score =
      iterate(w, g.side, list, -InfiniteScore, moveClockOf(g), w.state.depthReached, true, rootBoard, g.uciMode);
  return packSearchResult(list[0], score);
}

}  // namespace orv

#include "shell/search_thread.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

#include "board/game.h"
#include "board/score.h"
#include "notation/game_log.h"
#include "notation/movetext.h"
#include "search/counters.h"
#include "search/output.h"
#include "search/pv.h"
#include "search/search.h"
#include "search/worker.h"
#include "shell/ponder.h"
#include "shell/services.h"
#include "shell/settings.h"
#include "shell/shell_state.h"
#include "shell/timecontrol.h"

namespace orv {

std::atomic<int> searchRunning{SearchIdle};
std::mutex gameMoveMutex;
SearchPool searchPool;

namespace {

// Started and joined by the command thread.
std::thread searchThread;

constexpr int32_t BookScore = 1;

// A book move is shown 300 ms after the move's time started, but, when the
// clock is known, never later than a quarter of the move's soft limit: at fast
// controls the pause would spend the clock.
int64_t bookMovePauseMs() {
  const MoveClock clock = moveClockOf(game);
  const int64_t pause = game.softCapMs > 0 ? std::min<int64_t>(300, clock.softMs / 4) : 300;
  return std::max<int64_t>(0, clock.startTick + pause - tickMilliseconds());
}

// The move's time runs from the command that asked for it. Under UCI that is
// the position command when go follows it directly (no other command between
// them): the interface's clock was already running while the moves of the
// position were played.
constexpr int64_t PositionAndGoGapMs = 1000;
int64_t moveStartTick() {
  const int64_t go = shell.lineTick;
  const int64_t position = shell.positionTick;
  if (shell.uciMode.load() && position > 0 && position <= go && go - position < PositionAndGoGapMs) return position;
  return go;
}

// The second move of the published line when its first is `move`, else 0.
Move expectedReplyTo(Move move) {
  Move line[PvBufferSize];
  copyPrintPv(line);
  return (line[0] & 0xFFFF) == move ? line[1] & 0xFFFF : 0;
}

void printBestmove(Move move) {
  char text[16], reply[16];
  coordinateText(move, text);
  lowerPromotionLetters(text);
  const Move expected = shell.expectedReply.load();
  if (settings.ponder.load() && expected != 0) {
    coordinateText(expected, reply);
    lowerPromotionLetters(reply);
    std::printf("bestmove %s ponder %s\n", text, reply);
  } else {
    std::printf("bestmove %s\n", text);
  }
}

// The game as it was before the reply the engine ponders on (search thread only).
Game beforePonder;

// Plays and prints the search's move. True when the engine then ponders: the
// expected reply stands on the game, and the search thread counts as thinking.
bool playAndAnnounce(int32_t result) {
  Move move = resultMove(result);
  shell.expectedReply.store(result == -1 ? 0 : expectedReplyTo(move));
  // A UCI interface is owed an answer also when the position has no move.
  if (shell.uciMode.load() && (result == -1 || move == 0 || move == 0xFFFF)) {
    std::printf("bestmove 0000\n");
    return false;
  }
  // A search that found no move (should not happen: the go path never starts one on a
  // finished game) has nothing to play or print.
  if (result == -1 || move == 0 || move == 0xFFFF) return false;

  writeLogMove(move, true);
  std::lock_guard<std::mutex> lock(gameMoveMutex);
  char text[16];
  bool ponders = false;
  if (shell.uciMode.load()) {
    printBestmove(move);
  } else {
    int r = makeGameMove(move);
    coordinateText(move, text);
    if (r != 0) {
      std::printf("move %s\n", text);
      reportGameEnd(r, text);
    } else {
      const int score = resultScore(result);
      bool resign = false;
      if (score == BookScore) std::this_thread::sleep_for(std::chrono::milliseconds(bookMovePauseMs()));
      else if (score != NoScore)
        resign = updateResignation(result, settings.resign.load() != 0, game.resignCounter, game.previousScore);
      // The pondering is set up before the move is shown: the opponent's
      // reply may follow it at once.
      ponders = !resign && startXboardPonder(beforePonder);
      if (ponders) {
        // A hit may come before the search starts: its clock waits in the update.
        searchPool.main().clockUpdate.pending.store(false);
        searchRunning.store(SearchThinking);
        shell.xboardPonderStart.store(tickMilliseconds());
        shell.xboardPonder.store(PonderRunning);
      }
      std::printf("move %s\n", text);
      if (resign) reportGameEnd(10, text);
    }
  }
  std::fflush(stdout);
  return ponders;
}

// The search on the expected reply, on a copy of the game so that the command
// thread may set the game's clock for a hit meanwhile. Returns its result when
// the reply was played (a hit), else -1 once the game stands as before the reply.
int32_t ponderOnExpectedReply(SearchWorker& w) {
  static Game pondered;  // search thread only
  {
    std::lock_guard<std::mutex> lock(gameMoveMutex);
    pondered = game;
  }
  setUntimedClock(pondered, shell.xboardPonderStart.load());
  pondered.uciMode = false;
  w.limits.searchMoveCount = 0;
  searchAbort.store(0);
  int32_t result = -1;
  if (shell.xboardPonder.load() != PonderNone) result = rootSearch(pondered, w);
  // A search that ended by itself (a mate, the last depth) waits for the reply.
  while (shell.xboardPonder.load() == PonderRunning) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  if (shell.xboardPonder.load() == PonderHit) return result;
  std::lock_guard<std::mutex> lock(gameMoveMutex);
  game = beforePonder;
  return -1;
}

}  // namespace

void searchProc(std::atomic<int32_t>* resultOut) {
  searchRunning.store(SearchThinking);
  std::srand(unsigned(std::time(nullptr)));
  SearchWorker& w = searchPool.main();
  int32_t result = rootSearch(game, w);
  for (;;) {
    // go infinite and go ponder keep their answer until stop or ponderhit.
    while (shell.holdResult.load()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (result != -1 && w.limits.searchMoveCount == 0) {
      // The root moves go back to the Game in the order the search left them,
      // with the depth it reached (all of them only: searchmoves narrows the list).
      std::lock_guard<std::mutex> lock(gameMoveMutex);
      std::memcpy(game.legal, w.state.rootList, sizeof game.legal);
      game.iterationLimit = w.state.depthReached;
    }
    // From here on a command that needs the search ended waits for the thread.
    searchRunning.store(SearchAnnouncing);
    resultOut->store(result);
    if (shell.analyzeMode.load() || !playAndAnnounce(result)) break;
    // Pondering (xboard hard): a hit makes it the search of the next move.
    result = ponderOnExpectedReply(w);
    shell.xboardPonder.store(PonderNone);
    if (result == -1) break;
  }
  std::fflush(stdout);
  searchRunning.store(SearchIdle);
}

void joinFinishedSearch() {
  if (searchThread.joinable()) searchThread.join();
}

void startSearch() {
  joinFinishedSearch();  // the previous thread has cleared searchRunning; let it end
  searchAbort.store(0);
  const int64_t start = moveStartTick();
  shell.searchStartTick = start;
  shell.pondering = shell.nextSearchPonders;
  if (shell.pondering) {
    // The clock this move gets once the expected move is played: kept for ponderhit.
    allocateMoveTime(false, start);
    const MoveClock clock = moveClockOf(game);
    shell.ponderSoftMs = clock.softMs;
    shell.ponderHardMs = clock.hardMs;
  }
  allocateMoveTime(shell.analyzeMode.load() || shell.nextSearchUntimed || shell.pondering, start);
  game.uciMode = shell.uciMode.load();
  searchSettings.useBook.store(settings.useBook.load() != 0);
  if (searchPool.size() != settings.threads.load()) settings.threads.store(searchPool.resize(settings.threads.load()));
  SearchWorker& w = searchPool.main();
  w.limits = shell.nextLimits;
  w.limits.multiPv = std::clamp(settings.multiPv, 1, MaxMultiPv);
  w.limits.currentMoveLines = game.uciMode;
  w.clockUpdate.pending.store(false);
  // Running is raised before the thread exists so that a stop arriving at once is not lost.
  searchRunning.store(SearchThinking);
  searchThread = std::thread(searchProc, &shell.lastSearchResult);
  shell.forceMode = false;
}

void endXboardPondering() {
  // A pondering search ends without a move; one that had its hit plays on as any search.
  int running = PonderRunning;
  shell.xboardPonder.compare_exchange_strong(running, PonderNone);
}

void stopSearch() {
  shell.holdResult.store(false);
  shell.pondering = false;
  endXboardPondering();
  if (searchRunning.load() == 0) {
    joinFinishedSearch();
    return;
  }
  // The flag is raised again at every poll: the search clears it when it sets
  // up its limits, and a stop arriving just before that must not be lost. So
  // is the end of pondering: a search stopped now still plays its move, and
  // would then start to ponder.
  while (searchRunning.load() != 0) {
    endXboardPondering();
    searchAbort.store(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  joinFinishedSearch();
}

void finishEndingSearch() {
  if (searchRunning.load() != SearchAnnouncing) return;
  // The thread may go on to ponder (thinking again) instead of ending.
  while (searchRunning.load() == SearchAnnouncing) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (searchRunning.load() == SearchIdle) joinFinishedSearch();
}

void reportGameEnd(int code, const char* moveText) {
  switch (code) {
    case -2: std::printf("%s (error): %s\n", "Illegal move", moveText); break;
    case -1: std::printf("%s: %s\n", "Illegal move", moveText); break;
    case 1: std::printf("%s (promote?): %s\n", "Illegal move", moveText); break;
    case 2: std::printf("%s\n", game.side == White ? "0-1 {Black mates}" : "1-0 {White mates}"); break;
    case 3: std::printf("1/2-1/2 {Stalemate}\n"); break;
    case 4: std::printf("1/2-1/2 {Triple repetition}\n"); break;
    case 5: std::printf("1/2-1/2 {50 moves rule}\n"); break;
    case 6: std::printf("1/2-1/2 {Insufficient material}\n"); break;
    case 10: std::printf("resign\n"); break;
    default: break;
  }
  std::fflush(stdout);
  if (code != 0) flushGameLog();
}

}  // namespace orv

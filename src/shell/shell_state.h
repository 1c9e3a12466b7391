// The command loop's protocol state.
#pragma once
#include <atomic>
#include <cstdint>

#include "search/search_limits.h"

namespace orv {

// Longest command line taken (a position command of several thousand plies
// fits); a longer line is refused as a whole.
constexpr int LineCapacity = 65536;

enum XboardPonderState : int { PonderNone = 0, PonderRunning = 1, PonderHit = 2 };

struct ShellState {
  char line[LineCapacity] = {};
  bool forceMode = false;
  std::atomic<bool> analyzeMode{false};  // read by the search thread at its end
  std::atomic<bool> uciMode{false};
  bool newGameFlag = false;  // set by UCINEWGAME, cleared by the next go
  char pendingReply[LineCapacity + 8] = {};
  std::atomic<int32_t> lastSearchResult{0};
  // Steady-clock tick (ms) at which the current line was read: a move's time
  // runs from the command that asked for it, not from the thread's start.
  int64_t lineTick = 0;
  // Tick of the last UCI position command: an interface that sends position
  // and go together starts our clock at the first of them.
  // 0 once any other command followed it.
  int64_t positionTick = 0;

  // The next search's limits: a UCI go line's, or under xboard sd's depth and
  // the moves left after exclude. Copied to the main worker when it starts.
  SearchLimits nextLimits;
  bool nextSearchUntimed = false;  // go depth, nodes, mate, infinite or ponder without a clock
  bool nextSearchPonders = false;  // go ponder: the clock starts at ponderhit
  // Set by go infinite and go ponder, cleared by stop, ponderhit and every
  // command that ends the search: the search thread keeps its bestmove while it is set.
  std::atomic<bool> holdResult{false};
  // A go ponder search runs and awaits its ponderhit (command thread only), the
  // clock it then gets (milliseconds) and the tick its time counts from.
  bool pondering = false;
  int64_t ponderSoftMs = 0, ponderHardMs = 0;
  int64_t searchStartTick = 0;
  // xboard pondering (hard): the search thread, having played its move, plays
  // the reply it expects on the game and searches on (PonderRunning). The
  // command thread turns that search into the timed search of the next move
  // when the opponent plays that reply (PonderHit), or ends it (PonderNone),
  // and the search thread then restores the game as it was before the reply.
  std::atomic<int> xboardPonder{0};
  std::atomic<int64_t> xboardPonderStart{0};  // tick at which the pondering search started
  // The reply the last search expects to the move it chose (its line's second
  // move), 0 when none; written by the search thread when it announces its move.
  std::atomic<uint32_t> expectedReply{0};
};
// The command loop's state: written by the command thread; the search thread
// reads its atomic flags.
extern ShellState shell;

// Prints and empties the pending pong / readyok reply.
void flushPendingReply();

}  // namespace orv

// The command loop's protocol state.
#pragma once
#include <atomic>
#include <cstdint>

namespace orv {

// Longest command line taken (a position command of several thousand plies
// fits); a longer line is refused as a whole.
constexpr int LineCapacity = 65536;

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
  int64_t positionTick = 0;
};
// The command loop's state: written by the command thread; the search thread
// reads its atomic flags.
extern ShellState shell;

// Prints and empties the pending pong / readyok reply.
void flushPendingReply();

}  // namespace orv

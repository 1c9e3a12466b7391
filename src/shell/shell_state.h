// The command loop's protocol state.
#pragma once
#include <atomic>
#include <cstdint>

namespace orv {

constexpr int LineCapacity = 2700;   // at most 2699 characters are read per line

struct ShellState {
  char line[LineCapacity] = {};
  bool forceMode = false;
  std::atomic<bool> analyzeMode{false};   // read by the search thread at its end
  std::atomic<bool> uciMode{false};
  bool newGameFlag = false;               // set by UCINEWGAME, cleared by the next go
  char pendingReply[LineCapacity + 8] = {};
  std::atomic<int32_t> lastSearchResult{0};
};
extern ShellState shell;

// Prints and empties the pending pong / readyok reply.
void flushPendingReply();

}  // namespace orv

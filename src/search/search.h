// The search as the shell sees it.
#pragma once
#include <atomic>
#include <cstdint>

#include "board/game.h"

namespace orv {

// Settings the search reads; written by the command thread while no search
// runs (post may change any time).
struct SearchSettings {
  std::atomic<bool> post{false};    // print search lines
  std::atomic<bool> useBook{true};  // consult the opening book at the root
  int tablebaseMen = 0;             // largest number of men the registered tablebases cover
};
extern SearchSettings searchSettings;

// Raised by the command thread (stop) or the main worker's time check; read
// at every node of the main worker.
extern std::atomic<int> searchAbort;

// One move's time: soft and hard limits in milliseconds from startTick
// (a steady-clock tick). The soft limit ends the search at the next time check
// unless the root has just failed high; the hard one ends it at once.
struct MoveClock {
  int64_t softMs = 0, hardMs = 0;
  int64_t startTick = 0;
};
// The Game's limits in tenths, lowered to its millisecond caps, from its start tick.
MoveClock moveClockOf(const Game& g);

// The root search's result: the move in the low half, its score (16 bits with
// the sign) in the high half; -1 when the game is over.
constexpr int32_t packSearchResult(Move m, int score) {
  return int32_t(uint32_t(uint16_t(score)) << 16 | (m & 0xFFFF));
}
constexpr Move resultMove(int32_t result) { return Move(result) & 0xFFFF; }
constexpr int resultScore(int32_t result) { return int16_t(uint32_t(result) >> 16); }

struct SearchWorker;

// Searches the Game's position with its time limits on the main worker w
// (and the helpers of its pool); returns its result word. The root moves in
// their final order and the last depth reached are left in w.state.
int32_t rootSearch(const Game& g, SearchWorker& w);

// The xboard "." status line of a worker's search.
void printStatus(const SearchWorker& w);

// Diagnostic hook: the shell installs a writer for the game log's "OV code %d"
// line at start-up; only the main worker calls it.
extern void (*diagnosticHook)(int code);

}  // namespace orv

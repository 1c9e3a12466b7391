// Command line of the game-playing driver.
#pragma once
#include <string>

namespace orv::match {

enum class Protocol { Xboard, Uci };

// Time control: base time per control period, moves per period (0 = whole game),
// increment per move; all in milliseconds except the move count.
struct TimeControlSpec {
  int moves = 0;
  long long baseMs = 0;
  long long incrementMs = 0;
};

struct MatchOptions {
  std::string engine[2];  // engine 1 and engine 2 (the same binary by default)
  int games = 2;
  Protocol protocol = Protocol::Xboard;
  TimeControlSpec control;
  int maxPlies = 300;               // game adjudicated a draw after this many plies
  long long toleranceMs = 50;       // overstep of the clock not yet counted as a forfeit
  long long hangMarginMs = 5000;    // beyond clock and tolerance: silence counts as a hang
  bool verbose = false;             // print every move
  bool ponder[2] = {false, false};  // UCI: the engine ponders on the opponent's time
};

// "[moves/]seconds[+increment]", seconds may have a fraction: "40/60", "10+0.1", "0/5+1".
bool parseTimeControl(const std::string& text, TimeControlSpec& out);
// Fills `out` from the command line; false with a message in `error`.
bool parseMatchOptions(int argc, char** argv, MatchOptions& out, std::string& error);
const char* matchUsage();

}  // namespace orv::match

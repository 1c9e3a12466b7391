// Plays a match between two engine processes and reports the faults it sees.
#pragma once
#include <string>
#include <vector>

#include "match_options.h"

namespace orv::match {

struct MatchTotals {
  int games = 0;
  int wins[2] = {0, 0};  // by engine 1 and engine 2
  int draws = 0;
  int illegalMoves = 0;  // a move our generator does not allow
  int timeForfeits = 0;  // a move that came after the clock ran out
  int crashes = 0;       // the process ended unexpectedly
  int hangs = 0;         // no reply within clock, tolerance and margin
  int complaints = 0;    // "Illegal move" or "Error" lines about what the match sent
  int outOfTurn = 0;     // a move from the engine that was not on move
  int faults() const { return illegalMoves + timeForfeits + crashes + hangs + complaints + outOfTurn; }
};

// Plays every game, printing one line per game and the faults; returns the totals.
MatchTotals runMatch(const MatchOptions& options);
void printTotals(const MatchTotals& totals);

}  // namespace orv::match

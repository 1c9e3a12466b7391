#include "search/repetition.h"

#include <algorithm>

namespace orv {

void RepetitionHistory::seed(const Game& g) {
  // The room past the newest record keeps what earlier searches wrote there,
  // as the game's own history did when the search wrote into it.
  if (records.size() < g.history.size()) records.resize(g.history.size());
  const int copied = std::min<int>(g.lastRecord + 1, int(g.history.size()));
  if (copied > 0) std::copy(g.history.begin(), g.history.begin() + copied, records.begin());
  lastRecord = g.lastRecord;
  ply = g.ply;
  const bool played = g.ply >= 0;
  setupLock = played ? g.setupKey[1] : g.board.key[1];
  setupSide = played ? g.setupSide : g.side;
}

void RepetitionHistory::seed(const RepetitionHistory& other) { *this = other; }

}  // namespace orv

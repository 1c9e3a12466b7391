// The records the search's draw rules walk: the game's history up to its
// newest record, copied when a search starts, and beyond it one record per
// search ply that the worker writes itself. The search never writes the Game.
#pragma once
#include <cstdint>
#include <vector>

#include "board/game.h"

namespace orv {

struct RepetitionHistory {
  std::vector<HistoryRecord> records;  // indexed as the game's history
  int lastRecord = -1;                 // the game's newest record
  int ply = -1;                        // the game's record of the last move played, -1 at set-up
  // Lock word and side to move of the position before the first record (the
  // set-up position), which the walk counts when it reaches the start of the game.
  uint32_t setupLock = 0;
  int setupSide = White;

  // Copies the game's records and counters (the command thread, before the search starts).
  void seed(const Game& g);
  // The same from another worker's copy (a helper thread at its start).
  void seed(const RepetitionHistory& other);
};

}  // namespace orv

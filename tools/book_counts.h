// What the book builder counts per position of its games, and the Polyglot
// writer of those counts.
#pragma once
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "board/types.h"

namespace orv {

struct MoveCount {
  Move move;
  long games = 0, points = 0;
  int firstSeen = 0;  // order of first appearance, to break ties the same way every run
};

struct PositionCounts {
  uint64_t polyglotKey = 0;
  std::vector<MoveCount> moves;
};

// Keyed by the engine's position text.
using BookCounts = std::map<std::string, PositionCounts>;

// Writes a Polyglot book: every move seen in at least minGames games, weighted
// by its points (win 2, draw 1), all weights divided by one factor when the
// largest would not fit 16 bits; moves whose weight is 0 are left out. The
// entries go in key order, a key's moves by falling weight. `positions` gets
// the number of keys written; false when writing failed.
bool writePolyglotBook(std::FILE* out, const BookCounts& book, int minGames, int& positions);

}  // namespace orv

// The weighted random choice among a record's book moves.
#include <cstdlib>

#include "board/game.h"
#include "book/book.h"

namespace orv {

// Records whose points exceed twice their games would score above 100%; the
// percentage is clamped to 100 so that five slots always fit in the draw table.
int bookSlotWeight(int games, int points) {
  float percentage = 50.0f;
  if (games != 0) percentage = float(points) * 0.5f / float(games) * 100.0f;
  if (percentage > 100.0f) percentage = 100.0f;
  return int(percentage / 10.0f) + 1;
}

Move chooseBookMove(const BookRecord& record) {
  int used = 0;
  while (used < BookSlots && bookMove(record, used) != 0) ++used;
  if (used == 0) return 0;

  int drawTable[BookDrawTableSize];
  int total = 0;
  for (int slot = 0; slot < used; ++slot) {
    int weight = bookSlotWeight(bookGames(record, slot), bookPoints(record, slot));
    for (int k = 0; k < weight; ++k) drawTable[total++] = slot;
  }
  game.lastBookPly = game.ply + 1;
  int r = std::rand() % total;
  return bookMove(record, drawTable[r]);
}

}  // namespace orv

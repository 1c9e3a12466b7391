// The root search's book query: key of the Game's position, lookup, legality.
#include <cstdlib>
#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "book/book.h"

namespace orv {

Move lookupBookMove() {
  const BookSource& chosen = bookSource();
  if (chosen.kind == PolyglotBook) return lookupPolyglotMove(chosen.path, chosen.best);
  FILE* file = openBookFile();
  if (!file) return 0;
  char key[FenTextSize];
  writeFen(key);
  BookRecord record;
  Move m = 0;
  if (findBookRecord(file, key, record)) {
    // The initial position's key answers with the 60/40 rule.
    if (std::strncmp(key, StartFen, StartPlacementLength) == 0) {
      m = (std::rand() % 100 < 60) ? BookE2E4 : BookD2D4;
    } else {
      m = chooseBookMove(record);
    }
  }
  std::fclose(file);
  return m;
}

int probeBook(Move* rootList) {
  if (game.bookAttempts == 0) return 0;
  Move m = lookupBookMove();
  if (m == 0) {
    --game.bookAttempts;
    return 0;
  }
  // A move is found by its squares; a Polyglot promotion also by its piece.
  const Move compared = bookSource().kind == PolyglotBook && isPromotion(m) ? 0x7FFF : 0xFFF;
  for (int i = 0; rootList[i] != 0; ++i) {
    if ((rootList[i] & compared) == (m & compared)) {
      Move found = rootList[i];
      rootList[i] = rootList[0];
      rootList[0] = found;
      return 1;
    }
  }
  return 0;
}

}  // namespace orv

// The move a Polyglot book gives for the Game's position.
#include <cstdlib>

#include "board/game.h"
#include "book/book.h"
#include "book/polyglot_book.h"
#include "book/polyglot_key.h"

namespace orv {

Move choosePolyglotMove(const PolyglotEntry* entries, int count, bool best) {
  Move moves[PolyglotEntriesPerKey];
  int weights[PolyglotEntriesPerKey];
  int n = 0;
  long total = 0;
  for (int i = 0; i < count && n < PolyglotEntriesPerKey; ++i) {
    if (entries[i].weight == 0) continue;  // a weight of 0 means never play it
    const Move m = legalMoveOfField(entries[i].move, game.board, game.legal);
    if (m == 0) continue;
    moves[n] = m;
    weights[n] = entries[i].weight;
    total += weights[n++];
  }
  if (n == 0) return 0;
  game.lastBookPly = game.ply + 1;
  int chosen = 0;
  if (best) {
    for (int i = 1; i < n; ++i)
      if (weights[i] > weights[chosen]) chosen = i;
  } else {
    // At most 256 weights of 65535: the total stays below RAND_MAX.
    long r = std::rand() % total;
    while (r >= weights[chosen]) r -= weights[chosen++];
  }
  return moves[chosen];
}

Move lookupPolyglotMove(const char* path, bool best) {
  std::FILE* file = nullptr;
  long entries = 0;
  if (openPolyglotFile(path, file, entries) != PolyglotOk) return 0;
  PolyglotEntry found[PolyglotEntriesPerKey];
  const int count = findPolyglotEntries(file, entries, polyglotGameKey(), found, PolyglotEntriesPerKey);
  std::fclose(file);
  return choosePolyglotMove(found, count, best);
}

}  // namespace orv

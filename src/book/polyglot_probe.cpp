// The move a Polyglot book gives for the Game's position.
#include <cstdlib>

#include "board/game.h"
#include "book/book.h"
#include "book/polyglot_book.h"
#include "book/polyglot_key.h"

namespace orv {

namespace {

// The entries that may be played in the Game's position, as moves and weights:
// moves not legal there and weights of 0 are passed over.
int playableEntries(const PolyglotEntry* entries, int count, Move* moves, int* weights) {
  int n = 0;
  for (int i = 0; i < count && n < PolyglotEntriesPerKey; ++i) {
    if (entries[i].weight == 0) continue;  // a weight of 0 means never play it
    const Move m = legalMoveOfField(entries[i].move, game.board, game.legal);
    if (m == 0) continue;
    moves[n] = m;
    weights[n++] = entries[i].weight;
  }
  return n;
}

// The entries of the Game's position in the book at `path`; their count.
int readGameEntries(const char* path, PolyglotEntry* found) {
  std::FILE* file = nullptr;
  long entries = 0;
  if (openPolyglotFile(path, file, entries) != PolyglotOk) return 0;
  const int count = findPolyglotEntries(file, entries, polyglotGameKey(), found, PolyglotEntriesPerKey);
  std::fclose(file);
  return count;
}

}  // namespace

Move choosePolyglotMove(const PolyglotEntry* entries, int count, bool best) {
  Move moves[PolyglotEntriesPerKey];
  int weights[PolyglotEntriesPerKey];
  const int n = playableEntries(entries, count, moves, weights);
  long total = 0;
  for (int i = 0; i < n; ++i) total += weights[i];
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
  PolyglotEntry found[PolyglotEntriesPerKey];
  const int count = readGameEntries(path, found);
  return choosePolyglotMove(found, count, best);
}

int listPolyglotMoves(const char* path, Move* moves, int* weights) {
  PolyglotEntry found[PolyglotEntriesPerKey];
  const int count = readGameEntries(path, found);
  return playableEntries(found, count, moves, weights);
}

}  // namespace orv

// The Polyglot book reader: the first line is a FEN (the start position when
// it cannot be set up), the rest the book file. Whatever the bytes, a lookup
// ends, and a move it gives is one of the position's legal moves.
#include <cstdio>
#include <cstdlib>

#include "board/board.h"
#include "board/game.h"
#include "book/book.h"
#include "book/polyglot_book.h"
#include "book/polyglot_key.h"
#include "fuzz/fuzz_input.h"

using namespace orv;

namespace {

bool isLegal(Move m) {
  for (const Move* p = game.legal; *p; ++p)
    if ((*p & 0x7FFF) == m) return true;
  return false;
}

void mustBeLegal(Move m) {
  if (m != 0 && !isLegal(m)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text = fuzz::asText(data, size);
  const size_t newline = text.find('\n');
  const std::string fen = newline == std::string::npos ? text : text.substr(0, newline);
  const size_t bookStart = newline == std::string::npos ? size : newline + 1;
  std::FILE* memory = fuzz::memoryFile(data + bookStart, size - bookStart);
  if (!memory) return 0;
  const std::string path = fuzz::pathOf(memory);
  newGame();
  if (parseFen(fen.c_str()) < 0) newGame();
  std::srand(unsigned(size));

  std::FILE* file = nullptr;
  long entries = 0;
  if (openPolyglotFile(path.c_str(), file, entries) == PolyglotOk) {
    checkPolyglotEntries(file, entries);  // the books it refuses are still searched below
    PolyglotEntry found[PolyglotEntriesPerKey];
    int count = findPolyglotEntries(file, entries, polyglotGameKey(), found, PolyglotEntriesPerKey);
    mustBeLegal(choosePolyglotMove(found, count, false));
    mustBeLegal(choosePolyglotMove(found, count, true));
    // The first entry's key, so that the moves of a found key are read and matched.
    if (entries > 0 && size - bookStart >= size_t(PolyglotEntrySize)) {
      const PolyglotEntry first = decodePolyglotEntry(data + bookStart);
      count = findPolyglotEntries(file, entries, first.key, found, PolyglotEntriesPerKey);
      if (count == 0 && checkPolyglotEntries(file, entries) == PolyglotOk) __builtin_trap();  // a sorted book finds it
      mustBeLegal(choosePolyglotMove(found, count, false));
    }
    std::fclose(file);
  }
  mustBeLegal(lookupPolyglotMove(path.c_str(), true));
  std::fclose(memory);
  return 0;
}

// Writes small Polyglot books for the tests, and plays coordinate moves on the Game.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "board/game.h"
#include "book/polyglot_book.h"
#include "notation/movetext.h"

namespace orv::test {

// Writes the entries as given (in their order), then `tail` raw bytes.
inline void writePolyglotFile(const std::string& path, const std::vector<PolyglotEntry>& entries,
                              const std::string& tail = "") {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  for (const PolyglotEntry& e : entries) {
    unsigned char bytes[PolyglotEntrySize];
    encodePolyglotEntry(e, bytes);
    std::fwrite(bytes, 1, sizeof bytes, f);
  }
  std::fwrite(tail.data(), 1, tail.size(), f);
  std::fclose(f);
}

// Plays the blank-separated coordinate moves on the Game; false at the first one refused.
inline bool playMoves(const std::string& moves) {
  size_t at = 0;
  while (at < moves.size()) {
    size_t end = moves.find(' ', at);
    if (end == std::string::npos) end = moves.size();
    std::string token = moves.substr(at, end - at);
    at = end + 1;
    if (token.empty()) continue;
    const Move m = parseCoordinateMove(token.data(), game.side);
    if (m == 0 || makeGameMove(m) < 0) return false;
  }
  return true;
}

// A Polyglot move field from coordinate text ("e2e4", "e7e8q"), written as the format writes it.
inline uint16_t fieldOf(const char* text) {
  const int from = (text[0] - 'a') + 8 * (text[1] - '1'), to = (text[2] - 'a') + 8 * (text[3] - '1');
  int promotion = 0;
  if (text[4]) promotion = text[4] == 'n' ? 1 : text[4] == 'b' ? 2 : text[4] == 'r' ? 3 : 4;
  return uint16_t(to | from << 6 | promotion << 12);
}

}  // namespace orv::test

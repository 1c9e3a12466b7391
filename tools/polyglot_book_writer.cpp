// The book builder's Polyglot output.
#include <algorithm>

#include "book/polyglot_book.h"
#include "book_counts.h"

namespace orv {

namespace {

struct Candidate {
  PolyglotEntry entry;
  long points;
};

}  // namespace

bool writePolyglotBook(std::FILE* out, const BookCounts& book, int minGames, int& positions) {
  std::vector<Candidate> kept;
  long largest = 0;
  for (const auto& [text, position] : book) {
    for (const MoveCount& c : position.moves) {
      if (c.games < minGames || c.points <= 0) continue;
      PolyglotEntry e;
      e.key = position.polyglotKey;
      e.move = polyglotMoveField(c.move);
      kept.push_back({e, c.points});
      largest = std::max(largest, c.points);
    }
  }
  const long divisor = (largest + 65534) / 65535;  // 1 unless a weight would not fit
  std::vector<PolyglotEntry> entries;
  for (Candidate& c : kept) {
    c.entry.weight = uint16_t(c.points / (divisor > 0 ? divisor : 1));
    if (c.entry.weight > 0) entries.push_back(c.entry);
  }
  std::stable_sort(entries.begin(), entries.end(), [](const PolyglotEntry& a, const PolyglotEntry& b) {
    return a.key != b.key ? a.key < b.key : a.weight > b.weight;
  });
  positions = 0;
  bool written = true;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i == 0 || entries[i].key != entries[i - 1].key) ++positions;
    unsigned char bytes[PolyglotEntrySize];
    encodePolyglotEntry(entries[i], bytes);
    written = written && std::fwrite(bytes, 1, sizeof bytes, out) == sizeof bytes;
  }
  return written;
}

}  // namespace orv

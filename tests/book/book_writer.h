// Writes small book files for the tests.
#pragma once
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "book/book.h"
#include "support/temp_dir.h"

namespace orv::test {

struct BookSlotData {
  int games, points;
  Move move;
};

inline BookRecord makeBookRecord(const std::string& key, const std::vector<BookSlotData>& slots) {
  BookRecord r{};
  std::memcpy(r.bytes, key.data(), key.size() < 69 ? key.size() : 69);
  for (size_t i = 0; i < slots.size() && i < 5; ++i) {
    const int values[3] = {slots[i].games, slots[i].points, int(slots[i].move)};
    for (int f = 0; f < 3; ++f) {
      r.bytes[70 + 6 * i + 2 * f] = values[f] & 0xFF;
      r.bytes[71 + 6 * i + 2 * f] = (values[f] >> 8) & 0xFF;
    }
  }
  return r;
}

// Writes the records, then `tail` extra raw bytes (a truncated record).
inline void writeBookFile(const std::string& path, const std::vector<BookRecord>& records,
                          const std::string& tail = "") {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  for (const BookRecord& r : records) std::fwrite(r.bytes, 1, sizeof r.bytes, f);
  std::fwrite(tail.data(), 1, tail.size(), f);
  std::fclose(f);
}

}  // namespace orv::test

// Canonical prefix decoder construction with length checks.
#include "tablebase/prefix_code.h"

namespace orv::tb {

namespace {

constexpr int32_t Unset = INT32_MIN;

// Walks (and grows) the tree below a direct entry for the bits of `code`
// beyond the first lookupBits, and stores the leaf.
void insertLong(std::vector<int32_t>& table, int lookupBits, uint32_t code, int length, int32_t leaf) {
  size_t slot = code >> (length - lookupBits);
  for (int bit = length - lookupBits - 1; bit >= 0; --bit) {
    if (table[slot] == Unset) {
      table[slot] = -int32_t(table.size());
      table.push_back(Unset);
      table.push_back(Unset);
    }
    slot = size_t(-table[slot]) + ((code >> bit) & 1);
  }
  table[slot] = leaf;
}

}  // namespace

int buildPrefixDecoder(const uint8_t* lengths, int count, int lookupBits, std::vector<int32_t>* table) {
  table->clear();
  int perLength[MaxCodeLength + 1] = {};
  int used = 0, lone = -1;
  for (int s = 0; s < count; ++s) {
    if (lengths[s] > MaxCodeLength) return PrefixCodeBadLength;
    if (lengths[s] != 0) {
      ++perLength[lengths[s]];
      ++used;
      lone = s;
    }
  }
  const size_t direct = size_t(1) << lookupBits;
  if (used == 0) {
    table->assign(direct, 0);
    return PrefixCodeEmpty;
  }
  if (used == 1) {
    if (lengths[lone] != 1) return PrefixCodeBadLength;
    table->assign(direct, int32_t(lone) * 32);  // decoded without consuming a bit
    return PrefixCodeOk;
  }

  // Kraft sum in units of 2^-31: over-full above, incomplete below.
  int64_t room = 1;
  uint32_t nextCode[MaxCodeLength + 2] = {};
  uint32_t code = 0;
  for (int len = 1; len <= MaxCodeLength; ++len) {
    room = room * 2 - perLength[len];
    if (room < 0) return PrefixCodeOverfull;
    nextCode[len] = code;
    code = (code + perLength[len]) << 1;
  }
  if (room != 0) return PrefixCodeIncomplete;

  table->assign(direct, Unset);
  for (int s = 0; s < count; ++s) {
    const int len = lengths[s];
    if (len == 0) continue;
    const uint32_t c = nextCode[len]++;
    const int32_t leaf = int32_t(s) * 32 + len;
    if (len <= lookupBits) {
      const uint32_t first = c << (lookupBits - len), last = (c + 1) << (lookupBits - len);
      for (uint32_t i = first; i < last; ++i) (*table)[i] = leaf;
    } else {
      insertLong(*table, lookupBits, c, len, leaf);
    }
  }
  return PrefixCodeOk;
}

}  // namespace orv::tb

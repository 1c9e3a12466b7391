// Material keys, their lookup tree and the tree of all known tables.
#include "tablebase/material_key.h"

#include <mutex>

#include "tablebase/table_info.h"

namespace orv::tb {

namespace {

constexpr int MaxMen = 3;  // men besides the kings in a table

// Keys of `length` counts summing to at most `budget`.
constexpr int keysWithin(int length, int budget) {
  // C(length + budget, budget)
  long long n = 1;
  for (int i = 1; i <= budget; ++i) n = n * (length + i) / i;
  return int(n);
}
static_assert(keysWithin(MaterialKeySize, MaxMen) == MaterialTreeSize);

// step[i][r][c]: slots skipped at count i when r men are still available and
// the count is c: the keys whose count i is lower than c.
struct TreeSteps {
  int step[MaterialKeySize][MaxMen + 1][MaxMen + 1] = {};
  constexpr TreeSteps() {
    for (int i = 0; i < MaterialKeySize; ++i)
      for (int r = 0; r <= MaxMen; ++r) {
        int skipped = 0;
        for (int c = 0; c <= r; ++c) {
          step[i][r][c] = skipped;
          skipped += keysWithin(MaterialKeySize - 1 - i, r - c);
        }
      }
  }
};
constexpr TreeSteps treeSteps;

int keyIndexOfLetter(char c) {
  switch (c) {
    case 'p': return KeyPawns;
    case 'n': return KeyKnights;
    case 'b': return KeyBishops;
    case 'r': return KeyRooks;
    case 'q': return KeyQueens;
    default: return -1;
  }
}

}  // namespace

int materialKeyOf(const Board& b, MaterialKey& key) {
  key = {};
  int men = 0;
  for (int slot = 0; slot < 32; ++slot) {
    if (b.square[slot] < 0 || b.square[slot] > 63) continue;
    const int black = colourOfSlot(slot) == Black ? KeyBlack : 0;
    switch (b.kind[slot]) {
      case Queen: ++key.count[black + KeyQueens]; break;
      case Rook: ++key.count[black + KeyRooks]; break;
      case Bishop: ++key.count[black + KeyBishops]; break;
      case Knight: ++key.count[black + KeyKnights]; break;
      case WhitePawn:
      case BlackPawn: ++key.count[black + KeyPawns]; break;
      default: continue;  // kings are not counted
    }
    ++men;
  }
  return men;
}

bool materialKeyOfName(const char* name, MaterialKey& key) {
  key = {};
  if (name == nullptr || name[0] != 'k') return false;
  int side = 0;
  for (const char* p = name + 1; *p != '\0'; ++p) {
    if (*p == 'k') {
      if (++side > 1) return false;
      continue;
    }
    const int k = keyIndexOfLetter(*p);
    if (k < 0 || key.count[side * KeyBlack + k] == 255) return false;
    ++key.count[side * KeyBlack + k];
  }
  return side == 1;
}

MaterialKey exchangeColours(const MaterialKey& key) {
  MaterialKey out;
  for (int i = 0; i < KeyBlack; ++i) {
    out.count[i] = key.count[i + KeyBlack];
    out.count[i + KeyBlack] = key.count[i];
  }
  return out;
}

int materialTreeSlot(const MaterialKey& key) {
  int slot = 0, available = MaxMen;
  for (int i = 0; i < MaterialKeySize; ++i) {
    const int c = key.count[i];
    if (c > available) return -1;
    slot += treeSteps.step[i][available][c];
    available -= c;
  }
  return slot;
}

void clearMaterialTree(MaterialTree& tree) {
  for (int16_t& t : tree.table) t = 0;
}

bool enterTable(MaterialTree& tree, const char* name, int table) {
  MaterialKey key;
  if (!materialKeyOfName(name, key)) return false;
  const int slot = materialTreeSlot(key);
  const int exchanged = materialTreeSlot(exchangeColours(key));
  if (slot < 0 || exchanged < 0) return false;
  tree.table[slot] = int16_t(table);
  tree.table[exchanged] = int16_t(-table);
  return true;
}

int findTable(const MaterialTree& tree, const MaterialKey& key) {
  const int slot = materialTreeSlot(key);
  return slot < 0 ? 0 : tree.table[slot];
}

int tableNumber(const MaterialKey& key) {
  static MaterialTree all;
  static std::once_flag once;
  std::call_once(once, [] {
    clearMaterialTree(all);
    for (int table = 1; table <= TableCount; ++table) enterTable(all, tableInfo[table].name, table);
  });
  return findTable(all, key);
}

}  // namespace orv::tb

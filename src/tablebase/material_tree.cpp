#include "tablebase/material_tree.h"

namespace orv::tb {

namespace {

// The tree is nested arrays, one level per count. A node at level l with r
// men still available holds r + 1 entries, one per count 0..r: below the last
// level an entry is the position of the child node, at the last level the
// signed table number. A key is found in ten indexed steps.
constexpr int nodeSize(int level, int remaining) {
  int size = remaining + 1;
  if (level + 1 < MaterialKinds)
    for (int c = 0; c <= remaining; ++c) size += nodeSize(level + 1, remaining - c);
  return size;
}
constexpr int TreeSize = nodeSize(0, MaxTableMen);

int32_t tree[TreeSize];
bool laidOut = false;

// Lays out the node at `at` and the nodes below it; returns the next free position.
int layOut(int at, int level, int remaining) {
  int next = at + remaining + 1;
  for (int c = 0; c <= remaining; ++c) {
    if (level + 1 < MaterialKinds) {
      tree[at + c] = next;
      next = layOut(next, level + 1, remaining - c);
    } else {
      tree[at + c] = 0;
    }
  }
  return next;
}

// Position of the key's leaf entry, or -1 when the key holds too many men.
int leafOf(const uint8_t* counts) {
  int node = 0, remaining = MaxTableMen;
  for (int level = 0;; ++level) {
    const int c = counts[level];
    if (c > remaining) return -1;
    if (level + 1 == MaterialKinds) return node + c;
    remaining -= c;
    node = tree[node + c];
  }
}

int keyOfLetter(char c) {
  switch (c) {
    case 'p': return PawnKey;
    case 'n': return KnightKey;
    case 'b': return BishopKey;
    case 'r': return RookKey;
    case 'q': return QueenKey;
    default: return -1;
  }
}

}  // namespace

void materialOfName(const char* name, uint8_t* counts) {
  for (int i = 0; i < MaterialKinds; ++i) counts[i] = 0;
  int kings = 0;
  for (const char* p = name; *p; ++p) {
    if (*p == 'k') {
      ++kings;
      continue;
    }
    const int key = keyOfLetter(*p);
    if (key >= 0 && kings > 0) ++counts[key + (kings >= 2 ? BlackKeyBase : 0)];
  }
}

void exchangeColours(const uint8_t* counts, uint8_t* exchanged) {
  for (int i = 0; i < BlackKeyBase; ++i) {
    exchanged[i] = counts[i + BlackKeyBase];
    exchanged[i + BlackKeyBase] = counts[i];
  }
}

void clearMaterialTree() {
  // Laying the tree out again rewrites the same child positions and zeroes the leaves.
  layOut(0, 0, MaxTableMen);
  laidOut = true;
}

bool enterMaterial(const uint8_t* counts, int number) {
  if (!laidOut) clearMaterialTree();
  const int leaf = leafOf(counts);
  if (leaf < 0) return false;
  tree[leaf] = number;
  return true;
}

int findMaterial(const uint8_t* counts) {
  if (!laidOut) return 0;
  const int leaf = leafOf(counts);
  return leaf < 0 ? 0 : tree[leaf];
}

}  // namespace orv::tb

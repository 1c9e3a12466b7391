#include "hash/hashtable.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace orv {

TranspositionTable transpositionTable;
PawnHashTable pawnHashTable;

namespace {

constexpr uint32_t roundUpToEven(uint64_t n) { return uint32_t(n + (n & 1)); }

// Table memory in 2 MB aligned blocks that the system is asked to back with
// large pages: a probe then rarely misses the address translation caches,
// whose misses otherwise cost about as much as the probe's cache miss itself.
constexpr uint64_t LargePage = 2ull << 20;
void* allocateTable(uint64_t bytes) {
  const uint64_t rounded = (bytes + LargePage - 1) / LargePage * LargePage;
  void* p = std::aligned_alloc(LargePage, rounded);
#ifdef MADV_HUGEPAGE
  if (p) madvise(p, rounded, MADV_HUGEPAGE);  // a hint; refused, the table simply uses small pages
#endif
  return p;
}

}  // namespace

uint64_t clampHashBytes(uint64_t bytes) {
  if (bytes < MinHashBytes) return MinHashBytes;
  if (bytes > MaxHashBytes) return MaxHashBytes;
  return bytes;
}

// Seven eighths of the budget in 24-byte buckets.
uint32_t transpositionEntriesFor(uint64_t size) { return roundUpToEven((size - size / 8) / 24); }

// One eighth of the budget in 42-byte entries.
uint32_t pawnEntriesFor(uint64_t size) { return roundUpToEven(size / 336); }

int allocateHashTables(uint64_t bytes) {
  const uint64_t size = clampHashBytes(bytes);
  const uint32_t n = transpositionEntriesFor(size);
  const uint32_t m = pawnEntriesFor(size);
  // Both new tables are obtained before the old ones are given up: a request
  // the system refuses leaves the previous tables in place and usable.
  auto* entries = static_cast<TTEntry*>(allocateTable(uint64_t(n) * sizeof(TTEntry)));
  auto* pawnEntries = static_cast<PawnHashEntry*>(allocateTable(uint64_t(m) * sizeof(PawnHashEntry)));
  if (!entries || !pawnEntries) {
    std::free(entries);
    std::free(pawnEntries);
    return -1;
  }
  std::free(transpositionTable.entries);
  transpositionTable.entries = entries;
  transpositionTable.count = n;
  transpositionTable.reciprocal = moduloReciprocal(n);
  clearTranspositionTable();
  std::free(pawnHashTable.entries);
  pawnHashTable.entries = pawnEntries;
  pawnHashTable.count = m;
  pawnHashTable.reciprocal = moduloReciprocal(m);
  clearPawnTable();
  return int(uint32_t(size));
}

void clearTranspositionTable() {
  if (transpositionTable.entries)
    std::memset(static_cast<void*>(transpositionTable.entries), 0,
                uint64_t(transpositionTable.count) * sizeof(TTEntry));
  transpositionTable.generation = 1;
}

void clearPawnTable() {
  if (pawnHashTable.entries)
    std::memset(static_cast<void*>(pawnHashTable.entries), 0, uint64_t(pawnHashTable.count) * sizeof(PawnHashEntry));
}

void nextGeneration() {
  transpositionTable.generation = transpositionTable.generation >= 31 ? 1 : transpositionTable.generation + 1;
}

void releaseHashTables() {
  std::free(transpositionTable.entries);
  std::free(pawnHashTable.entries);
  transpositionTable = TranspositionTable{};
  pawnHashTable = PawnHashTable{};
}

void store(int type, int score, uint32_t move, int depth256, int pvFlag, int ply, uint32_t indexWord, uint32_t lockWord,
           int staticEval) {
  TTEntry& e = bucketOf(indexWord);
  const int g = transpositionTable.generation;
  const int depth = depth256 >> 8;
  const TTSlot s0 = readSlot(e, 0), s1 = readSlot(e, 1);
  int i;
  bool samePosition = false;
  if (s0.bound() == TTEmpty) {
    i = 0;
  } else if (s0.lock == lockWord) {
    i = 0;
    samePosition = true;
  } else if (s1.bound() == TTEmpty) {
    i = 1;
  } else if (s1.lock == lockWord) {
    i = 1;
    samePosition = true;
  } else {
    // Each generation of age costs a slot 8 plies of worth; ties replace slot 0.
    const int worth0 = s0.depth() - 8 * ((g - s0.generation()) & 31);
    const int worth1 = s1.depth() - 8 * ((g - s1.generation()) & 31);
    i = worth1 < worth0 ? 1 : 0;
  }

  const TTSlot& old = i == 0 ? s0 : s1;
  uint16_t storedMove = uint16_t(move);
  if (samePosition) {
    // A deeper result of this search survives a shallower non-exact one.
    if (old.depth() - 3 > depth + 2 * pvFlag && type != TTExact && old.generation() == g) return;
    if (storedMove == 0) storedMove = old.move;
  }
  TTSlot slot;
  slot.lock = lockWord;
  slot.score = int16_t(scoreToTable(score, ply));
  slot.eval = int16_t(staticEval);
  slot.move = storedMove;
  slot.packed = uint16_t((type & 7) | ((depth & 127) << 3) | ((g & 31) << 10) | ((pvFlag & 1) << 15));
  writeSlot(e, i, slot);
}

bool allocatePawnTable(PawnHashTable& t, uint32_t entries) {
  releasePawnTable(t);
  entries += entries & 1;
  auto* p = static_cast<PawnHashEntry*>(allocateTable(uint64_t(entries) * sizeof(PawnHashEntry)));
  if (!p) return false;
  std::memset(static_cast<void*>(p), 0, uint64_t(entries) * sizeof(PawnHashEntry));
  t.entries = p;
  t.count = entries;
  t.reciprocal = moduloReciprocal(entries);
  return true;
}

void releasePawnTable(PawnHashTable& t) {
  std::free(t.entries);
  t = PawnHashTable{};
}

}  // namespace orv

namespace orv {

int transpositionPermille() {
  const TranspositionTable& t = transpositionTable;
  const uint32_t buckets = std::min<uint32_t>(t.count, 500);
  if (buckets == 0) return 0;
  int used = 0;
  for (uint32_t b = 0; b < buckets; ++b)
    for (int i = 0; i < 2; ++i)
      if (readSlot(t.entries[b], i).generation() == t.generation) ++used;
  return int(used * 1000 / (2 * buckets));
}

}  // namespace orv

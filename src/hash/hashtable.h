// Transposition table and pawn hash table: one memory budget, plain heap
// arrays, indexed by the low key word modulo the entry count and confirmed by
// the high key word (the lock).
#pragma once
#include <atomic>
#include <cstdint>

#include "board/score.h"

namespace orv {

// Bound types of a transposition slot.
enum TTBound : int { TTEmpty = 0, TTLower = 1, TTUpper = 2, TTExact = 3, TTTablebase = 5 };
constexpr int16_t TTNoEval = -InfiniteScore;  // static evaluation not known

// One remembered search result as the search reads it (12 bytes).
struct TTSlot {
  uint32_t lock;    // high word of the position's key
  int16_t score;    // mate scores relative to the node
  int16_t eval;     // static evaluation, TTNoEval when not known
  uint16_t move;    // low 16 bits of the Move, 0 = none
  uint16_t packed;  // bits 0-2 bound, 3-9 depth in plies, 10-14 generation, 15 PV flag

  int bound() const { return packed & 7; }
  int depth() const { return (packed >> 3) & 127; }
  int generation() const { return (packed >> 10) & 31; }
  bool pv() const { return (packed >> 15) != 0; }
};
static_assert(sizeof(TTSlot) == 12);

// A bucket of two slots (24 bytes); no other entry is looked at for a key.
// The search threads share the table without a lock, so each slot is stored
// as two words that are read and written whole: the data word (score, eval,
// move, packed) and the lock word XOR the two halves of the data word. A slot
// whose words come from two different stores (two threads writing it at once)
// then fails the lock test and reads as a miss, never as a mixed result.
struct TTEntry {
  uint32_t lock[2];  // lock ^ foldData(data)
  uint64_t data[2];
};
static_assert(sizeof(TTEntry) == 24);

constexpr uint64_t packSlotData(const TTSlot& s) {
  return uint64_t(uint16_t(s.score)) | uint64_t(uint16_t(s.eval)) << 16 | uint64_t(s.move) << 32 |
         uint64_t(s.packed) << 48;
}
constexpr uint32_t foldData(uint64_t data) { return uint32_t(data) ^ uint32_t(data >> 32); }

// Slot i of a bucket as it stands, read with single-word atomic loads.
inline TTSlot readSlot(const TTEntry& e, int i) {
  const uint64_t data = std::atomic_ref<const uint64_t>(e.data[i]).load(std::memory_order_relaxed);
  const uint32_t lock = std::atomic_ref<const uint32_t>(e.lock[i]).load(std::memory_order_relaxed);
  TTSlot s;
  s.lock = lock ^ foldData(data);
  s.score = int16_t(data);
  s.eval = int16_t(data >> 16);
  s.move = uint16_t(data >> 32);
  s.packed = uint16_t(data >> 48);
  return s;
}
inline void writeSlot(TTEntry& e, int i, const TTSlot& s) {
  const uint64_t data = packSlotData(s);
  std::atomic_ref<uint64_t>(e.data[i]).store(data, std::memory_order_relaxed);
  std::atomic_ref<uint32_t>(e.lock[i]).store(s.lock ^ foldData(data), std::memory_order_relaxed);
}

// One pawn-structure result (42 bytes, packed). The evaluation defines the
// meaning of the score, the two 6-bit squares and the four masks.
struct __attribute__((packed)) PawnHashEntry {
  uint32_t lock;     // high word of the (extended) pawn key
  uint16_t check;    // bits 16-31 of the low word of the pawn key
  int16_t score;     // pawn-structure score, White's point of view
  uint16_t squares;  // bits 0-5 and 6-11: two squares; bits 12-15 kept on every store
  uint64_t mask[4];
};
static_assert(sizeof(PawnHashEntry) == 42);

// x % d for 32-bit x by one multiplication: reciprocal = 2^64 / d rounded up
// (d >= 1), computed once per table size. Exact for every x and d below 2^32.
constexpr uint64_t moduloReciprocal(uint32_t d) { return d == 0 ? 0 : ~uint64_t(0) / d + 1; }
inline uint32_t fastModulo(uint32_t x, uint64_t reciprocal, uint32_t d) {
  const uint64_t low = reciprocal * x;
  return uint32_t((static_cast<unsigned __int128>(low) * d) >> 64);
}

struct TranspositionTable {
  TTEntry* entries = nullptr;
  uint32_t count = 0;       // N, always even
  uint8_t generation = 1;   // 1..31
  uint64_t reciprocal = 0;  // moduloReciprocal(count)
};
struct PawnHashTable {
  PawnHashEntry* entries = nullptr;
  uint32_t count = 0;       // M, always even
  uint64_t reciprocal = 0;  // moduloReciprocal(count)
};
// The shared transposition table: probed and written by every search thread,
// reallocated and cleared by the command thread only while no search runs.
extern TranspositionTable transpositionTable;
// The pawn table of the hash budget, used by the main search thread (helper
// threads own tables of their own); reallocated and cleared while no search runs.
extern PawnHashTable pawnHashTable;

// Table budget limits in bytes.
constexpr uint64_t MinHashBytes = 4ull << 20;
constexpr uint64_t MaxHashBytes = 2ull << 30;

// The size allocateHashTables really uses for a request, and the entry
// counts N (transposition) and M (pawn) for that clamped size.
uint64_t clampHashBytes(uint64_t bytes);
uint32_t transpositionEntriesFor(uint64_t clampedBytes);
uint32_t pawnEntriesFor(uint64_t clampedBytes);

// (Re)builds both tables; -1 when an allocation fails (the previous tables,
// if any, are then kept as they were), else the clamped size (low 32 bits).
int allocateHashTables(uint64_t bytes);
void clearTranspositionTable();  // every slot empty, generation 1
void clearPawnTable();
void nextGeneration();  // 1..31, 31 is followed by 1
void releaseHashTables();
// Per mille of the slots written in the current generation, sampled over the
// first 1000 slots (every slot when the table holds fewer).
int transpositionPermille();

// Entry counts for the banner.
inline uint32_t transpositionEntryCount() { return transpositionTable.count; }
inline uint32_t pawnEntryCount() { return pawnHashTable.count; }

// The bucket of an index word: indexWord modulo the entry count.
inline TTEntry& bucketOf(uint32_t indexWord) {
  const TranspositionTable& t = transpositionTable;
  return t.entries[fastModulo(indexWord, t.reciprocal, t.count)];
}

// Starts loading a bucket; a bucket that straddles two cache lines needs both.
inline void prefetchBucket(uint32_t indexWord) {
  const char* e = reinterpret_cast<const char*>(&bucketOf(indexWord));
  __builtin_prefetch(e);
  __builtin_prefetch(e + sizeof(TTEntry) - 1);
}

// Copies the slot holding the position into out; false when none does.
inline bool probe(uint32_t indexWord, uint32_t lockWord, TTSlot& out) {
  const TTEntry& e = bucketOf(indexWord);
  out = readSlot(e, 0);
  if (out.bound() == TTEmpty) return false;
  if (out.lock == lockWord) return true;
  out = readSlot(e, 1);
  return out.bound() != TTEmpty && out.lock == lockWord;
}

// A stored score made relative to the root again, for a node at `ply`.
constexpr int scoreFromTable(int stored, int ply) {
  return stored < -NormalScoreLimit ? stored + ply : stored > NormalScoreLimit ? stored - ply : stored;
}
// A search score made relative to the node at `ply`, as it is stored.
constexpr int scoreToTable(int score, int ply) {
  return score > NormalScoreLimit ? score + ply : score < -NormalScoreLimit ? score - ply : score;
}

// Stores a result: bound type, score (root-relative), move (low 16 bits used),
// depth in 1/256 ply, PV flag (0/1), node ply, the key words and the static evaluation.
void store(int type, int score, uint32_t move, int depth256, int pvFlag, int ply, uint32_t indexWord, uint32_t lockWord,
           int staticEval);

// The entry of a pawn table for an index word, and whether it holds (index, lock).
inline PawnHashEntry& pawnEntry(const PawnHashTable& t, uint32_t indexWord) {
  return t.entries[fastModulo(indexWord, t.reciprocal, t.count)];
}
inline bool pawnEntryMatches(const PawnHashEntry& e, uint32_t indexWord, uint32_t lockWord) {
  return e.lock == lockWord && e.check == uint16_t(indexWord >> 16);
}

// A pawn table of its own for a helper search thread: `entries` entries (even),
// cleared; false when the memory cannot be had (the table is then empty).
bool allocatePawnTable(PawnHashTable& t, uint32_t entries);
void releasePawnTable(PawnHashTable& t);

}  // namespace orv

#include "hash/hashtable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <utility>

namespace orv {
namespace {

constexpr uint64_t MiB = 1ull << 20;

// The slot a probe finds, or nullptr: a copy that the next call overwrites.
const TTSlot* probe(uint32_t index, uint32_t lock) {
  static TTSlot found;
  return orv::probe(index, lock, found) ? &found : nullptr;
}

TEST(HashTableSize, WorkedValuesAndClamp) {
  EXPECT_EQ(transpositionEntriesFor(128 * MiB), 4893354u);
  EXPECT_EQ(pawnEntriesFor(128 * MiB), 399458u);
  EXPECT_EQ(transpositionEntriesFor(4 * MiB), 152918u);
  EXPECT_EQ(pawnEntriesFor(4 * MiB), 12484u);
  EXPECT_EQ(transpositionEntriesFor(2048 * MiB), 78293674u);
  EXPECT_EQ(pawnEntriesFor(2048 * MiB), 6391320u);
  EXPECT_EQ(clampHashBytes(1 * MiB), 4 * MiB);
  EXPECT_EQ(clampHashBytes(0), 4 * MiB);
  EXPECT_EQ(clampHashBytes(5000 * MiB), 2048 * MiB);
  EXPECT_EQ(clampHashBytes(100 * MiB), 100 * MiB);
  // Odd quotients round up to even.
  EXPECT_EQ(transpositionEntriesFor(4 * MiB + 24 * 8) % 2, 0u);
}

TEST(HashTableSize, IndexModuloIsExact) {
  const uint32_t divisors[] = {2, 3, 7, 152918, 4893354, 78293674, 1u << 31, 4294967294u, 4294967295u};
  const uint32_t words[] = {0, 1, 2, 12345, 152917, 152918, 1u << 31, 4294967294u, 4294967295u};
  uint32_t state = 1;
  for (uint32_t d : divisors) {
    const uint64_t r = moduloReciprocal(d);
    for (uint32_t x : words) EXPECT_EQ(fastModulo(x, r, d), x % d) << x << " % " << d;
    for (int n = 0; n < 10000; ++n) {
      state = state * 1664525u + 1013904223u;
      ASSERT_EQ(fastModulo(state, r, d), state % d) << state << " % " << d;
    }
  }
}

class TranspositionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(allocateHashTables(1 * MiB), int(4 * MiB)); }
  void TearDown() override { releaseHashTables(); }
  // Index words that share bucket 7.
  uint32_t bucket(uint32_t k) const { return 7 + k * transpositionEntryCount(); }
};

TEST_F(TranspositionTest, AllocationClearsEverything) {
  EXPECT_EQ(transpositionEntryCount(), 152918u);
  EXPECT_EQ(pawnEntryCount(), 12484u);
  EXPECT_EQ(transpositionTable.generation, 1);
  EXPECT_EQ(probe(12345, 0), nullptr);
  store(TTExact, 100, 0x123, 5 * 256, 1, 0, 12345, 99, 7);
  ASSERT_NE(probe(12345, 99), nullptr);
  nextGeneration();
  clearTranspositionTable();
  EXPECT_EQ(probe(12345, 99), nullptr);
  EXPECT_EQ(transpositionTable.generation, 1);
  const TTEntry& e = transpositionTable.entries[12345 % transpositionEntryCount()];
  EXPECT_EQ(readSlot(e, 0).packed, 0);
  EXPECT_EQ(readSlot(e, 0).lock, 0u);
}

TEST_F(TranspositionTest, FieldsAreWrittenAsPacked) {
  store(TTLower, -250, 0xABCD, 9 * 256 + 255, 0, 3, 42, 0xDEADBEEF, -31);
  const TTSlot* s = probe(42, 0xDEADBEEF);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->score, -250);
  EXPECT_EQ(s->eval, -31);
  EXPECT_EQ(s->move, 0xABCD);
  EXPECT_EQ(s->bound(), TTLower);
  EXPECT_EQ(s->depth(), 9);
  EXPECT_EQ(s->generation(), 1);
  EXPECT_FALSE(s->pv());
  EXPECT_EQ(probe(42, 0xDEADBEEE), nullptr);
}

TEST_F(TranspositionTest, SamePositionKeepsDeeperResultOfThisSearch) {
  const uint32_t i = bucket(0), lock = 5;
  auto depthNow = [&] { return probe(i, lock)->depth(); };
  store(TTLower, 10, 0x111, 10 * 256, 0, 0, i, lock, 0);
  store(TTLower, 20, 0x222, 6 * 256, 0, 0, i, lock, 0);  // 10 - 3 > 6
  EXPECT_EQ(depthNow(), 10);
  EXPECT_EQ(probe(i, lock)->move, 0x111);
  store(TTUpper, 20, 0x222, 4 * 256, 1, 0, i, lock, 0);  // 10 - 3 > 4 + 2
  EXPECT_EQ(depthNow(), 10);
  store(TTLower, 30, 0x333, 7 * 256, 0, 0, i, lock, 0);  // 10 - 3 = 7: replaced
  EXPECT_EQ(depthNow(), 7);
  EXPECT_EQ(probe(i, lock)->score, 30);

  store(TTLower, 10, 0x111, 20 * 256, 0, 0, i, lock, 0);
  store(TTExact, 40, 0x444, 1 * 256, 1, 0, i, lock, 0);  // exact always overwrites
  EXPECT_EQ(depthNow(), 1);
  EXPECT_EQ(probe(i, lock)->bound(), TTExact);

  store(TTLower, 10, 0x111, 20 * 256, 0, 0, i, lock, 0);
  nextGeneration();
  store(TTUpper, 50, 0x555, 2 * 256, 0, 0, i, lock, 0);  // older entries never block
  EXPECT_EQ(depthNow(), 2);
  EXPECT_EQ(probe(i, lock)->generation(), 2);
}

TEST_F(TranspositionTest, MoveZeroKeepsTheMoveOnlyForTheSamePosition) {
  const uint32_t i = bucket(0);
  store(TTLower, 10, 0x777, 3 * 256, 0, 0, i, 1, 0);
  store(TTUpper, 11, 0, 5 * 256, 0, 0, i, 1, 0);
  EXPECT_EQ(probe(i, 1)->move, 0x777);
  EXPECT_EQ(probe(i, 1)->score, 11);
  // Another position taking the slot by replacement gets move 0 written.
  store(TTLower, 10, 0x777, 3 * 256, 0, 0, i, 2, 0);  // slot 1
  store(TTLower, 12, 0, 9 * 256, 0, 0, i, 3, 0);      // replaces the worse of 1 and 2
  ASSERT_NE(probe(i, 3), nullptr);
  EXPECT_EQ(probe(i, 3)->move, 0);
}

TEST_F(TranspositionTest, ReplacementByWorth) {
  const uint32_t i = bucket(1);
  const TTEntry& e = transpositionTable.entries[i % transpositionEntryCount()];
  store(TTLower, 0, 1, 5 * 256, 0, 0, i, 100, 0);
  store(TTLower, 0, 2, 5 * 256, 0, 0, i, 200, 0);
  EXPECT_EQ(readSlot(e, 0).lock, 100u);
  EXPECT_EQ(readSlot(e, 1).lock, 200u);
  store(TTLower, 0, 3, 1 * 256, 0, 0, bucket(2), 300, 0);  // same bucket, equal worth: slot 0
  EXPECT_EQ(readSlot(e, 0).lock, 300u);
  EXPECT_EQ(readSlot(e, 1).lock, 200u);
  // Two generations later each slot has lost 16 plies of worth: the shallow
  // slot 0 goes first, then the fresh slot 0 outlives the deep but old slot 1.
  nextGeneration();
  nextGeneration();
  store(TTLower, 0, 4, 1 * 256, 0, 0, i, 400, 0);  // worths: slot 0 1-16, slot 1 5-16
  EXPECT_EQ(readSlot(e, 0).lock, 400u);
  store(TTLower, 0, 5, 1 * 256, 0, 0, i, 500, 0);  // slot 0 now worth 1, slot 1 worth -11
  EXPECT_EQ(readSlot(e, 0).lock, 400u);
  EXPECT_EQ(readSlot(e, 1).lock, 500u);
}

TEST_F(TranspositionTest, MateScoresAreStoredRelativeToTheNode) {
  store(TTExact, 32700 - 10, 0, 4 * 256, 1, 5, 9, 9, TTNoEval);
  const TTSlot* s = probe(9, 9);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->score, 32700 - 5);
  EXPECT_EQ(scoreFromTable(s->score, 7), 32700 - 12);
  store(TTExact, -(32700 - 10), 0, 4 * 256, 1, 5, 9, 9, TTNoEval);
  EXPECT_EQ(probe(9, 9)->score, -(32700 - 5));
  EXPECT_EQ(scoreFromTable(probe(9, 9)->score, 7), -(32700 - 12));
  EXPECT_EQ(scoreFromTable(32000, 7), 32000);
  EXPECT_EQ(scoreFromTable(-32000, 7), -32000);
}

TEST_F(TranspositionTest, GenerationWrapsFrom31To1) {
  for (int g = 1; g < 31; ++g) nextGeneration();
  EXPECT_EQ(transpositionTable.generation, 31);
  nextGeneration();
  EXPECT_EQ(transpositionTable.generation, 1);
}

TEST_F(TranspositionTest, PawnEntryMatchNeedsLockAndCheck) {
  PawnHashEntry& e = pawnEntry(pawnHashTable, 0x12345678);
  EXPECT_FALSE(pawnEntryMatches(e, 0x12345678, 0xCAFE));
  e.lock = 0xCAFE;
  e.check = 0x1234;
  EXPECT_TRUE(pawnEntryMatches(e, 0x12345678, 0xCAFE));
  EXPECT_FALSE(pawnEntryMatches(e, 0x12335678, 0xCAFE));
  clearPawnTable();
  EXPECT_EQ(e.lock, 0u);
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

class SharedSlotTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_GE(allocateHashTables(4 * MiB), 0); }
  void TearDown() override { releaseHashTables(); }
};

// A slot whose data word came from another store than its lock word (two
// threads writing it at once) is a miss, never a hit with the other's data.
TEST_F(SharedSlotTest, ASlotWhoseDataDoesNotMatchItsLockIsAMiss) {
  const uint32_t i = 7;
  store(TTExact, 100, 0x123, 5 * 256, 1, 0, i, 0xAAAA, 7);
  store(TTLower, -40, 0x456, 9 * 256, 0, 0, i + transpositionEntryCount(), 0xBBBB, -3);
  TTEntry& e = transpositionTable.entries[i];
  TTSlot found;
  ASSERT_TRUE(probe(i, 0xAAAA, found));
  ASSERT_TRUE(probe(i, 0xBBBB, found));
  // Slot 0 gets slot 1's data under its own lock word: a torn store.
  e.data[0] = e.data[1];
  EXPECT_FALSE(probe(i, 0xAAAA, found));
  EXPECT_FALSE(probe(i, 0xBBBB, found) && found.score != -40);
  // Half of a data word changed alone fails as well.
  e.data[1] ^= uint64_t(1) << 40;
  EXPECT_FALSE(probe(i, 0xBBBB, found));
}

// Two threads store positions whose every field is a function of the lock
// into one bucket while a third probes it: each hit carries the fields of its
// own position.
TEST_F(SharedSlotTest, ConcurrentStoresNeverMixTwoPositions) {
  const uint32_t index = 11;
  auto fieldsOf = [](uint32_t lock) { return std::pair<int, uint32_t>(int(lock % 2000) - 1000, lock & 0xFFF); };
  std::atomic<bool> done{false};
  auto writer = [&](uint32_t first) {
    for (uint32_t n = 0; n < 200000; ++n) {
      const uint32_t lock = first + 2 * (n % 64);
      const auto [score, move] = fieldsOf(lock);
      store(TTExact, score, move, 4 * 256, 0, 0, index, lock, score);
    }
  };
  int mixed = 0, hits = 0;
  std::thread a(writer, 1000), b(writer, 1001);
  std::thread reader([&] {
    TTSlot found;
    while (!done.load()) {
      for (uint32_t lock = 1000; lock < 1128; ++lock) {
        if (!probe(index, lock, found)) continue;
        ++hits;
        const auto [score, move] = fieldsOf(lock);
        if (found.score != score || found.move != move || found.eval != score) ++mixed;
      }
    }
  });
  a.join();
  b.join();
  done.store(true);
  reader.join();
  EXPECT_EQ(mixed, 0) << "of " << hits << " hits";
}

}  // namespace
}  // namespace orv

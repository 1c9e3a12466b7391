// Index operations: ranges, the stored sizes, worked examples, symmetries,
// the board turn and the decoder, over all 220 table sides.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tablebase/index.h"
#include "tablebase/table_info.h"
#include "tablebase/table_position.h"

namespace orv::tb {
namespace {

using namespace test;

class IndexTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { initIndexTables(); }
};

std::string sideName(int table, int side) { return std::string(tableInfo[table].name) + (side ? " b" : " w"); }

// Table sides whose index range exceeds the stored count, and by how much.
struct Surplus {
  const char* name;
  int side;
  uint32_t extra;
};
constexpr Surplus surplus[] = {
    {"krk", 0, 6},    {"kqk", 0, 6},      {"krkp", 0, 96},    {"kqkp", 0, 96},    {"kbnk", 0, 1},   {"krpk", 0, 94},
    {"kqpk", 0, 94},  {"krrk", 0, 339},   {"kqrk", 0, 366},   {"kqqk", 0, 333},   {"kbnkp", 0, 48}, {"kbnkn", 0, 60},
    {"kbnkb", 0, 60}, {"kbnkr", 0, 60},   {"kbnkq", 0, 60},   {"kqrkn", 0, 60},   {"kqrkb", 0, 60}, {"kqrkr", 0, 60},
    {"kqrkq", 0, 60}, {"krrkp", 0, 5616}, {"kqrkp", 0, 5904}, {"kqqkp", 0, 5520}, {"krpkp", 0, 28}, {"kqpkp", 0, 28},
    {"kppkp", 0, 1},  {"kppkr", 1, 2256}, {"kppkq", 1, 2256},
};

uint32_t expectedSurplus(int table, int side) {
  for (const Surplus& s : surplus)
    if (side == s.side && std::string(s.name) == tableInfo[table].name) return s.extra;
  return 0;
}

TEST_F(IndexTest, RangesAreTheStoredCountsPlusTheUnstoredTails) {
  for (int table = 1; table <= TableCount; ++table)
    for (int side = 0; side < 2; ++side)
      EXPECT_EQ(indexRange(table, side), uint64_t(tableInfo[table].count[side]) + expectedSurplus(table, side))
          << sideName(table, side);
  EXPECT_EQ(indexRange(0, 0), 0u);
  EXPECT_EQ(indexRange(111, 0), 0u);
  EXPECT_EQ(indexRange(4, 2), 0u);
}

// Every index past the stored count decodes to a position that cannot occur:
// two men on one square, the side not to move in check, or an occupied
// en-passant target.
TEST_F(IndexTest, IndicesPastTheStoredCountCannotOccur) {
  int tails = 0;
  for (int table = 1; table <= TableCount; ++table)
    for (int side = 0; side < 2; ++side)
      for (uint64_t i = tableInfo[table].count[side]; i < indexRange(table, side); ++i, ++tails) {
        TablePosition p;
        ASSERT_TRUE(indexToPosition(table, side, i, p));
        const uint64_t occ = occupancy(p);
        int men = 0;
        for (int list = 0; list < 2; ++list)
          for (int e = 0; e < ListSize; ++e) men += listOf(p, list)[e] >= 0;
        const bool shared = __builtin_popcountll(occ) != men;
        const bool epTaken = p.epSquare >= 0 && (occ >> p.epSquare & 1);
        EXPECT_TRUE(shared || epTaken || inCheckBy(p, side)) << sideName(table, side) << " index " << i;
      }
  EXPECT_EQ(tails, 23568);
}

// The stored count ends exactly where that tail begins: the last stored
// index of every side is a position that can occur. (This is what fixes the
// order of unlike men in one unit and the board turn of every man when Black
// is to move in tables with pawns.)
TEST_F(IndexTest, TheLastStoredIndexCanOccur) {
  for (int table = 1; table <= TableCount; ++table)
    for (int side = 0; side < 2; ++side) {
      TablePosition p;
      ASSERT_TRUE(indexToPosition(table, side, tableInfo[table].count[side] - 1, p));
      EXPECT_TRUE(canOccur(p, side)) << sideName(table, side);
    }
}

TEST_F(IndexTest, KrkTailIsTheRookCheckingFromTheEighthRank) {
  // Kings d4 and h8, White to move: the rook on a8..f8 gives check.
  for (uint64_t i = 27030; i < 27036; ++i) {
    TablePosition p;
    ASSERT_TRUE(indexToPosition(4, 0, i, p));
    EXPECT_EQ(p.first[0], 27);
    EXPECT_EQ(p.second[0], 63);
    EXPECT_EQ(p.first[ListRooks], int(56 + (i - 27030)));
  }
}

// ---- Worked examples, computed from the numbering's definition ----

bool touching(int a, int b) { return std::abs((a & 7) - (b & 7)) <= 1 && std::abs((a >> 3) - (b >> 3)) <= 1; }

// King pairs in numbering order.
std::vector<std::pair<int, int>> kingPairs(bool pawns) {
  std::vector<std::pair<int, int>> out;
  for (int a = 0; a < 64; ++a)
    for (int b = 0; b < 64; ++b) {
      if (a == b || touching(a, b)) continue;
      const int fa = a & 7, ra = a >> 3, fb = b & 7, rb = b >> 3;
      const bool ok = pawns ? fa <= 3 : (ra <= fa && fa <= 3 && (fa != ra || fb >= rb));
      if (ok) out.push_back({a, b});
    }
  return out;
}

int pairNumber(bool pawns, int a, int b) {
  const auto pairs = kingPairs(pawns);
  for (size_t i = 0; i < pairs.size(); ++i)
    if (pairs[i] == std::make_pair(a, b)) return int(i);
  return -1;
}

bool knightCheck(int king, int s) {
  const int af = std::abs((s & 7) - (king & 7)), ar = std::abs((s >> 3) - (king >> 3));
  return (af == 1 && ar == 2) || (af == 2 && ar == 1);
}
bool knightAllowed(int king, int s) { return s != king && !knightCheck(king, s); }
bool pawnAllowed(int king, int s) {
  return s >= 8 && s < 56 && s != king && !(s + 7 == king && (s & 7) != 0) && !(s + 9 == king && (s & 7) != 7);
}

// Rank of `man` among the squares `allowed` relative to `king`, leaving out `ref`.
template <class Allowed> int rankOf(Allowed allowed, int king, int ref, int man) {
  int r = 0;
  for (int s = 0; s < man; ++s) r += allowed(king, s) && s != ref;
  return r;
}

// Placements over the king pairs before pair number `kp`; per pair `count`.
template <class Count> uint32_t placementsBefore(bool pawns, int kp, Count count) {
  const auto pairs = kingPairs(pawns);
  uint32_t total = 0;
  for (int i = 0; i < kp; ++i) total += count(pairs[i].first, pairs[i].second);
  return total;
}

template <class Allowed> uint32_t allowedCount(Allowed allowed, int king, int ref) {
  uint32_t n = 0;
  for (int s = 0; s < 64; ++s) n += allowed(king, s) && s != ref;
  return n;
}

TEST_F(IndexTest, KingPairCountsAndRangeExamples) {
  EXPECT_EQ(kingPairs(true).size(), 1806u);
  EXPECT_EQ(kingPairs(false).size(), 462u);
  EXPECT_EQ(indexRange(1, 0), 81664u);
  EXPECT_EQ(indexRange(2, 1), 462u * 62u);
  EXPECT_EQ(indexRange(8, 0), 26282u * 61u);
}

TEST_F(IndexTest, KnkBlackToMoveIsKingPairTimes62PlusKnight) {
  TablePosition p = emptyPosition();
  p.second[0] = 1;            // Black king b1 (reference)
  p.first[0] = 35;            // White king d5
  p.first[ListKnights] = 63;  // knight h8
  EXPECT_EQ(indexOf(2, 1, p), uint32_t(pairNumber(false, 1, 35) * 62 + (63 - 2)));
  p.first[ListKnights] = 20;  // e3: one king below it
  EXPECT_EQ(indexOf(2, 1, p), uint32_t(pairNumber(false, 1, 35) * 62 + (20 - 1)));
}

TEST_F(IndexTest, KnknWhiteToMoveExample) {
  TablePosition p = emptyPosition();
  p.first[0] = 10;            // White king c2 (reference)
  p.second[0] = 44;           // Black king e6
  p.first[ListKnights] = 40;  // a6
  p.second[ListKnights] = 5;  // f1, below the three other men
  const int kp = pairNumber(false, 10, 44);
  const uint32_t offset =
      placementsBefore(false, kp, [](int ref, int other) { return allowedCount(knightAllowed, other, ref); });
  const int rank = rankOf(knightAllowed, 44, 10, 40);
  const int lower = 0;  // no man below f1
  EXPECT_EQ(indexOf(8, 0, p), (offset + rank) * 61 + uint32_t(5 - lower));
  p.second[ListKnights] = 62;  // g8 above all three other men
  EXPECT_EQ(indexOf(8, 0, p), (offset + rank) * 61 + uint32_t(62 - 3));
}

TEST_F(IndexTest, KppkWhiteToMoveExample) {
  TablePosition p = emptyPosition();
  p.first[0] = 3;               // White king d1
  p.second[0] = 60;             // Black king e8
  p.first[ListPawns] = 12;      // e2
  p.first[ListPawns + 1] = 51;  // d7 attacks e8: not allowed
  EXPECT_EQ(indexOf(21, 0, p), NoIndex);
  p.first[ListPawns + 1] = 50;  // c7
  const int kp = pairNumber(true, 3, 60);
  const uint32_t offset = placementsBefore(true, kp, [](int ref, int other) {
    const uint32_t n = allowedCount(pawnAllowed, other, ref);
    return n * (n - 1) / 2;
  });
  const uint32_t hi = rankOf(pawnAllowed, 60, 3, 50), lo = rankOf(pawnAllowed, 60, 3, 12);
  EXPECT_EQ(indexOf(21, 0, p), offset + hi * (hi - 1) / 2 + lo);
  std::swap(p.first[ListPawns], p.first[ListPawns + 1]);  // the pair is unordered
  EXPECT_EQ(indexOf(21, 0, p), offset + hi * (hi - 1) / 2 + lo);
}

TEST_F(IndexTest, KpkpWhiteToMoveExampleWithoutEnPassant) {
  TablePosition p = emptyPosition();
  p.first[0] = 1;            // White king b1
  p.second[0] = 47;          // Black king h6
  p.first[ListPawns] = 28;   // e4
  p.second[ListPawns] = 52;  // e7, above the White pawn
  const int kp = pairNumber(true, 1, 47);
  const uint32_t offset =
      placementsBefore(true, kp, [](int ref, int other) { return allowedCount(pawnAllowed, other, ref); });
  const uint32_t rank = rankOf(pawnAllowed, 47, 1, 28);
  EXPECT_EQ(indexOf(6, 0, p), (offset + rank) * 47 + (52 - 8 - 1));
  p.second[ListPawns] = 20;  // e3, below it
  EXPECT_EQ(indexOf(6, 0, p), (offset + rank) * 47 + (20 - 8));
}

TEST_F(IndexTest, KpkpEnPassantFollowsTheOrdinaryPositions) {
  TablePosition p = emptyPosition();
  p.first[0] = 1;            // White king b1
  p.second[0] = 63;          // Black king h8
  p.first[ListPawns] = 36;   // e5
  p.second[ListPawns] = 35;  // d5, just moved from d7
  p.epSquare = 43;           // d6: on the capturing pawn's left, slot = file 4 - 1
  const uint32_t ordinary = 81664u * 47u;
  const uint32_t kp = uint32_t(pairNumber(true, 1, 63));
  EXPECT_EQ(indexOf(6, 0, p), ordinary + kp * 14 + 3);
  p.second[ListPawns] = 37;  // f5, capture to the right: slot = file 4 + 7
  p.epSquare = 45;
  EXPECT_EQ(indexOf(6, 0, p), ordinary + kp * 14 + 11);
  p.epSquare = 44;  // no pawn passed e6: an ordinary position
  const uint32_t plain = indexOf(6, 0, p);
  p.epSquare = -1;
  EXPECT_EQ(plain, indexOf(6, 0, p));
  EXPECT_LT(plain, ordinary);
}

TEST_F(IndexTest, KnkWhiteToMoveSkipsKnightChecks) {
  TablePosition p = emptyPosition();
  p.first[0] = 0;    // White king a1
  p.second[0] = 36;  // Black king e5
  std::vector<uint32_t> seen;
  for (int s = 0; s < 64; ++s) {
    if (s == 0 || s == 36) continue;
    p.first[ListKnights] = int8_t(s);
    const uint32_t white = indexOf(2, 0, p), black = indexOf(2, 1, p);
    EXPECT_LT(black, tableInfo[2].count[1]);  // Black to move: a knight check is a position
    if (knightCheck(36, s)) {
      EXPECT_EQ(white, NoIndex) << s;
    } else {
      ASSERT_LT(white, tableInfo[2].count[0]) << s;
      if (!seen.empty()) {
        EXPECT_EQ(white, seen.back() + 1) << s;  // checks leave no gaps
      }
      seen.push_back(white);
    }
  }
  EXPECT_EQ(seen.size(), 62u - 8u);
}

TEST_F(IndexTest, PositionsNoSideHoldsHaveNoIndex) {
  TablePosition p = emptyPosition();
  p.first[0] = 12, p.second[0] = 20, p.first[ListQueens] = 40;  // kings e2 e3 touch
  EXPECT_EQ(indexOf(5, 0, p), NoIndex);
  p.second[0] = 28;                                    // e4
  EXPECT_LT(indexOf(5, 0, p), tableInfo[5].count[0]);  // e1-e3 style distance is fine
  p.first[ListQueens] = -1;                            // the queen missing
  EXPECT_EQ(indexOf(5, 0, p), NoIndex);
  TablePosition q = emptyPosition();
  q.first[0] = 4, q.second[0] = 20, q.first[ListPawns] = 60;  // a pawn on e8
  EXPECT_EQ(indexOf(1, 0, q), NoIndex);
  EXPECT_EQ(indexOf(1, 1, q), NoIndex);
  EXPECT_EQ(tableIndex(0, 0, q.first, q.second, -1, 0), NoIndex);
  EXPECT_EQ(tableIndex(1, 2, q.first, q.second, -1, 0), NoIndex);
}

// Random positions that can occur, and positions with an en-passant right.
std::vector<TablePosition> samplePositions(int table, int side, int count, std::mt19937& rng) {
  std::vector<TablePosition> out;
  for (int i = 0; i < count; ++i) out.push_back(randomPosition(table, side, rng));
  {
    // Move a pawn of the side not to move onto its double-step square with a
    // capturer beside it, where the table has pawns on both sides.
    const TableMen men = tableMen(table);
    int own = -1, other = -1;
    for (int e : men.entries[side])
      if (entryKind(e) == 'p') own = e;
    for (int e : men.entries[side ^ 1])
      if (entryKind(e) == 'p') other = e;
    if (own >= 0 && other >= 0) {
      for (int tries = 0; int(out.size()) < 2 * count && tries < 100 * count; ++tries) {
        TablePosition p = randomPosition(table, side, rng);
        const int file = int(rng() % 8), dir = rng() % 2 ? 1 : -1;
        if (file + dir < 0 || file + dir > 7) continue;
        const int pushed = (side == 0 ? 32 : 24) + file;
        listOf(p, side ^ 1)[other] = int8_t(pushed);
        listOf(p, side)[own] = int8_t(pushed + dir);
        p.epSquare = side == 0 ? pushed + 8 : pushed - 8;
        if (canOccur(p, side)) out.push_back(p);
      }
    }
  }
  return out;
}

bool kingsOnTheLongDiagonal(const TablePosition& p, int side) {
  for (int s = 0; s < 4; ++s) {
    const int ref = symmetricSquare(s, listOf(p, side)[0]), other = symmetricSquare(s, listOf(p, side ^ 1)[0]);
    if ((ref & 7) <= 3 && (ref >> 3) <= 3) return (ref & 7) == (ref >> 3) && (other & 7) == (other >> 3);
  }
  return false;
}

// Positions that can occur get an index below the stored count; the index
// decodes to a symmetric image of the position (so distinct positions not so
// related have distinct indices); every symmetric image and the board turned
// with colours exchanged give the same index.
TEST_F(IndexTest, SampledPositionsAreConsistentOnEveryTableSide) {
  std::mt19937 rng(20240611);
  for (int table = 1; table <= TableCount; ++table)
    for (int side = 0; side < 2; ++side) {
      const bool pawns = tableMen(table).pawns;
      for (const TablePosition& p : samplePositions(table, side, 200, rng)) {
        const uint32_t i = indexOf(table, side, p);
        ASSERT_LT(i, tableInfo[table].count[side]) << sideName(table, side);
        TablePosition q;
        ASSERT_TRUE(indexToPosition(table, side, i, q));
        ASSERT_EQ(canonicalKey(q, pawns), canonicalKey(p, pawns)) << sideName(table, side) << " index " << i;
        EXPECT_EQ(indexOf(table, side, q), i);
        if (!pawns && kingsOnTheLongDiagonal(p, side)) continue;
        for (int s : symmetries(pawns))
          EXPECT_EQ(indexOf(table, side, symmetric(p, s)), i) << sideName(table, side) << " symmetry " << s;
        // The board turned (XOR 56) is how a probe passes the colours exchanged.
        EXPECT_EQ(indexOf(table, side, symmetric(p, 2), 1), i) << sideName(table, side) << " inverted";
      }
    }
}

// Decoding then encoding returns the index for every decoded position that
// can occur; the one exception is a kppkp en-passant capture open to both
// pawns, which is numbered by the capture to the left of the pawn beside it.
TEST_F(IndexTest, DecodedIndicesEncodeBack) {
  std::mt19937_64 rng(7);
  for (int table = 1; table <= TableCount; ++table)
    for (int side = 0; side < 2; ++side) {
      const uint64_t range = indexRange(table, side);
      for (int n = 0; n < 2000; ++n) {
        const uint64_t i = n < 50 ? range - 1 - uint64_t(n) : rng() % range;
        TablePosition p;
        ASSERT_TRUE(indexToPosition(table, side, i, p));
        if (!canOccur(p, side)) continue;
        ASSERT_LT(i, tableInfo[table].count[side]) << sideName(table, side);
        const uint32_t j = indexOf(table, side, p);
        if (table == 36 && side == 0 && p.epSquare >= 0 && j != i) {
          EXPECT_LT(j, i);  // the other pawn could take as well: numbered by the lower slot
          continue;
        }
        EXPECT_EQ(j, i) << sideName(table, side);
      }
    }
  TablePosition p;
  EXPECT_FALSE(indexToPosition(4, 0, 27036, p));
  EXPECT_FALSE(indexToPosition(0, 0, 0, p));
}

}  // namespace
}  // namespace orv::tb

#include <gtest/gtest.h>

#include "eval_test_util.h"
#include "hash/hashtable.h"
#include "support/test_worker.h"

namespace orv::test {
namespace {

int pawnScore(const char* fen, PassedPawnInfo* out = nullptr) {
  Prepared p(fen);
  PassedPawnInfo info;
  const int score = computePawnStructure(testWorker().position, p.state, p.side, info);
  if (out) *out = info;
  return score;
}

TEST(PawnStructure, LonePasserOnTheEdge) {
  PassedPawnInfo info;
  // Passed 27 x 11 / 10 = 29, isolated -33, no file deduction on the a-file.
  EXPECT_EQ(pawnScore("4k2r/8/8/8/8/8/P7/4K3 w - - 0 1", &info), 29 - 33);
  EXPECT_EQ(info.mostAdvanced[White], sq("a2"));
  EXPECT_EQ(info.mostAdvanced[Black], 0);
  EXPECT_EQ(passedOnFile(info.passed[White], 0), sq("a2"));
  EXPECT_EQ(info.passed[Black], 0u);
  EXPECT_EQ(info.attacks[White], 1ull << sq("b3"));
  // On the d-file the deduction of 80 applies.
  EXPECT_EQ(pawnScore("4k2r/8/8/8/8/8/3P4/4K3 w - - 0 1"), 29 - 33 - 80);
}

TEST(PawnStructure, DoubledAndIsolated) {
  // Two pawns on an isolated file: 66 for isolation and 40 for doubling;
  // the Black d7 pawn is isolated too.
  EXPECT_EQ(pawnScore("4k3/3p4/8/8/8/3P4/3P4/4K3 w - - 0 1"), -66 - 40 + 33);
  // Tripled: still 66 for isolation, 80 for doubling.
  EXPECT_EQ(pawnScore("4k3/3p4/8/8/3P4/3P4/3P4/4K3 w - - 0 1"), -66 - 80 + 33);
}

TEST(PawnStructure, ConnectedPasserBesideAPawnThatIsNotPassed) {
  PassedPawnInfo info;
  // a5 passed: 117 + connected 87 x 6 / 5 = 104; b5 not passed: duo 87 x 3 / 5 = 52;
  // the Black c7 pawn is isolated: +33.
  EXPECT_EQ(pawnScore("r3k3/2p5/8/PP6/8/8/8/4K3 w - - 0 1", &info), 117 + 104 + 52 + 33);
  EXPECT_EQ(passedOnFile(info.passed[White], 0), sq("a5"));
  EXPECT_EQ(passedOnFile(info.passed[White], 1), 0);
}

TEST(PawnStructure, BackwardPawn) {
  PassedPawnInfo info;
  // d3 behind c4 and e4 with a Black pawn on e5 two ranks ahead of it: backward -46.
  // c4 passed: 77 x 11 / 10 = 84, connected with d3: 36 x 6 / 5 = 43, c-file -54;
  // duos d3 (with c4) and e4 (with d3): 36 x 3 / 5 = 21 each; e5 isolated: +33.
  EXPECT_EQ(pawnScore("r3k3/8/8/4p3/2P1P3/3P4/8/4K3 w - - 0 1", &info), 84 + 43 - 54 - 46 + 21 + 21 + 33);
  EXPECT_EQ(passedOnFile(info.passed[White], 2), sq("c4"));
  EXPECT_EQ(passedOnFile(info.passed[White], 4), 0);
  EXPECT_EQ(info.mostAdvanced[White], sq("c4"));
}

TEST(PawnStructure, CandidatesInPawnEndings) {
  // e4 with f4 beside it gets past d6: candidate, 77 x 25 / 10 = 192; f4 passed
  // 84 + connected 43 - 54; d6 isolated +33.
  EXPECT_EQ(pawnScore("4k3/8/3p4/8/4PP2/8/8/4K3 w - - 0 1"), 192 + 84 + 43 - 54 + 33);
  EXPECT_EQ(pawnScore("4k3/8/3p4/8/4PP2/8/8/4K3 b - - 0 1"), 192 + 84 + 43 - 54 + 33);
  // Not while the defender keeps a piece.
  EXPECT_EQ(pawnScore("4k1n1/8/3p4/8/4PP2/8/8/4K3 w - - 0 1"), 84 + 43 - 54 + 33);
  // Alone against d6 it is outnumbered on e5.
  EXPECT_EQ(pawnScore("4k3/8/3p4/8/4P3/8/8/4K3 w - - 0 1"), -33 + 33);
}

class PawnHashTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_GT(allocateHashTables(4ull << 20), 0); }
  void TearDown() override { releaseHashTables(); }
};

TEST_F(PawnHashTest, HitsGiveTheFreshResult) {
  const char* fens[] = {
      "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
      "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
      "7k/P7/8/8/8/8/8/K7 b - - 0 1",
      "k7/8/8/8/8/8/p7/7K w - - 0 1",
      "8/5pk1/6p1/3P4/4K3/8/6PP/8 b - - 0 1",
  };
  for (const char* fen : fens) {
    Prepared p(fen);
    PassedPawnInfo fresh, miss, hit;
    const int expected = computePawnStructure(testWorker().position, p.state, p.side, fresh);
    const uint32_t hits = testWorker().pawnHashHits;
    EXPECT_EQ(evaluatePawns(testWorker(), p.state, p.side, miss), expected) << fen;
    EXPECT_EQ(testWorker().pawnHashHits, hits);
    EXPECT_EQ(evaluatePawns(testWorker(), p.state, p.side, hit), expected) << fen;
    EXPECT_EQ(testWorker().pawnHashHits, hits + 1);
    for (int c = 0; c < 2; ++c) {
      EXPECT_EQ(hit.mostAdvanced[c], fresh.mostAdvanced[c]) << fen;
      EXPECT_EQ(hit.passed[c], fresh.passed[c]) << fen;
      EXPECT_EQ(hit.attacks[c], fresh.attacks[c]) << fen;
    }
    EXPECT_EQ(p.eval(), p.eval());
  }
}

TEST_F(PawnHashTest, EntryKeepsItsSpareBits) {
  Prepared p("4k2r/8/8/8/8/8/P7/4K3 w - - 0 1");
  uint32_t key[2];
  extendedPawnKey(testWorker().position, p.state, p.side, key);
  pawnEntry(pawnHashTable, key[0]).squares = 0xF000;
  PassedPawnInfo info;
  evaluatePawns(testWorker(), p.state, p.side, info);
  EXPECT_EQ(pawnEntry(pawnHashTable, key[0]).squares, 0xF000 | sq("a2"));
  EXPECT_TRUE(pawnEntryMatches(pawnEntry(pawnHashTable, key[0]), key[0], key[1]));
}

TEST(PawnKey, KingsAndSideEnterOnlyWhenADefenderHasNoPieces) {
  auto key = [](const char* fen) {
    Prepared p(fen);
    uint32_t k[2];
    extendedPawnKey(testWorker().position, p.state, p.side, k);
    return (uint64_t(k[1]) << 32) | k[0];
  };
  // Both sides with pieces: the king squares and side to move do not matter.
  EXPECT_EQ(key("r3k3/pp6/8/8/8/8/PP6/R3K3 w - - 0 1"), key("r2k4/pp6/8/8/8/8/PP6/R4K2 b - - 0 1"));
  // King and pawns against king and pawns: king moves and the side to move change it.
  EXPECT_NE(key("4k3/pp6/8/8/8/8/PP6/4K3 w - - 0 1"), key("3k4/pp6/8/8/8/8/PP6/4K3 w - - 0 1"));
  EXPECT_NE(key("4k3/pp6/8/8/8/8/PP6/4K3 w - - 0 1"), key("4k3/pp6/8/8/8/8/PP6/5K2 w - - 0 1"));
  EXPECT_NE(key("4k3/pp6/8/8/8/8/PP6/4K3 w - - 0 1"), key("4k3/pp6/8/8/8/8/PP6/4K3 b - - 0 1"));
  // Only Black without pieces: the White king does not enter.
  EXPECT_EQ(key("4k3/pp6/8/8/8/8/PP6/R3K3 w - - 0 1"), key("4k3/pp6/8/8/8/8/PP6/R4K2 w - - 0 1"));
  EXPECT_NE(key("4k3/pp6/8/8/8/8/PP6/R3K3 w - - 0 1"), key("3k4/pp6/8/8/8/8/PP6/R3K3 w - - 0 1"));
}

TEST(PassedPawnTest, WhiteForm) {
  auto passed = [](const char* fen, const char* square) {
    Prepared p(fen);
    return isPassedPawn<White>(testWorker().position, sq(square), p.state);
  };
  EXPECT_FALSE(passed("k7/4n3/8/4P3/8/8/8/4K3 w - - 0 1", "e5"));
  EXPECT_FALSE(passed("4k3/8/8/4P3/8/8/8/4K3 w - - 0 1", "e5"));  // the king counts as any man
  EXPECT_TRUE(passed("k7/8/8/3pP3/8/8/8/4K3 w - - 0 1", "e5"));
  EXPECT_FALSE(passed("k7/3p4/8/4P3/8/8/8/4K3 w - - 0 1", "e5"));
  EXPECT_FALSE(passed("k7/8/5p2/4P3/8/8/8/4K3 w - - 0 1", "e5"));
  EXPECT_TRUE(passed("k7/3n1n2/8/4P3/8/8/8/4K3 w - - 0 1", "e5"));
  // On the seventh rank nothing beside it is looked at; on the h-file only the g-file.
  EXPECT_TRUE(passed("k2n4/4P3/8/8/8/8/8/4K3 w - - 0 1", "e7"));
  EXPECT_FALSE(passed("4k3/6p1/8/7P/8/8/8/4K3 w - - 0 1", "h5"));
  EXPECT_TRUE(passed("4k3/p7/8/7P/8/8/8/4K3 w - - 0 1", "h5"));
}

TEST(PassedPawnTest, BlackForm) {
  auto passed = [](const char* fen, const char* square) {
    Prepared p(fen);
    return isPassedPawn<Black>(testWorker().position, sq(square), p.state);
  };
  EXPECT_FALSE(passed("4k3/8/8/8/4p3/8/4N3/K7 b - - 0 1", "e4"));
  EXPECT_TRUE(passed("4k3/8/8/8/3Pp3/8/8/K7 b - - 0 1", "e4"));
  EXPECT_FALSE(passed("4k3/8/8/8/4p3/8/5P2/K7 b - - 0 1", "e4"));
  EXPECT_TRUE(passed("4k3/8/8/8/8/8/pP6/4K3 b - - 0 1", "a2"));
}

}  // namespace
}  // namespace orv::test

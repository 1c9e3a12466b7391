// Make and take back on the search's own arrays: incremental NodeState words
// against a full recount, restoring the arrays, castling, promotions, the null
// move, the en-passant probe key and the game history records.
#include <gtest/gtest.h>

#include <cstring>

#include "board/tables.h"
#include "search/search_position_setup.h"
#include "support/test_worker.h"

namespace orv {
namespace {

using namespace gentest;

// The incrementally kept words of s equal a recount of the arrays.
void expectConsistent(int side, const NodeState& s) {
  const Board b = recounted(side, s);
  EXPECT_EQ(b.key[0], s.key[0]);
  EXPECT_EQ(b.key[1], s.key[1]);
  EXPECT_EQ(b.pawnKey[0], s.pawnKey[0]);
  EXPECT_EQ(b.pawnKey[1], s.pawnKey[1]);
  for (int c = 0; c < 2; ++c) {
    EXPECT_EQ(b.pieces[c], s.pieces[c]);
    EXPECT_EQ(b.pawns[c], s.pawns[c]);
    EXPECT_EQ(b.material[c], s.material[c]);
    EXPECT_EQ(b.psq[c], s.psq[c]);
    EXPECT_EQ(b.nonPawn[c], s.nonPawn[c]);
    EXPECT_EQ(b.pawnFiles[c], s.pawnFiles[c]);
  }
}

// Makes every generated move of the side to move (a move of Them at the
// child node of Us), checks the child's words, takes it back.
template <int Them> void makeAndTakeBackEveryMove(const char* fen) {
  constexpr int Us = opposite(Them);
  SCOPED_TRACE(fen);
  const NodeState root = loadFen(fen);
  ASSERT_EQ(game.side, Them);
  const Arrays before = snapshot();
  uint32_t list[MaxSearchMoves];
  generateAll<Them>(testWorker().position, list, root.lastMove, false, root);
  for (int i = 0; list[i] != 0; ++i) {
    const Move m = moveOf(list[i]);
    SCOPED_TRACE(m);
    NodeState s = root;
    SearchUndo u;
    ASSERT_EQ(makeSearchMove<Us>(testWorker().position, m, 0, s, u), 0);
    EXPECT_EQ(s.lastMove, m);
    if (u.captured != EmptySquare || isPromotion(m)) {
      EXPECT_EQ(s.phase, computePhase(s));
    }
    expectConsistent(Us, s);
    takeBackSearchMove<Us>(testWorker().position, m, u);
    ASSERT_EQ(snapshot(), before);
  }
}

TEST(SearchMake, EveryMoveKeepsTheWordsAndTakeBackRestoresTheArrays) {
  makeAndTakeBackEveryMove<White>("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
  makeAndTakeBackEveryMove<Black>("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b KQkq -");
  makeAndTakeBackEveryMove<White>("r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -");
  makeAndTakeBackEveryMove<Black>("r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ -");
  // Captures of promoted men and of castling rooks.
  makeAndTakeBackEveryMove<Black>("r3k2r/8/8/8/8/8/1qQ3p1/RQ2K2R b KQkq -");
}

TEST(SearchMake, MoveOntoTheKingReturnsIllegalWithNothingChanged) {
  NodeState s = loadFen("4k3/8/8/8/8/8/8/r3K3 w - -");
  const NodeState copy = s;
  const Arrays before = snapshot();
  SearchUndo u;
  EXPECT_EQ(makeSearchMove<White>(testWorker().position, CaptureMark | mv("a1", "e1"), 0, s, u), IllegalMoveScore);
  EXPECT_EQ(std::memcmp(&s, &copy, sizeof s), 0);
  EXPECT_EQ(snapshot(), before);
  takeBackSearchMove<White>(testWorker().position, CaptureMark | mv("a1", "e1"),
                            u);  // a stray take back changes nothing
  EXPECT_EQ(snapshot(), before);

  s = loadFen("4k2R/8/8/8/8/8/8/4K3 b - -");
  EXPECT_EQ(makeSearchMove<Black>(testWorker().position, CaptureMark | mv("h8", "e8"), 0, s, u), IllegalMoveScore);
}

TEST(SearchMake, CastlingMovesTheRookAndSetsTheStatuses) {
  NodeState s = loadFen("r3k2r/8/8/8/8/8/8/R3K2R b KQkq -");
  const Arrays before = snapshot();
  NodeState child = s;
  SearchUndo u;
  ASSERT_EQ(makeSearchMove<White>(testWorker().position, BlackCastleKing, 0, child, u), 0);
  EXPECT_EQ(testWorker().position.square[19], sq("f8"));
  EXPECT_EQ(testWorker().position.map[sq("f8")], 19);
  EXPECT_EQ(testWorker().position.map[sq("h8")], EmptySquare);
  EXPECT_EQ(testWorker().position.square[16], sq("g8"));
  EXPECT_EQ(child.castle[castleIndex(Black, 0)], 1);
  EXPECT_EQ(child.castle[castleIndex(Black, 1)], -1);
  EXPECT_EQ(child.castle[castleIndex(White, 0)], 0);
  expectConsistent(White, child);
  takeBackSearchMove<White>(testWorker().position, BlackCastleKing, u);
  EXPECT_EQ(testWorker().position.square[19], sq("h8"));
  EXPECT_EQ(snapshot(), before);

  child = s;
  ASSERT_EQ(makeSearchMove<White>(testWorker().position, BlackCastleQueen, 0, child, u), 0);
  EXPECT_EQ(testWorker().position.square[18], sq("d8"));
  EXPECT_EQ(child.castle[castleIndex(Black, 1)], 1);
  EXPECT_EQ(child.castle[castleIndex(Black, 0)], -1);
  expectConsistent(White, child);
  takeBackSearchMove<White>(testWorker().position, BlackCastleQueen, u);
  EXPECT_EQ(snapshot(), before);

  // A rook move gives up its wing only; a king move both.
  child = s;
  makeSearchMove<White>(testWorker().position, mv("h8", "h5"), 0, child, u);
  EXPECT_EQ(child.castle[castleIndex(Black, 0)], -1);
  EXPECT_EQ(child.castle[castleIndex(Black, 1)], 0);
  expectConsistent(White, child);
  takeBackSearchMove<White>(testWorker().position, mv("h8", "h5"), u);
  child = s;
  makeSearchMove<White>(testWorker().position, mv("e8", "d7"), 0, child, u);
  EXPECT_EQ(child.castle[castleIndex(Black, 0)], -1);
  EXPECT_EQ(child.castle[castleIndex(Black, 1)], -1);
  expectConsistent(White, child);
  takeBackSearchMove<White>(testWorker().position, mv("e8", "d7"), u);
  // Capturing the a1 rook takes White's queen-side right.
  child = s;
  makeSearchMove<White>(testWorker().position, CaptureMark | mv("a8", "a1"), 0, child, u);
  EXPECT_EQ(child.castle[castleIndex(White, 1)], -1);
  EXPECT_EQ(child.castle[castleIndex(White, 0)], 0);
  expectConsistent(White, child);
  takeBackSearchMove<White>(testWorker().position, CaptureMark | mv("a8", "a1"), u);
  EXPECT_EQ(snapshot(), before);
}

TEST(SearchMake, QueenPromotionSetsTheMaskKnightPromotionDoesNot) {
  NodeState s = loadFen("4k3/1P6/8/8/8/8/8/4K3 w - -");
  const int slot = testWorker().position.map[sq("b7")];
  const Arrays before = snapshot();
  NodeState child = s;
  SearchUndo u;
  ASSERT_EQ(makeSearchMove<Black>(testWorker().position, mv("b7", "b8", PromoteQueen), 0, child, u), 0);
  EXPECT_EQ(testWorker().position.kind[slot], Queen);
  EXPECT_EQ(testWorker().position.value[slot], QueenValue);
  EXPECT_EQ(child.promotedQueens, 1u << slot);
  EXPECT_EQ(child.pawnFiles[White], 0);
  expectConsistent(Black, child);
  takeBackSearchMove<Black>(testWorker().position, mv("b7", "b8", PromoteQueen), u);
  EXPECT_EQ(testWorker().position.kind[slot], WhitePawn);
  EXPECT_EQ(testWorker().position.value[slot], PawnValue);
  EXPECT_EQ(snapshot(), before);

  child = s;
  ASSERT_EQ(makeSearchMove<Black>(testWorker().position, mv("b7", "b8", PromoteKnight), 0, child, u), 0);
  EXPECT_EQ(testWorker().position.kind[slot], Knight);
  EXPECT_EQ(testWorker().position.value[slot], KnightValue);
  EXPECT_EQ(child.promotedQueens, 0u);
  expectConsistent(Black, child);
  takeBackSearchMove<Black>(testWorker().position, mv("b7", "b8", PromoteKnight), u);
  EXPECT_EQ(snapshot(), before);

  // Capturing the promoted queen clears its bit.
  s = loadFen("1Q2k3/8/8/8/8/8/8/r2QK3 b - -");  // the d1 queen is White's second queen
  const int second = testWorker().position.map[sq("d1")];
  ASSERT_EQ(s.promotedQueens, 1u << second);
  child = s;
  ASSERT_EQ(makeSearchMove<White>(testWorker().position, CaptureMark | mv("a1", "d1"), 0, child, u), 0);
  EXPECT_EQ(child.promotedQueens, 0u);
  expectConsistent(White, child);
  takeBackSearchMove<White>(testWorker().position, CaptureMark | mv("a1", "d1"), u);
}

TEST(SearchMake, EnPassantFileKeyOnlyInTheProbeKey) {
  NodeState s = loadFen("4k3/4p3/8/3P4/8/8/8/4K3 b - -");
  SearchUndo u;
  NodeState child = s;
  ASSERT_EQ(makeSearchMove<White>(testWorker().position, mv("e7", "e5"), 0, child, u), 0);
  expectConsistent(White, child);  // the node's key is free of the en-passant key
  uint32_t key[2];
  searchProbeKey<White>(testWorker().position, child, key);
  EXPECT_EQ(key[0], child.key[0] ^ zobristL[ZobristEnPassant + 4]);
  EXPECT_EQ(key[1], child.key[1] ^ zobristH[ZobristEnPassant + 4]);
  takeBackSearchMove<White>(testWorker().position, mv("e7", "e5"), u);

  // A single push, or no pawn beside the destination: the plain key.
  child = s;
  makeSearchMove<White>(testWorker().position, mv("e7", "e6"), 0, child, u);
  searchProbeKey<White>(testWorker().position, child, key);
  EXPECT_EQ(key[0], child.key[0]);
  takeBackSearchMove<White>(testWorker().position, mv("e7", "e6"), u);
  s = loadFen("4k3/4p3/8/8/3P4/8/8/4K3 b - -");
  child = s;
  makeSearchMove<White>(testWorker().position, mv("e7", "e5"), 0, child, u);
  searchProbeKey<White>(testWorker().position, child, key);
  EXPECT_EQ(key[0], child.key[0]);
  EXPECT_EQ(key[1], child.key[1]);
  takeBackSearchMove<White>(testWorker().position, mv("e7", "e5"), u);

  // The Black twin: White's double push beside a Black pawn on the h-file edge.
  s = loadFen("4k3/8/8/8/6p1/8/7P/4K3 w - -");
  child = s;
  makeSearchMove<Black>(testWorker().position, mv("h2", "h4"), 0, child, u);
  searchProbeKey<Black>(testWorker().position, child, key);
  EXPECT_EQ(key[0], child.key[0] ^ zobristL[ZobristEnPassant + 7]);
  takeBackSearchMove<Black>(testWorker().position, mv("h2", "h4"), u);
}

TEST(SearchMake, NullMoveChangesOnlyTheSideToMove) {
  NodeState s = loadFen("4k3/8/8/3p4/4P3/8/8/4K3 b - -");
  s.ply = 2;
  s.lastMove = uint16_t(mv("e2", "e4"));
  const Arrays before = snapshot();
  SearchUndo u;
  NodeState child = s;
  ASSERT_EQ(makeSearchMove<White>(testWorker().position, 0, 0, child, u), 0);
  EXPECT_EQ(child.lastMove, 0);
  expectConsistent(White, child);
  takeBackSearchMove<White>(testWorker().position, 0, u);
  EXPECT_EQ(snapshot(), before);

  // At the root, and on a re-search of the same node, nothing is made.
  child = s;
  child.ply = 0;
  makeSearchMove<White>(testWorker().position, 0, 0, child, u);
  EXPECT_EQ(child.key[0], s.key[0]);
  child = s;
  makeSearchMove<White>(testWorker().position, CaptureMark | mv("d5", "e4"), 0x200, child, u);
  EXPECT_EQ(std::memcmp(&child, &s, sizeof s), 0);
  EXPECT_EQ(snapshot(), before);
}

TEST(SearchMake, HistoryRecordBitsAndHalfMoveClock) {
  NodeState root = loadFen("r3k2r/8/8/3p4/4P3/8/8/4K3 b kq -");
  ASSERT_EQ(game.lastRecord, -1);
  testWorker().repetition.seed(game);
  root.halfMove = 7;
  root.ply = 2;  // the record goes to lastRecord + ply = index 1
  const auto record = [&](Move t, bool expectIrreversible, int expectClock, int expectCaptured) {
    SCOPED_TRACE(t);
    NodeState s = root;
    SearchUndo u;
    ASSERT_EQ(makeSearchMove<White>(testWorker().position, t, 0, s, u), 0);
    s.ply = 2;
    writeSearchHistory<White>(testWorker().repetition, testWorker().position, t, u, s);
    const HistoryRecord& r = testWorker().repetition.records[1];
    EXPECT_EQ(r.keyHigh, s.key[1]);
    EXPECT_EQ(r.keyMid, s.key[0] >> 16);
    EXPECT_EQ(r.move, uint16_t(t));
    EXPECT_EQ((r.flags & RecordIrreversible) != 0, expectIrreversible);
    EXPECT_EQ(r.flags & 0x3F, expectCaptured);
    EXPECT_EQ(r.flags & RecordBlackToMove, 0);  // White is to move after Black's move
    EXPECT_EQ(s.halfMove, expectClock);
    takeBackSearchMove<White>(testWorker().position, t, u);
  };
  const int pawnE4 = testWorker().position.map[sq("e4")];
  record(CaptureMark | mv("d5", "e4"), true, 0, pawnE4);  // capture: clock 0
  record(mv("d5", "d4"), true, 0, EmptySquare);           // pawn move: clock 0
  record(BlackCastleKing, true, 8, EmptySquare);          // castling: irreversible, clock + 1
  record(mv("a8", "a5"), false, 8, EmptySquare);          // anything else: clock + 1
  record(0, false, 0, EmptySquare);                       // null move: clock 0
  EXPECT_EQ(testWorker().repetition.records[1].move, 0);
}

}  // namespace
}  // namespace orv

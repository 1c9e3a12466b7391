#include <gtest/gtest.h>

#include "board/board.h"
#include "eval/evaluate.h"
#include "eval_test_util.h"

namespace orv::test {
namespace {

TEST(Recount, StartPosition) {
  Prepared p(StartFen);
  const Board& b = p.board;
  EXPECT_EQ(p.rootPhase, 0);
  EXPECT_EQ(b.phase, 0);
  EXPECT_EQ(b.psq[0], 0);
  EXPECT_EQ(b.psq[1], 0);
  EXPECT_EQ(b.material[0], 0);
  EXPECT_EQ(b.material[1], 0);
  EXPECT_EQ(b.nonPawn[White], 18768);
  EXPECT_EQ(b.nonPawn[Black], 18768);
  EXPECT_EQ(b.pieces[White], 7);
  EXPECT_EQ(b.pieces[Black], 7);
  EXPECT_EQ(b.pawns[White], 8);
  EXPECT_EQ(b.pawns[Black], 8);
  EXPECT_EQ(b.pawnFiles[White], 255);
  EXPECT_EQ(b.pawnFiles[Black], 255);
  EXPECT_EQ(b.value[KingSlot], 5760);
  EXPECT_EQ(b.value[16 + KingKnightSlot], 1872);
  EXPECT_EQ(b.value[32], 0);
  EXPECT_EQ(b.kind[32], NoKind);
}

TEST(Recount, PieceSquareContributions) {
  EXPECT_EQ(psqTable[0][King][psqIndex(White, sq("g1"))], 24);
  EXPECT_EQ(psqTable[1][King][psqIndex(White, sq("g1"))], -24);
  EXPECT_EQ(psqTable[0][WhitePawn][psqIndex(White, sq("e7"))], 68);
  EXPECT_EQ(psqTable[1][BlackPawn][psqIndex(White, sq("e7"))], 147);
  for (int k = 0; k < 64; ++k) EXPECT_EQ(psqTable[0][NoKind][k] | psqTable[1][NoKind][k], 0);

  // Kings on g1 and g8 cancel; a White pawn on e7 adds its table values.
  Prepared kings("6k1/8/8/8/8/8/8/6K1 w - - 0 1");
  EXPECT_EQ(kings.board.psq[0], 0);
  EXPECT_EQ(kings.board.psq[1], 0);
  Prepared pawn("6k1/4P3/8/8/8/8/8/6K1 w - - 0 1");
  EXPECT_EQ(pawn.board.psq[0], 68);
  EXPECT_EQ(pawn.board.psq[1], 147);
  // A Black man on e7 reads the line of rank 2: the mirror image.
  Prepared black("6k1/4p3/8/8/8/8/8/6K1 w - - 0 1");
  EXPECT_EQ(black.board.psq[0], psqTable[0][BlackPawn][psqIndex(Black, sq("e7"))] * -1);
  EXPECT_EQ(black.board.psq[0], 15);
  EXPECT_EQ(black.board.material[1], -480);
}

TEST(Recount, MaterialScalesDifferForKnights) {
  Prepared p("4k3/8/8/8/8/8/8/2N1K3 w - - 0 1");
  EXPECT_EQ(p.board.material[0], 1872);
  EXPECT_EQ(p.board.material[1], 1776);
  EXPECT_EQ(p.board.nonPawn[White], 1872);
}

TEST(Phase, RootAndNodeForms) {
  // Both kings castled, no right left: code 1 at the root, 0 at nodes.
  Prepared noRights("r1bq1rk1/pppppppp/2n2n2/8/8/2N2N2/PPPPPPPP/R1BQ1RK1 w - - 0 1");
  EXPECT_EQ(noRights.rootPhase, 1);
  EXPECT_EQ(computePhase(noRights.state), 0);
  Prepared rights("r1bqkb1r/pppppppp/2n2n2/8/8/2N2N2/PPPPPPPP/R1BQKB1R w KQkq - 0 1");
  EXPECT_EQ(rights.rootPhase, 0);
  // Pawnless with five pieces: 2 at the root, 5 at nodes; with four, 5 in both.
  Prepared five("3nk3/8/8/8/8/8/8/RNBQK3 w - - 0 1");
  EXPECT_EQ(five.rootPhase, 2);
  EXPECT_EQ(computePhase(five.state), 5);
  Prepared four("4k3/8/8/8/8/8/8/RNBQK3 w - - 0 1");
  EXPECT_EQ(four.rootPhase, 5);
  EXPECT_EQ(computePhase(four.state), 5);
  Prepared pawnEnding("4k3/4p3/8/8/8/8/4P3/4K3 w - - 0 1");
  EXPECT_EQ(pawnEnding.rootPhase, 4);
  EXPECT_EQ(computePhase(pawnEnding.state), 4);
  Prepared rookEnding("4k3/4p3/8/8/8/8/4P3/R3K3 w - - 0 1");
  EXPECT_EQ(rookEnding.rootPhase, 3);
  EXPECT_EQ(computePhase(rookEnding.state), 3);
}

TEST(Phase, QueenPlusRookThreshold) {
  NodeState s{};
  s.pawns[White] = s.pawns[Black] = 8;
  s.pieces[White] = s.pieces[Black] = 5;
  s.nonPawn[White] = 8448;
  s.nonPawn[Black] = 8447;
  EXPECT_EQ(computePhase(s), 0);
  s.nonPawn[White] = 8447;
  EXPECT_EQ(computePhase(s), 3);
  s.nonPawn[Black] = 8448;
  EXPECT_EQ(computePhase(s), 0);
  // Few pieces: 2 with queen plus rook on either side, else 3.
  s.pieces[White] = s.pieces[Black] = 4;
  EXPECT_EQ(computePhase(s), 2);
  s.nonPawn[Black] = 8447;
  EXPECT_EQ(computePhase(s), 3);
}

TEST(RootNodeState, CopiesTheBoardWords) {
  Prepared p("4k3/1P6/8/8/8/8/8/4K3 w - - 0 1");
  EXPECT_EQ(p.state.ply, 0);
  EXPECT_EQ(p.state.excluded, 0);
  EXPECT_EQ(p.state.promotedQueens, 0u);
  EXPECT_EQ(p.state.pawnFiles[White], 2);
  // A queen in a pawn slot is a promoted queen.
  Board b = p.board;
  b.halfMove = 7;
  const int slot = b.map[sq("b7")];
  b.kind[slot] = Queen;
  recountBoard(b);
  const NodeState s = rootNodeState(b);
  EXPECT_EQ(s.promotedQueens, 1u << slot);
  EXPECT_EQ(s.pieces[White], 1);
  EXPECT_EQ(s.nonPawn[White], 5616);
  EXPECT_EQ(s.pawnFiles[White], 0);
  EXPECT_EQ(s.halfMove, 7);
  EXPECT_EQ(s.ply, 0);
}

}  // namespace
}  // namespace orv::test

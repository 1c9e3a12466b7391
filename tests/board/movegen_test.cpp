#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/game.h"
#include "board/movegen.h"
#include "board_test_util.h"

namespace orv {
namespace {

using test::Line;
using test::sq;

std::vector<Move> movesOf(const Line& line, int from) {
  std::vector<Move> out;
  for (int i = 0; line.legal[i] != 0; ++i)
    if (moveFrom(line.legal[i]) == from) out.push_back(line.legal[i]);
  return out;
}

TEST(MoveGenerator, StartPositionOrder) {
  Line line(StartFen);
  ASSERT_EQ(line.count(), 20);
  const Move expected[20] = {
      makeMove(sq("b1"), sq("c3")), makeMove(sq("b1"), sq("a3")), makeMove(sq("g1"), sq("h3")),
      makeMove(sq("g1"), sq("f3")), makeMove(sq("a2"), sq("a3")), makeMove(sq("a2"), sq("a4")),
  };
  for (int i = 0; i < 6; ++i) EXPECT_EQ(line.legal[i], expected[i]) << i;
  for (int file = 0; file < 8; ++file) {  // each pawn: single push, then double push
    EXPECT_EQ(line.legal[4 + 2 * file], makeMove(8 + file, 16 + file));
    EXPECT_EQ(line.legal[5 + 2 * file], makeMove(8 + file, 24 + file));
  }
  EXPECT_EQ(line.lastResult, 0u);

  // Black's twin walks its knights' jumps in its own order.
  line.play("e2e4");
  EXPECT_EQ(line.legal[0], makeMove(sq("b8"), sq("c6")));
  EXPECT_EQ(line.legal[1], makeMove(sq("b8"), sq("a6")));
  EXPECT_EQ(line.legal[2], makeMove(sq("g8"), sq("h6")));
  EXPECT_EQ(line.lastResult, makeMove(sq("e2"), sq("e4")));
}

TEST(MoveGenerator, PromotionsInOrderWithCaptureMarks) {
  Line line("3r4/4P3/8/8/8/8/8/K6k w - -");
  const std::vector<Move> pawn = movesOf(line, sq("e7"));
  const int e7 = sq("e7"), e8 = sq("e8"), d8 = sq("d8");
  const std::vector<Move> expected = {
      makeMove(e7, e8, PromoteQueen),
      makeMove(e7, e8, PromoteRook),
      makeMove(e7, e8, PromoteBishop),
      makeMove(e7, e8, PromoteKnight),
      makeMove(e7, d8, PromoteQueen) | CaptureMark,
      makeMove(e7, d8, PromoteRook) | CaptureMark,
      makeMove(e7, d8, PromoteBishop) | CaptureMark,
      makeMove(e7, d8, PromoteKnight) | CaptureMark,
  };
  EXPECT_EQ(pawn, expected);

  // The promoted man keeps the pawn's slot with its new kind and value.
  const int slot = line.board.map[e7];
  line.play("e7d8n");
  EXPECT_EQ(line.board.map[d8], slot);
  EXPECT_EQ(line.board.kind[slot], Knight);
  EXPECT_EQ(line.board.value[slot], KnightValue);
  EXPECT_EQ(line.board.square[16 + QueenRookSlot], OffBoard);
  EXPECT_EQ(line.board.material[0], KnightValue);
  EXPECT_EQ(line.board.material[1], 1776);
}

TEST(MoveGenerator, EnPassantOnlyRightAfterTheDoublePush) {
  Line line(StartFen);
  for (const char* m : {"e2e4", "d7d5", "e4e5", "f7f5"}) line.play(m);
  const Move ep = line.find("e5f6");
  EXPECT_EQ(ep, makeMove(sq("e5"), sq("f6"), EnPassant) | CaptureMark);
  EXPECT_FALSE(line.has("e5d6"));  // d5 moved two moves ago

  Line taken = line;
  taken.play("e5f6");
  EXPECT_EQ(taken.board.map[sq("f5")], EmptySquare);
  EXPECT_EQ(taken.board.pawns[Black], 7);
  EXPECT_EQ(taken.board.material[0], PawnValue);

  Line later(StartFen);
  for (const char* m : {"e2e4", "f7f5", "e4e5", "a7a6"}) later.play(m);
  EXPECT_FALSE(later.has("e5f6"));
}

TEST(MoveGenerator, CastlingNeedsSafeSquaresAndRights) {
  Line free("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
  EXPECT_TRUE(free.has("e1g1"));
  EXPECT_TRUE(free.has("e1c1"));
  // Castling comes after every other move.
  EXPECT_EQ(free.legal[free.count() - 2], WhiteCastleKing);
  EXPECT_EQ(free.legal[free.count() - 1], WhiteCastleQueen);

  Line through("r3k2r/8/8/8/8/8/5r2/R3K2R w KQkq -");  // f1 attacked
  EXPECT_FALSE(through.has("e1g1"));
  EXPECT_TRUE(through.has("e1c1"));
  Line inCheck("r3k2r/8/8/8/8/8/4r3/R3K2R w KQkq -");
  EXPECT_FALSE(inCheck.has("e1g1"));
  EXPECT_FALSE(inCheck.has("e1c1"));
  Line rookAttacked("1r2k2r/8/8/8/8/8/8/R3K2R w KQk -");  // only b1 attacked: allowed
  EXPECT_TRUE(rookAttacked.has("e1c1"));

  // Castling moves the rook and sets the statuses.
  Line castled = free;
  castled.play("e1g1");
  EXPECT_EQ(castled.board.square[KingRookSlot], sq("f1"));
  EXPECT_EQ(castled.board.map[sq("h1")], EmptySquare);
  EXPECT_EQ(castled.board.castle[castleIndex(White, 0)], 1);
  EXPECT_EQ(castled.board.castle[castleIndex(White, 1)], -1);
  castled.play("e8c8");
  EXPECT_EQ(castled.board.square[16 + QueenRookSlot], sq("d8"));
  EXPECT_EQ(castled.board.castle[castleIndex(Black, 1)], 1);
  EXPECT_EQ(castled.board.castle[castleIndex(Black, 0)], -1);

  // A rook move loses its wing; capturing a rook takes the opponent's right.
  Line rights = free;
  rights.play("a1a8");
  EXPECT_EQ(rights.board.castle[castleIndex(White, 1)], -1);
  EXPECT_EQ(rights.board.castle[castleIndex(Black, 1)], -1);
  EXPECT_EQ(rights.board.castle[castleIndex(White, 0)], 0);
  EXPECT_FALSE(rights.has("e8c8"));
  rights.play("e8e7");
  EXPECT_EQ(rights.board.castle[castleIndex(Black, 0)], -1);
}

TEST(MoveGenerator, ResultBits) {
  Line mated("7k/6Q1/6K1/8/8/8/8/8 b - -");
  EXPECT_EQ(mated.lastResult, GenCheckmate);
  EXPECT_EQ(mated.count(), 0);
  Line stalemated("7k/8/6QK/8/8/8/8/8 b - -");
  EXPECT_EQ(stalemated.lastResult, GenStalemate);

  // Capturing Black's last pawn leaves king and knight against king.
  Line bare("4k3/8/8/8/8/8/3p4/4K1N1 w - -");
  bare.play("e1d2");
  EXPECT_EQ(bare.lastResult, GenInsufficient);
  EXPECT_GT(bare.count(), 0);

  // Mate delivered by a move.
  Line mating("7k/8/6K1/8/8/8/8/1Q6 w - -");
  mating.play("b1b8");
  EXPECT_EQ(mating.lastResult, GenCheckmate);
}

TEST(MoveGenerator, IllegalCompletionLeavesTheBoardAlone) {
  Line pinned("4k3/4r3/8/8/8/8/4N3/4K3 w - -");
  EXPECT_FALSE(pinned.has("e2c3"));
  Board b = pinned.board;
  const Move m = makeMove(sq("e2"), sq("c3"));
  EXPECT_EQ(generate<Black>(nullptr, 0, m, b), m | GenIllegal);
  Move list[8] = {7, 7, 7};
  EXPECT_EQ(generate<Black>(list, 8, m, b), m | GenIllegal);
  EXPECT_EQ(std::memcmp(&b, &pinned.board, sizeof b), 0);

  // A move that does not fit the position is refused, not applied.
  Line start(StartFen);
  const Move fromEmpty = makeMove(sq("e4"), sq("e5"));
  const Move ontoOwn = makeMove(sq("d1"), sq("d2"));
  EXPECT_EQ(generate<Black>(nullptr, 0, fromEmpty, start.board), fromEmpty | GenIllegal);
  EXPECT_EQ(generate<Black>(nullptr, 0, ontoOwn, start.board), ontoOwn | GenIllegal);
  EXPECT_EQ(generate<White>(nullptr, 0, makeMove(sq("e2"), sq("e4")), start.board),
            makeMove(sq("e2"), sq("e4")) | GenIllegal);  // a White man moved as Black's

  // Without a move: is the side that has just moved in check?
  Line check("4k3/8/8/8/8/8/8/4R1K1 b - -");
  EXPECT_EQ(generate<Black>(nullptr, 0, 0, check.board), 0u);
  EXPECT_EQ(generate<White>(nullptr, 0, 0, check.board), GenIllegal);
}

TEST(MoveGenerator, ListCapacityIsRespected) {
  Line line(StartFen);
  Board b = line.board;
  Move list[8];
  for (Move& m : list) m = 0xDEAD;
  generate<White>(list, 5, 0, b);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list[i], line.legal[i]);
  EXPECT_EQ(list[4], 0u);
  EXPECT_EQ(list[5], 0xDEADu);

  Line crowded("kr6/pp6/3Q2Q1/1Q6/5Q2/2Q4Q/4Q3/K1Q3Q1 w - -");
  EXPECT_EQ(crowded.count(), 167);
}

TEST(AttackTest, OnlyAlignedUnblockedMenAttack) {
  Line line("4k3/8/8/3p4/8/1B6/8/R3K3 w - -");
  const Board& b = line.board;
  EXPECT_TRUE(isAttacked(b, sq("a8"), White));   // rook along the file
  EXPECT_TRUE(isAttacked(b, sq("d1"), White));   // rook along the rank
  EXPECT_TRUE(isAttacked(b, sq("d5"), White));   // bishop
  EXPECT_FALSE(isAttacked(b, sq("e6"), White));  // behind the d5 pawn
  EXPECT_TRUE(isAttacked(b, sq("e4"), Black));   // pawns attack downward
  EXPECT_TRUE(isAttacked(b, sq("c4"), Black));
  EXPECT_FALSE(isAttacked(b, sq("d4"), Black));
  EXPECT_TRUE(isAttacked(b, sq("f2"), White));  // king one step
  EXPECT_FALSE(isAttacked(b, sq("g3"), White));
  EXPECT_FALSE(isAttacked(b, sq("h1"), White));  // the king blocks the rook
}

TEST(MoveGenerator, KeepsEveryMoveOfTheLargestList) {
  ASSERT_EQ(parseFen("3Q4/1Q4Q1/4Q3/2Q4R/Q4Q2/3Q4/1Q4Rp/1K1BBNNk w - - 0 1"), 0);
  int count = 0;
  while (game.legal[count] != 0) ++count;
  EXPECT_EQ(count, 218);
  // The last one generated is accepted like the first (it happens to stalemate Black).
  EXPECT_EQ(makeGameMove(game.legal[count - 1] & 0xFFFF), MoveStalemate);
}

}  // namespace
}  // namespace orv

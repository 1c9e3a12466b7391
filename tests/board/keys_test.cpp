#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "board/board.h"
#include "board/tables.h"
#include "board_test_util.h"

namespace orv {
namespace {

using test::Line;
using test::sq;

TEST(StartupTables, KeysComeFromTheSeededTwisterLowHalvesFirst) {
  std::mt19937 twister(123456);
  for (int i = 0; i < 1024; ++i) ASSERT_EQ(zobristL[i], twister()) << i;
  for (int i = 0; i < 1024; ++i) ASSERT_EQ(zobristH[i], twister()) << i;
}

TEST(StartupTables, RayListsFollowTheTwinOrders) {
  // A rook on a1, White order +8, -8, +1, -1: the file upward first, then the rank.
  const RayEntry* rook = rayList[White][Rook][sq("a1")];
  EXPECT_EQ(rook[0].to, sq("a2"));
  EXPECT_EQ(rook[0].left, 7);
  EXPECT_EQ(rook[6].to, sq("a8"));
  EXPECT_EQ(rook[6].left, 1);
  EXPECT_EQ(rook[7].to, sq("b1"));
  EXPECT_EQ(rook[14].to, 64);
  // Black order starts downward, which a1 lacks.
  EXPECT_EQ(rayList[Black][Rook][sq("a1")][0].to, sq("a2"));
  EXPECT_EQ(rayList[Black][Rook][sq("a8")][0].to, sq("a7"));

  int queenMoves = 0;
  while (rayList[White][Queen][sq("d4")][queenMoves].to != 64) ++queenMoves;
  EXPECT_EQ(queenMoves, 27);
  // Knights never wrap a file edge.
  const RayEntry* knight = rayList[White][Knight][sq("h1")];
  EXPECT_EQ(knight[0].to, sq("g3"));
  EXPECT_EQ(knight[1].to, sq("f2"));
  EXPECT_EQ(knight[2].to, 64);
}

TEST(StartupTables, PawnListsAndDirections) {
  const PawnEntry* e2 = pawnList[White][sq("e2")];
  EXPECT_EQ(e2[0].to, sq("e3"));
  EXPECT_EQ(e2[0].skip, 1);
  EXPECT_EQ(e2[1].to, sq("e4"));
  EXPECT_EQ(e2[2].to, sq("d3"));
  EXPECT_EQ(e2[3].to, sq("f3"));
  EXPECT_EQ(e2[4].to, 64);
  const PawnEntry* a2 = pawnList[Black][sq("a2")];
  EXPECT_EQ(a2[0].to, sq("a1"));
  EXPECT_EQ(a2[0].flags, PawnPush | PawnPromotes);
  EXPECT_EQ(a2[1].to, sq("b1"));
  EXPECT_EQ(a2[1].flags, PawnPromotes);
  EXPECT_EQ(a2[2].to, 64);

  EXPECT_EQ(direction[sq("a1")][sq("h8")], 9);
  EXPECT_EQ(direction[sq("h1")][sq("a8")], 7);
  EXPECT_EQ(direction[sq("e4")][sq("e1")], -8);
  EXPECT_EQ(direction[sq("h2")][sq("a3")], 0);  // consecutive squares, no common line
  EXPECT_EQ(direction[sq("g1")][sq("f3")], 15);
  EXPECT_EQ(direction[sq("h1")][sq("a2")], 0);
  EXPECT_EQ(kingDistance[sq("a1")][sq("h3")], 7);
}

TEST(HashKeys, SideToMoveDiffersByTheSideEntries) {
  Board b;
  setupStartPosition(b);
  computeFullKey(White, b);
  const uint32_t low = b.key[0], high = b.key[1], pawnLow = b.pawnKey[0];
  computeFullKey(Black, b);
  EXPECT_EQ(low ^ b.key[0], zobristL[ZobristSideToMove] ^ zobristL[ZobristSideToMove + 1]);
  EXPECT_EQ(high ^ b.key[1], zobristH[ZobristSideToMove] ^ zobristH[ZobristSideToMove + 1]);
  EXPECT_EQ(pawnLow, b.pawnKey[0]);

  ASSERT_EQ(parseFen(StartFen), 0);
  EXPECT_EQ(game.board.key[0], low);
  EXPECT_EQ(game.board.key[1], high);
}

TEST(HashKeys, KeyThroughMovesEqualsKeyFromScratch) {
  struct Case {
    std::vector<const char*> moves;
    const char* fen;
  };
  const Case cases[] = {
      {{"e2e4", "e7e5", "g1f3", "b8c6", "f1c4", "g8f6", "e1g1"},
       "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQ1RK1 b kq -"},
      // En passant and a promotion with capture; the en-passant chance is not in the key.
      {{"e2e4", "a7a6", "e4e5", "d7d5", "e5d6", "a6a5", "d6c7", "a5a4", "c7b8q"},
       "rQbqkbnr/1p2pppp/8/8/p7/8/PPPP1PPP/RNBQKBNR b KQkq -"},
      {{"e2e4", "d7d5"}, "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fen);
    Line line(StartFen);
    for (const char* m : c.moves) line.play(m);
    computeFullKey(line.side, line.board);
    ASSERT_EQ(parseFen(c.fen), 0);
    EXPECT_EQ(line.board.key[0], game.board.key[0]);
    EXPECT_EQ(line.board.key[1], game.board.key[1]);
    EXPECT_EQ(line.board.pawnKey[0], game.board.pawnKey[0]);
    EXPECT_EQ(line.board.pawnKey[1], game.board.pawnKey[1]);
    EXPECT_EQ(line.board.material[0], game.board.material[0]);
    EXPECT_EQ(line.board.material[1], game.board.material[1]);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(line.board.castle[i], game.board.castle[i]) << i;
  }
}

}  // namespace
}  // namespace orv

#include <gtest/gtest.h>

#include "board/types.h"

namespace orv {

TEST(MoveCode, CastlingCodesAreTheKingsTwoSquareMoves) {
  EXPECT_EQ(makeMove(4, 6, CastleKingSide), WhiteCastleKing);
  EXPECT_EQ(makeMove(4, 2, CastleQueenSide), WhiteCastleQueen);
  EXPECT_EQ(makeMove(60, 62, CastleKingSide), BlackCastleKing);
  EXPECT_EQ(makeMove(60, 58, CastleQueenSide), BlackCastleQueen);
}

}  // namespace orv

#include "board/en_passant.h"

#include <gtest/gtest.h>

#include "board_test_util.h"

namespace orv {
namespace {

using test::Line;
using test::sq;

TEST(EnPassantCapturers, PawnsBesideADoublePushOnly) {
  // Black has just played d7d5 beside White pawns on c5 and e5.
  const Line both("4k3/8/8/2PpP3/8/8/8/4K3 w - -");
  const Move push = makeMove(sq("d7"), sq("d5"));
  EXPECT_EQ(enPassantCapturers<White>(both.board, push), EnPassantFromLeft | EnPassantFromRight);
  EXPECT_EQ(passedSquare(push), sq("d6"));
  // A single step from d6 is no double push; nor is a move of another man.
  EXPECT_EQ(enPassantCapturers<White>(both.board, makeMove(sq("d6"), sq("d5"))), 0);
  const Line knight("4k3/8/8/2PnP3/8/8/8/4K3 w - -");
  EXPECT_EQ(enPassantCapturers<White>(knight.board, makeMove(sq("d7"), sq("d5"))), 0);
  // After White's d2d4, neither a white pawn nor a black knight beside it can take.
  const Line mixed("4k3/8/8/8/2PPn3/8/8/4K3 b - -");
  EXPECT_EQ(enPassantCapturers<Black>(mixed.board, makeMove(sq("d2"), sq("d4"))), 0);
}

TEST(EnPassantCapturers, NoNeighbourAcrossTheBoardEdge) {
  // Black's a7a5: the square before a5 in board order is h4, which is no neighbour.
  const Line edge("4k3/8/8/p7/7P/8/8/4K3 w - -");
  EXPECT_EQ(enPassantCapturers<White>(edge.board, makeMove(sq("a7"), sq("a5"))), 0);
  const Line beside("4k3/8/8/pP6/8/8/8/4K3 w - -");
  EXPECT_EQ(enPassantCapturers<White>(beside.board, makeMove(sq("a7"), sq("a5"))), EnPassantFromRight);
}

}  // namespace
}  // namespace orv

// The go line's limits and the root moves it names.
#include <gtest/gtest.h>

#include <string>

#include "board/board.h"
#include "board/game.h"
#include "notation/movetext.h"
#include "shell/go_command.h"

namespace orv {
namespace {

std::string moveText(uint32_t m) {
  char text[CoordinateTextSize];
  coordinateText(m, text);
  return text;
}

struct GoLineTest : ::testing::Test {
  void SetUp() override {
    setPieceLetters();
    newGame();
  }
};

TEST_F(GoLineTest, LimitsAreReadAndClamped) {
  GoRequest r = readGoLine("GO DEPTH 5 NODES 1000 MATE 3 WTIME 1000", game.legal);
  EXPECT_EQ(r.limits.depth, 5);
  EXPECT_EQ(r.limits.nodes, 1000u);
  EXPECT_EQ(r.limits.mate, 3);
  EXPECT_TRUE(r.clock);
  EXPECT_FALSE(r.infinite || r.ponder);

  r = readGoLine("GO DEPTH -3 NODES 99999999999999999999 MATE 0", game.legal);
  EXPECT_EQ(r.limits.depth, 1);
  EXPECT_GE(r.limits.nodes, 999999999999999999u);  // too large: clamped, not wrapped
  EXPECT_EQ(r.limits.mate, 1);
  EXPECT_FALSE(r.clock);

  r = readGoLine("GO DEPTH 1000 NODES X MATE", game.legal);
  EXPECT_EQ(r.limits.depth, 63);
  EXPECT_EQ(r.limits.nodes, 0u);
  EXPECT_EQ(r.limits.mate, 0);

  r = readGoLine("GO PONDER MOVETIME 100 INFINITE", game.legal);
  EXPECT_TRUE(r.ponder && r.infinite && r.clock);
}

TEST_F(GoLineTest, SearchmovesKeepsLegalMovesUpToTheNextKeyword) {
  const GoRequest r = readGoLine("GO SEARCHMOVES E2E4 ZZ99 E7E5 G1F3 E2E4 E2E4EXTRA DEPTH 4", game.legal);
  ASSERT_EQ(r.limits.searchMoveCount, 2);
  EXPECT_EQ(moveText(r.limits.searchMoves[0]), "e2e4");
  EXPECT_EQ(moveText(r.limits.searchMoves[1]), "g1f3");
  EXPECT_EQ(r.limits.depth, 4);
  EXPECT_EQ(readGoLine("GO SEARCHMOVES", game.legal).limits.searchMoveCount, 0);
}

TEST_F(GoLineTest, PromotionsAndCastlingAreFoundInEitherCase) {
  ASSERT_EQ(parseFen("r3k2r/1P6/8/8/8/8/8/4K3 w kq - 0 1"), 0);
  EXPECT_EQ(moveText(findLegalMove("b7a8q", game.legal)), "b7a8Q");
  EXPECT_EQ(moveText(findLegalMove("B7B8N", game.legal)), "b7b8N");
  EXPECT_EQ(findLegalMove("b7b8", game.legal), 0u);
  ASSERT_EQ(parseFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1"), 0);
  EXPECT_EQ(moveText(findLegalMove("e1g1", game.legal)), "e1g1");
  EXPECT_EQ(findLegalMove("e1e3", game.legal), 0u);
  EXPECT_EQ(findLegalMove("", game.legal), 0u);
}

}  // namespace
}  // namespace orv

#include "notation/board_text.h"

#include <gtest/gtest.h>

#include <string>

#include "board/board.h"
#include "board/game.h"

namespace orv {
namespace {

std::string diagram() {
  char text[80];
  formatBoard(text);
  return text;
}

TEST(BoardText, StartPositionRankEightFirstWhiteInLowerCase) {
  newGame();
  EXPECT_EQ(diagram(), "TCFDRFCT\nPPPPPPPP\n........\n........\n........\n........\npppppppp\ntcfdrfct\n");
  ASSERT_EQ(parseFen("4k3/8/8/8/8/8/8/R3K2R w KQ -"), 0);
  EXPECT_EQ(diagram(), "....R...\n........\n........\n........\n........\n........\n........\nt...r..t\n");
  newGame();
}

}  // namespace
}  // namespace orv

#include "search/move_words.h"

#include <gtest/gtest.h>

#include "board/score.h"
#include "search/search.h"

namespace orv {
namespace {

TEST(PackedWords, SignedScoresSurviveTheHighHalf) {
  const Move m = makeMove(12, 28) | CaptureMark;
  for (int score : {-InfiniteScore, -MateScore + 3, -1, 0, 1, NoScore, InfiniteScore}) {
    const uint32_t word = scoredWord(m, score);
    EXPECT_EQ(moveOf(word), m);
    EXPECT_EQ(signedScoreOf(word), score);
    const int32_t result = packSearchResult(m, score);
    EXPECT_EQ(resultMove(result), m);
    EXPECT_EQ(resultScore(result), score);
  }
  // A score of -1 with a real move is still not the game-over result -1.
  EXPECT_NE(packSearchResult(makeMove(1, 2), -1), -1);
}

TEST(PackedWords, OrderingScoresAreUnsignedAndSortAboveTheMove) {
  const uint32_t low = orderedWord(makeMove(63, 0), 1), high = orderedWord(makeMove(0, 1), 2);
  EXPECT_LT(low, high);
  EXPECT_EQ(scoreOf(orderedWord(makeMove(8, 16), 0xFFFF)), 0xFFFF);
  EXPECT_EQ(moveOf(orderedWord(makeMove(8, 16), 0xFFFF)), makeMove(8, 16));
}

}  // namespace
}  // namespace orv

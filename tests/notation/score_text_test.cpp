#include "notation/score_text.h"

#include <gtest/gtest.h>

#include <string>

namespace orv {
namespace {

std::string scoreText(int score) {
  char out[ScoreTextSize];
  formatScore(score, out);
  return out;
}

TEST(ScoreText, PawnsInfinityAndMates) {
  EXPECT_EQ(scoreText(480), "+1.00 ");
  EXPECT_EQ(scoreText(-120), "-0.25 ");
  EXPECT_EQ(scoreText(0), "+0.00 ");
  EXPECT_EQ(scoreText(32000), "+66.67 ");  // the largest static score is no mate
  EXPECT_EQ(scoreText(-32767), "-INF ");
  EXPECT_EQ(scoreText(32767), "+INF ");
  EXPECT_EQ(scoreText(32695), "+MAT3 ");  // 5 plies round up to 3 moves
  EXPECT_EQ(scoreText(32698), "+MAT1 ");
  EXPECT_EQ(scoreText(-32696), "-MAT2 ");
}

TEST(ScoreText, OnlyThePositiveMarkerMeansNoScore) {
  EXPECT_EQ(scoreText(32761), " ");
  EXPECT_EQ(scoreText(-32761), "-MAT-31 ");  // a mate text, however odd
}

}  // namespace
}  // namespace orv

// Numbers from interfaces and configuration files: read like atoi, never overflowing.
#include <gtest/gtest.h>

#include <climits>

#include "shell/numbers.h"
#include "shell/settings.h"
#include "shell/timecontrol.h"

namespace orv {
namespace {

TEST(ReadClamped, ReadsLikeAtoiAndClamps) {
  EXPECT_EQ(readInt("  42abc"), 42);
  EXPECT_EQ(readInt("-17"), -17);
  EXPECT_EQ(readInt("+5"), 5);
  EXPECT_EQ(readInt("x12"), 0);
  EXPECT_EQ(readInt(""), 0);
  EXPECT_EQ(readInt("2147483647"), INT_MAX);
  EXPECT_EQ(readInt("2147483648"), INT_MAX);
  EXPECT_EQ(readInt("-2147483649"), INT_MIN);
  EXPECT_EQ(readInt("99999999999999999999999999999"), INT_MAX);
  EXPECT_EQ(readClamped("-5", 0, 10), 0);
  EXPECT_EQ(readClamped("500", 0, 10), 10);
  const char* text = " 12:30";
  const char* end = nullptr;
  EXPECT_EQ(readClamped(text, 0, 100, &end), 12);
  EXPECT_EQ(*end, ':');
  EXPECT_EQ(readClamped(":", 0, 100, &end), 0);
}

TEST(ReadClamped, HashExponentsOfAnySizeGiveABudget) {
  // The budget is a power of two picked by the exponent's low five bits.
  EXPECT_EQ(hashBudgetForExponent(22), 1LL << 26);
  EXPECT_EQ(hashBudgetForExponent(INT_MAX), 8);
  EXPECT_EQ(hashBudgetForExponent(INT_MIN), 16);
}

TEST(ReadClamped, LevelWithHugeFieldsStaysInRange) {
  EXPECT_TRUE(applyLevel(" 99999999999 99999999999:99999999999 99999999999"));
  EXPECT_EQ(timeControl.movesPerControl, INT_MAX);
  EXPECT_EQ(timeControl.baseTime, INT_MAX);
  EXPECT_EQ(timeControl.increment, INT_MAX);
  EXPECT_TRUE(applyLevel(" -99999999999 -99999999999 -99999999999"));
  EXPECT_EQ(timeControl.baseTime, INT_MIN);
  EXPECT_EQ(timeControl.increment, INT_MIN);
  EXPECT_FALSE(applyLevel(" 40 x"));
  EXPECT_EQ(timeControl.movesPerControl, 40);
}

}  // namespace
}  // namespace orv

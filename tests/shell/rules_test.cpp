// Small rules of the shell: resignation, budgets, the UCI move tokens.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/resignation.h"
#include "shell/settings.h"
#include "shell/uci.h"

namespace {

int32_t packed(int score, int move = 0x0123) { return int32_t(uint32_t(score) << 16 | uint32_t(move)); }

std::vector<std::string> tokens(const char* list) {
  std::vector<std::string> out;
  orv::forEachMoveToken(list, [&](char* t) { out.push_back(t); });
  return out;
}

}  // namespace

TEST(Resignation, ThreeFallingLostScoresResignOnTheThird) {
  int counter = 0, previous = 0;
  EXPECT_FALSE(orv::updateResignation(packed(-32691), true, counter, previous));
  EXPECT_FALSE(orv::updateResignation(packed(-32693), true, counter, previous));
  EXPECT_TRUE(orv::updateResignation(packed(-32695), true, counter, previous));
  EXPECT_EQ(counter, 3);
  // Falling on: the counter passes 3 and no second resignation follows.
  EXPECT_FALSE(orv::updateResignation(packed(-32697), true, counter, previous));
  EXPECT_EQ(counter, 4);
}

TEST(Resignation, ScoreNotFallingOrNotLostResetsCounter) {
  int counter = 0, previous = 0;
  orv::updateResignation(packed(-32691), true, counter, previous);
  orv::updateResignation(packed(-32693), true, counter, previous);
  EXPECT_FALSE(orv::updateResignation(packed(-32693), true, counter, previous));  // equal: not lower
  EXPECT_EQ(counter, 0);
  orv::updateResignation(packed(-32695), true, counter, previous);
  EXPECT_EQ(counter, 1);
  orv::updateResignation(packed(-32000), true, counter, previous);  // not mated within 9 plies
  EXPECT_EQ(counter, 0);
  EXPECT_EQ(previous, -32000 + 1);  // the score part is the result divided by 65536
}

TEST(Resignation, NeverWithResignOff) {
  int counter = 0, previous = 0;
  for (int s = -32691; s > -32700; --s) EXPECT_FALSE(orv::updateResignation(packed(s), false, counter, previous));
  EXPECT_EQ(counter, 0);
}

TEST(MemoryCacheRule, RemainderAbovePowerOfTwoAtLeastFourMegabytes) {
  EXPECT_EQ(orv::tablebaseCacheForMemory(100), 36L << 20);
  EXPECT_EQ(orv::tablebaseCacheForMemory(64), 4L << 20);
  EXPECT_EQ(orv::tablebaseCacheForMemory(70), 6L << 20);
  EXPECT_EQ(orv::tablebaseCacheForMemory(3), 4L << 20);
  EXPECT_EQ(orv::tablebaseCacheForMemory(0), 4L << 20);
  EXPECT_EQ(orv::tablebaseCacheForMemory(-5), 4L << 20);
}

TEST(HashBudget, ShiftWrapsAsSigned32Bits) {
  EXPECT_EQ(orv::hashBudgetForExponent(0), 16);
  EXPECT_EQ(orv::hashBudgetForExponent(23), 1LL << 27);
  EXPECT_EQ(orv::hashBudgetForExponent(27), int32_t(0x80000000u));
  EXPECT_LT(orv::hashBudgetForExponent(27), 0);
  EXPECT_EQ(orv::hashBudgetForExponent(28), 1);  // shift count taken modulo 32
}

TEST(UciMoveTokens, FourCharactersOrFiveWithPromotionLetter) {
  EXPECT_EQ(tokens(" e2e4 e7e5"), (std::vector<std::string>{"e2e4", "e7e5"}));
  EXPECT_EQ(tokens(" e7e8q b1c3"), (std::vector<std::string>{"e7e8q", "b1c3"}));
  EXPECT_EQ(tokens(" e7e8q"), (std::vector<std::string>{"e7e8q"}));
  EXPECT_EQ(tokens("   g1f3   "), (std::vector<std::string>{"g1f3"}));
  EXPECT_EQ(tokens(" e2"), (std::vector<std::string>{"e2"}));
  EXPECT_TRUE(tokens("").empty());
  EXPECT_TRUE(tokens("   ").empty());
}

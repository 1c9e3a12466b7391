#include "search/search_state.h"

#include <gtest/gtest.h>

#include <utility>

namespace orv {
namespace {

TEST(SearchStateClear, LeavesFreshTablesAndChainsOfFallingLength) {
  static SearchState s;
  s.history[Black][1][Knight][1][18] = 77;
  s.followUp[White][Queen][3][Rook][0] = -5;
  s.killers[MaxPly] = 123;
  s.orderedRootList[0] = 796;
  std::swap(s.pvLine[0], s.pvLine[5]);
  s.pvLine[3]->word = 9;
  s.rootSide = Black;
  s.failHighFlag = true;
  s.clear();

  EXPECT_EQ(s.history[Black][1][Knight][1][18], 0);
  EXPECT_EQ(s.followUp[White][Queen][3][Rook][0], 0);
  EXPECT_EQ(s.killers[MaxPly], 0u);
  EXPECT_EQ(s.orderedRootList[0], 0u);
  EXPECT_EQ(s.rootSide, White);
  EXPECT_FALSE(s.failHighFlag);
  // Chain p holds MaxPly - p zero words and starts right after chain p - 1.
  const PvNode* expectedStart = s.pvNodes;
  for (int p = 0; p < MaxPly; ++p) {
    ASSERT_EQ(s.pvLine[p], expectedStart) << p;
    int length = 0;
    for (const PvNode* n = s.pvLine[p]; n; n = n->next, ++length) EXPECT_EQ(n->word, 0u);
    EXPECT_EQ(length, MaxPly - p);
    expectedStart += length;
  }
}

}  // namespace
}  // namespace orv

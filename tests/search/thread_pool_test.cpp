#include "search/thread_pool.h"

#include <gtest/gtest.h>

#include "board/board.h"
#include "board/game.h"
#include "hash/hashtable.h"
#include "search/search.h"

namespace orv {
namespace {

TEST(SearchPool, SizesAreClampedAndHelpersOwnTheirTables) {
  SearchPool pool;
  EXPECT_EQ(pool.size(), 1);
  EXPECT_EQ(pool.main().pawnTable, &pawnHashTable);
  EXPECT_EQ(pool.main().stop, &searchAbort);
  EXPECT_EQ(pool.resize(0), 1);
  EXPECT_EQ(pool.resize(-5), 1);
  EXPECT_EQ(pool.resize(3), 3);
  for (int i = 1; i < 3; ++i) {
    EXPECT_EQ(pool.worker(i).id, i);
    EXPECT_EQ(pool.worker(i).pawnTable, &pool.worker(i).ownPawnTable);
    EXPECT_EQ(pool.worker(i).ownPawnTable.count, HelperPawnEntries);
    EXPECT_NE(pool.worker(i).stop, &searchAbort);
  }
  EXPECT_EQ(pool.resize(2), 2);
  EXPECT_EQ(pool.resize(100000), MaxSearchThreads);
  EXPECT_EQ(pool.resize(1), 1);
}

// Three workers search to a fixed depth: the main worker's move is legal, the
// helpers have counted nodes of their own, and every helper has ended.
TEST(SearchPool, HelpersSearchBesideTheMainWorkerAndStopWithIt) {
  ASSERT_GE(allocateHashTables(4ull << 20), 0);
  SearchPool pool;
  ASSERT_EQ(pool.resize(3), 3);
  pool.clearHistory();  // as a new game does: fresh workers' tables are not cleared
  ASSERT_EQ(parseFen("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3"), 0);
  searchSettings.useBook = false;
  searchSettings.post = false;
  searchSettings.tablebaseMen = 0;
  game.softLimit = game.hardLimit = 1 << 28;
  game.iterationLimit = 7;
  searchAbort = 0;
  const int32_t result = rootSearch(game, pool.main());
  ASSERT_NE(result, -1);
  bool legal = false;
  for (int i = 0; game.legal[i] != 0; ++i) legal |= (game.legal[i] & 0xFFFF) == resultMove(result);
  EXPECT_TRUE(legal);
  EXPECT_EQ(pool.main().state.depthReached, 7);
  uint64_t helperNodes = 0;
  for (int i = 1; i < pool.size(); ++i) helperNodes += pool.worker(i).counters.nodes.load();
  EXPECT_GT(helperNodes, 0u);
  EXPECT_EQ(pool.nodes(), pool.main().counters.nodes.load() + helperNodes);
}

}  // namespace
}  // namespace orv

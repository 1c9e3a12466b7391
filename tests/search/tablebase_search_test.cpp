// The node search with tablebases present: exact table results are returned,
// stored as type-5 entries and used again from the transposition table.
#include "search/search_internal.h"
#include "search_fixture.h"
#include "support/table_files.h"
#include "tablebase/registry.h"
#include "support/test_worker.h"

namespace orv::test {
namespace {

class TablebaseSearch : public SearchFixture {
 protected:
  void TearDown() override {
    tb::releaseTablebases();
    tb::tablebasesInitialised = 0;
    searchSettings.tablebaseMen = 0;
  }
  // kqk tables that call every position a draw.
  void registerDrawnKqk() {
    for (int side = 0; side < 2; ++side)
      ASSERT_TRUE(writeSparse(dir.file(tableFileName(5, side)), tb::tableInfo[5].count[side]));
    searchSettings.tablebaseMen = tb::initTablebases(dir.path().c_str(), 1 << 20);
    tb::tablebasesInitialised = 1;
    ASSERT_EQ(searchSettings.tablebaseMen, 3);
  }
  TempDir dir;
};

struct TablebaseEntries {
  int count = 0;
  bool allExact = true;  // PV flag, no move, no evaluation, deep
};
TablebaseEntries tablebaseEntries() {
  TablebaseEntries r;
  for (uint32_t i = 0; i < transpositionTable.count; ++i)
    for (int k = 0; k < 2; ++k) {
      const TTSlot s = readSlot(transpositionTable.entries[i], k);
      if (s.bound() != TTTablebase) continue;
      ++r.count;
      r.allExact &= s.pv() && s.move == 0 && s.eval == TTNoEval && s.depth() >= 6 && s.score == 0;
    }
  return r;
}

constexpr const char* QueenAgainstKing = "7k/8/8/8/8/8/8/K5Q1 w - - 0 1";

TEST_F(TablebaseSearch, WithoutTablesTheQueenWins) {
  setUp(QueenAgainstKing, 4);
  EXPECT_GT(searchScore(), 3000);
  EXPECT_EQ(tablebaseEntries().count, 0);
}

TEST_F(TablebaseSearch, TableResultsDecideAndAreStoredAsTypeFive) {
  registerDrawnKqk();
  setUp(QueenAgainstKing, 4);
  EXPECT_EQ(searchScore(), 0);  // the (synthetic) tables call every position a draw
  const TablebaseEntries e = tablebaseEntries();
  EXPECT_GT(e.count, 10);
  EXPECT_TRUE(e.allExact);
}

TEST_F(TablebaseSearch, StoredTableResultsAnswerWithoutProbingAgain) {
  // The node after Qd4 searched on its own (one ply below a root).
  const auto child = [] {
    testWorker().state.rootSide = White;
    return searchRootCall(testWorker(), Black, makeMove(sq("g1"), sq("d4")), FlagLegality, 4, -32767, 32767,
                          game.board);
  };
  registerDrawnKqk();
  setUp(QueenAgainstKing, 4);
  EXPECT_EQ(child(), 0);
  EXPECT_EQ(tablebaseEntries().count, 1);
  // The tables are gone, but the stored result cuts at any depth, in a PV node too.
  tb::releaseTablebases();
  EXPECT_EQ(child(), 0);
  clearTranspositionTable();
  EXPECT_LT(child(), -3000);
}

TEST_F(TablebaseSearch, PositionsWithMoreMenThanTheTablesAreNotProbed) {
  registerDrawnKqk();
  // A rook more than the tables cover: the search plays on.
  setUp("7k/8/8/8/8/8/8/K4RQ1 w - - 0 1", 3);
  EXPECT_GT(searchScore(), 3000);
  EXPECT_EQ(tablebaseEntries().count, 0);
}

}  // namespace
}  // namespace orv::test

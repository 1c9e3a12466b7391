// The search with generated tables: from won K+Q v K, K+R v K and K+B+N v K
// positions it mates in the number of moves the tables give against the
// longest defence, and it keeps a drawn pawn ending drawn.
#include <initializer_list>

#include "board/movegen.h"
#include "search_fixture.h"
#include "support/temp_dir.h"
#include "tablebase/probe.h"
#include "tablebase/registry.h"
#include "tablebase/retro_generator.h"
#include "support/test_worker.h"

namespace orv::test {
namespace {

class SlowTablebaseMates : public SearchFixture {
 protected:
  // Generates the tables into the test's directory and registers them.
  void useTables(std::initializer_list<const char*> names) {
    for (const char* name : names)
      ASSERT_EQ(tb::generateTableFiles(tb::tableOfName(name), dir.path(), {}), tb::GenerationOk) << name;
    searchSettings.tablebaseMen = tb::initTablebases(dir.path().c_str(), 4 << 20);
    tb::tablebasesInitialised = 1;
  }
  void TearDown() override {
    tb::releaseTablebases();
    tb::tablebasesInitialised = 0;
    searchSettings.tablebaseMen = 0;
  }

  // Table value of the Game's position for the side to move.
  static int tableValue() {
    prepareTablebaseProbe(testProbe(), game.board);
    return probeTablebase(testProbe(), game.side, -1);
  }
  // The move after which the other side's table value is lowest: for a lost
  // side the longest defence, for a drawn side a move that keeps the draw.
  static Move bestTableMove() {
    Move best = 0;
    int bestValue = 0;
    for (int i = 0; game.legal[i] != 0; ++i) {
      Board b = game.board;
      Move replies[256];
      generateFor(opposite(game.side), replies, 256, game.legal[i], b);
      prepareTablebaseProbe(testProbe(), b);
      const int v = probeTablebase(testProbe(), opposite(game.side), -1);
      if (best == 0 || v < bestValue) best = game.legal[i], bestValue = v;
    }
    return best;
  }
  // Plays the search's moves for the side to move against the longest
  // defence; returns the number of moves to mate, or -1 if none within `limit`.
  int movesToMate(int limit) {
    for (int moves = 1; moves <= limit; ++moves) {
      Move m = 0;
      game.iterationLimit = 3;
      searchAbort = 0;
      searchScore(&m);
      const int result = makeGameMove(m);
      if (result == MoveCheckmate) return moves;
      if (result != MovePlayed) return -1;
      const int r = makeGameMove(bestTableMove());
      if (r != MovePlayed) return -1;
    }
    return -1;
  }
  // Moves to mate the tables give for the Game's position (side to move winning).
  static int tableMoves() { return 32767 - tableValue(); }

  TempDir dir;
};

TEST_F(SlowTablebaseMates, WonEndingsAreMatedInTheTablesNumberOfMoves) {
  useTables({"kqk", "krk", "kbnk"});
  for (const char* fen : {"8/8/8/3k4/8/8/8/KQ6 w - - 0 1", "8/8/8/4k3/8/8/8/KR6 w - - 0 1",
                          "8/8/8/3k4/8/8/8/KBN5 w - - 0 1", "7k/8/8/8/8/8/8/1K1BN3 w - - 0 1"}) {
    setUp(fen, 3);
    const int expected = tableMoves();
    ASSERT_GT(expected, 0) << fen;
    ASSERT_LT(expected, 40) << fen;
    EXPECT_EQ(movesToMate(expected + 5), expected) << fen;
  }
}

TEST_F(SlowTablebaseMates, DrawnPawnEndingStaysDrawn) {
  // Black holds the opposition; the search plays Black for ten moves
  // against White's best table moves and never lets the value drop.
  useTables({"kpk"});
  setUp("8/8/4k3/8/4K3/4P3/8/8 w - - 0 1", 3);
  ASSERT_EQ(tableValue(), 0);
  for (int move = 0; move < 10; ++move) {
    // White: any move that keeps at least the draw (a win would mean Black erred).
    ASSERT_EQ(makeGameMove(bestTableMove()), MovePlayed);
    Move m = 0;
    game.iterationLimit = 3;
    searchAbort = 0;
    searchScore(&m);
    const int r = makeGameMove(m);
    if (r != MovePlayed) break;  // a capture, a repetition: the game ends drawn
    EXPECT_EQ(tableValue(), 0) << "after move " << move;
  }
}

}  // namespace
}  // namespace orv::test

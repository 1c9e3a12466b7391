#include <gtest/gtest.h>

#include <vector>

#include "board/board.h"
#include "eval/evaluate.h"
#include "search/make.h"
#include "search/search_internal.h"
#include "search_fixture.h"
#include "support/test_worker.h"

namespace orv::test {
namespace {

using NodeSearch = SearchFixture;

TEST_F(NodeSearch, MatesAreFoundWithExactDistance) {
  struct Case {
    const char* fen;
    int depth;
    int score;
    Move first;  // 0 when several first moves mate equally fast
  };
  const Case cases[] = {
      {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", 4, 32699, makeMove(sq("d1"), sq("d8"))},
      {"r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4", 4, 32699,
       makeMove(sq("h5"), sq("f7"), Ordinary) | CaptureMark},
      {"7k/8/8/8/8/8/R7/1R4K1 w - - 0 1", 6, 32697, 0},
      {"8/8/7k/8/8/8/R7/1R4K1 w - - 0 1", 8, 32695, 0},
      // Black mates: the score is from the side to move.
      {"3r2k1/8/8/8/8/8/5PPP/6K1 b - - 0 1", 4, 32699, makeMove(sq("d8"), sq("d1"))},
  };
  for (const Case& c : cases) {
    setUp(c.fen, c.depth);
    Move m = 0;
    EXPECT_EQ(searchScore(&m), c.score) << c.fen;
    if (c.first != 0) {
      EXPECT_EQ(m, c.first & 0xFFFF) << c.fen;
    }
  }
}

TEST_F(NodeSearch, BeingMatedScoresFromTheLoserSide) {
  // Black's only move Kb8 is answered by Rh8 mate: mated at ply 2.
  setUp("k7/8/1K6/8/8/8/8/7R b - - 0 1", 4);
  EXPECT_EQ(searchScore(), -(32700 - 2));
}

// Searches the node reached by `m` (the other side to move) from the Game's position.
int childScore(Move m, int depthPlies, int alpha = -32767, int beta = 32767) {
  testWorker().repetition.seed(game);
  return searchRootCall(testWorker(), opposite(game.side), m, FlagLegality, depthPlies, alpha, beta, game.board);
}

TEST_F(NodeSearch, StalemateAndMateAfterAMove) {
  setUp("k7/8/1K6/2Q5/8/8/8/8 w - - 0 1", 4);
  testWorker().state.rootSide = White;
  EXPECT_EQ(childScore(makeMove(sq("c5"), sq("c7")), 1), 0);             // stalemate
  EXPECT_EQ(childScore(makeMove(sq("c5"), sq("c8")), 1), -(32700 - 1));  // mate, from Black's view
  // A move that leaves the own king attacked is refused by the child.
  setUp("k7/8/8/8/8/8/8/q2RK3 w - - 0 1", 4);
  EXPECT_EQ(childScore(makeMove(sq("d1"), sq("d2")), 1), IllegalMoveScore);
}

TEST_F(NodeSearch, RepetitionInTheGameScoresAgainstTheRootSide) {
  // The position after Nf3 occurred twice before in the game.
  setUp(StartFen, 4);
  play("g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8");
  const Move nf3 = makeMove(sq("g1"), sq("f3"));
  testWorker().state.rootSide = White;
  EXPECT_EQ(childScore(nf3, 3), 1);  // Black to move: +1, the root side White gets -1
  testWorker().state.rootSide = Black;
  EXPECT_EQ(childScore(nf3, 3), -1);
}

TEST_F(NodeSearch, SetUpPositionCountsAsAnOccurrence) {
  // After Ng8 the start position stands for the third time: once set up, once after the 4th ply.
  setUp(StartFen, 4);
  play("g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1");
  testWorker().state.rootSide = Black;
  EXPECT_EQ(childScore(makeMove(sq("f6"), sq("g8")), 3), 1);
  // Only once before (set-up) and outside the tree: no draw.
  setUp(StartFen, 4);
  play("g1f3 g8f6 f3g1");
  const int v = childScore(makeMove(sq("f6"), sq("g8")), 3);
  EXPECT_TRUE(v < -2 || v > 2) << v;
}

TEST_F(NodeSearch, RepetitionInsideTheTreeScoresTwo) {
  // Root: Black to move after Nf3 Nf6 Ng1. The line Ng8 Nf3 Nf6 Ng1 returns to the root position.
  setUp(StartFen, 4);
  play("g1f3 g8f6 f3g1");
  for (int root : {Black, White}) {
    testWorker().state.rootSide = root;
    testWorker().repetition.seed(game);
    testWorker().position = game.board;
    NodeState s = rootNodeState(game.board);
    SearchUndo u{};
    const Move line[3] = {makeMove(sq("f6"), sq("g8")), makeMove(sq("g1"), sq("f3")), makeMove(sq("g8"), sq("f6"))};
    // Make the first three moves the way the nodes do, writing the history records.
    ASSERT_EQ(makeSearchMove<White>(testWorker().position, line[0], 0, s, u), 0);
    s.ply = 1;
    writeSearchHistory<White>(testWorker().repetition, testWorker().position, line[0], u, s);
    ASSERT_EQ(makeSearchMove<Black>(testWorker().position, line[1], 0, s, u), 0);
    s.ply = 2;
    writeSearchHistory<Black>(testWorker().repetition, testWorker().position, line[1], u, s);
    ASSERT_EQ(makeSearchMove<White>(testWorker().position, line[2], 0, s, u), 0);
    s.ply = 3;
    writeSearchHistory<White>(testWorker().repetition, testWorker().position, line[2], u, s);
    const int v = searchBlack(testWorker(), makeMove(sq("f3"), sq("g1")), FlagLegality, 256, -32767, 32767, s);
    EXPECT_EQ(v, root == Black ? -2 : 2);
  }
}

TEST_F(NodeSearch, FiftyMoveClockDraws) {
  setUp("8/8/4k3/8/8/3QK3/8/8 w - - 0 1", 4);
  game.board.halfMove = 99;
  testWorker().state.rootSide = White;
  EXPECT_EQ(childScore(makeMove(sq("d3"), sq("d4")), 2), 0);
}

TEST_F(NodeSearch, CaptureIntoDeadMaterialIsADraw) {
  // After Kxf5 only kings remain; after Kxe4 a lone knight is left.
  setUp("8/8/8/5p2/4n1K1/8/k7/8 w - - 0 1", 4);
  testWorker().state.rootSide = White;
  EXPECT_EQ(childScore(makeMove(sq("g4"), sq("f5")) | CaptureMark, 3), 0);
  setUp("8/8/8/8/4nK2/8/k7/8 w - - 0 1", 4);
  EXPECT_EQ(childScore(makeMove(sq("f4"), sq("e4")) | CaptureMark, 3), 0);
  // Bishops on squares of the same colour cannot mate.
  setUp("8/8/8/1n1b4/8/7K/k7/5B2 w - - 0 1", 4);
  EXPECT_EQ(childScore(makeMove(sq("f1"), sq("b5")) | CaptureMark, 3), 0);
}

TEST_F(NodeSearch, MateDistancePruningReturnsAlpha) {
  setUp("r1bqkbnr/pppppppp/2n5/8/8/5N2/PPPPPPPP/RNBQKB1R w KQkq - 2 2", 4);
  testWorker().state.rootSide = White;
  // At ply 1 no score can exceed 32698 for the side to move, so an alpha there is returned at once.
  const uint32_t before = testWorker().counters.fullWidthNodes.load();
  EXPECT_EQ(childScore(makeMove(sq("e2"), sq("e4")), 3, 32698, 32767), 32698);
  EXPECT_EQ(testWorker().counters.fullWidthNodes.load(), before);
}

TEST_F(NodeSearch, NullMoveNeedsPiecesAndANonPvNode) {
  // Kings and pawns only: never a null move, whatever the depth.
  setUp("8/5k2/3p4/1p1Pp2p/pP2Pp1P/P4P1K/8/8 w - - 0 1", 7);
  searchScore();
  EXPECT_EQ(testWorker().counters.nullMoves.load(), 0u);

  // White to move a queen up: a one-ply child searched with an open window is a PV node
  // and tries no null move; with a null window just below its evaluation it does.
  setUp("4k3/pppp4/8/8/8/8/PPPP4/Q3K3 b - - 0 1", 4);
  testWorker().state.rootSide = Black;
  const Move kf8 = makeMove(sq("e8"), sq("f8"));
  testWorker().counters.nullMoves = 0;
  childScore(kf8, 2);
  searchAbort = 0;
  EXPECT_EQ(testWorker().counters.nullMoves.load(), 0u);
  testWorker().position = game.board;
  NodeState s = rootNodeState(game.board);
  SearchUndo u{};
  ASSERT_EQ(makeSearchMove<White>(testWorker().position, kf8, 0, s, u), 0);
  const int eval = evaluate(testWorker(), White, s);
  takeBackSearchMove<White>(testWorker().position, kf8, u);
  clearTranspositionTable();
  testWorker().counters.nullMoves = 0;
  childScore(kf8, 2, eval - 200, eval - 199);
  EXPECT_GE(testWorker().counters.nullMoves.load(), 1u);
}

TEST_F(NodeSearch, SearchLeavesTheArraysAsTheyWere) {
  static std::vector<int> codes;
  codes.clear();
  diagnosticHook = [](int code) { codes.push_back(code); };
  const char* fens[] = {
      "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
      "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
      "8/2P3k1/8/8/8/8/5p2/K7 w - - 0 1",
      "8/2P3k1/8/8/8/8/5p2/K7 b - - 0 1",
  };
  for (const char* fen : fens) {
    setUp(fen, 5);
    Board before = game.board;
    recountBoard(before);  // the search starts from a recounted copy of the Game's Board
    searchScore();
    EXPECT_EQ(std::memcmp(testWorker().position.square, before.square, sizeof before.square + sizeof before.map), 0)
        << fen;
    EXPECT_EQ(std::memcmp(testWorker().position.kind, before.kind, sizeof before.kind), 0) << fen;
    EXPECT_EQ(std::memcmp(testWorker().position.value, before.value, sizeof before.value), 0) << fen;
  }
  for (int code : codes) EXPECT_NE(code, 333);
}

}  // namespace
}  // namespace orv::test

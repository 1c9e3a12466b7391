// The search's attack tests: king attacked after a move, check-giving moves,
// and the plausibility filter for hash moves.
#include <gtest/gtest.h>

#include "board/board.h"
#include "search/attacks.h"
#include "search/search_position_setup.h"
#include "support/test_worker.h"

namespace orv {
namespace {

using namespace gentest;

// Is the king of the side not to move (in the FEN) attacked by the side to move?
bool attackedAfterLoad(const char* fen) {
  EXPECT_EQ(parseFen(fen), FenNotToMoveInCheck) << "the side not to move must stand in check: " << fen;
  Board b = game.board;
  recountBoard(b);
  testWorker().position = b;
  return game.side == White ? kingAttacked<White>(testWorker().position, 0)
                            : kingAttacked<Black>(testWorker().position, 0);
}

// Is the king of the side to move attacked (its in-check test)?
bool inCheck(const char* fen) {
  loadFen(fen);
  return game.side == White ? kingAttacked<Black>(testWorker().position, 0)
                            : kingAttacked<White>(testWorker().position, 0);
}

// For every pseudo-legal move of the side to move (Them) in a position where
// its king stands attacked by no man: the short legality test after the move
// agrees with the full one.
template <int Us> int shortLegalityTestAgrees(const char* fen) {
  constexpr int Them = opposite(Us);
  SCOPED_TRACE(fen);
  const NodeState root = loadFen(fen);
  EXPECT_EQ(game.side, Them);
  EXPECT_FALSE(kingAttacked<Us>(testWorker().position, 0)) << "the mover's king must not be attacked";
  uint32_t list[MaxSearchMoves];
  generateAll<Them>(testWorker().position, list, root.lastMove, false, root);
  int illegal = 0;
  for (int i = 0; list[i] != 0; ++i) {
    const Move m = moveOf(list[i]);
    SCOPED_TRACE(m);
    NodeState s = root;
    SearchUndo u;
    if (makeSearchMove<Us>(testWorker().position, m, 0, s, u) != 0) continue;
    const bool full = kingAttacked<Us>(testWorker().position, m);
    EXPECT_EQ(kingAttackedAfter<Us>(testWorker().position, m, true), full);
    EXPECT_EQ(kingAttackedAfter<Us>(testWorker().position, m, false), full);
    illegal += full;
    takeBackSearchMove<Us>(testWorker().position, m, u);
  }
  return illegal;
}

TEST(SearchAttacks, ShortLegalityTestAfterMovesFromASafeKing) {
  // Pins on lines and diagonals, king moves into attacks, castling.
  int illegal = shortLegalityTestAgrees<Black>("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
  illegal += shortLegalityTestAgrees<White>("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b KQkq -");
  EXPECT_GT(shortLegalityTestAgrees<Black>("4k3/8/8/q7/8/8/r2B4/4K2R w K -"), 0);
  EXPECT_GT(shortLegalityTestAgrees<White>("r3k2r/3n4/8/8/Q7/8/8/4KR2 b kq -"), 0);
  // En passant that uncovers the rank of both pawns.
  EXPECT_GT(shortLegalityTestAgrees<Black>("8/8/8/K1pP3r/8/8/8/4k3 w - c6"), 0);
  EXPECT_GE(illegal, 0);

  // En passant that uncovers the victim's diagonal only: after d7-d5 the
  // capture e5xd6 opens f3-a8 onto the White king.
  NodeState s = loadFen("K7/8/8/3pP3/8/5b2/8/7k w - -");
  s.lastMove = uint16_t(mv("d7", "d5"));  // as if Black had just played it
  NodeState after = s;
  SearchUndo capture;
  const Move ep = mv("e5", "d6", EnPassant) | CaptureMark;
  ASSERT_TRUE(contains(allMoves<White>(s), moveOf(ep)));
  ASSERT_EQ(makeSearchMove<Black>(testWorker().position, ep, 0, after, capture), 0);
  EXPECT_TRUE(kingAttacked<Black>(testWorker().position, ep));
  EXPECT_TRUE(kingAttackedAfter<Black>(testWorker().position, ep, true));
  takeBackSearchMove<Black>(testWorker().position, ep, capture);
}

TEST(SearchAttacks, KingAttackedByEachKindOfMan) {
  EXPECT_TRUE(inCheck("6k1/8/8/8/8/8/8/r5K1 w - -"));     // rook along the rank
  EXPECT_FALSE(inCheck("6k1/8/8/8/8/8/8/r3N1K1 w - -"));  // ... blocked
  EXPECT_TRUE(inCheck("6k1/8/8/8/8/4b3/8/6K1 w - -"));    // bishop on the diagonal
  EXPECT_FALSE(inCheck("6k1/8/8/8/8/2b5/8/6K1 w - -"));   // bishop off the line
  EXPECT_TRUE(inCheck("6k1/8/8/8/8/5n2/8/6K1 w - -"));    // knight
  EXPECT_TRUE(inCheck("6k1/8/8/8/8/8/5p2/6K1 w - -"));    // Black pawn above the White king
  EXPECT_FALSE(inCheck("6k1/8/8/8/8/8/5pK1/8 w - -"));    // ... beside it: no
  EXPECT_TRUE(inCheck("6k1/5P2/8/8/8/8/8/6K1 b - -"));    // White pawn below the Black king
  EXPECT_FALSE(inCheck("4K3/8/8/8/8/8/5P2/6k1 b - -"));   // ... above it: no (pawns attack upward)
  EXPECT_TRUE(inCheck("6k1/8/8/8/8/8/8/q5K1 w - -"));     // queen straight
  EXPECT_TRUE(inCheck("6k1/8/8/8/8/8/7q/6K1 w - -"));     // queen diagonal, adjacent
  EXPECT_FALSE(inCheck("6k1/8/8/8/8/8/8/6K1 w - -"));

  // The side to move attacks the other king (as after an illegal move).
  EXPECT_TRUE(attackedAfterLoad("R5k1/8/8/8/8/8/8/6K1 w - -"));
  EXPECT_TRUE(attackedAfterLoad("6k1/8/8/8/8/8/8/r5K1 b - -"));
}

TEST(SearchAttacks, GivesCheckDirectAndDiscovered) {
  NodeState s = loadFen("4k3/8/8/5N2/8/8/8/4K3 w - -");
  const int king = sq("e8");
  EXPECT_TRUE(givesCheck<White>(testWorker().position, mv("f5", "d6"), king, s));  // knight step to the king
  EXPECT_FALSE(givesCheck<White>(testWorker().position, mv("f5", "h6"), king, s));

  s = loadFen("4k3/8/8/8/8/8/8/R3K3 w - -");
  EXPECT_TRUE(givesCheck<White>(testWorker().position, mv("a1", "a8"), king, s));
  EXPECT_FALSE(givesCheck<White>(testWorker().position, mv("a1", "a7"), king, s));
  s = loadFen("2n1k3/8/8/8/8/8/8/R3K3 w - -");
  EXPECT_FALSE(givesCheck<White>(testWorker().position, mv("a1", "a8"), king, s));  // the knight on c8 blocks

  s = loadFen("4k3/8/3P4/8/8/8/8/4K3 w - -");
  EXPECT_TRUE(givesCheck<White>(testWorker().position, mv("d6", "d7"), king, s));  // pawn one step diagonally below
  s = loadFen("4k3/8/8/8/8/8/8/3QK3 w - -");
  EXPECT_TRUE(givesCheck<White>(testWorker().position, mv("d1", "a4"), king, s));  // queen on the diagonal a4-e8
  EXPECT_FALSE(givesCheck<White>(testWorker().position, mv("d1", "b3"), king, s));
  EXPECT_FALSE(givesCheck<White>(testWorker().position, mv("d1", "d6"), king, s));  // a knight's jump away is no line

  // Discovered: the knight leaves the e-file in front of the rook.
  s = loadFen("4k3/8/8/8/4N3/8/8/4R1K1 w - -");
  EXPECT_TRUE(givesCheck<White>(testWorker().position, mv("e4", "c5"), king, s));
  // A pawn pushed along the line still blocks it; a capture off the line discovers.
  s = loadFen("4k3/8/3p4/4P3/8/8/8/4R1K1 w - -");
  EXPECT_FALSE(givesCheck<White>(testWorker().position, mv("e5", "e6"), king, s));
  EXPECT_TRUE(givesCheck<White>(testWorker().position, CaptureMark | mv("e5", "d6"), king, s));
  // A man of the other side behind the origin discovers nothing.
  s = loadFen("4k3/8/8/8/4N3/8/8/4r1K1 w - -");
  EXPECT_FALSE(givesCheck<White>(testWorker().position, mv("e4", "c5"), king, s));

  // The Black twin: a pawn checks downward, a bishop discovers along the diagonal.
  s = loadFen("4k3/8/8/8/8/5p2/8/4K3 b - -");
  EXPECT_TRUE(givesCheck<Black>(testWorker().position, mv("f3", "f2"), sq("e1"), s));
  s = loadFen("4k3/8/8/7b/8/5n2/8/3K4 b - -");
  EXPECT_TRUE(givesCheck<Black>(testWorker().position, mv("f3", "h2"), sq("d1"), s));
}

TEST(SearchAttacks, PlausibleHashMoveChecksOwnerTargetAndStepOnly) {
  loadFen(StartFen);
  EXPECT_TRUE(plausibleHashMove<White>(testWorker().position, mv("g1", "f3")));
  EXPECT_FALSE(plausibleHashMove<White>(testWorker().position, mv("g1", "g3")));  // knight on a line
  EXPECT_TRUE(plausibleHashMove<White>(testWorker().position, mv("f1", "c4")));   // paths are not examined
  EXPECT_FALSE(plausibleHashMove<White>(testWorker().position, mv("f1", "f3")));  // bishop straight
  EXPECT_TRUE(plausibleHashMove<White>(testWorker().position, mv("a1", "a3")));
  EXPECT_TRUE(plausibleHashMove<White>(testWorker().position, mv("c1", "e3")));
  EXPECT_FALSE(plausibleHashMove<White>(testWorker().position, mv("a1", "c3")));  // no line at all
  EXPECT_TRUE(plausibleHashMove<White>(testWorker().position, mv("d1", "h5")));
  EXPECT_TRUE(plausibleHashMove<White>(testWorker().position, mv("e2", "e5")));
  EXPECT_FALSE(plausibleHashMove<White>(testWorker().position, mv("e7", "e5")));  // a Black man
  EXPECT_FALSE(plausibleHashMove<White>(testWorker().position, mv("e3", "e4")));  // empty origin
  EXPECT_FALSE(plausibleHashMove<White>(testWorker().position, mv("b1", "d2")));  // own man on the destination
  EXPECT_TRUE(plausibleHashMove<White>(testWorker().position, mv("e2", "f3")));   // a pawn on a diagonal
  EXPECT_TRUE(plausibleHashMove<Black>(testWorker().position, mv("g8", "f6")));
  EXPECT_FALSE(plausibleHashMove<Black>(testWorker().position, mv("g1", "f3")));

  loadFen("4k3/8/8/8/8/8/8/R3K3 w - -");
  EXPECT_FALSE(plausibleHashMove<White>(testWorker().position, mv("a1", "b2")));  // rook on a diagonal
  EXPECT_TRUE(plausibleHashMove<White>(testWorker().position, mv("a1", "a8")));
}

}  // namespace
}  // namespace orv

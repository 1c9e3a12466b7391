// The search's move generators: order, promotions, en passant, castling, and
// the captures with their quiescence scores, for both sides.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "board/board.h"
#include "search/attacks.h"
#include "search/search_position_setup.h"
#include "support/test_worker.h"

namespace orv {
namespace {

using namespace gentest;

constexpr uint32_t Cap = CaptureMark;

// The same position seen from the other side: ranks flipped, colours swapped.
std::string mirrorFen(const std::string& fen) {
  const size_t blank = fen.find(' ');
  std::string placement = fen.substr(0, blank);
  std::vector<std::string> ranks;
  size_t at = 0;
  for (;;) {
    const size_t slash = placement.find('/', at);
    ranks.push_back(placement.substr(at, slash - at));
    if (slash == std::string::npos) break;
    at = slash + 1;
  }
  std::string out;
  for (size_t i = ranks.size(); i-- > 0;) {
    for (char c : ranks[i])
      out += std::isupper(static_cast<unsigned char>(c)) ? char(std::tolower(c)) : char(std::toupper(c));
    if (i > 0) out += '/';
  }
  const char side = fen[blank + 1];
  out += side == 'w' ? " b " : " w ";
  std::string rights = fen.substr(blank + 3);
  std::string swapped;
  for (char c : rights)
    swapped += std::isupper(static_cast<unsigned char>(c)) ? char(std::tolower(c)) : char(std::toupper(c));
  // Keep the usual letter order K Q k q.
  std::string ordered;
  for (char c : std::string("KQkq"))
    if (swapped.find(c) != std::string::npos) ordered += c;
  out += ordered.empty() ? "-" : ordered;
  return out;
}

uint32_t mirrorWord(uint32_t w) {
  const Move m = moveOf(w);
  return (w & 0xFFFFF000u) | uint32_t(moveFrom(m) ^ 56) | uint32_t(moveTo(m) ^ 56) << 6;
}

TEST(SearchGenerate, StartPositionInSlotOrderKnightsFirstSinglePushBeforeDouble) {
  NodeState s = loadFen(StartFen);
  const auto white = allMoves<White>(s);
  ASSERT_EQ(white.size(), 20u);
  EXPECT_EQ(white[0], mv("b1", "c3"));
  EXPECT_EQ(white[1], mv("b1", "a3"));
  EXPECT_EQ(white[2], mv("g1", "h3"));
  EXPECT_EQ(white[3], mv("g1", "f3"));
  for (int file = 0; file < 8; ++file) {
    EXPECT_EQ(white[4 + 2 * file], makeMove(8 + file, 16 + file));
    EXPECT_EQ(white[5 + 2 * file], makeMove(8 + file, 24 + file));
  }

  s = loadFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -");
  const auto black = allMoves<Black>(s);
  ASSERT_EQ(black.size(), 20u);
  EXPECT_EQ(black[0], mv("b8", "c6"));
  EXPECT_EQ(black[1], mv("b8", "a6"));
  EXPECT_EQ(black[2], mv("g8", "h6"));
  EXPECT_EQ(black[3], mv("g8", "f6"));
  EXPECT_EQ(black[4], mv("a7", "a6"));
  EXPECT_EQ(black[5], mv("a7", "a5"));
}

TEST(SearchGenerate, TwinsGenerateMirroredListsInMirroredOrder) {
  // With at most one pawn per file the slots mirror too, and so does the order;
  // two White pawns on the a-file (third position) change only the order.
  const char* fens[] = {
      "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
      "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
      "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",
  };
  for (const char* fen : fens) {
    SCOPED_TRACE(fen);
    const bool sameOrder = fen != fens[2];
    uint32_t white[MaxSearchMoves], black[MaxSearchMoves];
    NodeState s = loadFen(fen);
    const int n = generateAll<White>(testWorker().position, white, 0, false, s);
    uint32_t whiteCaptures[MaxSearchMoves], blackCaptures[MaxSearchMoves];
    const int nc = generateCaptures<White>(testWorker().position, whiteCaptures, 0);

    const std::string mirrored = mirrorFen(fen);
    SCOPED_TRACE(mirrored);
    s = loadFen(mirrored.c_str());
    ASSERT_EQ(generateAll<Black>(testWorker().position, black, 0, false, s), n);
    ASSERT_EQ(generateCaptures<Black>(testWorker().position, blackCaptures, 0), nc);
    for (int i = 0; i < n; ++i) white[i] = mirrorWord(white[i]);
    for (int i = 0; i < nc; ++i) whiteCaptures[i] = mirrorWord(whiteCaptures[i]);
    if (!sameOrder) {
      std::sort(white, white + n);
      std::sort(black, black + n);
      std::sort(whiteCaptures, whiteCaptures + nc);
      std::sort(blackCaptures, blackCaptures + nc);
    }
    for (int i = 0; i < n; ++i) EXPECT_EQ(white[i], black[i]) << i;
    for (int i = 0; i < nc; ++i) EXPECT_EQ(whiteCaptures[i], blackCaptures[i]) << i;
  }
}

TEST(SearchGenerate, CapturePromotionIsFourMovesInAllButOneQueenPromotionInCaptures) {
  NodeState s = loadFen("3r3k/4P3/8/8/8/8/8/K7 w - -");
  const auto all = allMoves<White>(s);
  std::vector<Move> pawnMoves;
  for (Move m : all)
    if (moveFrom(m) == sq("e7")) pawnMoves.push_back(m);
  const std::vector<Move> expected = {
      mv("e7", "e8", PromoteQueen),        mv("e7", "e8", PromoteRook),         mv("e7", "e8", PromoteBishop),
      mv("e7", "e8", PromoteKnight),       Cap | mv("e7", "d8", PromoteQueen),  Cap | mv("e7", "d8", PromoteRook),
      Cap | mv("e7", "d8", PromoteBishop), Cap | mv("e7", "d8", PromoteKnight),
  };
  EXPECT_EQ(pawnMoves, expected);

  uint32_t list[MaxSearchMoves];
  ASSERT_EQ(generateCaptures<White>(testWorker().position, list, 0), 2);
  EXPECT_EQ(list[0], 10614u << 16 | mv("e7", "e8", PromoteQueen));
  EXPECT_EQ(list[1], uint32_t(2832 + 10614) << 16 | Cap | mv("e7", "d8", PromoteQueen));
  EXPECT_EQ(list[2], 0u);

  // A blocked pawn on the seventh rank gives nothing at all.
  s = loadFen("4n2k/4P3/8/8/8/8/8/K7 w - -");
  EXPECT_EQ(generateCaptures<White>(testWorker().position, list, 0), 0);
  for (Move m : allMoves<White>(s)) EXPECT_NE(moveFrom(m), sq("e7"));
}

TEST(SearchGenerate, CaptureScoresAreVictimMinusAttackerPlus6000) {
  loadFen("4k3/8/8/3n4/4P3/8/8/3QK3 w - -");
  uint32_t list[MaxSearchMoves];
  ASSERT_EQ(generateCaptures<White>(testWorker().position, list, 0), 2);
  // Slot order: the queen (slot 1) before the pawn.
  EXPECT_EQ(list[0], uint32_t(1872 - 5616 + 6000) << 16 | Cap | mv("d1", "d5"));
  EXPECT_EQ(list[1], uint32_t(1872 - 480 + 6000) << 16 | Cap | mv("e4", "d5"));
}

TEST(SearchGenerate, EnPassantOnlyRightAfterTheDoublePushLeftNeighbourFirst) {
  NodeState s = loadFen("4k3/3p4/8/2P1P3/8/8/8/4K3 b - -");
  SearchUndo u;
  ASSERT_EQ(makeSearchMove<White>(testWorker().position, mv("d7", "d5"), 0, s, u), 0);
  const Move left = Cap | mv("c5", "d6", EnPassant), right = Cap | mv("e5", "d6", EnPassant);
  const auto all = allMoves<White>(s);
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(all[all.size() - 2], left);
  EXPECT_EQ(all[all.size() - 1], right);
  uint32_t list[MaxSearchMoves];
  const int n = generateCaptures<White>(testWorker().position, list, s.lastMove);
  ASSERT_EQ(n, 2);
  EXPECT_EQ(list[0], 6000u << 16 | left);
  EXPECT_EQ(list[1], 6000u << 16 | right);
  // Any other last move: no en passant.
  uint32_t none[MaxSearchMoves];
  generateAll<White>(testWorker().position, none, mv("e8", "d8"), false, s);
  EXPECT_FALSE(contains(movesOf(none), left));
  takeBackSearchMove<White>(testWorker().position, mv("d7", "d5"), u);

  // The Black twin against a White double push.
  s = loadFen("4k3/8/8/8/2p1p3/8/3P4/4K3 w - -");
  ASSERT_EQ(makeSearchMove<Black>(testWorker().position, mv("d2", "d4"), 0, s, u), 0);
  const auto black = allMoves<Black>(s);
  ASSERT_GE(black.size(), 2u);
  EXPECT_EQ(black[black.size() - 2], Cap | mv("c4", "d3", EnPassant));
  EXPECT_EQ(black[black.size() - 1], Cap | mv("e4", "d3", EnPassant));
}

TEST(SearchGenerate, CastlingNeedsRightsEmptySquaresAndNoCheck) {
  NodeState s = loadFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -");
  auto all = allMoves<White>(s);
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(all[all.size() - 2], WhiteCastleKing);
  EXPECT_EQ(all[all.size() - 1], WhiteCastleQueen);
  EXPECT_FALSE(contains(allMoves<White>(s, true), WhiteCastleKing));
  EXPECT_FALSE(contains(allMoves<White>(s, true), WhiteCastleQueen));
  s = loadFen("r3k2r/8/8/8/8/8/8/R3K2R b KQkq -");
  all = allMoves<Black>(s);
  EXPECT_EQ(all[all.size() - 2], BlackCastleKing);
  EXPECT_EQ(all[all.size() - 1], BlackCastleQueen);

  // b1 occupied: no O-O-O; the right lost: no castling on that wing.
  s = loadFen("r3k2r/8/8/8/8/8/8/RN2K2R w KQkq -");
  EXPECT_TRUE(contains(allMoves<White>(s), WhiteCastleKing));
  EXPECT_FALSE(contains(allMoves<White>(s), WhiteCastleQueen));
  s = loadFen("r3k2r/8/8/8/8/8/8/R3K2R w Kkq -");
  s.castle[castleIndex(White, 1)] = -1;
  EXPECT_FALSE(contains(allMoves<White>(s), WhiteCastleQueen));
  s.castle[castleIndex(White, 1)] = 1;
  EXPECT_FALSE(contains(allMoves<White>(s), WhiteCastleQueen));
}

TEST(SearchGenerate, CastlingThroughAnAttackedSquareIsRejectedAfterTheMove) {
  NodeState s = loadFen("r3kr2/8/8/8/8/8/8/R3K2R w KQq -");
  ASSERT_TRUE(contains(allMoves<White>(s), WhiteCastleKing));
  const Arrays before = snapshot();
  NodeState child = s;
  SearchUndo u;
  ASSERT_EQ(makeSearchMove<Black>(testWorker().position, WhiteCastleKing, 0, child, u), 0);
  EXPECT_TRUE(kingAttacked<Black>(testWorker().position, WhiteCastleKing));  // f1 is attacked by the f8 rook
  takeBackSearchMove<Black>(testWorker().position, WhiteCastleKing, u);
  EXPECT_EQ(snapshot(), before);

  child = s;
  ASSERT_EQ(makeSearchMove<Black>(testWorker().position, WhiteCastleQueen, 0, child, u), 0);
  EXPECT_FALSE(kingAttacked<Black>(testWorker().position, WhiteCastleQueen));
  takeBackSearchMove<Black>(testWorker().position, WhiteCastleQueen, u);
  EXPECT_EQ(snapshot(), before);

  // A rook on d8 sees d1, the square the king passes on the queen side.
  s = loadFen("3rk3/8/8/8/8/8/8/R3K2R w KQ -");
  child = s;
  ASSERT_EQ(makeSearchMove<Black>(testWorker().position, WhiteCastleQueen, 0, child, u), 0);
  EXPECT_TRUE(kingAttacked<Black>(testWorker().position, WhiteCastleQueen));
  takeBackSearchMove<Black>(testWorker().position, WhiteCastleQueen, u);
}

TEST(SearchGenerate, ManInAPawnSlotMovesByItsKind) {
  // The second White queen stands in a pawn slot and moves like a queen.
  NodeState s = loadFen("6k1/8/8/8/8/8/8/QQ5K w - -");
  ASSERT_GE(testWorker().position.map[sq("b1")], FirstPawnSlot);
  int fromA1 = 0, fromB1 = 0;
  for (Move m : allMoves<White>(s)) {
    fromA1 += moveFrom(m) == sq("a1");
    fromB1 += moveFrom(m) == sq("b1");
  }
  EXPECT_EQ(fromA1, 7 + 7);          // the a-file and the long diagonal
  EXPECT_EQ(fromB1, 7 + 5 + 1 + 6);  // b-file, c1..g1, a2, c2..h7
}

}  // namespace
}  // namespace orv

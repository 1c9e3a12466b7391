#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "board/board.h"
#include "board/game.h"
#include "board_test_util.h"

namespace orv {
namespace {

using test::sq;

std::string written() {
  char text[FenTextSize];
  writeFen(text);
  return text;
}

std::string roundTrip(const char* fen) {
  EXPECT_GE(parseFen(fen), 0) << fen;
  return written();
}

TEST(Fen, StartPositionWrittenWithSlashAfterEveryRankAndNoClocks) {
  const char* expected = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/ w KQkq -";
  EXPECT_EQ(roundTrip("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/ w KQkq -"), expected);
  EXPECT_EQ(roundTrip("  \trnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"), expected);
  EXPECT_STREQ(game.positionText, expected);
  EXPECT_EQ(game.ply, -1);
  EXPECT_EQ(game.lastRecord, -1);
  EXPECT_EQ(game.result, GameRunning);

  // The men sit in their fixed slots.
  const Board& b = game.board;
  EXPECT_EQ(b.square[KingSlot], sq("e1"));
  EXPECT_EQ(b.square[16 + QueenRookSlot], sq("a8"));
  EXPECT_EQ(b.square[16 + KingKnightSlot], sq("g8"));
  EXPECT_EQ(b.square[FirstPawnSlot + 3], sq("d2"));
  EXPECT_EQ(b.kind[32], NoKind);
  EXPECT_EQ(b.value[32], 0);
  EXPECT_EQ(b.material[0], 0);
  EXPECT_EQ(b.pieces[White], 7);
  EXPECT_EQ(b.pawns[Black], 8);
}

TEST(Fen, StartPositionSetUpMatchesParsedStartPosition) {
  Board start;
  setupStartPosition(start);
  parseFen(StartFen);
  EXPECT_EQ(std::memcmp(start.square, game.board.square, sizeof start.square), 0);
  EXPECT_EQ(std::memcmp(start.map, game.board.map, sizeof start.map), 0);
  EXPECT_EQ(std::memcmp(start.kind, game.board.kind, sizeof start.kind), 0);
  EXPECT_EQ(std::memcmp(start.value, game.board.value, sizeof start.value), 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(start.castle[i], 0);
}

TEST(Fen, CastlingRightsComeFromThePlacementAndLettersOnlyGrant) {
  // Kings and rooks at home: every right exists even with '-'.
  EXPECT_EQ(roundTrip("r3k2r/8/8/8/8/8/8/R3K2R w - -"), "r3k2r/8/8/8/8/8/8/R3K2R/ w KQkq -");

  // King on g1: castled king-side, no White letter; the letters do not change that.
  parseFen("r3k2r/8/8/8/8/8/8/R4RK1 b KQkq -");
  EXPECT_EQ(game.board.castle[castleIndex(White, 0)], 1);
  EXPECT_EQ(game.board.castle[castleIndex(White, 1)], -1);
  EXPECT_EQ(written(), "r3k2r/8/8/8/8/8/8/R4RK1/ b kq -");

  // King on c8: castled queen-side.
  parseFen("2kr4/8/8/8/8/8/8/4K3 w - -");
  EXPECT_EQ(game.board.castle[castleIndex(Black, 1)], 1);
  EXPECT_EQ(game.board.castle[castleIndex(Black, 0)], -1);

  // King at home without rooks counts as castled king-side.
  parseFen("4k3/8/8/8/8/8/8/4K3 w KQkq -");
  EXPECT_EQ(game.board.castle[castleIndex(White, 0)], 1);
  EXPECT_EQ(written(), "4k3/8/8/8/8/8/8/4K3/ w - -");

  // One rook home: the other wing's letter is ignored because its rook is missing.
  EXPECT_EQ(roundTrip("4k2r/8/8/8/8/8/8/R3K3 w KQkq -"), "4k2r/8/8/8/8/8/8/R3K3/ w Qk -");
}

TEST(Fen, SideLetter) {
  parseFen("4k3/8/8/8/8/8/8/4K3 w - -");
  EXPECT_EQ(game.side, White);
  parseFen("4k3/8/8/8/8/8/8/4K3   W - -");
  EXPECT_EQ(game.side, White);
  parseFen("4k3/8/8/8/8/8/8/4K3 x - -");
  EXPECT_EQ(game.side, Black);
  EXPECT_EQ(written(), "4k3/8/8/8/8/8/8/4K3/ b - -");
}

TEST(Fen, ExtraQueenTakesTopPawnSlotAndPawnsMoveAside) {
  ASSERT_EQ(parseFen("4k3/8/8/8/8/8/4P2P/3QK2Q w - -"), FenAccepted);
  const Board& b = game.board;
  EXPECT_EQ(b.square[QueenSlot], sq("d1"));
  EXPECT_EQ(b.square[LastPawnSlot], sq("h1"));
  EXPECT_EQ(b.kind[LastPawnSlot], Queen);
  EXPECT_EQ(b.value[LastPawnSlot], QueenValue);
  EXPECT_EQ(b.square[FirstPawnSlot + 4], sq("e2"));
  EXPECT_EQ(b.square[LastPawnSlot - 1], sq("h2"));  // +1 leaves the board, -1 is free
  EXPECT_EQ(b.map[sq("h2")], LastPawnSlot - 1);

  // Black pawns are placed from h8 downward, also by the nearest-file rule.
  ASSERT_EQ(parseFen("4k3/p7/p7/8/8/8/8/4K3 w - -"), FenAccepted);
  EXPECT_EQ(game.board.square[16 + FirstPawnSlot], sq("a7"));
  EXPECT_EQ(game.board.square[16 + FirstPawnSlot + 1], sq("a6"));
}

TEST(Fen, BishopSlotsFollowSquareColour) {
  ASSERT_EQ(parseFen("2b1kb2/8/8/8/8/8/8/2B1KBB1 w - -"), FenAccepted);
  const Board& b = game.board;
  EXPECT_EQ(b.square[QueenBishopSlot], sq("c1"));
  EXPECT_EQ(b.square[KingBishopSlot], sq("f1"));
  EXPECT_EQ(b.square[LastPawnSlot], sq("g1"));
  EXPECT_EQ(b.square[16 + QueenBishopSlot], sq("c8"));
  EXPECT_EQ(b.square[16 + KingBishopSlot], sq("f8"));
}

TEST(Fen, RefusedPositionsLeaveThePreviousOneIntact) {
  ASSERT_EQ(parseFen(StartFen), FenAccepted);
  const std::string before = written();
  const Board board = game.board;

  EXPECT_EQ(parseFen("8/8/8/8/8/8/8/4K3 w - -"), FenKingMissing);  // no Black king
  EXPECT_EQ(parseFen("4k3/8/8/8/8/8/8/8 w - -"), FenKingMissing);  // no White king
  EXPECT_EQ(parseFen(""), FenKingMissing);
  EXPECT_EQ(parseFen("4k3/8/8/8/8/8/8/KK6 w - -"), FenNoSlot);          // two kings
  EXPECT_EQ(parseFen("4k3/8/8/8/8/P7/PPPPPPPP/4K3 w - -"), FenNoSlot);  // nine pawns
  EXPECT_EQ(parseFen("QQQQQQQQ/QQ6/8/8/8/8/8/k3K3 w - -"), FenNoSlot);  // ten queens
  EXPECT_EQ(parseFen("4k3/8/8/8/8/8/8/RRRRK3 w - -"), FenAccepted);     // pawn slots hold extra rooks

  ASSERT_EQ(parseFen(StartFen), FenAccepted);
  EXPECT_EQ(parseFen("4k3/8/8/8/8/P7/PPPPPPPP/4K3 w - -"), FenNoSlot);
  EXPECT_EQ(written(), before);
  EXPECT_EQ(std::memcmp(&board, &game.board, sizeof board), 0);
}

TEST(Fen, SideNotToMoveInCheckIsReported) {
  EXPECT_EQ(parseFen("4k3/8/8/8/8/8/8/4R1K1 w - -"), FenNotToMoveInCheck);
  EXPECT_EQ(game.result, GameSetupFinal);
  EXPECT_EQ(game.legal[0], 0u);
  EXPECT_EQ(written(), "4k3/8/8/8/8/8/8/4R1K1/ w - -");

  // The side to move in check is an ordinary position.
  EXPECT_EQ(parseFen("4k3/8/8/8/8/8/8/4R1K1 b - -"), FenAccepted);
  EXPECT_EQ(game.result, GameRunning);
}

TEST(Fen, FinalPositionsSetTheResultFlag) {
  EXPECT_EQ(parseFen("7k/6Q1/6K1/8/8/8/8/8 b - -"), FenAccepted);  // mated
  EXPECT_EQ(game.result, GameSetupFinal);
  EXPECT_EQ(parseFen("7k/8/6QK/8/8/8/8/8 b - -"), FenAccepted);  // stalemated
  EXPECT_EQ(game.result, GameSetupFinal);
  EXPECT_EQ(parseFen("7k/8/6QK/8/8/8/8/8 w - -"), FenAccepted);
  EXPECT_EQ(game.result, GameRunning);
}

TEST(Fen, GameListHoldsEveryLegalMove) {
  ASSERT_EQ(parseFen("kr6/pp6/3Q2Q1/1Q6/5Q2/2Q4Q/4Q3/K1Q3Q1 w - -"), FenAccepted);
  int n = 0;
  while (n <= MaxGameMoves && game.legal[n] != 0) ++n;
  EXPECT_EQ(n, 167);
}

TEST(BoardSetup, PlacementCodesAndSlotOrder) {
  Board b;
  clearBoard(b);
  EXPECT_EQ(placeMan(b, White, WhitePawn, sq("e4")), -2);
  EXPECT_EQ(placeMan(b, White, Queen, 64), -1);
  EXPECT_EQ(placeMan(b, Black, King, sq("e8")), 16);
  EXPECT_EQ(placeMan(b, Black, King, sq("d8")), -1);
  EXPECT_EQ(placeMan(b, White, Rook, sq("h4")), KingRookSlot);
  EXPECT_EQ(placeMan(b, White, Rook, sq("g4")), QueenRookSlot);
  EXPECT_EQ(placeMan(b, White, Rook, sq("a4")), LastPawnSlot);
  EXPECT_EQ(placeMan(b, White, Knight, sq("b1")), QueenKnightSlot);
  EXPECT_EQ(placeMan(b, White, Knight, sq("c1")), KingKnightSlot);

  // Edit-position pawns: own file, then f-1, f+1, f-2, f+2.
  const int expected[] = {12, 11, 13, 10, 14, -1};
  const char* squares[] = {"e2", "e3", "e4", "e5", "e6", "e7"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(placePawn(b, White, sq(squares[i])), expected[i]) << squares[i];

  // A man placed on an occupied square replaces the one standing there.
  EXPECT_EQ(placeMan(b, Black, Queen, sq("h4")), 17);
  EXPECT_EQ(b.square[KingRookSlot], OffBoard);
  EXPECT_EQ(b.map[sq("h4")], 17);
}

TEST(Fen, ANinthRankIsRefusedAndTheGameKept) {
  ASSERT_EQ(parseFen("4k3/8/8/8/8/8/8/4K3 w - -"), FenAccepted);
  const std::string before = written();
  // Read as the side to move, the ninth rank would set up Black to move.
  EXPECT_EQ(parseFen("4k3/8/8/8/8/8/8/4K3/8 w - -"), FenTooManyRanks);
  EXPECT_EQ(parseFen("4k3/8/8/8/8/8/8/4K3/pppppppp w - -"), FenTooManyRanks);
  EXPECT_EQ(written(), before);
  // A separator after the last rank is still passed over.
  EXPECT_EQ(parseFen("4k3/8/8/8/8/8/8/4K3/ b - -"), FenAccepted);
  EXPECT_EQ(game.side, Black);
}

}  // namespace

TEST(Fen, APawnOnAnEndRankIsRefusedAndTheGameKept) {
  ASSERT_EQ(parseFen("4k3/8/8/8/8/8/8/4K3 w - -"), FenAccepted);
  const std::string before = written();
  EXPECT_EQ(parseFen("1P2k3/8/8/8/8/8/8/4K3 w - -"), FenPawnOnEndRank);
  EXPECT_EQ(parseFen("4k3/8/8/8/8/8/8/4K2p b - -"), FenPawnOnEndRank);
  EXPECT_EQ(parseFen("p3k3/8/8/8/8/8/8/4K3 w - -"), FenPawnOnEndRank);
  // A short first rank runs on: the White pawn meant for a7 lands on b8.
  EXPECT_EQ(parseFen("0k/P7/8/8/8/8/8/K7 w - -"), FenPawnOnEndRank);
  EXPECT_EQ(written(), before);
  // The edit-position placement (edit mode, position files) refuses them too.
  Board b;
  clearBoard(b);
  for (const char* square : {"a1", "h1", "a8", "h8"}) {
    EXPECT_EQ(placePawn(b, White, sq(square)), -1) << square;
    EXPECT_EQ(placePawn(b, Black, sq(square)), -1) << square;
  }
  EXPECT_EQ(placePawn(b, Black, sq("a2")), 24);
}

}  // namespace orv

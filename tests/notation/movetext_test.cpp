#include "notation/movetext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "board/board.h"
#include "board/game.h"

namespace orv {
namespace {

Move parse(const char* text, int side = White) {
  char buffer[32] = {};
  std::strncpy(buffer, text, sizeof buffer - 1);
  return parseCoordinateMove(buffer, side);
}

std::string coordinate(Move m) {
  char out[CoordinateTextSize];
  coordinateText(m, out);
  return out;
}

std::string algebraic(Move m) {
  char buffer[64] = "";
  algebraicText(m, game.legal, game.board, buffer, sizeof buffer);
  return buffer;
}

int sq(const char* name) { return makeSquare(name[0] - 'a', name[1] - '1'); }

TEST(ParseCoordinateMove, CastlingLettersAndDigitsForEitherSide) {
  EXPECT_EQ(parse("0-0-0", White), WhiteCastleQueen);
  EXPECT_EQ(parse("o-o-o", Black), BlackCastleQueen);
  EXPECT_EQ(parse("O-O-O", White), WhiteCastleQueen);  // fourth character '-' is not king-side
  EXPECT_EQ(parse("O-O", White), WhiteCastleKing);
  EXPECT_EQ(parse("0-0", Black), BlackCastleKing);
  EXPECT_EQ(parse("o-o+", Black), BlackCastleKing);
  EXPECT_EQ(parse("O-", White), 0u);
  EXPECT_EQ(parse("O-0", White), 0u);
}

TEST(ParseCoordinateMove, PromotionLettersIncludingFrenchOnes) {
  const Move queen = makeMove(sq("e7"), sq("e8"), PromoteQueen);
  EXPECT_EQ(parse("e7e8=D"), queen);
  EXPECT_EQ(parse("e7e8d"), queen);
  EXPECT_EQ(parse("e7e8Q"), queen);
  EXPECT_EQ(parse("e7e8q"), queen);
  EXPECT_EQ(parse("e7e8T"), makeMove(sq("e7"), sq("e8"), PromoteRook));
  EXPECT_EQ(parse("e7e8=r"), makeMove(sq("e7"), sq("e8"), PromoteRook));
  EXPECT_EQ(parse("e7e8f"), makeMove(sq("e7"), sq("e8"), PromoteBishop));
  EXPECT_EQ(parse("e7e8B"), makeMove(sq("e7"), sq("e8"), PromoteBishop));
  EXPECT_EQ(parse("e7e8c"), makeMove(sq("e7"), sq("e8"), PromoteKnight));
  EXPECT_EQ(parse("e7e8=N"), makeMove(sq("e7"), sq("e8"), PromoteKnight));
}

TEST(ParseCoordinateMove, PlainMovesAndSuffixes) {
  const Move plain = makeMove(sq("e7"), sq("e8"));
  EXPECT_EQ(parse("e7e8"), plain);
  EXPECT_EQ(parse("e7e8+"), plain);
  EXPECT_EQ(parse("e7e8 "), plain);
  EXPECT_EQ(parse("e7e8x"), plain);  // a letter that names no piece
  EXPECT_EQ(parse("e7e8=K"), plain);
  EXPECT_EQ(parse("e7e8e"), plain);  // E without P is not en passant
  EXPECT_EQ(parse("e5d6ep"), makeMove(sq("e5"), sq("d6"), EnPassant));
  EXPECT_EQ(parse("E5D6EP"), makeMove(sq("e5"), sq("d6"), EnPassant));
  EXPECT_EQ(parse("a1h8"), makeMove(0, 63));
}

TEST(ParseCoordinateMove, UnreadableTextGivesZero) {
  for (const char* text : {"", "e", "e2", "e2e", "i2e4", "e9e4", "e2e0", "e2i4", "12e4", "xyzw", "-e2e4"})
    EXPECT_EQ(parse(text), 0u) << text;
}

TEST(ParseCoordinateMove, UpperCasesTheTextInPlace) {
  char text[] = "e7e8q";
  parseCoordinateMove(text, White);
  EXPECT_STREQ(text, "E7E8Q");
}

TEST(CoordinateText, SquaresAndUpperCasePromotionLetter) {
  EXPECT_EQ(coordinate(makeMove(sq("e7"), sq("e8"), PromoteQueen)), "e7e8Q");
  EXPECT_EQ(coordinate(makeMove(sq("b2"), sq("a1"), PromoteKnight) | CaptureMark), "b2a1N");
  EXPECT_EQ(coordinate(WhiteCastleKing), "e1g1");
  EXPECT_EQ(coordinate(BlackCastleQueen), "e8c8");
  EXPECT_EQ(coordinate(makeMove(sq("e5"), sq("d6"), EnPassant) | CaptureMark), "e5d6");
}

TEST(LineText, MarkFollowsTheFirstMoveAndEveryMoveEndsInABlank) {
  const Move line[] = {makeMove(sq("e2"), sq("e4")), makeMove(sq("e7"), sq("e5")), 0};
  char out[LineTextSize];
  lineText(line, 1, out);
  EXPECT_STREQ(out, "e2e4! e7e5 ");
  lineText(line, -1, out);
  EXPECT_STREQ(out, "e2e4 e7e5 ");
  lineText(line, 0, out);
  EXPECT_STREQ(out, "e2e4? e7e5 ");
  const Move empty[] = {0};
  lineText(empty, 1, out);
  EXPECT_STREQ(out, "");
}

TEST(LineText, StopsAfterSixtyThreeMovesWithinItsBuffer) {
  Move line[80];
  for (Move& m : line) m = makeMove(sq("h7"), sq("h8"), PromoteKnight);
  char out[LineTextSize];
  lineText(line, 0, out);
  EXPECT_EQ(std::strlen(out), size_t(63 * 6 + 1));
}

TEST(AlgebraicText, PieceMovesAndPawnCapturesEndInOneBlank) {
  newGame();
  EXPECT_EQ(algebraic(makeMove(sq("g1"), sq("f3"))), "Nf3 ");
  EXPECT_EQ(algebraic(makeMove(sq("e2"), sq("e4"))), "e4 ");
  ASSERT_EQ(parseFen("4k3/8/8/3p4/4P3/8/8/4K3 w - -"), 0);
  EXPECT_EQ(algebraic(makeMove(sq("e4"), sq("d5"))), "exd5 ");
  EXPECT_EQ(algebraic(makeMove(sq("e1"), sq("d2"))), "Kd2 ");
}

TEST(AlgebraicText, NothingForAnEmptyOriginOrAMoveNotInTheList) {
  newGame();
  EXPECT_EQ(algebraic(makeMove(sq("e4"), sq("e5"))), "");
  EXPECT_EQ(algebraic(makeMove(sq("e2"), sq("e5"))), "");
  char tiny[4] = "";
  algebraicText(makeMove(sq("g1"), sq("f3")), game.legal, game.board, tiny, sizeof tiny);
  EXPECT_STREQ(tiny, "");  // "Nf3 " does not fit with its terminator
}

TEST(AlgebraicText, AppendsToTheBuffer) {
  newGame();
  char buffer[32] = "1. ";
  algebraicText(makeMove(sq("e2"), sq("e4")), game.legal, game.board, buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "1. e4 ");
}

TEST(AlgebraicText, OneCharacterDisambiguation) {
  ASSERT_EQ(parseFen("4k3/8/8/R7/8/5N2/8/RN2K3 w - -"), 0);
  EXPECT_EQ(algebraic(makeMove(sq("b1"), sq("d2"))), "Nbd2 ");
  EXPECT_EQ(algebraic(makeMove(sq("f3"), sq("d2"))), "Nfd2 ");
  EXPECT_EQ(algebraic(makeMove(sq("a1"), sq("a3"))), "R1a3 ");
  EXPECT_EQ(algebraic(makeMove(sq("a5"), sq("a3"))), "R5a3 ");
  EXPECT_EQ(algebraic(makeMove(sq("f3"), sq("e5"))), "Ne5 ");
}

TEST(AlgebraicText, CastlingEnPassantAndPromotion) {
  ASSERT_EQ(parseFen("r3k2r/1P6/8/8/8/8/8/R3K2R w KQkq -"), 0);
  EXPECT_EQ(algebraic(makeMove(sq("e1"), sq("g1"))), "O-O ");
  EXPECT_EQ(algebraic(WhiteCastleQueen), "O-O-O ");
  EXPECT_EQ(algebraic(makeMove(sq("b7"), sq("b8"), PromoteRook)), "b8=R ");
  EXPECT_EQ(algebraic(makeMove(sq("b7"), sq("a8"), PromoteQueen)), "bxa8=Q ");
  EXPECT_EQ(algebraic(makeMove(sq("b7"), sq("b8"))), "");  // the promotion kind is missing

  ASSERT_EQ(parseFen("4k3/3p4/8/4P3/8/8/8/4K3 b - -"), 0);
  ASSERT_EQ(makeGameMove(makeMove(sq("d7"), sq("d5"))), MovePlayed);
  EXPECT_EQ(algebraic(makeMove(sq("e5"), sq("d6"), EnPassant)), "exd6 ");
}

}  // namespace
}  // namespace orv

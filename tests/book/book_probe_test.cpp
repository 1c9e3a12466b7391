// The root's book query on real positions: key, 60/40 rule, legality, attempt counter.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "book/book.h"
#include "book/book_writer.h"

namespace orv {
namespace {

using test::makeBookRecord;
using test::TempDir;
using test::writeBookFile;

constexpr char StartKey[] = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/ w KQkq -";
constexpr char AfterE4Fen[] = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";
// Set up from FEN the position has no en-passant target, so its key ends in "-".
constexpr char AfterE4Key[] = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR/ b KQkq -";
constexpr Move E7E5 = 52 | 36 << 6, C7C5 = 50 | 34 << 6, E7E4 = 52 | 28 << 6;

class BookProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setBookDirectory(dir.path().c_str());
    book = dir.file("Orvalis.bo2");
    std::srand(777);
  }
  void TearDown() override { setBookDirectory(nullptr); }

  void setPosition(const char* fen) {
    ASSERT_EQ(parseFen(fen), 0);
    std::memcpy(list, game.legal, sizeof list);
  }

  TempDir dir;
  std::string book;
  Move list[MaxGameMoves + 1];
};

TEST_F(BookProbeTest, KeyIsTheEnginesPositionText) {
  ASSERT_EQ(parseFen(StartFen), 0);
  char key[FenTextSize];
  writeFen(key);
  EXPECT_STREQ(key, StartKey);
  EXPECT_EQ(std::strlen(key), 53u);
  ASSERT_EQ(parseFen(AfterE4Fen), 0);
  writeFen(key);
  EXPECT_STREQ(key, AfterE4Key);
}

TEST_F(BookProbeTest, InitialPositionPlaysE4OrD4WhateverTheRecordSays) {
  writeBookFile(book, {makeBookRecord(StartKey, {{100, 200, 1 | 18 << 6}})});
  setPosition(StartFen);
  int e4 = 0, d4 = 0;
  for (int i = 0; i < 2000; ++i) {
    Move m = lookupBookMove();
    e4 += m == BookE2E4;
    d4 += m == BookD2D4;
  }
  EXPECT_EQ(e4 + d4, 2000);
  EXPECT_NEAR(e4, 1200, 100);

  writeBookFile(book, {makeBookRecord(AfterE4Key, {{1, 1, E7E5}})});  // no record for the start
  EXPECT_EQ(lookupBookMove(), Move(0));
}

TEST_F(BookProbeTest, FoundMoveIsSwappedToTheFront) {
  writeBookFile(book, {makeBookRecord(StartKey, {}), makeBookRecord(AfterE4Key, {{10, 20, C7C5}})});
  setPosition(AfterE4Fen);
  Move first = list[0];
  int at = -1;
  for (int i = 0; list[i]; ++i)
    if ((list[i] & 0xFFF) == C7C5) at = i;
  ASSERT_GT(at, 0);
  game.bookAttempts = 10;
  game.ply = 4;
  EXPECT_EQ(probeBook(list), 1);
  EXPECT_EQ(list[0] & 0xFFF, C7C5);
  EXPECT_EQ(list[at], first);
  EXPECT_EQ(game.bookAttempts, 10);
  EXPECT_EQ(game.lastBookPly, 5);
}

TEST_F(BookProbeTest, IllegalBookMoveLeavesListAndCounter) {
  writeBookFile(book, {makeBookRecord(AfterE4Key, {{10, 20, E7E4}})});
  setPosition(AfterE4Fen);
  Move before[MaxGameMoves + 1];
  std::memcpy(before, list, sizeof list);
  game.bookAttempts = 10;
  EXPECT_EQ(probeBook(list), 0);
  EXPECT_EQ(std::memcmp(before, list, sizeof list), 0);
  EXPECT_EQ(game.bookAttempts, 10);
}

TEST_F(BookProbeTest, PromotionKindFollowsTheFirstLegalMoveOnThoseSquares) {
  constexpr char fen[] = "7k/4P3/8/8/8/8/8/K7 w - - 0 1";
  setPosition(fen);
  char key[FenTextSize];
  writeFen(key);
  writeBookFile(book, {makeBookRecord(key, {{1, 2, makeMove(52, 60, PromoteKnight)}})});
  Move firstPromotion = 0;
  for (int i = 0; list[i] && !firstPromotion; ++i)
    if ((list[i] & 0xFFF) == (52 | 60 << 6)) firstPromotion = list[i];
  ASSERT_NE(firstPromotion, 0u);
  game.bookAttempts = 10;
  EXPECT_EQ(probeBook(list), 1);
  EXPECT_EQ(list[0], firstPromotion);
}

TEST_F(BookProbeTest, TenMissesSilenceTheBookUntilReset) {
  writeBookFile(book, {makeBookRecord(StartKey, {{1, 1, E7E5}})});
  setPosition(AfterE4Fen);
  game.bookAttempts = 10;
  for (int i = 0; i < 10; ++i) EXPECT_EQ(probeBook(list), 0);
  EXPECT_EQ(game.bookAttempts, 0);

  // A position the book knows is no longer looked up.
  setPosition(StartFen);
  game.bookAttempts = 0;
  EXPECT_EQ(probeBook(list), 0);
  EXPECT_EQ(game.bookAttempts, 0);
  newGame();  // a new game makes the book active again
  EXPECT_EQ(game.bookAttempts, 10);
  std::memcpy(list, game.legal, sizeof list);
  EXPECT_EQ(probeBook(list), 1);
  EXPECT_TRUE(list[0] == BookE2E4 || list[0] == BookD2D4);
}

TEST_F(BookProbeTest, MissingVanishingOrForeignFilesGiveNoMove) {
  setPosition(AfterE4Fen);
  game.bookAttempts = 10;
  EXPECT_EQ(probeBook(list), 0);  // no file at all
  EXPECT_EQ(game.bookAttempts, 9);

  writeBookFile(book, {makeBookRecord(AfterE4Key, {{1, 1, E7E5}})});
  EXPECT_EQ(probeBook(list), 1);
  std::remove(book.c_str());
  EXPECT_EQ(probeBook(list), 0);
  EXPECT_EQ(game.bookAttempts, 8);

  writeBookFile(book, {}, std::string(AfterE4Key) + std::string(250, '\xff'));
  EXPECT_EQ(probeBook(list), 0);
  writeBookFile(book, {}, std::string(AfterE4Key, 40));
  EXPECT_EQ(probeBook(list), 0);
  EXPECT_EQ(game.bookAttempts, 6);
}

}  // namespace
}  // namespace orv

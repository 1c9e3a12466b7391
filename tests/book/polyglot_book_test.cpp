// Polyglot books: the entry layout, the checks a chosen book must pass, the
// search for a key, the move fields and the choice among a key's moves.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "board/board.h"
#include "board/game.h"
#include "book/book.h"
#include "book/polyglot_book.h"
#include "book/polyglot_key.h"
#include "book/polyglot_writer.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

using test::fieldOf;
using test::TempDir;
using test::writePolyglotFile;

constexpr uint64_t StartKey = 0x463b96181691fc9cULL;

TEST(PolyglotEntry, NumbersAreStoredHighestByteFirst) {
  PolyglotEntry e;
  e.key = 0x0102030405060708ULL;
  e.move = 0x090A;
  e.weight = 0x0B0C;
  e.learn = 0x0D0E0F10;
  unsigned char bytes[PolyglotEntrySize];
  encodePolyglotEntry(e, bytes);
  for (int i = 0; i < PolyglotEntrySize; ++i) EXPECT_EQ(bytes[i], i + 1) << i;
  const PolyglotEntry back = decodePolyglotEntry(bytes);
  EXPECT_EQ(back.key, e.key);
  EXPECT_EQ(back.move, e.move);
  EXPECT_EQ(back.weight, e.weight);
  EXPECT_EQ(back.learn, e.learn);
}

TEST(PolyglotCheck, AcceptsASortedBookAndRefusesEachFault) {
  TempDir dir;
  const std::string good = dir.file("good.bin");
  writePolyglotFile(good, {{1, fieldOf("e2e4"), 5, 0}, {1, fieldOf("d2d4"), 3, 0}, {7, 0, 1, 0}});
  EXPECT_EQ(checkPolyglotBook(good.c_str()), PolyglotOk);  // a move 0 is ignored, not refused

  EXPECT_EQ(checkPolyglotBook(dir.file("missing.bin").c_str()), PolyglotCannotOpen);
  EXPECT_EQ(checkPolyglotBook(dir.path().c_str()), PolyglotNotRegular);
  EXPECT_EQ(checkPolyglotBook("/dev/zero"), PolyglotNotRegular);

  const std::string odd = dir.file("odd.bin");
  writePolyglotFile(odd, {{1, fieldOf("e2e4"), 5, 0}}, "12345");  // a truncated second entry
  EXPECT_EQ(checkPolyglotBook(odd.c_str()), PolyglotBadSize);

  const std::string unsorted = dir.file("unsorted.bin");
  writePolyglotFile(unsorted, {{2, fieldOf("e2e4"), 5, 0}, {1, fieldOf("d2d4"), 3, 0}});
  EXPECT_EQ(checkPolyglotBook(unsorted.c_str()), PolyglotOutOfOrder);

  // A sparse file of zeros (sorted entries of move 0) is refused by its size, not read through.
  const std::string huge = dir.file("huge.bin");
  writePolyglotFile(huge, {});
  ASSERT_EQ(::truncate(huge.c_str(), PolyglotMaxBytes + PolyglotEntrySize), 0);
  EXPECT_EQ(checkPolyglotBook(huge.c_str()), PolyglotTooLarge);

  const std::string empty = dir.file("empty.bin");
  writePolyglotFile(empty, {});
  EXPECT_EQ(checkPolyglotBook(empty.c_str()), PolyglotEmpty);

  for (uint16_t bad : {uint16_t(fieldOf("e2e2")), uint16_t(fieldOf("a1h2")), uint16_t(0x8000 | fieldOf("e2e4")),
                       uint16_t(fieldOf("e2e4") | 5 << 12), uint16_t(fieldOf("e2e3q"))}) {
    const std::string notMove = dir.file("notmove.bin");
    writePolyglotFile(notMove, {{1, fieldOf("e2e4"), 5, 0}, {3, bad, 1, 0}});
    EXPECT_EQ(checkPolyglotBook(notMove.c_str()), PolyglotNotAMove) << std::hex << bad;
  }
}

TEST(PolyglotCheck, AFifoIsRefusedWithoutWaitingForAWriter) {
  TempDir dir;
  const std::string fifo = dir.file("book.bin");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(checkPolyglotBook(fifo.c_str()), PolyglotNotRegular);
}

TEST(PolyglotMoveField, WhatCouldBeAChessMove) {
  for (const char* m : {"e2e4", "g1f3", "e1h1", "e8a8", "a1h8", "b7b8n", "c2b1q", "h7g8r"})
    EXPECT_TRUE(isPolyglotMoveField(fieldOf(m))) << m;
  EXPECT_TRUE(isPolyglotMoveField(0));
  for (const char* m : {"e4e4", "a1b4", "e2e3q", "c2a1n"}) EXPECT_FALSE(isPolyglotMoveField(fieldOf(m))) << m;
  EXPECT_FALSE(isPolyglotMoveField(uint16_t(fieldOf("a7a8") | 6 << 12)));
  EXPECT_FALSE(isPolyglotMoveField(uint16_t(fieldOf("a7c8") | 4 << 12)));
}

TEST(PolyglotMoveField, CastlingIsTheKingTakingItsRook) {
  ASSERT_EQ(parseFen("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1"), 0);
  EXPECT_EQ(polyglotMoveField(WhiteCastleKing), fieldOf("e1h1"));
  EXPECT_EQ(polyglotMoveField(WhiteCastleQueen), fieldOf("e1a1"));
  EXPECT_EQ(polyglotMoveField(BlackCastleKing), fieldOf("e8h8"));
  EXPECT_EQ(polyglotMoveField(BlackCastleQueen), fieldOf("e8a8"));
  EXPECT_EQ(legalMoveOfField(fieldOf("e1h1"), game.board, game.legal), WhiteCastleKing);
  EXPECT_EQ(legalMoveOfField(fieldOf("e1a1"), game.board, game.legal), WhiteCastleQueen);
  ASSERT_EQ(parseFen("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R b KQkq - 0 1"), 0);
  EXPECT_EQ(legalMoveOfField(fieldOf("e8h8"), game.board, game.legal), BlackCastleKing);
  EXPECT_EQ(legalMoveOfField(fieldOf("e8a8"), game.board, game.legal), BlackCastleQueen);
  // Without the right there is no castling to read it as.
  ASSERT_EQ(parseFen("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K1R1 w Qkq - 0 1"), 0);
  EXPECT_EQ(legalMoveOfField(fieldOf("e1h1"), game.board, game.legal), Move(0));
  // A rook on e1 going to h1 is an ordinary rook move.
  ASSERT_EQ(parseFen("7k/8/8/8/8/8/8/K3R3 w - - 0 1"), 0);
  EXPECT_EQ(legalMoveOfField(fieldOf("e1h1"), game.board, game.legal), makeMove(4, 7));
  newGame();
}

TEST(PolyglotMoveField, PromotionsKeepTheirPiece) {
  ASSERT_EQ(parseFen("4k3/1P6/8/8/8/8/8/4K3 w - - 0 1"), 0);
  EXPECT_EQ(legalMoveOfField(fieldOf("b7b8n"), game.board, game.legal), makeMove(49, 57, PromoteKnight));
  EXPECT_EQ(legalMoveOfField(fieldOf("b7b8q"), game.board, game.legal), makeMove(49, 57, PromoteQueen));
  EXPECT_EQ(legalMoveOfField(fieldOf("b7b8"), game.board, game.legal), Move(0));
  EXPECT_EQ(polyglotMoveField(makeMove(49, 57, PromoteRook)), fieldOf("b7b8r"));
  EXPECT_EQ(polyglotMoveField(makeMove(49, 57, PromoteBishop)), fieldOf("b7b8b"));
  EXPECT_EQ(legalMoveOfField(fieldOf("e1e3"), game.board, game.legal), Move(0));  // not legal here
  newGame();
}

class PolyglotBookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    newGame();
    std::srand(4242);
  }
  void TearDown() override {
    setBookFile("");
    setBookBest(false);
    newGame();
  }
  TempDir dir;
};

TEST_F(PolyglotBookTest, FindsEveryEntryOfAKeyAndNoOther) {
  const std::string path = dir.file("keys.bin");
  std::vector<PolyglotEntry> entries;
  for (uint64_t k = 0; k < 40; ++k) entries.push_back({k * 3, fieldOf("e2e4"), uint16_t(k), 0});
  entries.insert(entries.begin() + 10, {27, fieldOf("d2d4"), 99, 0});  // three entries share key 27
  entries.insert(entries.begin() + 10, {27, fieldOf("c2c4"), 98, 0});
  writePolyglotFile(path, entries);
  std::FILE* file = nullptr;
  long count = 0;
  ASSERT_EQ(openPolyglotFile(path.c_str(), file, count), PolyglotOk);
  ASSERT_EQ(count, 42);
  PolyglotEntry found[8];
  ASSERT_EQ(findPolyglotEntries(file, count, 27, found, 8), 3);
  EXPECT_EQ(found[0].weight, 9);
  EXPECT_EQ(found[1].weight, 98);
  EXPECT_EQ(found[2].weight, 99);
  EXPECT_EQ(findPolyglotEntries(file, count, 27, found, 2), 2);  // never past the capacity
  EXPECT_EQ(findPolyglotEntries(file, count, 0, found, 8), 1);
  EXPECT_EQ(findPolyglotEntries(file, count, 117, found, 8), 1);  // the last entry
  EXPECT_EQ(findPolyglotEntries(file, count, 28, found, 8), 0);
  EXPECT_EQ(findPolyglotEntries(file, count, ~0ULL, found, 8), 0);
  std::fclose(file);
}

TEST_F(PolyglotBookTest, ChoiceFollowsTheWeightsAndSkipsIllegalAndZeroWeights) {
  const PolyglotEntry entries[] = {{StartKey, fieldOf("e2e4"), 300, 0},
                                   {StartKey, fieldOf("d2d4"), 100, 0},
                                   {StartKey, fieldOf("e2e5"), 60000, 0},
                                   {StartKey, fieldOf("c2c4"), 0, 0},
                                   {StartKey, 0, 500, 0}};
  int e4 = 0, d4 = 0;
  for (int i = 0; i < 4000; ++i) {
    const Move m = choosePolyglotMove(entries, 5, false);
    e4 += m == makeMove(12, 28);
    d4 += m == makeMove(11, 27);
  }
  EXPECT_EQ(e4 + d4, 4000);
  EXPECT_NEAR(e4, 3000, 150);
  EXPECT_EQ(choosePolyglotMove(entries, 5, true), makeMove(12, 28));
  EXPECT_EQ(choosePolyglotMove(entries + 2, 3, false), Move(0));
  EXPECT_EQ(choosePolyglotMove(entries + 2, 3, true), Move(0));
  // Best: the first of the highest weight, every time.
  const PolyglotEntry tie[] = {
      {StartKey, fieldOf("g1f3"), 7, 0}, {StartKey, fieldOf("e2e4"), 9, 0}, {StartKey, fieldOf("d2d4"), 9, 0}};
  for (int i = 0; i < 20; ++i) EXPECT_EQ(choosePolyglotMove(tie, 3, true), makeMove(12, 28));
}

TEST_F(PolyglotBookTest, ChosenBookAnswersTheRootAndMissesCount) {
  const std::string path = dir.file("book.bin");
  newGame();
  ASSERT_TRUE(test::playMoves("e2e4"));
  const uint64_t afterE4 = polyglotGameKey();
  writePolyglotFile(path, {{StartKey, fieldOf("d2d4"), 10, 0}, {afterE4, fieldOf("c7c5"), 10, 0}});
  ASSERT_EQ(setBookFile(("  " + path + "\r\n").c_str()), 0);
  EXPECT_EQ(bookSource().kind, PolyglotBook);
  EXPECT_EQ(std::string(bookSource().path), path);

  Move list[MaxGameMoves + 1];
  std::memcpy(list, game.legal, sizeof list);
  ASSERT_EQ(probeBook(list), 1);
  EXPECT_EQ(list[0] & 0xFFF, makeMove(50, 34));
  EXPECT_EQ(game.lastBookPly, game.ply + 1);

  ASSERT_TRUE(test::playMoves("c7c5 g1f3"));  // not in the book
  std::memcpy(list, game.legal, sizeof list);
  const int attempts = game.bookAttempts;
  EXPECT_EQ(probeBook(list), 0);
  EXPECT_EQ(game.bookAttempts, attempts - 1);

  newGame();  // the start position's own moves, not the record rule of 60/40
  for (int i = 0; i < 20; ++i) EXPECT_EQ(lookupBookMove(), makeMove(11, 27));
}

TEST_F(PolyglotBookTest, AKnightPromotionIsNotTakenForTheQueen) {
  const std::string path = dir.file("promo.bin");
  ASSERT_EQ(parseFen("4k3/1P6/8/8/8/8/8/4K3 w - - 0 1"), 0);
  writePolyglotFile(path, {{polyglotGameKey(), fieldOf("b7b8n"), 1, 0}});
  ASSERT_EQ(setBookFile(path.c_str()), 0);
  Move list[MaxGameMoves + 1];
  std::memcpy(list, game.legal, sizeof list);
  ASSERT_EQ(probeBook(list), 1);
  EXPECT_EQ(list[0] & 0x7FFF, makeMove(49, 57, PromoteKnight));
}

TEST_F(PolyglotBookTest, ARefusedBookIsReportedOnceAndNoBookIsUsed) {
  const std::string path = dir.file("bad.bin");
  writePolyglotFile(path, {{StartKey, fieldOf("d2d4"), 10, 0}}, "xyz");
  testing::internal::CaptureStderr();
  EXPECT_EQ(setBookFile(path.c_str()), PolyglotBadSize);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, "book: " + path + " is not a whole number of 16-byte entries, no book is used\n");
  EXPECT_EQ(bookSource().kind, NoBook);
  EXPECT_EQ(openBookFile(), nullptr);  // not even the default book of records
  EXPECT_EQ(lookupBookMove(), Move(0));

  testing::internal::CaptureStderr();
  EXPECT_EQ(setBookFile(dir.file("none.bo2").c_str()), PolyglotCannotOpen);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "book: " + dir.file("none.bo2") + " cannot be opened, no book is used\n");

  EXPECT_EQ(setBookFile("<empty>"), 0);
  EXPECT_EQ(bookSource().kind, DefaultBook);
}

TEST_F(PolyglotBookTest, ARecordsFileIsChosenByItsName) {
  const std::string path = dir.file("mine.bo2");
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  ASSERT_EQ(setBookFile(path.c_str()), 0);
  EXPECT_EQ(bookSource().kind, OwnFormatBook);
  std::FILE* opened = openBookFile();
  EXPECT_NE(opened, nullptr);
  if (opened) std::fclose(opened);
}

TEST_F(PolyglotBookTest, ABookChangedAfterItsCheckGivesNoMove) {
  const std::string path = dir.file("book.bin");
  writePolyglotFile(path, {{StartKey, fieldOf("d2d4"), 10, 0}});
  ASSERT_EQ(setBookFile(path.c_str()), 0);
  writePolyglotFile(path, {{StartKey, fieldOf("d2d4"), 10, 0}}, "1234567");  // truncated since
  EXPECT_EQ(lookupBookMove(), Move(0));
  ::unlink(path.c_str());
  EXPECT_EQ(lookupBookMove(), Move(0));
}

}  // namespace
}  // namespace orv

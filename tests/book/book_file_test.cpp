// Scanning book files and the weighted choice of a record's move.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "board/game.h"
#include "book/book.h"
#include "book/book_writer.h"

namespace orv {
namespace {

using test::makeBookRecord;
using test::TempDir;
using test::writeBookFile;

constexpr Move E7E5 = 52 | 36 << 6, C7C5 = 50 | 34 << 6, E7E6 = 52 | 44 << 6;

TEST(BookRecord, FieldsAreLittleEndian) {
  BookRecord r = makeBookRecord("abc", {{0x1234, 0xBEEF, 0xF00D}, {1, 2, 3}});
  EXPECT_EQ(bookGames(r, 0), 0x1234);
  EXPECT_EQ(bookPoints(r, 0), 0xBEEF);
  EXPECT_EQ(bookMove(r, 0), Move(0xF00D));
  EXPECT_EQ(r.bytes[70], 0x34);
  EXPECT_EQ(r.bytes[71], 0x12);
  EXPECT_EQ(bookMove(r, 1), Move(3));
  EXPECT_EQ(bookMove(r, 2), Move(0));
}

TEST(BookFile, FindsTheExactKeyAndStaysAtItsRecord) {
  TempDir dir;
  std::string path = dir.file("Orvalis.bo2");
  writeBookFile(path, {makeBookRecord("key one w", {{1, 1, 11}}), makeBookRecord("key two w", {{1, 1, 22}}),
                       makeBookRecord("key two w extra", {{1, 1, 33}})});
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  BookRecord r;
  ASSERT_EQ(findBookRecord(f, "key two w", r), 1);
  EXPECT_EQ(bookMove(r, 0), Move(22));
  EXPECT_EQ(std::ftell(f), 100);
  ASSERT_EQ(findBookRecord(f, "key one w", r), 1);  // always from the start of the file
  EXPECT_EQ(bookMove(r, 0), Move(11));
  EXPECT_EQ(findBookRecord(f, "key two", r), 0);    // prefixes do not match
  EXPECT_EQ(findBookRecord(f, "KEY ONE W", r), 0);  // case matters
  std::fclose(f);
}

TEST(BookFile, TruncatedAndForeignFilesGiveNothing) {
  TempDir dir;
  std::string truncated = dir.file("truncated.bo2");
  BookRecord last = makeBookRecord("last", {{1, 1, 44}});
  writeBookFile(truncated, {makeBookRecord("first", {{1, 1, 11}})}, std::string((const char*)last.bytes, 99));
  FILE* f = std::fopen(truncated.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  BookRecord r;
  EXPECT_EQ(findBookRecord(f, "first", r), 1);
  EXPECT_EQ(findBookRecord(f, "last", r), 0);
  std::fclose(f);

  // A file of bytes without any terminator: no key field is a string, nothing matches
  // and nothing is read past a record.
  std::string foreign = dir.file("foreign.bo2");
  writeBookFile(foreign, {}, std::string(1000, 'a'));
  f = std::fopen(foreign.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(findBookRecord(f, std::string(69, 'a').c_str(), r), 0);
  std::fclose(f);
}

TEST(BookFile, LongKeyIsReportedAndScanned) {
  TempDir dir;
  std::string path = dir.file("Orvalis.bo2");
  writeBookFile(path, {makeBookRecord("short", {{1, 1, 11}})});
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  BookRecord r;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(findBookRecord(f, std::string(70, 'x').c_str(), r), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "too long\n");
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(findBookRecord(f, "short", r), 1);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  std::fclose(f);
}

TEST(BookFile, OpensTheExecutableDirectoryFileElseMiniInTheCurrentDirectory) {
  TempDir first, current;
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir(current.path().c_str()), 0);

  setBookDirectory(first.path().c_str());
  EXPECT_EQ(std::string(bookDirectory()), first.path() + "/");
  EXPECT_EQ(openBookFile(), nullptr);

  writeBookFile(current.file("Mini.bo2"), {makeBookRecord("mini", {{1, 1, 1}})});
  FILE* f = openBookFile();
  ASSERT_NE(f, nullptr);
  BookRecord r;
  EXPECT_EQ(findBookRecord(f, "mini", r), 1);
  std::fclose(f);

  writeBookFile(first.file("Orvalis.bo2"), {makeBookRecord("main", {{1, 1, 1}})});
  f = openBookFile();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(findBookRecord(f, "main", r), 1);
  EXPECT_EQ(findBookRecord(f, "mini", r), 0);
  std::fclose(f);

  setBookDirectory(nullptr);  // back to the executable's directory
  std::string exeDir = bookDirectory();
  ASSERT_FALSE(exeDir.empty());
  EXPECT_EQ(exeDir.back(), '/');
  EXPECT_NE(exeDir, first.path() + "/");
  ASSERT_EQ(chdir(saved), 0);
}

TEST(BookChoice, SlotWeights) {
  EXPECT_EQ(bookSlotWeight(10, 20), 11);  // 100%
  EXPECT_EQ(bookSlotWeight(10, 10), 6);   // 50%
  EXPECT_EQ(bookSlotWeight(10, 0), 1);    // 0%
  EXPECT_EQ(bookSlotWeight(0, 0), 6);     // no games counts as 50%
  EXPECT_EQ(bookSlotWeight(0, 9), 6);
  EXPECT_EQ(bookSlotWeight(3, 4), 7);       // 66.7%
  EXPECT_EQ(bookSlotWeight(10, 19), 10);    // 95%
  EXPECT_EQ(bookSlotWeight(1, 65535), 11);  // points beyond twice the games are held at 100%
}

// Counts of each chosen move over n draws.
std::map<Move, int> draws(const BookRecord& r, int n) {
  std::srand(12345);
  std::map<Move, int> counts;
  for (int i = 0; i < n; ++i) ++counts[chooseBookMove(r)];
  return counts;
}

TEST(BookChoice, DrawsInProportionToTheWeights) {
  auto counts = draws(makeBookRecord("k", {{10, 20, E7E5}, {10, 10, C7C5}, {10, 0, E7E6}}), 18000);
  EXPECT_NEAR(counts[E7E5], 11000, 500);
  EXPECT_NEAR(counts[C7C5], 6000, 400);
  EXPECT_NEAR(counts[E7E6], 1000, 200);
  EXPECT_EQ(counts.size(), 3u);
}

TEST(BookChoice, NoGamesMeansUniformAndEmptySlotsEndTheList) {
  auto counts = draws(makeBookRecord("k", {{0, 0, E7E5}, {0, 0, C7C5}, {0, 0, E7E6}, {5, 10, 0}, {5, 10, 99}}), 9000);
  EXPECT_EQ(counts.size(), 3u);
  for (Move m : {E7E5, C7C5, E7E6}) EXPECT_NEAR(counts[m], 3000, 300);

  EXPECT_EQ(chooseBookMove(makeBookRecord("k", {})), Move(0));
  EXPECT_EQ(chooseBookMove(makeBookRecord("k", {{0, 0, 0}, {4, 4, E7E5}})), Move(0));
}

TEST(BookChoice, OverscoredRecordsStayInsideTheDrawTable) {
  BookRecord r = makeBookRecord("k", {{1, 60000, 1}, {1, 60000, 2}, {1, 60000, 3}, {1, 60000, 4}, {1, 60000, 5}});
  auto counts = draws(r, 5000);
  ASSERT_EQ(counts.size(), 5u);
  for (Move m = 1; m <= 5; ++m) EXPECT_NEAR(counts[m], 1000, 200);
}

TEST(BookChoice, RecordsTheLastBookPly) {
  game.ply = 7;
  game.lastBookPly = -1;
  chooseBookMove(makeBookRecord("k", {{1, 1, E7E5}}));
  EXPECT_EQ(game.lastBookPly, 8);
  game.lastBookPly = -1;
  chooseBookMove(makeBookRecord("k", {}));
  EXPECT_EQ(game.lastBookPly, -1);
  game.ply = -1;
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

using test::makeBookRecord;
using test::TempDir;
using test::writeBookFile;

TEST(BookFile, OnlyRegularFilesAreOpened) {
  TempDir first, current;
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir(current.path().c_str()), 0);
  setBookDirectory(first.path().c_str());

  // A link to a device that never ends, a FIFO nobody writes to, a directory:
  // none may be opened (the first would scan for ever, the second would block).
  const std::string main = first.file("Orvalis.bo2"), mini = current.file("Mini.bo2");
  ASSERT_EQ(symlink("/dev/zero", main.c_str()), 0);
  ASSERT_EQ(mkfifo(mini.c_str(), 0600), 0);
  EXPECT_EQ(openBookFile(), nullptr);
  std::remove(mini.c_str());
  ASSERT_EQ(mkdir(mini.c_str(), 0700), 0);
  EXPECT_EQ(openBookFile(), nullptr);
  rmdir(mini.c_str());

  std::remove(main.c_str());
  setBookDirectory(nullptr);
  ASSERT_EQ(chdir(saved), 0);
}

int stopQuestions = 0;
bool stopAtOnce() { return ++stopQuestions > 0; }

TEST(BookFile, ScanEndsWhenTheStopTestSaysSo) {
  TempDir dir;
  std::vector<BookRecord> records(5000, makeBookRecord("other", {{1, 1, 1}}));
  records.push_back(makeBookRecord("last", {{1, 1, 1}}));
  writeBookFile(dir.file("big.bo2"), records);
  FILE* f = std::fopen((dir.path() + "/big.bo2").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  BookRecord r;
  setBookScanStop(stopAtOnce);
  EXPECT_EQ(findBookRecord(f, "last", r), 0);
  EXPECT_EQ(stopQuestions, 1);  // asked once, after the first 1024 records
  setBookScanStop(nullptr);
  EXPECT_EQ(findBookRecord(f, "last", r), 1);
  std::fclose(f);
}

}  // namespace
}  // namespace orv

// The engine answers from its opening book, after a short pause under xboard.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "board/board.h"
#include "board/game.h"
#include "book/book_writer.h"
#include "engine_session.h"

namespace orv::e2e {
namespace {

// The book key of the position after 1. e4, as the engine writes it.
std::string keyAfterE4() {
  newGame();
  makeGameMove(makeMove(12, 28));
  char key[FenTextSize];
  writeFen(key);
  newGame();
  return key;
}

constexpr Move E7E5 = 52 | 36 << 6;

struct BookMoveTest : ::testing::Test {
  test::TempDir dir;
  void SetUp() override {
    test::writeBookFile(dir.file("Mini.bo2"), {test::makeBookRecord(keyAfterE4(), {{10, 20, E7E5}})});
  }
};

TEST_F(BookMoveTest, XboardBookMoveComesAfterAPause) {
  test::EngineProcess p(ORVALIS_BIN, {}, dir.path());
  p.writeLine("new");
  auto start = std::chrono::steady_clock::now();
  p.writeLine("e2e4");
  auto line = p.readLineStartingWith("move ", 30000);
  auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_EQ(line, "move e7e5");
  EXPECT_GE(waited.count(), 300);
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
}

TEST_F(BookMoveTest, UciBookMoveAndBookSwitchedOff) {
  test::EngineProcess p(ORVALIS_BIN, {}, dir.path());
  p.writeLine("uci");
  p.writeLine("position startpos moves e2e4");
  p.writeLine("go wtime 60000 btime 60000");
  EXPECT_EQ(p.readLineStartingWith("bestmove ", 30000), "bestmove e7e5");
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
}

TEST_F(BookMoveTest, OptionUseBookOffSearchesInstead) {
  test::EngineProcess p(ORVALIS_BIN, {}, dir.path());
  p.writeLine("option USE BOOK=0");
  p.writeLine("new");
  p.writeLine("time 100");
  p.writeLine("otim 100");
  p.writeLine("post");
  p.writeLine("e2e4");
  std::vector<std::string> thinking;
  auto line = p.readLineStartingWith("move ", 30000, &thinking);
  ASSERT_TRUE(line.has_value());
  // A searched move comes with thinking lines deeper than the book's single depth-2 line.
  EXPECT_GT(thinking.size(), 1u);
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
}

// bk lists the record's moves with the weights of its draw (10 games scoring
// 100%: 11), then an empty line; a position outside the book gives nothing.
TEST_F(BookMoveTest, BkListsTheBookMovesOfThePosition) {
  test::EngineProcess p(ORVALIS_BIN, {}, dir.path());
  for (const char* l : {"xboard", "new", "force", "bk", "e2e4", "bk", "ping 1"}) p.writeLine(l);
  std::vector<std::string> lines;
  ASSERT_TRUE(p.readUntil([](const std::string& l) { return l == "pong 1"; }, ReplyMs, &lines).has_value());
  EXPECT_EQ(lines, (std::vector<std::string>{" e7e5 11", ""}));
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
}

}  // namespace
}  // namespace orv::e2e

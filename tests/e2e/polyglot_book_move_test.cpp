// The engine plays from a Polyglot book chosen with BookFile, under UCI and
// xboard, leaves it where the book ends, and plays on without a book it refuses.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "board/game.h"
#include "book/book_writer.h"
#include "book/polyglot_key.h"
#include "book/polyglot_writer.h"
#include "engine_copy.h"
#include "engine_session.h"

namespace orv::e2e {
namespace {

using test::fieldOf;

// The Polyglot key of the position after the moves.
uint64_t keyAfter(const std::string& moves) {
  newGame();
  EXPECT_TRUE(test::playMoves(moves)) << moves;
  const uint64_t key = polyglotGameKey();
  newGame();
  return key;
}

// A book for the queen's gambit: 1. d4 d5 2. c4, and 2... e6 in answer to it.
std::vector<PolyglotEntry> gambitBook() {
  std::vector<PolyglotEntry> entries = {
      {keyAfter(""), fieldOf("d2d4"), 10, 0},
      {keyAfter("d2d4"), fieldOf("d7d5"), 10, 0},
      {keyAfter("d2d4 d7d5"), fieldOf("c2c4"), 10, 0},
      {keyAfter("d2d4 d7d5"), fieldOf("e2e5"), 500, 0},  // not legal there: never played
      {keyAfter("d2d4 d7d5 c2c4"), fieldOf("e7e6"), 10, 0},
  };
  std::sort(entries.begin(), entries.end(),
            [](const PolyglotEntry& a, const PolyglotEntry& b) { return a.key < b.key; });
  return entries;
}

struct PolyglotBookMoveTest : ::testing::Test {
  test::TempDir dir;
  std::string book = dir.file("Gambit Book.bin");  // a blank and capitals in the name
  void SetUp() override { test::writePolyglotFile(book, gambitBook()); }
};

// Reads lines up to the bestmove; its move, with the info lines seen on the way.
std::string bestmove(EngineSession& e, std::vector<std::string>* info = nullptr) {
  const std::string line = e.lineStartingWith("bestmove ", 60000, info);
  return line.size() > 9
             ? line.substr(9, line.find(' ', 9) == std::string::npos ? std::string::npos : line.find(' ', 9) - 9)
             : "";
}

TEST_F(PolyglotBookMoveTest, UciPlaysBookMovesThenSearchesWhereTheBookEnds) {
  EngineSession e;
  e.exchange({"uci", "setoption name BookFile value " + book, "ucinewgame"});
  e.send("position startpos");
  e.send("go wtime 60000 btime 60000");
  std::vector<std::string> info;
  EXPECT_EQ(bestmove(e, &info), "d2d4");
  // A book move shows the one search line of depth 2 that the records book shows.
  ASSERT_EQ(info.size(), 1u);
  EXPECT_EQ(info[0].rfind("info depth 2 ", 0), 0u) << info[0];
  e.send("position startpos moves d2d4 d7d5");
  e.send("go wtime 60000 btime 60000");
  EXPECT_EQ(bestmove(e), "c2c4");
  e.send("position startpos moves d2d4 d7d5 c2c4");
  e.send("go wtime 60000 btime 60000");
  EXPECT_EQ(bestmove(e), "e7e6");
  // Out of the book the engine searches.
  e.send("position startpos moves d2d4 d7d5 c2c4 e7e6");
  e.send("go depth 4");
  info.clear();
  EXPECT_FALSE(bestmove(e, &info).empty());
  EXPECT_GT(info.size(), 1u);
  e.quit();
}

TEST_F(PolyglotBookMoveTest, UciOwnBookOffSearchesAndEmptyBookFileGoesBackToTheDefault) {
  EngineSession e;
  e.exchange({"uci", "setoption name BookFile value " + book, "setoption name OwnBook value false"});
  e.send("position startpos");
  e.send("go depth 3");
  std::vector<std::string> info;
  EXPECT_FALSE(bestmove(e, &info).empty());
  EXPECT_GT(info.size(), 1u);
  // The announced defaults follow the settings.
  e.send("uci");
  std::vector<std::string> block;
  e.lineStartingWith("uciok", ReplyMs, &block);
  EXPECT_NE(std::find(block.begin(), block.end(), "option name OwnBook type check default false"), block.end());
  EXPECT_NE(std::find(block.begin(), block.end(), "option name BookFile type string default " + book), block.end());
  e.send("setoption name BookFile value");
  e.send("uci");
  block.clear();
  e.lineStartingWith("uciok", ReplyMs, &block);
  EXPECT_NE(std::find(block.begin(), block.end(), "option name BookFile type string default"), block.end());
  e.quit();
}

TEST_F(PolyglotBookMoveTest, XboardPlaysBookMovesWithTheNamesCaseKept) {
  EngineSession e;
  e.exchange({"xboard", "protover 2", "option BookFile=" + book, "new"});
  e.send("go");
  EXPECT_EQ(e.lineStartingWith("move ", 60000), "move d2d4");
  e.send("d7d5");
  EXPECT_EQ(e.lineStartingWith("move ", 60000), "move c2c4");
  e.send("e7e6");  // out of the book
  EXPECT_EQ(e.lineStartingWith("move ", 60000).rfind("move ", 0), 0u);
  e.quit();
}

// bk lists the moves the book may play, with their weights: not the illegal one.
TEST_F(PolyglotBookMoveTest, BkListsTheBookMovesThatMayBePlayed) {
  test::writePolyglotFile(book, {{keyAfter("d2d4 d7d5"), fieldOf("c2c4"), 10, 0},
                                 {keyAfter("d2d4 d7d5"), fieldOf("e2e5"), 500, 0},
                                 {keyAfter("d2d4 d7d5"), fieldOf("g1f3"), 0, 0},
                                 {keyAfter("d2d4 d7d5"), fieldOf("c1f4"), 7, 0}});
  EngineSession e;
  e.exchange({"xboard", "protover 2", "option BookFile=" + book, "new", "force"});
  EXPECT_EQ(e.exchange({"bk", "d2d4", "d7d5"}), std::vector<std::string>{});
  EXPECT_EQ(e.exchange({"bk"}), (std::vector<std::string>{" c2c4 10", " c1f4 7", ""}));
  e.quit();
}

TEST_F(PolyglotBookMoveTest, BestPlaysTheHeaviestMoveEveryTime) {
  test::writePolyglotFile(book, {{keyAfter(""), fieldOf("g1f3"), 3, 0}, {keyAfter(""), fieldOf("b2b3"), 9, 0}});
  EngineSession e;
  e.exchange({"uci", "setoption name BookFile value " + book, "setoption name BookBestMove value true"});
  for (int i = 0; i < 2; ++i) {
    e.send("position startpos");
    e.send("go wtime 60000 btime 60000");
    EXPECT_EQ(bestmove(e), "b2b3");
  }
  e.quit();
}

// Every fault a chosen book can have: one line on standard error, and the
// engine plays on (searched moves) without a book, the default one included.
TEST_F(PolyglotBookMoveTest, ARefusedBookIsOneLineOnStandardErrorAndNoBook) {
  const std::string fifo = dir.file("fifo.bin");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::vector<PolyglotEntry> unsorted = gambitBook();
  std::swap(unsorted.front(), unsorted.back());
  test::writePolyglotFile(dir.file("unsorted.bin"), unsorted);
  test::writePolyglotFile(dir.file("truncated.bin"), gambitBook(), "short");
  test::writePolyglotFile(dir.file("notmove.bin"), {{keyAfter(""), fieldOf("d2d2"), 10, 0}});
  // The default records book in the working directory would answer at once if it were used.
  test::writeBookFile(dir.file("Mini.bo2"),
                      {test::makeBookRecord("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/ w KQkq -", {{1, 2, 1804}})});
  const struct {
    std::string path, reason;
  } faults[] = {{dir.file("missing.bin"), "cannot be opened"},
                {fifo, "is not a regular file"},
                {"/dev/zero", "is not a regular file"},
                {dir.file("unsorted.bin"), "has its keys out of order"},
                {dir.file("truncated.bin"), "is not a whole number of 16-byte entries"},
                {dir.file("notmove.bin"), "holds a move field that is no chess move"}};
  for (const auto& f : faults) {
    test::EngineProcess p(ORVALIS_BIN, {}, dir.path());
    p.drainStderr(300);  // the banner
    p.writeLine("uci");
    p.writeLine("setoption name BookFile value " + f.path);
    p.writeLine("isready");
    ASSERT_TRUE(p.readLineStartingWith("readyok", ReplyMs).has_value()) << f.path;
    EXPECT_EQ(p.readStderrLine(ReplyMs), "book: " + f.path + " " + f.reason + ", no book is used");
    p.writeLine("position startpos");
    p.writeLine("go depth 3");
    std::vector<std::string> info;
    EXPECT_TRUE(p.readLineStartingWith("bestmove ", 60000, &info).has_value()) << f.path;
    EXPECT_GT(info.size(), 1u) << f.path;
    EXPECT_EQ(p.drainStderr(100), "") << f.path;
    p.writeLine("quit");
    EXPECT_EQ(p.waitExit(ReplyMs), 0);
  }
}

TEST_F(PolyglotBookMoveTest, ConfigurationKeyChoosesTheBook) {
  EngineCopy copy("BOOK_FILE=" + book + "\n");
  test::EngineProcess p(copy.binary());
  p.writeLine("new");
  p.writeLine("go");
  EXPECT_EQ(p.readLineStartingWith("move ", 60000), "move d2d4");
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
}

// The book Debian ships (gnuchess-book) answers the start position with one of its moves.
TEST(PolyglotInstalledBook, EngineAnswersTheStartFromIt) {
  const std::string installed = "/usr/share/games/gnuchess/book.bin";
  struct stat st;
  if (::stat(installed.c_str(), &st) != 0)
    GTEST_SKIP() << installed << " is not installed (Debian: apt-get install gnuchess-book)";
  EngineSession e;
  e.exchange({"uci", "setoption name BookFile value " + installed});
  e.send("position startpos");
  e.send("go wtime 60000 btime 60000");
  const std::string move = bestmove(e);
  const std::vector<std::string> bookMoves = {"e2e4", "d2d4", "g1f3", "c2c4", "g2g3", "b2b3", "f2f4",
                                              "b1c3", "b2b4", "e2e3", "d2d3", "g2g4", "a2a3"};
  EXPECT_NE(std::find(bookMoves.begin(), bookMoves.end(), move), bookMoves.end()) << move;
  e.quit();
}

}  // namespace
}  // namespace orv::e2e

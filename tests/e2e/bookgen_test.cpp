// orvalis-tool bookgen: a book built from PGN games, read back and played from.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/game.h"
#include "book/book.h"
#include "engine_copy.h"
#include "engine_session.h"

namespace orv::e2e {
namespace {

constexpr Move E2E4 = 12 | 28 << 6, D2D4 = 11 | 27 << 6, C2C4 = 10 | 26 << 6, G1F3 = 6 | 21 << 6, B2B3 = 9 | 17 << 6,
               F2F4 = 13 | 29 << 6;

struct Slot {
  int games, points;
  Move move;
  bool operator==(const Slot&) const = default;
};

struct BookgenTest : ::testing::Test {
  EngineCopy copy;
  std::string book = copy.file("Orvalis.bo2");

  // Writes the PGN text and runs the builder on it with the extra arguments.
  test::ProgramRun build(const std::string& pgn, const std::vector<std::string>& extra = {}) {
    const std::string path = copy.file("games" + std::to_string(++files_) + ".pgn");
    std::ofstream(path) << pgn;
    std::vector<std::string> args = {"bookgen", book, path};
    args.insert(args.end(), extra.begin(), extra.end());
    return test::runProgram(ORVALIS_TOOL, args, 30000);
  }

  // The slots of the record of the position after `moves`; empty when the book has none.
  std::vector<Slot> record(std::initializer_list<Move> moves) {
    newGame();
    for (Move m : moves) EXPECT_EQ(makeGameMove(m), 0);
    char key[FenTextSize];
    writeFen(key);
    newGame();
    std::vector<Slot> slots;
    std::FILE* f = std::fopen(book.c_str(), "rb");
    if (!f) return slots;
    BookRecord r;
    if (findBookRecord(f, key, r))
      for (int i = 0; i < BookSlots && bookMove(r, i) != 0; ++i)
        slots.push_back({bookGames(r, i), bookPoints(r, i), bookMove(r, i)});
    std::fclose(f);
    return slots;
  }

 private:
  int files_ = 0;
};

TEST_F(BookgenTest, EnginePlaysFromTheBuiltBookAndMalformedGamesAreSkipped) {
  const std::string pgn =
      "[Event \"a\"]\n[Result \"1-0\"]\n\n1. e4 h5 {a rare reply} 2. Nf3 Nc6 (2... d6) 1-0\n\n"
      "[Event \"b\"]\n1.e4 h5 2.Nf3+ Nc6!? $2 1/2-1/2\n\n"
      "[Event \"c\"]\n1. e4 c5 0-1\n\n"
      "[Event \"d\"]\n1. e4 e5\n2. Ke3 Nc6 1-0\n";
  const test::ProgramRun run = build(pgn);
  ASSERT_EQ(run.exitCode, 0);
  ASSERT_EQ(run.lines.size(), 1u);
  EXPECT_NE(run.lines[0].find("4 games, 3 used, 1 skipped as malformed"), std::string::npos) << run.lines[0];
  // h5 lost one game and drew one; c5 was played in one game only, below the default of two.
  constexpr Move H7H5 = 55 | 39 << 6;
  EXPECT_EQ(record({E2E4}), (std::vector<Slot>{{2, 0 + 1, H7H5}}));

  // The engine finds its book beside its executable; a search would not choose h7h5.
  test::EngineProcess p(copy.binary(), {}, copy.directory());
  p.writeLine("uci");
  p.writeLine("position startpos moves e2e4");
  p.writeLine("go wtime 60000 btime 60000");
  EXPECT_EQ(p.readLineStartingWith("bestmove ", 30000), "bestmove h7h5");
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
}

TEST_F(BookgenTest, MalformedGameIsNamedByItsNumberAndLine) {
  const std::string pgn = copy.file("bad.pgn");
  std::ofstream(pgn) << "1. e4 e5 1-0\n\n1. d4 d5\n2. Nf9 1-0\n1. c4 { open 1-0\n";
  test::EngineProcess tool(ORVALIS_TOOL, {"bookgen", book, pgn});
  EXPECT_EQ(tool.waitExit(30000), 0);
  const std::string errors = tool.drainStderr(50);
  EXPECT_NE(errors.find("game 2, line 4: Nf9 is not a legal move; game skipped"), std::string::npos) << errors;
  EXPECT_NE(errors.find("game 3, line 5: a comment is not closed"), std::string::npos) << errors;
  EXPECT_EQ(record({}), (std::vector<Slot>{}));  // the one good game is below two games
}

TEST_F(BookgenTest, FiveMostPlayedMovesUpToThePlyLimit) {
  std::string pgn;
  const char* firsts[] = {"e4", "d4", "c4", "Nf3", "b3", "f4"};
  for (int i = 0; i < 6; ++i)
    for (int g = 0; g < 7 - i; ++g)
      pgn += std::string("1. ") + firsts[i] + " a6 2. h3 " + (g == 0 ? "1-0" : "0-1") + "\n";
  ASSERT_EQ(build(pgn, {"--plies", "2", "--min-games", "3"}).exitCode, 0);
  EXPECT_EQ(record({}), (std::vector<Slot>{{7, 2, E2E4}, {6, 2, D2D4}, {5, 2, C2C4}, {4, 2, G1F3}, {3, 2, B2B3}}));
  EXPECT_EQ(record({F2F4}), (std::vector<Slot>{}));                // f4 came sixth; its reply has too few games
  EXPECT_EQ(record({E2E4, 48 | 40 << 6}), (std::vector<Slot>{}));  // past the second ply
  EXPECT_EQ(record({E2E4}).size(), 1u);
}

TEST_F(BookgenTest, UnreadableInputOrBadArgumentsWriteNoBook) {
  EXPECT_EQ(test::runProgram(ORVALIS_TOOL, {"bookgen", book, copy.directory() + "/none.pgn"}, 30000).exitCode, 1);
  EXPECT_EQ(test::runProgram(ORVALIS_TOOL, {"bookgen", book}, 30000).exitCode, 2);
  EXPECT_EQ(build("1. e4 1-0\n", {"--plies", "0"}).exitCode, 2);
  EXPECT_FALSE(std::ifstream(book).good());
}

TEST_F(BookgenTest, LargeCountsKeepTheirShareOfPoints) {
  std::string pgn;
  for (int g = 0; g < 70000; ++g) pgn += "1. e4 1-0\n";
  ASSERT_EQ(build(pgn).exitCode, 0);
  EXPECT_EQ(record({}), (std::vector<Slot>{{23333, 46666, E2E4}}));
}

}  // namespace
}  // namespace orv::e2e

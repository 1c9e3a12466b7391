#include "notation/game_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "board/board.h"
#include "board/game.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

struct GameFileTest : ::testing::Test {
  test::TempDir dir;
  int files = 0;
  void TearDown() override { newGame(); }

  // Writes the text to a new file and loads it.
  int load(const std::string& text) {
    const std::string path = dir.file("game" + std::to_string(++files) + ".txt");
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::fputs(text.c_str(), f);
    std::fclose(f);
    return loadGameFile(path.c_str());
  }
  static std::string position() {
    char fen[FenTextSize];
    writeFen(fen);
    return fen;
  }
};

TEST_F(GameFileTest, PgnTagsFenTagAndNumberedCoordinateMoves) {
  EXPECT_EQ(load("[Event \"Test\"]\n"
                 "[FEN \"4k3/8/8/8/8/8/4P3/R3K2R w KQ - 0 1\"]\n"
                 "\n"
                 "{ White castles }\n"
                 "  1. e1g1 e8d8 2. e2e4 d8c7\r\n"
                 "\t3. a1a7 c7b6 4. A7A1 *\n"),
            0);
  EXPECT_EQ(position(), "8/8/1k6/8/4P3/8/8/R4RK1/ b - -");
  EXPECT_EQ(game.ply, 6);
}

TEST_F(GameFileTest, FenWithColonAndCastlingWrittenWithZeros) {
  EXPECT_EQ(load("[FEN: r3k3/8/8/8/8/8/8/4K2R w K - 0 1\n0-0 0-0-0\n"), 0);
  EXPECT_EQ(position(), "2kr4/8/8/8/8/8/8/5RK1/ w - -");
}

TEST_F(GameFileTest, AlgebraicMovesAndCommentsEndTheirLines) {
  EXPECT_EQ(load("1. e4 e5 2. Nf3 Nc6\n"), 0);
  EXPECT_EQ(game.ply, -1);
  EXPECT_EQ(load("e2e4 {best by test} e7e5\nd7d5\n"), 0);  // the comment ends the first line
  EXPECT_EQ(game.ply, 1);
  EXPECT_EQ(game.lastMove & 0xFFF, Move(51 | 35 << 6));
}

TEST_F(GameFileTest, NumberWithoutBlankLosesItsMove) {
  // "1.e2e4" is passed over as a move number; e7e5 is then White's move.
  EXPECT_EQ(load("1.e2e4 e7e5\n"), MoveIllegal);
  EXPECT_EQ(game.ply, -1);
}

TEST_F(GameFileTest, MatingMoveEndsTheReadingWithItsCode) {
  EXPECT_EQ(load("f2f3 e7e5 g2g4 d8h4 a2a3\n"), MoveCheckmate);
  EXPECT_EQ(game.ply, 3);
  EXPECT_EQ(load("e2e4 e7e8\ng1f3\n"), MoveIllegal);
  EXPECT_EQ(game.ply, 0);
}

TEST_F(GameFileTest, MissingFileAndRefusedFen) {
  ASSERT_EQ(makeGameMove(12 | 28 << 6), 0);
  EXPECT_EQ(loadGameFile((dir.path() + "/none.txt").c_str()), GameFileRefused);
  EXPECT_EQ(game.ply, 0);  // a file that does not open leaves the game alone
  EXPECT_EQ(load("e2e4\n[FEN \"8/8/8/8/8/8/8/8 w - -\"]\ne7e5\n"), GameFileRefused);
  EXPECT_EQ(game.ply, 0);  // the moves before the refused position stay
}

TEST_F(GameFileTest, OverlongLinesAreRefusedWhenTheyWouldBeRead) {
  const std::string comment = "{" + std::string(400, 'x') + "}\n";
  EXPECT_EQ(load(comment + "e2e4\n"), 0);  // passed over whatever its length
  EXPECT_EQ(game.ply, 0);
  std::string moves;
  while (moves.size() <= GameFileLineLength) moves += "g1f3 g8f6 f3g1 f6g8 ";
  EXPECT_EQ(load(moves + "\n"), GameFileRefused);
  std::string exact(GameFileLineLength - 4, ' ');
  EXPECT_EQ(load(exact + "e2e4\n"), 0);
  EXPECT_EQ(game.ply, 0);
}

}  // namespace
}  // namespace orv

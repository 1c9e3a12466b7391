// orvalis-tool bookprobe on books of both formats that bookgen writes, and on
// a Polyglot book with a move that is not legal where it stands.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "board/game.h"
#include "book/polyglot_key.h"
#include "book/polyglot_writer.h"
#include "support/engine_process.h"
#include "support/temp_dir.h"

namespace orv::e2e {
namespace {

using Lines = std::vector<std::string>;

constexpr char Games[] = R"([Result "1-0"]
1. e4 e5 2. Nf3 1-0
[Result "1/2-1/2"]
1. e4 c5 2. Nf3 1/2-1/2
[Result "0-1"]
1. d4 d5 0-1
[Result "1-0"]
1. d4 Nf6 1-0
)";

struct BookprobeTest : ::testing::Test {
  test::TempDir dir;
  std::string pgn = dir.file("games.pgn");
  void SetUp() override { std::ofstream(pgn) << Games; }
  test::ProgramRun tool(const std::vector<std::string>& args) { return test::runProgram(ORVALIS_TOOL, args, 30000); }
};

TEST_F(BookprobeTest, BothFormatsFromTheSameGames) {
  const std::string bin = dir.file("club.bin"), bo2 = dir.file("club.bo2");
  ASSERT_EQ(tool({"bookgen", bin, pgn, "--min-games", "1"}).exitCode, 0);
  ASSERT_EQ(tool({"bookgen", bo2, pgn, "--min-games", "1"}).exitCode, 0);
  // Polyglot weights are the points: e4 won one and drew one (3), d4 won one and lost one (2).
  EXPECT_EQ(tool({"bookprobe", bin, "startpos"}).lines,
            (Lines{"key 463b96181691fc9c", "e2e4 e4 weight 3 60%", "d2d4 d4 weight 2 40%"}));
  // After 1. d4 only d5 scored: Nf6 lost, so it has weight 0 and is left out.
  newGame();
  const test::ProgramRun afterD4 =
      tool({"bookprobe", bin, "rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq - 0 1"});
  EXPECT_EQ(afterD4.lines, (Lines{"key 830eb9b20758d1de", "d7d5 d5 weight 2 100%"}));
  // Records keep games and points; the weight is the move's draw-table entries.
  EXPECT_EQ(tool({"bookprobe", bo2, "startpos"}).lines,
            (Lines{"key rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/ w KQkq -", "e2e4 e4 weight 8 57% games 2 points 3",
                   "d2d4 d4 weight 6 43% games 2 points 2"}));
}

TEST_F(BookprobeTest, IllegalMovesAreMarkedAndBadBooksRefused) {
  const std::string bin = dir.file("hand.bin");
  newGame();
  const uint64_t start = polyglotGameKey();
  test::writePolyglotFile(bin, {{start, test::fieldOf("e1h1"), 4, 0}, {start, test::fieldOf("b1c3"), 1, 0}});
  EXPECT_EQ(tool({"bookprobe", bin, "startpos"}).lines,
            (Lines{"key 463b96181691fc9c", "e1h1 - weight 4 illegal", "b1c3 Nc3 weight 1 100%"}));
  const test::ProgramRun missing = tool({"bookprobe", dir.file("none.bin"), "startpos"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(missing.lines.empty());
  EXPECT_EQ(tool({"bookprobe", bin, "8/8/8/8 w - -"}).exitCode, 2);
  EXPECT_EQ(tool({"bookprobe", bin}).exitCode, 2);
}

}  // namespace
}  // namespace orv::e2e

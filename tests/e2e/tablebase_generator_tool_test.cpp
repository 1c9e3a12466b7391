// orvalis-tool tbgen: the 3-man set generated compressed, kept on a second
// run, and answered by tbprobe for every position that can occur.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/types.h"
#include "support/engine_process.h"
#include "support/fen_of_men.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

constexpr int ToolMs = 60000;

// FEN of White's king, White's man `man` (upper case) and Black's king.
std::string fenOf(int whiteKing, char man, int manSquare, int blackKing, bool whiteToMove) {
  return test::fenOfMen({{'K', whiteKing}, {man, manSquare}, {'k', blackKing}}, whiteToMove ? White : Black);
}

bool adjacent(int a, int b) { return std::abs(a % 8 - b % 8) <= 1 && std::abs(a / 8 - b / 8) <= 1; }

long modified(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? long(st.st_mtim.tv_sec) * 1000000000L + st.st_mtim.tv_nsec : -1;
}

TEST(TablebaseGeneratorTool, ThreeManSetAnswersEveryPosition) {
  test::TempDir d;
  test::ProgramRun run = test::runProgram(ORVALIS_TOOL, {"tbgen", "all", d.path(), "--men", "3", "--compress"}, ToolMs);
  ASSERT_EQ(run.exitCode, 0);
  const std::string kpk = d.file("kpk.nbw.emd");
  const long before = modified(kpk);
  ASSERT_GT(before, 0);
  // Complete tables are left alone.
  run = test::runProgram(ORVALIS_TOOL, {"tbgen", "all", d.path(), "--men", "3"}, ToolMs);
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(modified(kpk), before);
  EXPECT_EQ(modified(d.file("kqk.nbw")), -1);
  EXPECT_EQ(test::runProgram(ORVALIS_TOOL, {"tbgen", "kxk", d.path()}, ToolMs).exitCode, 2);

  // Every position of kpk and krk with either side to move answers a value,
  // except those with the side not to move in check: they answer "unknown".
  std::vector<std::string> fens;
  std::vector<bool> illegal;
  for (char man : {'P', 'R'})
    for (int wk = 0; wk < 64; ++wk)
      for (int bk = 0; bk < 64; ++bk) {
        if (adjacent(wk, bk)) continue;
        for (int sq = man == 'P' ? 8 : 0; sq < (man == 'P' ? 56 : 64); ++sq) {
          if (sq == wk || sq == bk) continue;
          for (bool white : {true, false}) {
            fens.push_back(fenOf(wk, man, sq, bk, white));
            illegal.push_back(parseFen(fens.back().c_str()) == int(GenIllegal));
          }
        }
      }
  test::EngineProcess p(ORVALIS_TOOL, {"tbprobe", d.path(), "-"});
  size_t wrong = 0, unknown = 0;
  constexpr size_t Batch = 500;  // lines in flight, well within the pipes' buffers
  for (size_t at = 0; at < fens.size(); at += Batch) {
    const size_t end = std::min(fens.size(), at + Batch);
    for (size_t i = at; i < end; ++i) ASSERT_TRUE(p.writeLine(fens[i]));
    for (size_t i = at; i < end; ++i) {
      const auto line = p.readLine(ToolMs);
      ASSERT_TRUE(line.has_value());
      const bool isUnknown = *line == "tb 32767";
      unknown += isUnknown;
      if (isUnknown != illegal[i] && wrong++ == 0) ADD_FAILURE() << fens[i] << ": " << *line;
    }
  }
  p.closeStdin();
  EXPECT_EQ(wrong, 0u);
  EXPECT_GT(unknown, 0u);
}

}  // namespace
}  // namespace orv

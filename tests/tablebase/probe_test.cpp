// Probing positions: material, square lists, orientation, and the stored byte as a value.
#include <random>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/game.h"
#include "support/fen_of_men.h"
#include "tablebase/codec.h"
#include "tablebase/index.h"
#include "tablebase/probe.h"
#include "tablebase/probe_target.h"
#include "tablebase_fixture.h"
#include "support/test_worker.h"

namespace orv::test {
namespace {

using Probe = TablebaseFixture;

constexpr int Kqk = 5, Kpkp = 6, Kppkp = 36, Krpkn = 67;

struct Lists {
  int8_t white[tb::ListSize], black[tb::ListSize];
  Lists() {
    for (int i = 0; i < tb::ListSize; ++i) white[i] = black[i] = -1;
  }
};

// Sets the position up and prepares it; returns the men besides the kings.
int prepare(const std::string& fen) {
  EXPECT_GE(parseFen(fen.c_str()), 0) << fen;
  return prepareTablebaseProbe(testProbe(), game.board);
}

bool sameList(const int8_t* a, const int8_t* b) {
  for (int i = 0; i < tb::ListSize; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

TEST(TableValue, StoredBytesMapToValuesForTheSideToMove) {
  EXPECT_EQ(tb::tableValueOfByte(0), 0);
  EXPECT_EQ(tb::tableValueOfByte(1), 32641);
  EXPECT_EQ(tb::tableValueOfByte(126), 32766);
  EXPECT_EQ(tb::tableValueOfByte(-1), -32641);
  EXPECT_EQ(tb::tableValueOfByte(-126), -32766);
  EXPECT_EQ(tb::tableValueOfByte(-128), 32640);
  EXPECT_EQ(tb::tableValueOfByte(-127), -32640);
  EXPECT_EQ(tb::tableValueOfByte(127), TablebaseUnknown);
}

TEST_F(Probe, SquareListsTakeTheMenInSlotOrderByKind) {
  EXPECT_EQ(prepare("8/8/8/8/8/8/RP6/K5nk w - -"), 3);  // krpkn
  Lists expect;
  expect.white[0] = 0, expect.white[tb::ListRooks] = 8, expect.white[tb::ListPawns] = 9;
  expect.black[0] = 7, expect.black[tb::ListKnights] = 6;
  writeSparseSide(Krpkn, 1, dir);
  init(dir.path());
  const tb::ProbeTarget t = tb::locateProbe(testProbe(), White, -1);
  EXPECT_EQ(t.table, Krpkn);
  EXPECT_EQ(t.side, White);
  EXPECT_EQ(t.invert, 0);
  EXPECT_TRUE(sameList(t.first, expect.white));
  EXPECT_TRUE(sameList(t.second, expect.black));

  // Three queens fill their group; a crowded board never writes past the lists.
  EXPECT_EQ(prepare("8/8/8/8/8/8/QQQ5/K6k w - -"), 3);
  EXPECT_EQ(tb::locateProbe(testProbe(), White, -1).table, 0);
  EXPECT_EQ(prepare(StartFen), 30);
  EXPECT_EQ(tb::locateProbe(testProbe(), White, -1).table, 0);
  EXPECT_EQ(probeTablebase(testProbe(), White, -1), TablebaseUnknown);
}

TEST_F(Probe, ExchangedColoursReadTheOtherSideWithTheListsSwappedAndTheBoardTurned) {
  writeSparseSide(Kqk, 0, dir);
  writeSparseSide(Kpkp, 1, dir);
  init(dir.path());
  prepare("8/8/8/8/8/8/1q6/K6k w - -");  // the bare king is White's
  Lists expect;
  expect.white[0] = 0;
  expect.black[0] = 7, expect.black[tb::ListQueens] = 9;
  for (int side : {White, Black}) {
    const tb::ProbeTarget t = tb::locateProbe(testProbe(), side, -1);
    EXPECT_EQ(t.table, Kqk);
    EXPECT_EQ(t.side, side ^ 1);
    EXPECT_EQ(t.invert, 1);
    EXPECT_TRUE(sameList(t.first, expect.black));
    EXPECT_TRUE(sameList(t.second, expect.white));
  }
  // Symmetric material is always probed with the colours exchanged.
  prepare("8/8/8/8/3p4/8/3P4/K6k w - -");
  const tb::ProbeTarget t = tb::locateProbe(testProbe(), White, -1);
  EXPECT_EQ(t.table, Kpkp);
  EXPECT_EQ(t.side, Black);
  EXPECT_EQ(t.invert, 1);
  EXPECT_EQ(t.first[tb::ListPawns], 27);  // Black's pawn on d4
}

TEST_F(Probe, EachPositionReadsTheByteAtItsIndex) {
  // Plain kqk files whose byte at i is syntheticByte(i), and the same tables compressed.
  TempDir packed;
  for (int side = 0; side < 2; ++side) {
    writeSynthetic(Kqk, side, dir);
    const std::vector<uint8_t> data = syntheticBytes(tb::tableInfo[Kqk].count[side]);
    ASSERT_TRUE(
        tb::writeCompressedFile(packed.file(tableFileName(Kqk, side) + ".emd").c_str(), data.data(), data.size()));
  }
  std::mt19937 random(11);
  std::vector<std::pair<std::string, int>> cases;  // FEN, expected value
  for (int n = 0; n < 300; ++n) {
    const int wk = int(random() % 64), bk = int(random() % 64), q = int(random() % 64);
    if (wk == bk || q == wk || q == bk ||
        (std::abs(fileOf(wk) - fileOf(bk)) <= 1 && std::abs(rankOf(wk) - rankOf(bk)) <= 1))
      continue;
    const int side = int(random() % 2);
    const bool whiteQueen = n % 3 != 0;
    Lists l;
    l.white[0] = int8_t(wk), l.black[0] = int8_t(bk);
    (whiteQueen ? l.white : l.black)[tb::ListQueens] = int8_t(q);
    const uint32_t index = whiteQueen ? tb::tableIndex(Kqk, side, l.white, l.black, -1, 0)
                                      : tb::tableIndex(Kqk, side ^ 1, l.black, l.white, -1, 1);
    // Positions no table side holds (the side to move giving check) answer unknown.
    const int tableSide = whiteQueen ? side : side ^ 1;
    const bool stored = index < tb::tableInfo[Kqk].count[tableSide];
    cases.push_back({fenOfMen({{'K', wk}, {'k', bk}, {whiteQueen ? 'Q' : 'q', q}}, side),
                     stored ? tb::tableValueOfByte(syntheticByte(index)) : TablebaseUnknown});
  }
  ASSERT_GT(cases.size(), 200u);
  for (const std::string& list : {dir.path(), packed.path()}) {
    init(list);
    for (const auto& [fen, value] : cases) {
      prepare(fen);
      EXPECT_EQ(probeTablebase(testProbe(), game.side, -1), value) << fen << " in " << list;
    }
  }
  // Bare kings are no table.
  prepare("8/8/8/8/8/8/8/K6k w - -");
  EXPECT_EQ(probeTablebase(testProbe(), White, -1), TablebaseUnknown);
}

TEST_F(Probe, OnlyTheRegisteredSideAnswers) {
  writeSparseSide(Krpkn, 1, dir);
  init(dir.path());
  prepare("8/8/8/8/8/8/RP6/K5nk b - -");
  const tb::ProbeTarget t = tb::locateProbe(testProbe(), Black, -1);
  ASSERT_EQ(t.table, Krpkn);
  ASSERT_EQ(t.side, Black);
  const uint32_t index = tb::tableIndex(t.table, t.side, t.first, t.second, -1, 0);
  ASSERT_TRUE(writeByteAt(dir.file("krpkn.nbb"), index, 42));
  EXPECT_EQ(probeTablebase(testProbe(), Black, -1), 32640 + 42);
  EXPECT_EQ(probeTablebase(testProbe(), White, -1), TablebaseUnknown);
  // Before the shell has initialised the tablebases nothing is answered.
  tb::tablebasesInitialised = 0;
  EXPECT_EQ(probeTablebase(testProbe(), Black, -1), TablebaseUnknown);
}

TEST_F(Probe, SevenKppkpPositionsWithBlackToMoveAreNotRead) {
  writeSparseSide(Kppkp, 1, dir);
  init(dir.path());
  for (uint32_t i : {56802428u, 56811076u, 56849992u, 56858640u, 59592489u, 67775659u, 71071628u}) {
    EXPECT_EQ(tb::readTableValue(Kppkp, Black, i), -32639) << i;
    EXPECT_EQ(tb::readTableValue(Kppkp, Black, i + 1), 0) << i;
    EXPECT_EQ(tb::readTableValue(Kppkp, White, i), TablebaseUnknown) << i;
  }
}

}  // namespace
}  // namespace orv::test

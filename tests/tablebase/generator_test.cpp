// The generator's tables: consistent with their successors position by
// position, the known longest mates, a few textbook pawn endings, and a
// compressed table probing as its plain form.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/game.h"
#include "support/temp_dir.h"
#include "table_consistency.h"
#include "tablebase/block_cache.h"
#include "tablebase/codec.h"
#include "tablebase/registry.h"
#include "tablebase/retro_generator.h"
#include "tablebase/table_info.h"
#include "support/test_worker.h"

namespace orv::test {
namespace {

std::vector<int8_t> readSide(const TempDir& dir, int table, int side) {
  const std::string path = dir.file(std::string(tb::tableInfo[table].name) + (side == 0 ? ".nbw" : ".nbb"));
  std::vector<int8_t> bytes(tb::tableInfo[table].count[side]);
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return {};
  const size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  if (got != bytes.size()) return {};
  return bytes;
}

// Generates `name` (and what it needs) into dir and checks both its sides.
ConsistencyReport generateAndCheck(const TempDir& dir, const char* name) {
  const int table = tb::tableOfName(name);
  EXPECT_EQ(tb::generateTableFiles(table, dir.path(), {}), tb::GenerationOk) << name;
  tb::initTablebases(dir.path().c_str(), 16 << 20);
  tb::tablebasesInitialised = 1;
  ConsistencyReport report;
  for (int side = 0; side < 2; ++side) checkTableSide(table, side, readSide(dir, table, side), report);
  tb::releaseTablebases();
  tb::tablebasesInitialised = 0;
  return report;
}

// Table value of a FEN position for its side to move, from the tables registered.
int probeFen(const char* fen, int epSquare = -1) {
  if (parseFen(fen) < 0) return TablebaseUnknown - 1;
  prepareTablebaseProbe(testProbe(), game.board);
  return probeTablebase(testProbe(), game.side, epSquare);
}

TEST(GeneratorConsistency, ThreeManTablesAndTheirLongestMates) {
  TempDir dir;
  int longest[6] = {};
  for (const char* name : {"kpk", "knk", "kbk", "krk", "kqk"}) {
    const ConsistencyReport r = generateAndCheck(dir, name);
    EXPECT_EQ(r.failures, 0u) << r.firstFailure;
    EXPECT_GT(r.positions, 0u);
    EXPECT_EQ(r.longestWin[0], r.longestLoss[1]) << name;
    longest[tb::tableOfName(name)] = r.longestWin[0];
  }
  EXPECT_EQ(longest[5], 10);              // kqk
  EXPECT_EQ(longest[4], 16);              // krk
  EXPECT_EQ(longest[2] + longest[3], 0);  // knk, kbk: no wins at all
  EXPECT_EQ(longest[1], 28);              // kpk
}

TEST(GeneratorConsistency, TextbookPawnEndings) {
  TempDir dir;
  ASSERT_EQ(tb::generateTableFiles(tb::tableOfName("kpk"), dir.path(), {}), tb::GenerationOk);
  tb::initTablebases(dir.path().c_str(), 1 << 20);
  tb::tablebasesInitialised = 1;
  // The king on the sixth rank in front of its pawn wins whoever moves.
  EXPECT_GT(probeFen("4k3/8/4K3/4P3/8/8/8/8 w - -"), 0);
  EXPECT_LT(probeFen("4k3/8/4K3/4P3/8/8/8/8 b - -"), 0);
  // The opposition: with White to move Black holds the draw, with Black to move White wins.
  EXPECT_EQ(probeFen("8/8/4k3/8/4K3/4P3/8/8 w - -"), 0);
  EXPECT_LT(probeFen("8/8/4k3/8/4K3/4P3/8/8 b - -"), 0);
  // Stalemate in front of the pawn; the rook's pawn against the king in the corner.
  EXPECT_EQ(probeFen("4k3/4P3/4K3/8/8/8/8/8 b - -"), 0);
  EXPECT_EQ(probeFen("k7/8/K7/P7/8/8/8/8 w - -"), 0);
  // Bare king against the pawn: the colours exchanged and the board turned.
  EXPECT_GT(probeFen("8/8/8/8/4p3/4k3/8/4K3 b - -"), 0);
  tb::releaseTablebases();
  tb::tablebasesInitialised = 0;
}

// A table consistent with its successors whose longest win (White to move)
// and longest loss (Black to move) both take `moves` moves.
void expectConsistentWithLongestMate(const ConsistencyReport& r, int moves) {
  EXPECT_EQ(r.failures, 0u) << r.firstFailure;
  EXPECT_EQ(r.longestWin[0], moves);
  EXPECT_EQ(r.longestLoss[1], moves);
}

ConsistencyReport checkPlain(const TempDir& dir, const char* name) {
  const int table = tb::tableOfName(name);
  std::vector<int8_t> bytes[2] = {readSide(dir, table, 0), readSide(dir, table, 1)};
  EXPECT_FALSE(bytes[0].empty() || bytes[1].empty()) << name;
  return checkTable(table, bytes, 97);
}

// One test, so that the tables are made once: kpkp needs every table of one
// man against one, kqkr and krkp among them.
TEST(SlowGenerator, FourManTablesAreConsistentAndKnowTheLongestMates) {
  TempDir dir;
  for (const char* name : {"kpkp", "kbnk"})
    ASSERT_EQ(tb::generateTableFiles(tb::tableOfName(name), dir.path(), {}), tb::GenerationOk) << name;
  tb::initTablebases(dir.path().c_str(), 16 << 20);
  tb::tablebasesInitialised = 1;

  expectConsistentWithLongestMate(checkPlain(dir, "kqkr"), 35);
  expectConsistentWithLongestMate(checkPlain(dir, "kbnk"), 33);
  const ConsistencyReport krkp = checkPlain(dir, "krkp");
  EXPECT_EQ(krkp.failures, 0u) << krkp.firstFailure;
  EXPECT_GT(krkp.longestWin[1], 0);  // the pawn side sometimes wins
  const ConsistencyReport kpkp = checkPlain(dir, "kpkp");
  EXPECT_EQ(kpkp.failures, 0u) << kpkp.firstFailure;
  EXPECT_GT(kpkp.epPositions, 20000u);
  // White to move captures en passant into a won kpk: b5xc6 with the black king far away.
  constexpr int c6 = 42;
  EXPECT_GT(probeFen("8/8/8/1Pp5/8/8/k7/7K w - -", c6), 0);

  // A compressed table probes as its plain form, index by index.
  const int table = tb::tableOfName("kqkr");
  TempDir packed;
  std::vector<int8_t> plain[2];
  for (int side = 0; side < 2; ++side) {
    plain[side] = readSide(dir, table, side);
    const std::string path = packed.file(std::string("kqkr") + (side == 0 ? ".nbw.emd" : ".nbb.emd"));
    ASSERT_TRUE(tb::writeCompressedFile(path.c_str(), reinterpret_cast<const uint8_t*>(plain[side].data()),
                                        plain[side].size()));
  }
  tb::initTablebases(packed.path().c_str(), 1 << 20);
  for (int side = 0; side < 2; ++side) {
    uint32_t differ = 0;
    for (uint32_t i = 0; i < plain[side].size(); ++i) differ += tb::readTableByte(table, side, i) != plain[side][i];
    EXPECT_EQ(differ, 0u) << "side " << side;
  }
  tb::releaseTablebases();
  tb::tablebasesInitialised = 0;
}

// On demand (--gtest_also_run_disabled_tests): every table of up to
// ORVALIS_TB_MEN men (4) found in the directory ORVALIS_TB_DIR, plain or
// compressed, checked as above, e.g. the set `make tablebases` writes.
TEST(GeneratedSet, DISABLED_EveryTableInTheDirectoryIsConsistent) {
  const char* dir = std::getenv("ORVALIS_TB_DIR");
  ASSERT_NE(dir, nullptr) << "set ORVALIS_TB_DIR";
  const int men = std::getenv("ORVALIS_TB_MEN") ? std::atoi(std::getenv("ORVALIS_TB_MEN")) : 4;
  tb::initTablebases(dir, 64 << 20);
  tb::tablebasesInitialised = 1;
  for (int table = 1; table <= tb::TableCount; ++table) {
    if (int(std::strlen(tb::tableInfo[table].name)) > men || !tb::tables[table].side[0].registered() ||
        !tb::tables[table].side[1].registered())
      continue;
    std::vector<int8_t> bytes[2];
    for (int side = 0; side < 2; ++side) {
      bytes[side].resize(tb::tableInfo[table].count[side]);
      for (uint32_t i = 0; i < bytes[side].size(); ++i) bytes[side][i] = int8_t(tb::readTableByte(table, side, i));
    }
    const ConsistencyReport r = checkTable(table, bytes, 997);
    EXPECT_EQ(r.failures, 0u) << r.firstFailure;
    std::fprintf(stderr, "%s: %llu positions, longest win %d / %d moves, failures %llu\n", tb::tableInfo[table].name,
                 (unsigned long long)r.positions, r.longestWin[0], r.longestWin[1], (unsigned long long)r.failures);
  }
  tb::releaseTablebases();
  tb::tablebasesInitialised = 0;
}

}  // namespace
}  // namespace orv::test

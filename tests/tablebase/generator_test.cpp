// The generator's tables: consistent with their successors position by
// position, the known longest mates, a few textbook pawn endings, and a
// compressed table probing as its plain form.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/game.h"
#include "support/temp_dir.h"
#include "table_consistency.h"
#include "tablebase/registry.h"
#include "tablebase/retro_generator.h"
#include "tablebase/table_info.h"

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

TEST(GeneratorConsistency, ThreeManTables) {
  TempDir dir;
  for (const char* name : {"kpk", "knk", "kbk", "krk", "kqk"}) {
    const ConsistencyReport r = generateAndCheck(dir, name);
    EXPECT_EQ(r.failures, 0u) << r.firstFailure;
    EXPECT_GT(r.positions, 0u);
  }
}

}  // namespace
}  // namespace orv::test

// Tests of the registry, the cache and the probe: a temporary table directory
// and a clean registry before and after each test.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/table_files.h"
#include "tablebase/block_cache.h"
#include "tablebase/index.h"
#include "tablebase/registry.h"

namespace orv::test {

// Length of the header area of a compressed file image (the big-endian word at 64).
inline uint32_t compressedHeaderSize(const std::vector<uint8_t>& image) {
  return uint32_t(image[64]) << 24 | uint32_t(image[65]) << 16 | uint32_t(image[66]) << 8 | image[67];
}

class TablebaseFixture : public ::testing::Test {
 protected:
  // Tests compute expected indices before any initialisation does this.
  void SetUp() override { tb::initIndexTables(); }
  void TearDown() override {
    tb::releaseTablebases();
    tb::tablebasesInitialised = 0;
  }
  int init(const std::string& list, long cacheBytes = 4194304) {
    const int men = tb::initTablebases(list.c_str(), cacheBytes);
    tb::tablebasesInitialised = 1;
    return men;
  }
  // A plain side of full length whose byte at i is syntheticByte(i).
  void writeSynthetic(int table, int side, const TempDir& in) {
    ASSERT_TRUE(writeBytes(in.file(tableFileName(table, side)), syntheticBytes(tb::tableInfo[table].count[side])));
  }
  void writeSparseSide(int table, int side, const TempDir& in) {
    ASSERT_TRUE(writeSparse(in.file(tableFileName(table, side)), tb::tableInfo[table].count[side]));
  }
  static const std::string& pathOf(int table, int side) { return tb::tables[table].side[side].path; }

  TempDir dir;
};

}  // namespace orv::test

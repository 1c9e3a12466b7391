// Reading table bytes through the block cache.
#include <unistd.h>

#include "tablebase/codec.h"
#include "tablebase_fixture.h"

namespace orv::test {
namespace {

using BlockCache = TablebaseFixture;

constexpr int Kqk = 5, Krkp = 12;

TEST_F(BlockCache, PlainAndCompressedSidesReadEveryByteOfTheirBlocks) {
  TempDir packed;
  writeSynthetic(Kqk, 0, dir);
  const std::vector<uint8_t> black = syntheticBytes(tb::tableInfo[Kqk].count[1]);
  ASSERT_TRUE(tb::writeCompressedFile(packed.file("kqk.nbb.emd").c_str(), black.data(), black.size()));
  writeSynthetic(Kqk, 1, dir);
  ASSERT_EQ(::remove(dir.file("kqk.nbb").c_str()), 0);
  init(dir.path() + ";" + packed.path());
  ASSERT_NE(tb::tables[Kqk].side[1].header, nullptr);
  for (int side = 0; side < 2; ++side) {
    const uint32_t size = tb::tableInfo[Kqk].count[side];
    // First and last positions of every block, a few inside, and the short last block.
    for (uint32_t p : {0u, 1u, 8191u, 8192u, 8193u, 16383u, 20000u, 24576u, size - 1}) {
      ASSERT_EQ(tb::readTableByte(Kqk, side, p), syntheticByte(p)) << side << " " << p;
    }
    // Positions past the stored ones are not known (and the side stays registered).
    EXPECT_EQ(tb::readTableByte(Kqk, side, size), tb::ByteUnknown);
    EXPECT_EQ(tb::readTableByte(Kqk, side, 0xFFFFFFFFu), tb::ByteUnknown);
    EXPECT_TRUE(tb::tables[Kqk].side[side].registered());
  }
  EXPECT_EQ(tb::readTableByte(4, 0, 0), tb::ByteUnknown);  // krk is not registered
}

TEST_F(BlockCache, TheLeastRecentlyUsedBlockIsReusedFirst) {
  writeSynthetic(Krkp, 0, dir);
  init(dir.path(), 0);
  ASSERT_EQ(tb::cacheBlockCount(), 126);
  for (uint32_t block = 0; block < 126; ++block)
    ASSERT_EQ(tb::readTableByte(Krkp, 0, block * 8192 + 5), syntheticByte(block * 8192 + 5));
  for (uint32_t block = 0; block < 126; ++block) EXPECT_TRUE(tb::blockCached(Krkp, 0, block * 8192));
  EXPECT_EQ(tb::readTableByte(Krkp, 0, 126 * 8192), syntheticByte(126 * 8192));
  EXPECT_FALSE(tb::blockCached(Krkp, 0, 0));  // the 127th block took the first one's place
  EXPECT_TRUE(tb::blockCached(Krkp, 0, 8192));
  EXPECT_TRUE(tb::blockCached(Krkp, 0, 126 * 8192));

  // A hit makes a block the most recent: block 1 survives, block 2 goes next.
  EXPECT_EQ(tb::readTableByte(Krkp, 0, 8192 + 77), syntheticByte(8192 + 77));
  EXPECT_EQ(tb::readTableByte(Krkp, 0, 127 * 8192), syntheticByte(127 * 8192));
  EXPECT_TRUE(tb::blockCached(Krkp, 0, 8192));
  EXPECT_FALSE(tb::blockCached(Krkp, 0, 2 * 8192));
  // Blocks of one bucket (block numbers 32 apart) are told apart by their start.
  EXPECT_EQ(tb::readTableByte(Krkp, 0, 33 * 8192 + 1), syntheticByte(33 * 8192 + 1));
  EXPECT_EQ(tb::readTableByte(Krkp, 0, 1 * 8192 + 1), syntheticByte(1 * 8192 + 1));
}

TEST_F(BlockCache, ReinitialisingEmptiesTheCache) {
  writeSynthetic(Kqk, 0, dir);
  init(dir.path());
  ASSERT_EQ(tb::readTableByte(Kqk, 0, 100), syntheticByte(100));
  EXPECT_TRUE(tb::blockCached(Kqk, 0, 100));
  EXPECT_NE(tb::tables[Kqk].side[0].file, nullptr);
  init(dir.path());
  EXPECT_FALSE(tb::blockCached(Kqk, 0, 100));
  EXPECT_EQ(tb::tables[Kqk].side[0].file, nullptr);
  tb::releaseTablebases();
  EXPECT_EQ(tb::readTableByte(Kqk, 0, 100), tb::ByteUnknown);
}

TEST_F(BlockCache, AVanishedFileLosesItsRegistration) {
  writeSynthetic(Kqk, 0, dir);
  writeSynthetic(Kqk, 1, dir);
  init(dir.path());
  ASSERT_EQ(tb::readTableByte(Kqk, 1, 9000), syntheticByte(9000));
  ASSERT_EQ(::remove(dir.file("kqk.nbw").c_str()), 0);
  EXPECT_EQ(tb::readTableByte(Kqk, 0, 10), tb::ByteUnknown);
  EXPECT_FALSE(tb::tables[Kqk].side[0].registered());
  // The other side's file is open and its cached block still answers.
  ASSERT_EQ(::remove(dir.file("kqk.nbb").c_str()), 0);
  EXPECT_EQ(tb::readTableByte(Kqk, 1, 9001), syntheticByte(9001));
  EXPECT_TRUE(tb::tables[Kqk].side[1].registered());
}

TEST_F(BlockCache, AFileCutShortAfterRegistrationAnswersUnknown) {
  TempDir packed;
  writeSynthetic(Krkp, 0, dir);
  const std::vector<uint8_t> data = syntheticBytes(tb::tableInfo[Kqk].count[0]);
  const std::vector<uint8_t> image = tb::encodeCompressed(data.data(), data.size());
  ASSERT_TRUE(writeBytes(packed.file("kqk.nbw.emd"), image));
  const off_t headerSize = off_t(compressedHeaderSize(image));
  init(dir.path() + ";" + packed.path());
  ASSERT_EQ(::truncate(dir.file("krkp.nbw").c_str(), 100000), 0);
  ASSERT_EQ(::truncate(packed.file("kqk.nbw.emd").c_str(), headerSize + 10), 0);
  // The plain side: bytes still in the file are read, the rest is unknown.
  EXPECT_EQ(tb::readTableByte(Krkp, 0, 99999), syntheticByte(99999));
  EXPECT_EQ(tb::readTableByte(Krkp, 0, 99999 + 8192), tb::ByteUnknown);
  // The compressed side: a block that cannot be read whole.
  EXPECT_EQ(tb::readTableByte(Kqk, 0, 25000), tb::ByteUnknown);
}

}  // namespace
}  // namespace orv::test

// Block decoding on hand-built files: stored blocks, literals, overlapping
// matches, long codes, and damaged blocks that must fail without touching
// memory outside the buffers (the buffers here are exactly sized for ASan).
#include <gtest/gtest.h>

#include <memory>

#include "tablebase/codec.h"
#include "tablebase/codec_file_builder.h"

namespace orv::tb {
namespace {

using test::Bits;
using test::TestFile;

// Decodes block `block` from a copy of exactly `length` compressed bytes into
// an exactly sized output buffer.
struct Decoded {
  int result;
  std::vector<uint8_t> bytes;
};

Decoded decode(const CompressedHeader& h, uint32_t block, const uint8_t* in, size_t length) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[length == 0 ? 1 : length]);
  std::copy(in, in + length, copy.get());
  std::vector<uint8_t> out(BlockSize + BlockMargin);
  const int result = decodeBlock(h, block, copy.get(), length, out.data());
  out.resize(result < 0 ? 0 : size_t(result));
  return {result, out};
}

// Parses the file and decodes block `block` from the bytes the header points at.
Decoded decodeFileBlock(const TestFile& f, uint32_t block, CompressedHeader* header = nullptr) {
  const std::vector<uint8_t> image = f.image();
  CompressedHeader h;
  EXPECT_EQ(parseCompressedHeader(image.data(), image.size(), &h), HeaderOk);
  if (h.blockOffset.size() <= block + 1) return {-2, {}};
  if (header) *header = h;
  const uint64_t start = h.blockOffset[block];
  return decode(h, block, image.data() + start, size_t(h.blockOffset[block + 1] - start));
}

// 'A' is code 0, the match of distance slot 0 with length 16..17 or 18..21 is code 1.
TestFile runFile(uint32_t blockLength, uint8_t body, int lengthSymbol = 16) {
  TestFile f;
  f.lengthFields = {1, blockLength};
  test::putPlainLengthTable(f.codeTable, test::mainLengths({{'A', 1}, {256 + lengthSymbol, 1}}));
  f.body = {body};
  return f;
}

TEST(CodecBlock, StoredBlocksAreCopied) {
  TestFile f;
  f.lengthFields = {0, 5, 5};  // a stored full block, then a stored last block of 5 bytes
  f.codeTable.put(1, 1);
  for (int i = 0; i < 8192 + 5; ++i) f.body.push_back(uint8_t(i * 37 + (i >> 8)));
  const Decoded first = decodeFileBlock(f, 0);
  ASSERT_EQ(first.result, 8192);
  EXPECT_TRUE(std::equal(first.bytes.begin(), first.bytes.end(), f.body.begin()));
  const Decoded last = decodeFileBlock(f, 1);
  ASSERT_EQ(last.result, 5);
  EXPECT_TRUE(std::equal(last.bytes.begin(), last.bytes.end(), f.body.begin() + 8192));
}

TEST(CodecBlock, DistanceOneLengthTwentyRepeatsAByte) {
  const Decoded d = decodeFileBlock(runFile(21, 0x60), 0);  // 0, 1, extra 10
  ASSERT_EQ(d.result, 21);
  EXPECT_EQ(d.bytes, std::vector<uint8_t>(21, 'A'));
}

TEST(CodecBlock, SingleSymbolCodeConsumesNoBits) {
  TestFile f;
  f.lengthFields = {1, 0};  // one full block in one byte
  test::putPlainLengthTable(f.codeTable, test::mainLengths({{'Z', 1}}));
  f.body = {0xFF};
  const Decoded d = decodeFileBlock(f, 0);
  ASSERT_EQ(d.result, 8192);
  EXPECT_EQ(d.bytes, std::vector<uint8_t>(8192, 'Z'));
}

TEST(CodecBlock, LongCodesGoThroughTreeNodes) {
  // Literals 0..15 with lengths 1..14, 15, 15: codes up to 15 bits, beyond the 13-bit lookup.
  std::vector<int> lengths(1024, 0);
  for (int s = 0; s < 15; ++s) lengths[size_t(s)] = s + 1;
  lengths[15] = 15;
  TestFile f;
  test::putPlainLengthTable(f.codeTable, lengths);
  const test::TestCode code(std::vector<int>(lengths.begin(), lengths.end()));
  std::vector<uint8_t> expected;
  Bits body;
  for (int i = 0; i < 32; ++i) {
    const int s = i < 16 ? 15 - i : i - 16;
    expected.push_back(uint8_t(s));
    code.put(body, s);
  }
  f.body = body.bytes;
  f.lengthFields = {uint32_t(f.body.size()), 32};
  const Decoded d = decodeFileBlock(f, 0);
  ASSERT_EQ(d.result, 32);
  EXPECT_EQ(d.bytes, expected);
}

TEST(CodecBlock, EveryLengthFormOfAMatch) {
  // Literal 'A' then one match at distance 3 (slot 2), for lengths of the
  // direct, extra-bit and 17-bit forms that fit the block.
  struct Case {
    int e;
    uint32_t extra;
    int extraBits;
    uint32_t length;
  };
  const Case cases[] = {
      {0, 0, 0, 1}, {14, 0, 0, 15}, {15, 1, 1, 17}, {20, 17, 6, 64 + 17 + 14}, {26, 4079, 12, 4096 + 4079 + 14}};
  for (const Case& c : cases) {
    TestFile f;
    test::putPlainLengthTable(f.codeTable, test::mainLengths({{'A', 1}, {'B', 2}, {256 + 64 + c.e, 2}}));
    Bits body;
    body.put(0, 1), body.put(2, 2), body.put(0, 1);  // A B A
    body.put(3, 2), body.put(c.extra, c.extraBits);
    f.body = body.bytes;
    const uint32_t total = 3 + c.length;
    f.lengthFields = {uint32_t(f.body.size()), total};
    const Decoded d = decodeFileBlock(f, 0);
    ASSERT_EQ(d.result, int(total)) << c.length;
    for (uint32_t i = 0; i < total; ++i) ASSERT_EQ(d.bytes[i], "ABA"[i % 3]) << c.length << " at " << i;
  }
}

TEST(CodecBlock, DamagedBlocksFail) {
  CompressedHeader h;
  ASSERT_EQ(decodeFileBlock(runFile(21, 0x60), 0, &h).result, 21);
  const uint8_t good = 0x60;
  EXPECT_EQ(decode(h, 0, &good, 0).result, -1);  // truncated: the literals run out of bits
  const uint8_t early = 0xC0;                    // 1 10: a match before the block start
  EXPECT_EQ(decode(h, 0, &early, 1).result, -1);
  EXPECT_EQ(decode(h, 1, &good, 1).result, -1);  // no such block

  EXPECT_EQ(decodeFileBlock(runFile(10, 0x60), 0).result, -1);  // a run past the block end

  TestFile zero = runFile(21, 0x60);
  zero.distances[0] = 0;  // a distance slot the file left at 0
  EXPECT_EQ(decodeFileBlock(zero, 0).result, -1);

  // The longest length form (e = 31) cannot fit any block.
  TestFile longest = runFile(8192, 0x60, 31);
  longest.lengthFields = {4, 0};
  longest.body = {0x40, 0, 0, 0};  // 0, 1, 17 extra bits
  EXPECT_EQ(decodeFileBlock(longest, 0).result, -1);

  TestFile empty;  // an empty code cannot decode a coded block
  empty.lengthFields = {1, 21};
  empty.codeTable.put(1, 1);
  empty.body = {0};
  EXPECT_EQ(decodeFileBlock(empty, 0).result, -1);
}

TEST(CodecBlock, ReadsBlocksFromTheFileAndFailsOnShortReads) {
  TestFile f = runFile(21, 0x60);
  f.lengthFields = {0, 1, 21};  // a stored block, then the coded one
  const uint8_t run = f.body[0];
  f.body.assign(8192, 7);
  f.body.push_back(run);
  test::TempDir dir;
  const std::vector<uint8_t> image = f.image();
  const std::string path = dir.file("t.emd"), cut = dir.file("cut.emd");
  test::writeFile(path, image);
  test::writeFile(cut, std::vector<uint8_t>(image.begin(), image.end() - 1));

  CompressedHeader h;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(loadCompressedHeader(file, &h), HeaderOk);
  std::vector<uint8_t> scratch(h.maxCompressedLength), out(BlockSize + BlockMargin);
  EXPECT_EQ(readCompressedBlock(h, file, 1, scratch.data(), out.data()), 21);
  EXPECT_EQ(out[20], 'A');
  EXPECT_EQ(readCompressedBlock(h, file, 0, scratch.data(), out.data()), 8192);
  EXPECT_EQ(out[8191], 7);
  std::fclose(file);

  file = std::fopen(cut.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(readCompressedBlock(h, file, 0, scratch.data(), out.data()), 8192);
  EXPECT_EQ(readCompressedBlock(h, file, 1, scratch.data(), out.data()), -1);
  std::fclose(file);
}

}  // namespace
}  // namespace orv::tb

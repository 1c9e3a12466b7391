// Header verification of compressed table files, on hand-built headers.
#include <gtest/gtest.h>

#include "tablebase/codec.h"
#include "tablebase/codec_file_builder.h"
#include "tablebase/crc32.h"

namespace orv::tb {
namespace {

using test::Bits;
using test::TestFile;

// One block of 21 bytes coded with a literal 'A' (code 0) and a match of
// distance 1 and length 20 (code 1).
TestFile literalAndRunFile() {
  TestFile f;
  f.lengthFields = {1, 21};
  test::putPlainLengthTable(f.codeTable, test::mainLengths({{'A', 1}, {256 + 16, 1}}));
  f.body = {0x60};  // 0 (literal), 1 (match), 10 (length extra: 4 + 2 + 14 = 20)
  return f;
}

int parse(const std::vector<uint8_t>& image, CompressedHeader* h) {
  return parseCompressedHeader(image.data(), image.size(), h);
}

int parse(const TestFile& f) {
  CompressedHeader h;
  return parse(f.image(), &h);
}

// Recomputes the CRC after a header field has been patched.
void fixCrc(std::vector<uint8_t>& image) {
  const size_t s = size_t(image[64]) << 24 | size_t(image[65]) << 16 | size_t(image[66]) << 8 | image[67];
  test::putBigEndian(image, s - 4, test::slowCrc(image.data(), s - 4));
}

TEST(CodecCrc, TableDrivenMatchesBitwiseAndKnownValue) {
  const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(crc32(digits, 9), 0x2DFD2D88u);
  std::vector<uint8_t> data(1000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 7919 >> 3);
  EXPECT_EQ(crc32(data.data(), data.size()), test::slowCrc(data.data(), data.size()));
}

TEST(CodecHeader, ReadsFieldsOffsetsAndDistances) {
  TestFile f;
  f.lengthFields = {0, 100, 0, 5};  // blocks: stored 8192, coded 100, stored 8192; last holds 5 bytes
  f.distances[23] = 4000;
  test::putPlainLengthTable(f.codeTable, test::mainLengths({{'A', 1}, {'B', 1}}));
  const std::vector<uint8_t> image = f.image();
  CompressedHeader h;
  ASSERT_EQ(parse(image, &h), HeaderOk);
  EXPECT_EQ(h.blockCount, 3u);
  EXPECT_EQ(h.lastBlockSize, 5u);
  EXPECT_EQ(h.uncompressedSize(), 2u * 8192 + 5);
  EXPECT_EQ(h.maxCompressedLength, 8192u);
  EXPECT_EQ(h.distance[0], 1u);
  EXPECT_EQ(h.distance[23], 4000u);
  const uint64_t s = image.size();  // the body is empty: S is the whole image
  ASSERT_EQ(h.blockOffset.size(), 4u);
  EXPECT_EQ(h.blockOffset[0], s);
  EXPECT_EQ(h.blockOffset[1], s + 8192);
  EXPECT_EQ(h.blockOffset[2], s + 8292);
  EXPECT_EQ(h.blockOffset[3], s + 2 * 8192 + 100);
  EXPECT_FALSE(h.codeEmpty);
}

TEST(CodecHeader, EmptyAndSingleSymbolCodes) {
  TestFile empty;
  empty.lengthFields = {0, 0};
  empty.codeTable.put(1, 1);  // first bit 1: every length is 0
  CompressedHeader h;
  ASSERT_EQ(parse(empty.image(), &h), HeaderOk);
  EXPECT_TRUE(h.codeEmpty);
  EXPECT_EQ(h.lastBlockSize, 8192u);

  TestFile lone = empty;
  lone.codeTable = Bits();
  test::putPlainLengthTable(lone.codeTable, test::mainLengths({{'Z', 1}}));
  ASSERT_EQ(parse(lone.image(), &h), HeaderOk);
  EXPECT_FALSE(h.codeEmpty);

  lone.codeTable = Bits();
  test::putPlainLengthTable(lone.codeTable, test::mainLengths({{'Z', 2}}));
  EXPECT_EQ(parse(lone), HeaderBroken);  // a lone symbol must have length 1
}

TEST(CodecHeader, RefusesOverfullIncompleteAndOverlongCodes) {
  TestFile f = literalAndRunFile();
  f.codeTable = Bits();
  test::putPlainLengthTable(f.codeTable, test::mainLengths({{1, 1}, {2, 1}, {3, 1}}));
  EXPECT_EQ(parse(f), HeaderBroken);  // over-full

  f.codeTable = Bits();
  test::putPlainLengthTable(f.codeTable, test::mainLengths({{1, 1}, {2, 2}}));
  EXPECT_EQ(parse(f), HeaderBroken);  // incomplete

  // An auxiliary length of 32, possible with a width of 6 bits.
  f.codeTable = Bits();
  f.codeTable.put(0, 1);
  std::vector<int> aux(128, 0);
  aux[0] = 32;
  aux[1] = 1;
  test::putAuxLengths(f.codeTable, aux, 6);
  EXPECT_EQ(parse(f), HeaderBroken);
}

TEST(CodecHeader, RepeatsInTheLengthTable) {
  // The lengths of literalAndRunFile spelled with repeats: zeros over 34 (B 32)
  // and 31 (B 29) entries, a 1, zeros over 206 (B 39: 2^7 + 45 + 31 + 2), a 1,
  // zeros over 751 (B 41: 2^9 + 206 + 31 + 2). The auxiliary zeros use run counts.
  Bits t;
  t.put(0, 1);
  t.put(0, 1);
  t.put(2, 5);
  std::vector<int> aux(128, 0);
  aux[1] = aux[32] = 1;
  aux[64 + 29] = aux[64 + 32] = aux[64 + 39] = aux[64 + 41] = 2;
  for (size_t i = 0; i < aux.size();) {
    t.put(uint32_t(aux[i]), 2);
    if (aux[i++] != 0) continue;
    int zeros = 0;
    while (zeros < 15 && i + size_t(zeros) < aux.size() && aux[i + size_t(zeros)] == 0) ++zeros;
    t.put(uint32_t(zeros), 4);
    i += size_t(zeros);
  }
  const test::TestCode a(std::vector<int>(aux.begin(), aux.begin() + 64));
  const test::TestCode b(std::vector<int>(aux.begin() + 64, aux.end()));
  a.put(t, 32), b.put(t, 32);
  a.put(t, 32), b.put(t, 29);
  a.put(t, 1);
  a.put(t, 32), b.put(t, 39), t.put(45, 7);
  a.put(t, 1);
  a.put(t, 32), b.put(t, 41), t.put(206, 9);

  TestFile runs = literalAndRunFile();
  runs.codeTable = t;
  CompressedHeader viaRuns, plain;
  ASSERT_EQ(parse(runs.image(), &viaRuns), HeaderOk);
  ASSERT_EQ(parse(literalAndRunFile().image(), &plain), HeaderOk);
  EXPECT_EQ(viaRuns.decoder, plain.decoder);

  // One more entry in the last repeat runs past 1024 lengths.
  runs.codeTable = Bits();
  Bits past = t;
  past.count -= 9;
  past.bytes.resize((past.count + 7) / 8);
  if (past.count % 8) past.bytes.back() &= uint8_t(0xFF00 >> (past.count % 8));
  past.put(207, 9);
  runs.codeTable = past;
  EXPECT_EQ(parse(runs), HeaderBroken);
}

TEST(CodecHeader, RefusesARepeatWiderThanTheTable) {
  // Code A: 0 and 32 (a run of zeros); code B: the lone symbol 42 (k = 10).
  Bits t;
  t.put(0, 1);
  std::vector<int> aux(128, 0);
  aux[0] = aux[32] = 1;
  aux[64 + 42] = 1;
  test::putAuxLengths(t, aux, 1);
  t.put(1, 1);  // symbol 32 of code A; B's lone symbol takes no bits
  TestFile f = literalAndRunFile();
  f.codeTable = t;
  EXPECT_EQ(parse(f), HeaderBroken);
}

TEST(CodecHeader, RefusesAuxZerosPastTheTable) {
  Bits t;
  t.put(0, 1);
  t.put(0, 1);
  t.put(1, 5);
  t.put(1, 1), t.put(1, 1);  // lengths of A's symbols 0 and 1
  for (int i = 2; i < 127; ++i) t.put(0, 1), t.put(0, 4);
  t.put(0, 1), t.put(1, 4);  // the last entry is zero and claims one more
  TestFile f = literalAndRunFile();
  f.codeTable = t;
  EXPECT_EQ(parse(f), HeaderBroken);
}

TEST(CodecHeader, FixedFieldsAndCrc) {
  const std::vector<uint8_t> good = literalAndRunFile().image();
  const size_t area = good.size() - 1;  // the header area; one byte of body follows
  CompressedHeader h;
  ASSERT_EQ(parse(good, &h), HeaderOk);

  std::vector<uint8_t> bad = good;
  bad[10] ^= 1;  // banner
  EXPECT_EQ(parse(bad, &h), HeaderReadError);
  EXPECT_EQ(parseCompressedHeader(good.data(), 79, &h), HeaderReadError);
  EXPECT_EQ(parseCompressedHeader(good.data(), area - 1, &h), HeaderReadError);

  bad = good;
  bad[area - 1] ^= 0x80;  // the CRC word itself
  EXPECT_EQ(parse(bad, &h), HeaderBroken);
  bad = good;
  bad[90] ^= 0x10;  // a bit of the block lengths
  EXPECT_EQ(parse(bad, &h), HeaderBroken);

  const std::pair<size_t, uint8_t> fields[] = {{70, 17}, {71, 23}, {79, 0xF6}, {67, 83}};
  for (auto [at, value] : fields) {
    bad = good;
    bad[at] = value;
    if (at != 67) fixCrc(bad);
    EXPECT_EQ(parse(bad, &h), HeaderBroken) << "byte " << at;
  }

  bad = good;
  test::putBigEndian(bad, 72, 1000);  // more per-block words than the header holds
  fixCrc(bad);
  EXPECT_EQ(parse(bad, &h), HeaderBroken);
}

TEST(CodecHeader, OtherBlockSizeIsReportedWithItsLog) {
  TestFile f = literalAndRunFile();
  f.blockLog = 12;
  CompressedHeader h;
  EXPECT_EQ(parse(f.image(), &h), HeaderBlockSize);
  EXPECT_EQ(h.blockLog, 12);

  f.codeTable = Bits();
  test::putPlainLengthTable(f.codeTable, test::mainLengths({{1, 1}, {2, 1}, {3, 1}}));
  EXPECT_EQ(parse(f), HeaderBroken);  // a broken code is found before the block size
}

TEST(CodecHeader, LoadsFromFileAndRefusesShortFiles) {
  test::TempDir dir;
  const std::vector<uint8_t> good = literalAndRunFile().image();
  const std::string path = dir.file("good.emd");
  test::writeFile(path, good);
  CompressedHeader h;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(loadCompressedHeader(f, &h), HeaderOk);
  std::fclose(f);
  EXPECT_EQ(h.blockCount, 1u);

  const size_t cuts[] = {0, 40, 79, 80, good.size() - 2};  // the body is one byte
  for (size_t cut : cuts) {
    const std::string shortPath = dir.file("short" + std::to_string(cut) + ".emd");
    test::writeFile(shortPath, std::vector<uint8_t>(good.begin(), good.begin() + long(cut)));
    f = std::fopen(shortPath.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(loadCompressedHeader(f, &h), HeaderReadError) << cut;
    std::fclose(f);
  }

  // A header area length far beyond the file is a short read, not an allocation.
  std::vector<uint8_t> huge = good;
  const uint8_t hugeLength[4] = {0xFF, 0xFF, 0xFF, 0xF0};
  std::memcpy(huge.data() + 64, hugeLength, 4);
  const std::string hugePath = dir.file("huge.emd");
  test::writeFile(hugePath, huge);
  f = std::fopen(hugePath.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(loadCompressedHeader(f, &h), HeaderReadError);
  std::fclose(f);
}

}  // namespace
}  // namespace orv::tb

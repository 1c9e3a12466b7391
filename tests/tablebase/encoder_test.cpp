// Round trips through the encoder and the decoder.
#include <gtest/gtest.h>

#include <random>

#include "tablebase/codec.h"
#include "tablebase/codec_file_builder.h"

namespace orv::tb {
namespace {

// Encodes data, checks that the image passes verification and that every
// block decodes to the input; returns the image.
std::vector<uint8_t> roundTrip(const std::vector<uint8_t>& data) {
  const std::vector<uint8_t> image = encodeCompressed(data.data(), data.size());
  CompressedHeader h;
  EXPECT_EQ(parseCompressedHeader(image.data(), image.size(), &h), HeaderOk);
  EXPECT_EQ(h.uncompressedSize(), data.size());
  EXPECT_EQ(h.blockCount, (data.size() + BlockSize - 1) / BlockSize);
  if (h.blockOffset.size() != h.blockCount + size_t(1)) return image;
  EXPECT_EQ(h.blockOffset.back(), image.size());
  std::vector<uint8_t> out(BlockSize + BlockMargin);
  for (uint32_t b = 0; b < h.blockCount; ++b) {
    const size_t start = size_t(h.blockOffset[b]), length = size_t(h.blockOffset[b + 1] - start);
    const std::vector<uint8_t> in(image.begin() + long(start), image.begin() + long(start + length));
    const int n = decodeBlock(h, b, in.data(), in.size(), out.data());
    const size_t expected = std::min<size_t>(BlockSize, data.size() - size_t(b) * BlockSize);
    EXPECT_EQ(n, int(expected)) << "block " << b;
    if (n != int(expected)) return image;
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + n, data.begin() + long(size_t(b) * BlockSize))) << "block " << b;
  }
  return image;
}

// Bytes of mostly small values in runs, the way table values cluster.
std::vector<uint8_t> tableLike(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> data(size);
  for (size_t i = 0; i < size;) {
    const uint8_t value = uint8_t(rng() % 8 == 0 ? rng() % 256 : rng() % 6);
    const size_t run = 1 + rng() % 40;
    for (size_t k = 0; k < run && i < size; ++k) data[i++] = value;
  }
  return data;
}

TEST(CodecEncoder, EmptyAndOneByte) {
  const std::vector<uint8_t> empty = roundTrip({});
  CompressedHeader h;
  ASSERT_EQ(parseCompressedHeader(empty.data(), empty.size(), &h), HeaderOk);
  EXPECT_EQ(h.blockCount, 0u);
  EXPECT_TRUE(h.codeEmpty);
  roundTrip({42});
  roundTrip({7, 7});  // one literal symbol in the whole file: coded with no bits at all
}

TEST(CodecEncoder, RandomDataIsStored) {
  std::mt19937 rng(7);
  std::vector<uint8_t> data(3 * BlockSize + 1000);
  for (uint8_t& x : data) x = uint8_t(rng());
  const std::vector<uint8_t> image = roundTrip(data);
  CompressedHeader h;
  ASSERT_EQ(parseCompressedHeader(image.data(), image.size(), &h), HeaderOk);
  EXPECT_EQ(image.size(), h.blockOffset[0] + data.size());  // every block stored
  EXPECT_EQ(h.maxCompressedLength, uint32_t(BlockSize));
}

TEST(CodecEncoder, RunsAndRepeatsCompress) {
  std::vector<uint8_t> zeros(4 * BlockSize, 0);
  EXPECT_LT(roundTrip(zeros).size(), 400u);

  // Periods at and away from the distances, including ones that use the
  // 16-byte copy path; a few changed bytes break the runs.
  std::mt19937 rng(3);
  std::vector<uint8_t> periodic(6 * BlockSize + 123);
  const size_t periods[] = {47, 3, 62, 17, 64, 500};
  for (size_t i = 0; i < periodic.size(); ++i) {
    const size_t p = periods[(i / 5000) % 6];
    periodic[i] = uint8_t((i % p) * 5 % 251);
    if (rng() % 400 == 0) periodic[i] = uint8_t(rng());
  }
  EXPECT_LT(roundTrip(periodic).size(), periodic.size() / 2);

  const std::vector<uint8_t> table = tableLike(9 * BlockSize + 4321, 11);
  EXPECT_LT(roundTrip(table).size(), table.size() / 3);
}

TEST(CodecEncoder, MixedStoredAndCodedBlocksWithShortLastBlock) {
  std::mt19937 rng(5);
  std::vector<uint8_t> data = tableLike(5 * BlockSize + 777, 9);
  for (size_t i = 2 * BlockSize; i < 3 * BlockSize; ++i) data[i] = uint8_t(rng());
  const std::vector<uint8_t> image = roundTrip(data);
  CompressedHeader h;
  ASSERT_EQ(parseCompressedHeader(image.data(), image.size(), &h), HeaderOk);
  EXPECT_EQ(h.lastBlockSize, 777u);
  EXPECT_EQ(h.blockOffset[3] - h.blockOffset[2], uint64_t(BlockSize));  // the random block is stored
  EXPECT_LT(h.blockOffset[1] - h.blockOffset[0], uint64_t(BlockSize) / 3);
}

TEST(CodecEncoder, SkewedDataNeedsLongCodes) {
  // Byte k about twice as rare as byte k - 1: codes beyond the 13-bit lookup.
  std::mt19937 rng(1);
  std::vector<uint8_t> data(40 * BlockSize);
  for (uint8_t& x : data) {
    int k = 0;
    while (k < 40 && (rng() & 1)) ++k;
    x = uint8_t(k * 6);  // spaced apart so that short matches rarely help
  }
  roundTrip(data);
  // A last block that is one byte, and one that is a full block.
  data.resize(3 * BlockSize + 1);
  roundTrip(data);
  data.resize(3 * BlockSize);
  roundTrip(data);
}

TEST(CodecEncoder, WrittenFilesLoadAndDecode) {
  test::TempDir dir;
  const std::string path = dir.file("t.emd");
  const std::vector<uint8_t> data = tableLike(3 * BlockSize + 5, 2);
  ASSERT_TRUE(writeCompressedFile(path.c_str(), data.data(), data.size()));
  EXPECT_FALSE(writeCompressedFile((path + "/no/such/dir").c_str(), data.data(), data.size()));

  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  CompressedHeader h;
  ASSERT_EQ(loadCompressedHeader(f, &h), HeaderOk);
  std::vector<uint8_t> scratch(h.maxCompressedLength), out(BlockSize + BlockMargin), back;
  for (uint32_t b = 0; b < h.blockCount; ++b) {
    const int n = readCompressedBlock(h, f, b, scratch.data(), out.data());
    ASSERT_GT(n, 0);
    back.insert(back.end(), out.begin(), out.begin() + n);
  }
  std::fclose(f);
  EXPECT_EQ(back, data);
}

TEST(CodecEncoder, DamagedCodedBlocksFailCleanly) {
  const std::vector<uint8_t> data = tableLike(2 * BlockSize, 4);
  const std::vector<uint8_t> image = encodeCompressed(data.data(), data.size());
  CompressedHeader h;
  ASSERT_EQ(parseCompressedHeader(image.data(), image.size(), &h), HeaderOk);
  const size_t start = size_t(h.blockOffset[0]), length = size_t(h.blockOffset[1] - start);
  ASSERT_LT(length, size_t(BlockSize));
  std::vector<uint8_t> out(BlockSize + BlockMargin);
  // Every truncation of the block fails (its bits run out) without reading past the copy.
  for (size_t cut = 0; cut < length; cut += 1 + cut / 8) {
    const std::vector<uint8_t> in(image.begin() + long(start), image.begin() + long(start + cut));
    EXPECT_EQ(decodeBlock(h, 0, in.data(), in.size(), out.data()), -1) << cut;
  }
  // Flipped bits decode to something or fail, but stay inside the buffers.
  std::mt19937 rng(8);
  for (int trial = 0; trial < 200; ++trial) {
    std::vector<uint8_t> in(image.begin() + long(start), image.begin() + long(start + length));
    in[rng() % length] ^= uint8_t(1 << (rng() % 8));
    const int n = decodeBlock(h, 0, in.data(), in.size(), out.data());
    EXPECT_TRUE(n == -1 || n == BlockSize);
  }
}

TEST(CodecEncoder, DistancesFollowTheDataPeriods) {
  // Noise repeated with a period of 3660 inside each block, as a five-man
  // table repeats over its last two digits.
  std::mt19937 rng(6);
  std::vector<uint8_t> data(12 * BlockSize);
  for (size_t b = 0; b < 12; ++b) {
    std::vector<uint8_t> period(3660);
    for (uint8_t& x : period) x = uint8_t(rng() % 16);
    for (size_t i = 0; i < BlockSize; ++i) data[b * BlockSize + i] = period[i % 3660];
  }
  uint32_t d[DistanceCount];
  chooseDistances(data.data(), data.size(), d);
  for (uint32_t k = 0; k < 8; ++k) EXPECT_EQ(d[k], k + 1);
  for (int k = 1; k < DistanceCount; ++k) EXPECT_LT(d[k - 1], d[k]);
  EXPECT_LT(d[DistanceCount - 1], uint32_t(BlockSize));
  EXPECT_NE(std::find(d, d + DistanceCount, 3660u), d + DistanceCount);
  EXPECT_LT(roundTrip(data).size(), data.size() * 6 / 10);

  chooseDistances(nullptr, 0, d);  // no data: the fixed distances
  EXPECT_TRUE(std::equal(d, d + DistanceCount, EncoderDistances));
}

}  // namespace
}  // namespace orv::tb

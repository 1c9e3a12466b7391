// Prefix decoders and the encoder's length-limited codes.
#include <gtest/gtest.h>

#include "tablebase/code_lengths.h"
#include "tablebase/codec_file_builder.h"
#include "tablebase/prefix_code.h"

namespace orv::tb {
namespace {

int build(const std::vector<uint8_t>& lengths, int lookupBits, std::vector<int32_t>* table) {
  return buildPrefixDecoder(lengths.data(), int(lengths.size()), lookupBits, table);
}

// Kraft sum of the lengths in units of 2^-31.
uint64_t kraft(const uint8_t* lengths, int count) {
  uint64_t sum = 0;
  for (int s = 0; s < count; ++s)
    if (lengths[s]) sum += uint64_t(1) << (31 - lengths[s]);
  return sum;
}

TEST(PrefixCode, DecodesEveryLengthUpTo31) {
  // Symbol s has length s + 1 for s < 30, and symbols 30 and 31 have length 31.
  std::vector<uint8_t> lengths(40, 0);
  for (int s = 0; s < 30; ++s) lengths[size_t(s)] = uint8_t(s + 1);
  lengths[30] = lengths[31] = 31;
  const int lookups[] = {MainLookupBits, AuxLookupBits};
  for (int lookupBits : lookups) {
    std::vector<int32_t> table;
    ASSERT_EQ(build(lengths, lookupBits, &table), PrefixCodeOk);
    const test::TestCode code(std::vector<int>(lengths.begin(), lengths.end()));
    test::Bits bits;
    const int order[] = {31, 0, 30, 12, 13, 14, 7, 29, 1, 31};
    for (int s : order) code.put(bits, s);
    bits.put(0x5A5, 12);  // a marker after the codes
    BitReader in(bits.bytes.data(), bits.bytes.size());
    for (int s : order) EXPECT_EQ(decodeSymbol(in, table.data(), lookupBits), s);
    EXPECT_EQ(in.read(12), 0x5A5u);
    EXPECT_FALSE(in.overrun());
  }
}

TEST(PrefixCode, EmptyLoneAndBadCodes) {
  std::vector<int32_t> table;
  std::vector<uint8_t> lengths(64, 0);
  EXPECT_EQ(build(lengths, 8, &table), PrefixCodeEmpty);
  EXPECT_EQ(table, std::vector<int32_t>(256, 0));

  lengths[9] = 1;
  ASSERT_EQ(build(lengths, 8, &table), PrefixCodeOk);
  const uint8_t ones[] = {0xFF, 0xFF};
  BitReader in(ones, 2);
  EXPECT_EQ(decodeSymbol(in, table.data(), 8), 9);
  EXPECT_EQ(in.consumed(), 0u);

  lengths[9] = 2;
  EXPECT_EQ(build(lengths, 8, &table), PrefixCodeBadLength);
  lengths[9] = 1, lengths[10] = 32;
  EXPECT_EQ(build(lengths, 8, &table), PrefixCodeBadLength);
  lengths[10] = 1, lengths[11] = 1;
  EXPECT_EQ(build(lengths, 8, &table), PrefixCodeOverfull);
  lengths[11] = 0, lengths[10] = 2;
  EXPECT_EQ(build(lengths, 8, &table), PrefixCodeIncomplete);
  EXPECT_TRUE(table.empty());
}

TEST(PrefixCode, BitReaderRefillsAndBounds) {
  const uint8_t data[] = {0xAB, 0xCD, 0xEF, 0x12, 0x34};
  BitReader in(data, sizeof data);
  EXPECT_EQ(in.read(3), 0x5u);
  EXPECT_EQ(in.read(17), 0x0BCDEu);
  in.alignToByte();
  EXPECT_EQ(in.consumed(), 24u);
  EXPECT_EQ(in.read(16), 0x1234u);
  EXPECT_FALSE(in.overrun());
  EXPECT_EQ(in.read(1), 0u);  // past the end reads zero
  EXPECT_TRUE(in.overrun());
}

TEST(CodeLengths, LimitedCodesAreCompleteAndShortestForTheFrequent) {
  // Fibonacci frequencies would give a Huffman code 44 deep.
  std::vector<uint64_t> frequency(300, 0);
  uint64_t a = 1, b = 1;
  for (int s = 0; s < 45; ++s) {
    frequency[size_t(s * 5)] = a;
    const uint64_t c = a + b;
    a = b, b = c;
  }
  const int limits[] = {31, 15, 8};
  for (int limit : limits) {
    std::vector<uint8_t> lengths(frequency.size());
    buildCodeLengths(frequency.data(), int(frequency.size()), limit, lengths.data());
    EXPECT_EQ(kraft(lengths.data(), int(lengths.size())), uint64_t(1) << 31) << limit;
    for (size_t s = 0; s < lengths.size(); ++s) {
      EXPECT_EQ(lengths[s] != 0, frequency[s] != 0);
      EXPECT_LE(lengths[s], limit);
    }
    EXPECT_LE(lengths[220], lengths[0]);  // the most frequent is not longer than the rarest
    std::vector<int32_t> table;
    EXPECT_EQ(build(lengths, MainLookupBits, &table), PrefixCodeOk);
  }

  std::vector<uint64_t> one(10, 0);
  one[4] = 99;
  std::vector<uint8_t> lengths(10);
  buildCodeLengths(one.data(), 10, 31, lengths.data());
  EXPECT_EQ(lengths[4], 1);
  EXPECT_EQ(kraft(lengths.data(), 10), uint64_t(1) << 30);
}

TEST(CodeLengths, CanonicalCodesMatchTheDecoder) {
  const std::vector<uint8_t> lengths = {3, 0, 2, 3, 2, 2};
  uint32_t codes[6];
  canonicalCodes(lengths.data(), 6, codes);
  EXPECT_EQ(codes[2], 0u);
  EXPECT_EQ(codes[4], 1u);
  EXPECT_EQ(codes[5], 2u);
  EXPECT_EQ(codes[0], 6u);
  EXPECT_EQ(codes[3], 7u);
}

}  // namespace
}  // namespace orv::tb

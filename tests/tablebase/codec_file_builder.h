// Hand-built compressed table files for the decoder tests, written bit by bit
// without the engine's encoder, so the decoder is checked against the format itself.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "tablebase/codec.h"

namespace orv::test {

// Most-significant-bit-first bit string.
struct Bits {
  std::vector<uint8_t> bytes;
  size_t count = 0;

  void put(uint64_t value, int n) {
    for (int i = n - 1; i >= 0; --i) {
      if (count % 8 == 0) bytes.push_back(0);
      if ((value >> i) & 1) bytes.back() |= uint8_t(0x80 >> (count % 8));
      ++count;
    }
  }
  void align() { count = bytes.size() * 8; }
};

// Main code lengths with the given (symbol, length) pairs, all other symbols unused.
inline std::vector<int> mainLengths(std::initializer_list<std::pair<int, int>> used) {
  std::vector<int> lengths(1024, 0);
  for (auto [symbol, length] : used) lengths[size_t(symbol)] = length;
  return lengths;
}

// Canonical code values for a list of lengths (shorter first, then by symbol).
inline std::vector<uint32_t> canonical(const std::vector<int>& lengths) {
  std::vector<uint32_t> codes(lengths.size(), 0);
  uint32_t code = 0;
  for (int len = 1; len <= 31; ++len, code <<= 1)
    for (size_t s = 0; s < lengths.size(); ++s)
      if (lengths[s] == len) codes[s] = code++;
  return codes;
}

// A prefix code over `lengths`, writing each symbol's canonical bits; a lone
// symbol is written with no bits.
struct TestCode {
  std::vector<int> lengths;
  std::vector<uint32_t> codes;
  bool lone = false;

  explicit TestCode(std::vector<int> l) : lengths(std::move(l)), codes(canonical(lengths)) {
    int used = 0;
    for (int x : lengths) used += x != 0;
    lone = used == 1;
  }
  void put(Bits& bits, int symbol) const {
    if (!lone) bits.put(codes[size_t(symbol)], lengths[size_t(symbol)]);
  }
};

// Lengths of a complete code over m symbols (m >= 2); a lone symbol gets 1.
inline std::vector<int> completeLengths(int m) {
  if (m == 1) return {1};
  int bits = 0;
  while ((1 << bits) < m) ++bits;
  const int shorter = (1 << bits) - m;
  std::vector<int> lengths(size_t(m), bits);
  for (int i = 0; i < shorter; ++i) lengths[size_t(i)] = bits - 1;
  return lengths;
}

// The 128 auxiliary lengths in the given width, each zero with a run count of 0.
inline void putAuxLengths(Bits& bits, const std::vector<int>& aux, int width) {
  bits.put(0, 1);
  bits.put(uint32_t(width), 5);
  for (int value : aux) {
    bits.put(uint32_t(value), width);
    if (value == 0) bits.put(0, 4);
  }
}

// A code-length table that spells each of the 1024 main lengths with one
// symbol of code A (no repeats, code B empty).
inline void putPlainLengthTable(Bits& bits, const std::vector<int>& mainLengths) {
  bits.put(0, 1);
  std::vector<int> values;
  for (int l : mainLengths)
    if (std::find(values.begin(), values.end(), l) == values.end()) values.push_back(l);
  const std::vector<int> valueLengths = completeLengths(int(values.size()));
  std::vector<int> aux(128, 0);
  for (size_t i = 0; i < values.size(); ++i) aux[size_t(values[i])] = valueLengths[i];
  putAuxLengths(bits, aux, 5);
  const TestCode codeA(std::vector<int>(aux.begin(), aux.begin() + 64));
  for (int l : mainLengths) codeA.put(bits, l);
}

// Bitwise CRC (no table), to check the decoder's table-driven one.
inline uint32_t slowCrc(const uint8_t* p, size_t n) {
  uint32_t crc = 0;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ ((crc & 1) ? 0xEDB88320u : 0);
  }
  return crc;
}

inline void putBigEndian(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + size_t(i)] = uint8_t(x >> (24 - 8 * i));
}

// The parts of a compressed file; image() lays them out with S and the CRC.
struct TestFile {
  int blockLog = 13;
  std::vector<uint32_t> lengthFields;  // M + 1 raw w-bit values
  uint32_t distances[24] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
  Bits codeTable;             // the code-length table bits
  std::vector<uint8_t> body;  // the blocks

  std::vector<uint8_t> image() const {
    const uint32_t blocks = uint32_t(lengthFields.size() - 1);
    std::vector<uint8_t> f(80 + 8 * size_t(blocks), 0);
    std::memcpy(f.data(), tb::CompressedBanner, 64);
    f[70] = uint8_t(blockLog);
    f[71] = 24;
    putBigEndian(f, 72, blocks);
    f[77] = 0x40, f[78] = 0x01, f[79] = 0xF5;
    Bits fields;
    for (uint32_t v : lengthFields) fields.put(v, blockLog);
    for (uint32_t d : distances) fields.put(d, blockLog);
    f.insert(f.end(), fields.bytes.begin(), fields.bytes.end());
    f.insert(f.end(), codeTable.bytes.begin(), codeTable.bytes.end());
    putBigEndian(f, 64, uint32_t(f.size() + 4));
    const uint32_t crc = slowCrc(f.data(), f.size());
    f.resize(f.size() + 4);
    putBigEndian(f, f.size() - 4, crc);
    f.insert(f.end(), body.begin(), body.end());
    return f;
  }
};

inline void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

}  // namespace orv::test

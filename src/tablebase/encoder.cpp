// The encoder of compressed table files: greedy matching at the file's 24
// distances within each 8192-byte block, one file-wide prefix code, and a
// stored block wherever coding does not make a block shorter.
#include <algorithm>
#include <bit>
#include <cstring>

#include "tablebase/bit_writer.h"
#include "tablebase/code_lengths.h"
#include "tablebase/codec.h"
#include "tablebase/crc32.h"
#include "tablebase/prefix_code.h"

namespace orv::tb {

namespace {

constexpr int MainSymbols = 1024;
constexpr int AuxSymbols = 64;
constexpr int AuxMaxLength = 15;
constexpr uint32_t MinMatch = 2;
constexpr uint32_t FieldMask = BlockSize - 1;  // 13-bit fields; 8192 is written as 0

// A token is a symbol (bits 0-9) with its extra bits above it.
constexpr int SymbolBits = 10;

int extraBits(int symbol) {
  if (symbol < 256) return 0;
  const int e = symbol & 31;
  return e < 15 ? 0 : e < 31 ? e - 14 : 17;
}

uint32_t matchToken(int distanceSlot, uint32_t length) {
  int e = int(length) - 1;
  uint32_t extra = 0;
  if (length > 15) {
    const int k = std::bit_width(length - 14) - 1;
    e = k + 14;
    extra = length - 14 - (1u << k);
  }
  return uint32_t(256 + distanceSlot * 32 + e) | extra << SymbolBits;
}

// Bytes a[0..limit) and b[0..limit) agree for the returned count.
uint32_t commonLength(const uint8_t* a, const uint8_t* b, uint32_t limit) {
  uint32_t n = 0;
  for (; n + 8 <= limit; n += 8) {
    uint64_t x, y;
    std::memcpy(&x, a + n, 8);
    std::memcpy(&y, b + n, 8);
    if (x != y) {
      const uint64_t diff = x ^ y;
      if constexpr (std::endian::native == std::endian::little) return n + uint32_t(std::countr_zero(diff)) / 8;
      else return n + uint32_t(std::countl_zero(diff)) / 8;
    }
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

// The longest match at position i of the block p[0..n) at any of the
// distances, which rise (the nearer distance on a tie); 0 when none.
uint32_t longestMatch(const uint32_t* distances, const uint8_t* p, uint32_t i, uint32_t n, int* slot) {
  uint32_t best = 0;
  for (int j = 0; j < DistanceCount; ++j) {
    const uint32_t d = distances[j];
    if (d > i) break;
    if (p[i - d] != p[i] || (best > 0 && p[i - d + best] != p[i + best])) continue;
    const uint32_t length = commonLength(p + i, p + i - d, n - i);
    if (length > best) {
      best = length;
      *slot = j;
      if (i + best == n) break;
    }
  }
  return best;
}

// Greedy parse of one block with one step of lookahead: a match is put off by
// a literal when the next position starts a match longer by more than one.
void tokenizeBlock(const uint32_t* distances, const uint8_t* p, uint32_t n, std::vector<uint32_t>& tokens) {
  int slot = 0;
  uint32_t best = n == 0 ? 0 : longestMatch(distances, p, 0, n, &slot);
  for (uint32_t i = 0; i < n;) {
    if (best < MinMatch) {
      tokens.push_back(p[i++]);
      best = i < n ? longestMatch(distances, p, i, n, &slot) : 0;
      continue;
    }
    int nextSlot = 0;
    const uint32_t next = i + best < n ? longestMatch(distances, p, i + 1, n, &nextSlot) : 0;
    if (next > best + 1) {
      tokens.push_back(p[i++]);
      best = next, slot = nextSlot;
      continue;
    }
    tokens.push_back(matchToken(slot, best));
    i += best;
    best = i < n ? longestMatch(distances, p, i, n, &slot) : 0;
  }
}

// A prefix code ready for writing; a lone symbol is written with no bits.
struct EncodingCode {
  std::vector<uint8_t> length;
  std::vector<uint32_t> code;
  bool lone = false;

  void build(const uint64_t* frequency, int count, int maxLength) {
    length.assign(size_t(count), 0);
    code.assign(size_t(count), 0);
    buildCodeLengths(frequency, count, maxLength, length.data());
    canonicalCodes(length.data(), count, code.data());
    lone = std::count_if(length.begin(), length.end(), [](uint8_t l) { return l != 0; }) == 1;
  }
  int bits(int symbol) const { return lone ? 0 : length[size_t(symbol)]; }
  void put(BitWriter& out, int symbol) const { out.write(code[size_t(symbol)], bits(symbol)); }
};

// One entry of the code-length table: a length symbol of code A and, for a
// repeat, a count symbol of code B with its extra bits.
struct LengthToken {
  int a, b;
  uint32_t extra;
  int extraBits;
};

std::vector<LengthToken> lengthTokens(const uint8_t* lengths) {
  std::vector<LengthToken> tokens;
  for (int i = 0; i < MainSymbols;) {
    int run = 1;
    while (i + run < MainSymbols && lengths[i + run] == lengths[i]) ++run;
    const int value = lengths[i];
    i += run;
    if (run < 3) {
      for (; run > 0; --run) tokens.push_back({value, -1, 0, 0});
      continue;
    }
    const uint32_t n = uint32_t(run) - 2;  // a repeat covers n + 2 entries
    if (n <= 32) {
      tokens.push_back({32 + value, int(n), 0, 0});
    } else {
      const int k = std::bit_width(n - 31) - 1;
      tokens.push_back({32 + value, 32 + k, n - 31 - (1u << k), k});
    }
  }
  return tokens;
}

// The code-length table: an empty-code flag, the auxiliary lengths with
// their zero runs, then the main lengths in codes A and B.
void writeCodeLengthTable(BitWriter& out, const uint8_t* lengths) {
  if (std::all_of(lengths, lengths + MainSymbols, [](uint8_t l) { return l == 0; })) {
    out.write(1, 1);
    return;
  }
  out.write(0, 1);
  const std::vector<LengthToken> tokens = lengthTokens(lengths);
  uint64_t frequency[2 * AuxSymbols] = {};
  for (const LengthToken& t : tokens) {
    ++frequency[t.a];
    if (t.b >= 0) ++frequency[AuxSymbols + t.b];
  }
  EncodingCode codeA, codeB;
  codeA.build(frequency, AuxSymbols, AuxMaxLength);
  codeB.build(frequency + AuxSymbols, AuxSymbols, AuxMaxLength);

  uint8_t aux[2 * AuxSymbols];
  std::copy(codeA.length.begin(), codeA.length.end(), aux);
  std::copy(codeB.length.begin(), codeB.length.end(), aux + AuxSymbols);
  const int width = std::bit_width(unsigned(*std::max_element(aux, aux + 2 * AuxSymbols)));
  out.write(0, 1);
  out.write(uint32_t(width), 5);
  for (int i = 0; i < 2 * AuxSymbols;) {
    out.write(aux[i], width);
    if (aux[i++] != 0) continue;
    int zeros = 0;
    while (zeros < 15 && i + zeros < 2 * AuxSymbols && aux[i + zeros] == 0) ++zeros;
    out.write(uint32_t(zeros), 4);
    i += zeros;
  }
  for (const LengthToken& t : tokens) {
    codeA.put(out, t.a);
    if (t.b < 0) continue;
    codeB.put(out, t.b);
    out.write(t.extra, t.extraBits);
  }
}

void putBigEndian32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

}  // namespace

std::vector<uint8_t> encodeCompressed(const uint8_t* data, size_t size) {
  const uint32_t blocks = uint32_t((size + BlockSize - 1) / BlockSize);
  auto blockLength = [&](uint32_t b) { return uint32_t(std::min<size_t>(BlockSize, size - size_t(b) * BlockSize)); };

  uint32_t distances[DistanceCount];
  chooseDistances(data, size, distances);
  std::vector<uint32_t> tokens;
  std::vector<size_t> firstToken(size_t(blocks) + 1, 0);
  for (uint32_t b = 0; b < blocks; ++b) {
    tokenizeBlock(distances, data + size_t(b) * BlockSize, blockLength(b), tokens);
    firstToken[b + 1] = tokens.size();
  }

  // The code comes from the blocks that are coded; a block whose coded form
  // is not shorter is stored. The second round rebuilds the code without the
  // blocks the first round stored (its symbols still cover every coded block).
  std::vector<bool> coded(blocks, true);
  EncodingCode code;
  for (int round = 0; round < 2; ++round) {
    std::vector<uint64_t> frequency(MainSymbols, 0);
    for (uint32_t b = 0; b < blocks; ++b)
      if (coded[b])
        for (size_t t = firstToken[b]; t < firstToken[b + 1]; ++t) ++frequency[tokens[t] & (MainSymbols - 1)];
    code.build(frequency.data(), MainSymbols, MaxCodeLength);
    for (uint32_t b = 0; b < blocks; ++b) {
      if (!coded[b]) continue;
      uint64_t bits = 0;
      for (size_t t = firstToken[b]; t < firstToken[b + 1]; ++t) {
        const int symbol = int(tokens[t] & (MainSymbols - 1));
        bits += uint64_t(code.bits(symbol) + extraBits(symbol));
      }
      const uint64_t bytes = std::max<uint64_t>(1, (bits + 7) / 8);  // a length field of 0 means stored
      coded[b] = bytes < blockLength(b);
    }
  }

  std::vector<uint8_t> body;
  std::vector<uint32_t> compressedLength(blocks);
  for (uint32_t b = 0; b < blocks; ++b) {
    const size_t start = body.size();
    if (coded[b]) {
      BitWriter out(&body);
      for (size_t t = firstToken[b]; t < firstToken[b + 1]; ++t) {
        const int symbol = int(tokens[t] & (MainSymbols - 1));
        code.put(out, symbol);
        out.write(tokens[t] >> SymbolBits, extraBits(symbol));
      }
      out.flush();
      if (body.size() == start) body.push_back(0);
    } else {
      const uint8_t* p = data + size_t(b) * BlockSize;
      body.insert(body.end(), p, p + blockLength(b));
    }
    compressedLength[b] = uint32_t(body.size() - start);
  }

  std::vector<uint8_t> file(FixedHeaderSize + size_t(8) * blocks, 0);
  std::memcpy(file.data(), CompressedBanner, BannerLength);
  file[70] = BlockLog;
  file[71] = DistanceCount;
  putBigEndian32(&file[72], blocks);
  const uint8_t magic[4] = {0x00, 0x40, 0x01, 0xF5};
  std::memcpy(&file[76], magic, 4);
  BitWriter header(&file);
  for (uint32_t length : compressedLength) header.write(length & FieldMask, BlockLog);
  header.write(blocks == 0 ? 0 : blockLength(blocks - 1) & FieldMask, BlockLog);
  for (uint32_t d : distances) header.write(d, BlockLog);
  header.flush();
  writeCodeLengthTable(header, code.length.data());
  header.flush();
  putBigEndian32(&file[64], uint32_t(file.size() + 4));
  const uint32_t crc = crc32(file.data(), file.size());
  file.resize(file.size() + 4);
  putBigEndian32(&file[file.size() - 4], crc);
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

bool writeCompressedFile(const char* path, const uint8_t* data, size_t size) {
  const std::vector<uint8_t> image = encodeCompressed(data, size);
  std::FILE* f = std::fopen(path, "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(image.data(), 1, image.size(), f) == image.size();
  return std::fclose(f) == 0 && written;
}

}  // namespace orv::tb

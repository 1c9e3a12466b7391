// TEMPORARY stand-ins for the codec and the index, which are written on other
// branches. They exist only so that the registry, the cache and the probe can
// be built and tested before that work is merged; delete this file then.
//
// Codec stand-in: the real header layout and checksum, but only stored blocks
// and an empty code-length table (the encoder never compresses).
// Index stand-in: a deterministic mix of the squares below the stored count,
// not the real position numbering.
#include <cstring>
#include <vector>

#include "tablebase/codec.h"
#include "tablebase/index.h"
#include "tablebase/table_info.h"

namespace orv::tb {

namespace {

constexpr char StubBanner[BannerLength + 1] =
    "Stand-in table writer, stored blocks only                     \r\n";
static_assert(sizeof StubBanner == BannerLength + 1);
constexpr uint8_t Magic[4] = {0x00, 0x40, 0x01, 0xF5};

uint32_t crcOf(const uint8_t* p, size_t n) {
  static uint32_t table[256];
  static bool built = false;
  if (!built) {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
      table[i] = c;
    }
    built = true;
  }
  uint32_t crc = 0;
  for (size_t i = 0; i < n; ++i) crc = (crc >> 8) ^ table[(crc ^ p[i]) & 255];
  return crc;
}

uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
void putBe32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (24 - 8 * i));
}

struct BitWriter {
  std::vector<uint8_t>& out;
  int used = 0;
  void put(uint32_t value, int bits) {
    for (int b = bits - 1; b >= 0; --b) {
      if (used == 0) out.push_back(0);
      if ((value >> b) & 1) out.back() |= uint8_t(0x80 >> used);
      used = (used + 1) & 7;
    }
  }
};

struct BitReader {
  const uint8_t* p;
  size_t size, at = 0;   // at in bits
  bool ok = true;
  uint32_t get(int bits) {
    uint32_t v = 0;
    for (int i = 0; i < bits; ++i) {
      if (at / 8 >= size) {
        ok = false;
        return 0;
      }
      v = v << 1 | ((p[at / 8] >> (7 - at % 8)) & 1);
      ++at;
    }
    return v;
  }
};

}  // namespace

std::vector<uint8_t> encodeCompressed(const uint8_t* data, size_t size) {
  const uint32_t blocks = size == 0 ? 1 : uint32_t((size + BlockSize - 1) / BlockSize);
  const uint32_t last = uint32_t(size - size_t(blocks - 1) * BlockSize);
  std::vector<uint8_t> out(80 + 8 * size_t(blocks), 0);
  std::memcpy(out.data(), StubBanner, BannerLength);
  out[70] = BlockLog;
  out[71] = 24;
  putBe32(out, 72, blocks);
  std::memcpy(&out[76], Magic, 4);
  BitWriter w{out};
  for (uint32_t i = 0; i + 1 < blocks; ++i) w.put(0, BlockLog);   // full stored blocks
  w.put(last == BlockSize ? 0 : last, BlockLog);
  w.put(last == BlockSize ? 0 : last, BlockLog);
  for (int d = 0; d < DistanceCount; ++d) w.put(uint32_t(d + 1), BlockLog);
  w.put(1, 1);   // empty code
  const size_t headerSize = out.size() + 4;
  putBe32(out, 64, uint32_t(headerSize));
  out.resize(headerSize);
  putBe32(out, headerSize - 4, crcOf(out.data(), headerSize - 4));
  out.insert(out.end(), data, data + size);
  return out;
}

bool writeCompressedFile(const char* path, const uint8_t* data, size_t size) {
  std::vector<uint8_t> image = encodeCompressed(data, size);
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(image.data(), 1, image.size(), f) == image.size();
  return std::fclose(f) == 0 && ok;
}

int loadCompressedHeader(std::FILE* f, CompressedHeader* h) {
  std::vector<uint8_t> head(80);
  if (std::fread(head.data(), 1, 80, f) != 80 || std::memcmp(head.data(), StubBanner, BannerLength) != 0)
    return HeaderReadError;
  const uint32_t s = be32(&head[64]);
  h->blockLog = head[70];
  h->blockCount = be32(&head[72]);
  if (h->blockLog > 16 || s <= 83 || head[71] != 24 || std::memcmp(&head[76], Magic, 4) != 0 || h->blockCount == 0 ||
      s > (1u << 26))
    return HeaderBroken;
  head.resize(s);
  if (std::fread(&head[80], 1, s - 80, f) != s - 80) return HeaderReadError;
  if (crcOf(head.data(), s - 4) != be32(&head[s - 4])) return HeaderBroken;
  if (80 + 8 * uint64_t(h->blockCount) > s) return HeaderBroken;
  BitReader r{&head[80 + 8 * size_t(h->blockCount)], s - 4 - 80 - 8 * size_t(h->blockCount)};
  const uint32_t full = 1u << h->blockLog;
  std::vector<uint32_t> length(h->blockCount);
  for (uint32_t i = 0; i < h->blockCount; ++i) {
    length[i] = r.get(h->blockLog);
    if (length[i] == 0) length[i] = full;
  }
  h->lastBlockSize = r.get(h->blockLog);
  if (h->lastBlockSize == 0) h->lastBlockSize = full;
  for (uint32_t& d : h->distance) d = r.get(h->blockLog);
  if (r.get(1) != 1 || !r.ok) return HeaderBroken;   // the stand-in knows only the empty code
  if (h->blockLog != BlockLog) return HeaderBlockSize;
  h->blockOffset.assign(h->blockCount + 1, s);
  h->maxCompressedLength = 0;
  for (uint32_t i = 0; i < h->blockCount; ++i) {
    h->blockOffset[i + 1] = h->blockOffset[i] + length[i];
    if (length[i] > h->maxCompressedLength) h->maxCompressedLength = length[i];
  }
  h->decoder.assign(BlockSize, 0);
  return HeaderOk;
}

int decodeBlock(const CompressedHeader& h, uint32_t block, const uint8_t* in, size_t inLength, uint8_t* out) {
  if (block >= h.blockCount) return -1;
  const size_t size = block + 1 == h.blockCount ? h.lastBlockSize : BlockSize;
  if (inLength != size) return -1;   // only stored blocks
  std::memcpy(out, in, size);
  return int(size);
}

int readCompressedBlock(const CompressedHeader& h, std::FILE* f, uint32_t block, uint8_t* scratch, uint8_t* out) {
  if (block >= h.blockCount) return -1;
  const uint64_t length = h.blockOffset[block + 1] - h.blockOffset[block];
  if (length > h.maxCompressedLength) return -1;
  if (fseeko(f, off_t(h.blockOffset[block]), SEEK_SET) != 0) return -1;
  if (std::fread(scratch, 1, length, f) != length) return -1;
  return decodeBlock(h, block, scratch, length, out);
}

void initIndexTables() {}

uint32_t tableIndex(int table, int side, const int8_t* first, const int8_t* second, int epSquare, int invert) {
  uint64_t h = uint64_t(table) * 1000003u + uint64_t(side) * 7919u + uint64_t(epSquare + 1) * 131u + uint64_t(invert);
  for (int i = 0; i < ListSize; ++i) h = h * 67 + uint64_t(first[i] + 1);
  for (int i = 0; i < ListSize; ++i) h = h * 67 + uint64_t(second[i] + 1);
  h ^= h >> 29;
  return uint32_t(h % tableInfo[table].count[side]);
}

uint64_t indexRange(int table, int side) { return tableInfo[table].count[side]; }

}  // namespace orv::tb

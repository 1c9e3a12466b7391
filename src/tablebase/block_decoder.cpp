// Decoding one block of a compressed table file: stored blocks are copied,
// coded blocks are literals and matches at the file's 24 distances.
#include <cstring>

#include "tablebase/bit_reader.h"
#include "tablebase/codec.h"
#include "tablebase/prefix_code.h"

namespace orv::tb {

namespace {

// Match length from the low five bits of a match symbol and its extra bits.
uint32_t matchLength(BitReader& bits, int e) {
  if (e < 15) return uint32_t(e) + 1;
  const int k = e < 31 ? e - 14 : 17;
  return (1u << k) + bits.read(k) + 14;
}

// Copies `length` bytes from `distance` bytes back; the copy may overlap its
// own output. Runs whose source lies at least 16 bytes back go in 16-byte
// pieces and may write up to 15 bytes past the end (into the margin).
void copyMatch(uint8_t* dst, uint32_t distance, uint32_t length) {
  const uint8_t* src = dst - distance;
  if (distance >= 16) {
    for (uint32_t i = 0; i < length; i += 16) std::memcpy(dst + i, src + i, 16);
  } else if (distance == 1) {
    std::memset(dst, src[0], length);
  } else {
    for (uint32_t i = 0; i < length; ++i) dst[i] = src[i];
  }
}

}  // namespace

int decodeBlock(const CompressedHeader& header, uint32_t block, const uint8_t* in, size_t inLength, uint8_t* out) {
  if (block >= header.blockCount) return -1;
  const uint32_t length = block + 1 == header.blockCount ? header.lastBlockSize : uint32_t(BlockSize);
  if (length > uint32_t(BlockSize)) return -1;
  if (inLength == length) {
    std::memcpy(out, in, length);
    return int(length);
  }
  if (header.codeEmpty || header.decoder.size() < (size_t(1) << MainLookupBits)) return -1;

  BitReader bits(in, inLength);
  const int32_t* table = header.decoder.data();
  uint32_t pos = 0;
  while (pos < length) {
    const int symbol = decodeSymbol(bits, table, MainLookupBits);
    if (symbol < 256) {
      out[pos++] = uint8_t(symbol);
      continue;
    }
    const uint32_t run = matchLength(bits, symbol & 31);
    const uint32_t distance = header.distance[(symbol - 256) >> 5];
    if (distance == 0 || distance > pos || run > length - pos) return -1;
    copyMatch(out + pos, distance, run);
    pos += run;
  }
  return bits.overrun() ? -1 : int(length);
}

int readCompressedBlock(const CompressedHeader& header, std::FILE* f, uint32_t block, uint8_t* scratch, uint8_t* out) {
  if (block >= header.blockCount || header.blockOffset.size() <= block + size_t(1)) return -1;
  const uint64_t start = header.blockOffset[block];
  const uint64_t length = header.blockOffset[block + 1] - start;
  if (length > header.maxCompressedLength) return -1;
  if (fseeko(f, off_t(start), SEEK_SET) != 0) return -1;
  if (std::fread(scratch, 1, size_t(length), f) != length) return -1;
  return decodeBlock(header, block, scratch, size_t(length), out);
}

}  // namespace orv::tb

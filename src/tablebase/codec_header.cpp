// Reading and verifying the header of a compressed table file: the fixed
// fields, the CRC, the block lengths, the distances and the code-length table.
#include <cstring>
#include <memory>
#include <new>

#include "tablebase/bit_reader.h"
#include "tablebase/codec.h"
#include "tablebase/crc32.h"
#include "tablebase/prefix_code.h"

namespace orv::tb {

namespace {

constexpr uint8_t Magic[4] = {0x00, 0x40, 0x01, 0xF5};
constexpr int MainSymbols = 1024;
constexpr int AuxSymbols = 64;

uint32_t bigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The banner and the fixed fields of the first 80 bytes; gives the header area length S.
int checkFixedFields(const uint8_t* p, uint32_t* areaLength) {
  if (std::memcmp(p, CompressedBanner, BannerLength) != 0) return HeaderReadError;
  const uint32_t s = bigEndian32(p + 64);
  if (p[70] > 16 || s < FixedHeaderSize + 4 || p[71] != DistanceCount || std::memcmp(p + 76, Magic, 4) != 0)
    return HeaderBroken;
  *areaLength = s;
  return HeaderOk;
}

// The 128 lengths of the two auxiliary codes: an all-zero flag, a 5-bit
// width, then values of that width, each 0 followed by a 4-bit count of further zeros.
bool readAuxLengths(BitReader& bits, uint8_t* aux) {
  std::memset(aux, 0, 2 * AuxSymbols);
  if (bits.bit()) return true;
  const int width = int(bits.read(5));
  for (int i = 0; i < 2 * AuxSymbols;) {
    const uint32_t value = bits.read(width);
    if (value > MaxCodeLength) return false;
    aux[i++] = uint8_t(value);
    if (value == 0) {
      const int zeros = int(bits.read(4));
      if (i + zeros > 2 * AuxSymbols) return false;
      i += zeros;  // already zero
    }
  }
  return true;
}

// Count of a repeat from a symbol of code B: below 32 the symbol itself, 32
// itself, above it 2^k + k more bits + 31; -1 for a k that no run can use.
int repeatCount(BitReader& bits, int b) {
  if (b <= 32) return b;
  const int k = b - 32;
  if (k > 9) return -1;
  return (1 << k) + int(bits.read(k)) + 31;
}

// Decodes the 1024 main code lengths and builds the main decoder into header.
bool readCodeLengthTable(BitReader& bits, CompressedHeader* header) {
  uint8_t lengths[MainSymbols] = {};
  if (bits.bit() == 0) {
    uint8_t aux[2 * AuxSymbols];
    if (!readAuxLengths(bits, aux)) return false;
    std::vector<int32_t> codeA, codeB;
    const int statusA = buildPrefixDecoder(aux, AuxSymbols, AuxLookupBits, &codeA);
    const int statusB = buildPrefixDecoder(aux + AuxSymbols, AuxSymbols, AuxLookupBits, &codeB);
    if (statusA < 0 || statusB < 0 || statusA == PrefixCodeEmpty) return false;
    for (int i = 0; i < MainSymbols;) {
      const int a = decodeSymbol(bits, codeA.data(), AuxLookupBits);
      if (a < 32) {
        lengths[i++] = uint8_t(a);
        continue;
      }
      if (statusB == PrefixCodeEmpty) return false;
      const int n = repeatCount(bits, decodeSymbol(bits, codeB.data(), AuxLookupBits));
      if (n < 0 || i + n + 2 > MainSymbols) return false;
      std::memset(lengths + i, a - 32, size_t(n) + 2);
      i += n + 2;
    }
  }
  const int status = buildPrefixDecoder(lengths, MainSymbols, MainLookupBits, &header->decoder);
  header->codeEmpty = status == PrefixCodeEmpty;
  return status >= 0;
}

}  // namespace

int parseCompressedHeader(const uint8_t* data, size_t size, CompressedHeader* header) {
  if (size < size_t(FixedHeaderSize)) return HeaderReadError;
  uint32_t areaLength = 0;
  if (const int status = checkFixedFields(data, &areaLength); status != HeaderOk) return status;
  if (size < areaLength) return HeaderReadError;
  const size_t crcAt = areaLength - 4;
  if (crc32(data, crcAt) != bigEndian32(data + crcAt)) return HeaderBroken;

  CompressedHeader h;
  h.blockLog = data[70];
  h.blockCount = bigEndian32(data + 72);
  const uint64_t fieldStart = FixedHeaderSize + 8ull * h.blockCount;
  if (fieldStart > crcAt) return HeaderBroken;
  BitReader bits(data + fieldStart, size_t(crcAt - fieldStart));
  const uint32_t fullBlock = 1u << h.blockLog;
  std::vector<uint32_t> lengths(size_t(h.blockCount) + 1);
  for (uint32_t& length : lengths) {
    length = bits.read(h.blockLog);
    if (length == 0) length = fullBlock;
  }
  for (uint32_t& d : h.distance) d = bits.read(h.blockLog);
  if (bits.overrun()) return HeaderBroken;
  bits.alignToByte();
  if (!readCodeLengthTable(bits, &h) || bits.overrun()) return HeaderBroken;
  if (fullBlock != uint32_t(BlockSize)) {
    header->blockLog = h.blockLog;
    return HeaderBlockSize;
  }

  h.lastBlockSize = h.blockCount == 0 ? 0 : lengths[h.blockCount];
  h.blockOffset.resize(size_t(h.blockCount) + 1);
  h.blockOffset[0] = areaLength;
  for (uint32_t i = 0; i < h.blockCount; ++i) {
    h.blockOffset[i + 1] = h.blockOffset[i] + lengths[i];
    if (lengths[i] > h.maxCompressedLength) h.maxCompressedLength = lengths[i];
  }
  *header = std::move(h);
  return HeaderOk;
}

int loadCompressedHeader(std::FILE* f, CompressedHeader* header) {
  uint8_t fixed[FixedHeaderSize];
  if (std::fread(fixed, 1, sizeof fixed, f) != sizeof fixed) return HeaderReadError;
  uint32_t areaLength = 0;
  if (const int status = checkFixedFields(fixed, &areaLength); status != HeaderOk) return status;

  // A header area longer than the file is a short read; finding that out
  // first keeps a damaged length field from asking for gigabytes.
  const off_t here = ftello(f);
  if (here >= 0 && fseeko(f, 0, SEEK_END) == 0) {
    const off_t end = ftello(f);
    if (fseeko(f, here, SEEK_SET) != 0) return HeaderReadError;
    if (end >= 0 && end - here < off_t(areaLength - FixedHeaderSize)) return HeaderReadError;
  }
  std::unique_ptr<uint8_t[]> area(new (std::nothrow) uint8_t[areaLength]);
  if (!area) return HeaderOutOfMemory;
  std::memcpy(area.get(), fixed, sizeof fixed);
  const size_t rest = areaLength - FixedHeaderSize;
  if (std::fread(area.get() + FixedHeaderSize, 1, rest, f) != rest) return HeaderReadError;
  return parseCompressedHeader(area.get(), areaLength, header);
}

}  // namespace orv::tb

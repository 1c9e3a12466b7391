// The compressed table file: the header read from a file and from memory, then
// every block the accepted header names, each decoded from a buffer of exactly
// its compressed length into one of exactly BlockSize + BlockMargin bytes, so
// the sanitizer sees any read or write outside them.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "tablebase/codec.h"
#include "tablebase/crc32.h"

using namespace orv;
using namespace orv::tb;

namespace {

// Inputs longer than this are cut: a few thousand blocks are plenty, and
// every block decoded costs a full block of output.
constexpr size_t MaxInput = 32768;

uint32_t bigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// A wrong CRC is refused before any field is looked at, so the mutated bytes
// get a correct one whenever their header area fits; the unchanged bytes go
// through the file reader as well, which still sees the wrong ones.
void repairCrc(std::vector<uint8_t>& bytes) {
  if (bytes.size() < size_t(FixedHeaderSize)) return;
  const uint32_t area = bigEndian32(bytes.data() + 64);
  if (area < uint32_t(FixedHeaderSize) + 4 || area > bytes.size()) return;
  const uint32_t crc = crc32(bytes.data(), area - 4);
  for (int i = 0; i < 4; ++i) bytes[area - 4 + i] = uint8_t(crc >> (24 - 8 * i));
}

void decodeEveryBlock(const CompressedHeader& header, const std::vector<uint8_t>& bytes) {
  if (header.blockOffset.size() != size_t(header.blockCount) + 1) std::abort();
  auto out = std::make_unique<uint8_t[]>(BlockSize + BlockMargin);
  for (uint32_t b = 0; b < header.blockCount; ++b) {
    const uint64_t start = header.blockOffset[b], end = header.blockOffset[b + 1];
    if (end < start || end - start > header.maxCompressedLength) std::abort();
    if (end > bytes.size()) break;  // the file ends early
    const size_t length = size_t(end - start);
    auto in = std::make_unique<uint8_t[]>(length);
    std::memcpy(in.get(), bytes.data() + start, length);
    const int decoded = decodeBlock(header, b, in.get(), length, out.get());
    const uint32_t expected = b + 1 == header.blockCount ? header.lastBlockSize : uint32_t(BlockSize);
    if (decoded != -1 && uint32_t(decoded) != expected) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > MaxInput) size = MaxInput;
  std::vector<uint8_t> bytes(data, data + size);

  if (std::FILE* file = fuzz::memoryFile(data, size)) {
    CompressedHeader fromFile;
    loadCompressedHeader(file, &fromFile);
    std::fclose(file);
  }

  repairCrc(bytes);
  CompressedHeader header;
  const int status = parseCompressedHeader(bytes.data(), bytes.size(), &header);
  // Both readers of the same bytes come to the same verdict.
  if (std::FILE* file = fuzz::memoryFile(bytes.data(), bytes.size())) {
    CompressedHeader fromFile;
    if (loadCompressedHeader(file, &fromFile) != status) std::abort();
    std::fclose(file);
  }
  if (status == HeaderOk) decodeEveryBlock(header, bytes);
  return 0;
}

// Compressed table files (".emd"): a verified header followed by independently
// coded blocks of 8192 bytes; the decoder and the encoder of that format.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace orv::tb {

constexpr int BlockSize = 8192;
constexpr int BlockLog = 13;
constexpr int DistanceCount = 24;
constexpr int BannerLength = 64;
// Room the decoder may write past the end of a block (runs copied 16 bytes at a time).
constexpr int BlockMargin = 64;
// The fixed part of a header: banner, area length, block log, 24, block count, magic.
constexpr int FixedHeaderSize = 80;

// The banner this engine's encoder writes and its decoder expects, byte for byte.
constexpr char CompressedBanner[BannerLength + 1] =
    "Orvalis compressed endgame table, 8192-byte blocks, version 1 \r\n";
static_assert(sizeof(CompressedBanner) == BannerLength + 1, "the banner is 64 bytes");

// Match distances that fill the slots a file's data does not ask for.
constexpr uint32_t EncoderDistances[DistanceCount] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                                      14, 16, 24, 32, 47, 48, 56, 58, 60, 61, 62, 64};

// Results of reading a compressed header. The registry turns them into its messages.
enum HeaderStatus : int {
  HeaderOk = 0,
  HeaderReadError = 1,  // short read or a banner that differs
  HeaderBroken = 2,     // bad fields, CRC mismatch, a code that cannot be built
  HeaderOutOfMemory = 3,
  HeaderBlockSize = 4,  // a block size other than 8192 (see blockLog)
};

// Everything needed to find and decode any block of one compressed table side.
struct CompressedHeader {
  uint32_t blockCount = 0;
  uint32_t lastBlockSize = 0;        // uncompressed length of the last block
  int blockLog = 0;                  // w as read from the file
  uint32_t maxCompressedLength = 0;  // longest compressed block, for the shared read buffer
  uint32_t distance[DistanceCount] = {};
  std::vector<uint64_t> blockOffset;  // blockCount + 1 file offsets
  // The main prefix decoder: 8192 entries indexed by the next 13 bits, each
  // symbol * 32 + code length, or minus the index of a tree node pair that
  // the following bits select from; the tree nodes follow the direct entries.
  std::vector<int32_t> decoder;
  bool codeEmpty = false;  // the code has no symbols: only stored blocks decode
  uint64_t uncompressedSize() const {
    return blockCount == 0 ? 0 : uint64_t(blockCount - 1) * BlockSize + lastBlockSize;
  }
};

// Reads and verifies the header of the file f, positioned at its start.
// Returns a HeaderStatus; on HeaderBlockSize, header->blockLog holds w.
int loadCompressedHeader(std::FILE* f, CompressedHeader* header);
// The same verification on a header area already in memory (data[0..size)
// must hold at least the whole header area).
int parseCompressedHeader(const uint8_t* data, size_t size, CompressedHeader* header);

// Decodes block `block` whose compressed bytes are in[0..inLength) into out,
// which holds BlockSize + BlockMargin bytes. Returns the block's uncompressed
// length, or -1 when the data is damaged; never reads or writes outside the buffers.
int decodeBlock(const CompressedHeader& header, uint32_t block, const uint8_t* in, size_t inLength, uint8_t* out);

// Reads block `block` of the open file f into `scratch` (maxCompressedLength
// bytes) and decodes it into out. Returns the uncompressed length or -1.
int readCompressedBlock(const CompressedHeader& header, std::FILE* f, uint32_t block, uint8_t* scratch, uint8_t* out);

// The encoder's 24 match distances for the data, in increasing order: 1..8,
// then those whose repeats cover the most of a sample of its blocks.
void chooseDistances(const uint8_t* data, size_t size, uint32_t* distances);

// Encodes data into a complete compressed file image.
std::vector<uint8_t> encodeCompressed(const uint8_t* data, size_t size);
// Writes encodeCompressed(data, size) to path; false when the file cannot be written.
bool writeCompressedFile(const char* path, const uint8_t* data, size_t size);

}  // namespace orv::tb

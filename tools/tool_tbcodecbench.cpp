// orvalis-tool tbcodecbench [megabytes] [table|runs|FILE]: encodes table-like
// data (default), runs of small values, or a file's bytes; checks the round
// trip, and prints the encoder's speed and ratio and the decoder's speed in MB/s.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "tablebase/codec.h"
#include "tool.h"

namespace {

using namespace orv::tb;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Table-like bytes: the index split into a king-pair number and three man
// squares (radices 62, 61, 60 as in five-man tables); the value is a small
// distance-to-mate from square distances, draws in whole regions, and broken
// positions (men on one square) marked 255.
std::vector<uint8_t> tableLikeData(size_t size) {
  std::vector<uint8_t> data(size);
  std::mt19937 rng(12345);
  auto distance = [](int a, int b) {
    const int df = std::abs((a & 7) - (b & 7)), dr = std::abs((a >> 3) - (b >> 3));
    return df > dr ? df : dr;
  };
  for (size_t i = 0; i < size; ++i) {
    const int third = int(i % 60), second = int(i / 60 % 61), first = int(i / 3660 % 62);
    const int kings = int(i / 226920 % 462);
    const int defender = (kings * 7) & 63;
    uint8_t value;
    if (third == second || second == first) value = 255;
    else if ((first + kings) % 5 == 0 || distance(second, defender) <= 1) value = 0;
    else value = uint8_t(1 + 2 * (distance(first, defender) + distance(third, defender) / 2));
    if (rng() % 512 == 0) value = uint8_t(rng() % 40);
    data[i] = value;
  }
  return data;
}

// Runs of 1 to 40 equal bytes, mostly small values, now and then any byte.
std::vector<uint8_t> runData(size_t size) {
  std::vector<uint8_t> data(size);
  std::mt19937 rng(777);
  for (size_t i = 0; i < size;) {
    const uint8_t value = uint8_t(rng() % 8 == 0 ? rng() % 256 : rng() % 6);
    for (size_t k = 1 + rng() % 40; k > 0 && i < size; --k) data[i++] = value;
  }
  return data;
}

bool readWholeFile(const char* path, std::vector<uint8_t>* data) {
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  uint8_t buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) data->insert(data->end(), buffer, buffer + n);
  std::fclose(f);
  return true;
}

int run(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 32.0;
  const char* kind = argc > 2 ? argv[2] : "table";
  std::vector<uint8_t> data;
  if (std::strcmp(kind, "table") == 0) {
    data = tableLikeData(size_t(megabytes * 1048576));
  } else if (std::strcmp(kind, "runs") == 0) {
    data = runData(size_t(megabytes * 1048576));
  } else {
    if (!readWholeFile(kind, &data)) {
      std::fprintf(stderr, "cannot read %s\n", kind);
      return 1;
    }
  }
  const double mb = double(data.size()) / 1e6;

  Clock::time_point start = Clock::now();
  const std::vector<uint8_t> image = encodeCompressed(data.data(), data.size());
  const double encodeSeconds = secondsSince(start);

  CompressedHeader h;
  if (int status = parseCompressedHeader(image.data(), image.size(), &h); status != HeaderOk) {
    std::printf("header status %d\n", status);
    return 1;
  }
  std::vector<uint8_t> out(BlockSize + BlockMargin);
  uint64_t stored = 0, decoded = 0;
  int passes = 0;
  start = Clock::now();
  do {
    for (uint32_t b = 0; b < h.blockCount; ++b) {
      const uint64_t at = h.blockOffset[b], length = h.blockOffset[b + 1] - at;
      const int n = decodeBlock(h, b, image.data() + at, size_t(length), out.data());
      const size_t expected = size_t(b) * BlockSize;
      if (n < 0 || (passes == 0 && std::memcmp(out.data(), data.data() + expected, size_t(n)) != 0)) {
        std::printf("block %u does not round-trip\n", b);
        return 1;
      }
      if (passes == 0 && length == uint64_t(n)) ++stored;
      decoded += uint64_t(n);
    }
    ++passes;
  } while (secondsSince(start) < 1.0);
  const double decodeSeconds = secondsSince(start);

  std::printf("input %.1f MB in %u blocks (%llu stored), output %.2f MB, ratio %.2f\n", mb, h.blockCount,
              static_cast<unsigned long long>(stored), double(image.size()) / 1e6,
              double(data.size()) / double(image.size()));
  std::printf("encode %.1f MB/s\n", mb / encodeSeconds);
  std::printf("decode %.1f MB/s (%d passes, the first checked)\n", double(decoded) / 1e6 / decodeSeconds, passes);
  return 0;
}

orv::ToolCommand reg("tbcodecbench", run);

}  // namespace

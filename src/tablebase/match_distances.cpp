// Choosing the 24 match distances of a file from its data. Distances 1..8
// always serve runs and short repeats; the others are, one at a time, the
// distance whose three-byte repeats cover the most positions of a sample of
// blocks not yet covered by the distances already chosen (table data repeats
// with the periods of its index digits, which differ from table to table).
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "tablebase/codec.h"

namespace orv::tb {

namespace {

constexpr int SampleBlocks = 8;
constexpr int Finalists = 96;           // distances kept for the covering step
constexpr uint32_t FixedNear = 8;       // distances 1..8 are always taken
constexpr uint32_t ScoreWindow = 1024;  // positions per block scored for every distance
constexpr uint32_t MaxDistance = BlockSize - 1;

struct Sample {
  std::vector<const uint8_t*> block;
  std::vector<uint32_t> length;
};

// Up to SampleBlocks blocks spread evenly over the data.
Sample sampleBlocks(const uint8_t* data, size_t size) {
  Sample s;
  const size_t blocks = (size + BlockSize - 1) / BlockSize;
  const size_t taken = std::min<size_t>(blocks, SampleBlocks);
  for (size_t k = 0; k < taken; ++k) {
    const size_t b = k * blocks / taken;
    s.block.push_back(data + b * BlockSize);
    s.length.push_back(uint32_t(std::min<size_t>(BlockSize, size - b * BlockSize)));
  }
  return s;
}

// Whether p[i..i+2] repeats the three bytes d back.
inline bool repeats(const uint8_t* p, uint32_t i, uint32_t d) {
  return ((p[i] ^ p[i - d]) | (p[i + 1] ^ p[i + 1 - d]) | (p[i + 2] ^ p[i + 2 - d])) == 0;
}

// Positions among the last ScoreWindow of p[0..n) that start a three-byte
// repeat at distance d (a contiguous window, so that the loop vectorises).
uint32_t repeatCount(const uint8_t* p, uint32_t n, uint32_t d) {
  const uint32_t first = std::max(d, n > ScoreWindow + 2 ? n - 2 - ScoreWindow : 0);
  if (first + 2 >= n) return 0;
  const uint8_t* a = p + first;
  const uint8_t* b = a - d;
  uint32_t count = 0;
  for (size_t i = 0, length = n - 2 - first; i < length; ++i)
    count += ((a[i] ^ b[i]) | (a[i + 1] ^ b[i + 1]) | (a[i + 2] ^ b[i + 2])) == 0;
  return count;
}

}  // namespace

void chooseDistances(const uint8_t* data, size_t size, uint32_t* distances) {
  const Sample s = sampleBlocks(data, size);
  std::vector<uint64_t> score(MaxDistance + 1, 0);
  for (size_t k = 0; k < s.block.size(); ++k)
    for (uint32_t d = 1; d < s.length[k] && d <= MaxDistance; ++d) score[d] += repeatCount(s.block[k], s.length[k], d);

  std::vector<uint32_t> finalists;
  for (uint32_t d = 1; d <= MaxDistance; ++d)
    if (score[d] > 0) finalists.push_back(d);
  std::stable_sort(finalists.begin(), finalists.end(), [&](uint32_t a, uint32_t b) { return score[a] > score[b]; });
  if (finalists.size() > size_t(Finalists)) finalists.resize(Finalists);

  // One bit per sampled position for each finalist; then greedy covering.
  size_t words = 0;
  std::vector<size_t> firstWord;
  for (uint32_t n : s.length) {
    firstWord.push_back(words);
    words += (n + 63) / 64;
  }
  std::vector<std::vector<uint64_t>> covers(finalists.size(), std::vector<uint64_t>(words, 0));
  for (size_t f = 0; f < finalists.size(); ++f) {
    const uint32_t d = finalists[f];
    for (size_t k = 0; k < s.block.size(); ++k) {
      const uint8_t* p = s.block[k];
      uint64_t* bits = covers[f].data() + firstWord[k];
      for (uint32_t i = d; i + 2 < s.length[k]; ++i)
        if (repeats(p, i, d)) bits[i / 64] |= uint64_t(1) << (i % 64);
    }
  }
  std::vector<uint64_t> covered(words, 0);
  std::vector<uint32_t> chosen;
  std::vector<bool> taken(finalists.size(), false);
  for (uint32_t d = 1; d <= FixedNear; ++d) {
    chosen.push_back(d);
    const auto f = std::find(finalists.begin(), finalists.end(), d);
    if (f == finalists.end()) continue;
    taken[size_t(f - finalists.begin())] = true;
    for (size_t w = 0; w < words; ++w) covered[w] |= covers[size_t(f - finalists.begin())][w];
  }
  while (chosen.size() < size_t(DistanceCount)) {
    size_t bestF = finalists.size();
    uint64_t bestGain = 0;
    for (size_t f = 0; f < finalists.size(); ++f) {
      if (taken[f]) continue;
      uint64_t gain = 0;
      for (size_t w = 0; w < words; ++w) gain += uint64_t(std::popcount(covers[f][w] & ~covered[w]));
      if (gain > bestGain) bestGain = gain, bestF = f;
    }
    if (bestF == finalists.size()) break;
    taken[bestF] = true;
    chosen.push_back(finalists[bestF]);
    for (size_t w = 0; w < words; ++w) covered[w] |= covers[bestF][w];
  }
  // Distances that add nothing on the sample are filled from the fixed set.
  for (uint32_t d : EncoderDistances) {
    if (chosen.size() == size_t(DistanceCount)) break;
    if (std::find(chosen.begin(), chosen.end(), d) == chosen.end()) chosen.push_back(d);
  }
  std::sort(chosen.begin(), chosen.end());
  std::copy(chosen.begin(), chosen.end(), distances);
}

}  // namespace orv::tb

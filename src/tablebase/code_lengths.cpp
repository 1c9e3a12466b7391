// Huffman code lengths with a length limit, and canonical code values.
#include "tablebase/code_lengths.h"

#include <algorithm>
#include <cstring>
#include <queue>
#include <vector>

#include "tablebase/prefix_code.h"

namespace orv::tb {

void buildCodeLengths(const uint64_t* frequency, int count, int maxLength, uint8_t* lengths) {
  std::memset(lengths, 0, size_t(count));
  std::vector<int> used;
  for (int s = 0; s < count; ++s)
    if (frequency[s] != 0) used.push_back(s);
  const int n = int(used.size());
  if (n == 0) return;
  if (n == 1) {
    lengths[used[0]] = 1;
    return;
  }

  // Huffman tree: leaves 0..n-1, internal nodes after them; parents have higher numbers.
  using Item = std::pair<uint64_t, int>;
  std::priority_queue<Item, std::vector<Item>, std::greater<Item>> queue;
  std::vector<int> parent(size_t(2 * n - 1), -1);
  for (int i = 0; i < n; ++i) queue.push({frequency[used[i]], i});
  for (int next = n; queue.size() > 1; ++next) {
    const Item a = queue.top();
    queue.pop();
    const Item b = queue.top();
    queue.pop();
    parent[a.second] = parent[b.second] = next;
    queue.push({a.first + b.first, next});
  }
  std::vector<int> depth(size_t(2 * n - 1), 0);
  int perLength[64] = {};
  for (int i = 2 * n - 3; i >= 0; --i) depth[i] = depth[parent[i]] + 1;
  for (int i = 0; i < n; ++i) ++perLength[std::min(depth[i], maxLength)];

  // Clipping deep leaves to maxLength over-fills the code; each step moves
  // one leaf from the deepest level beside a shallower leaf, lowering the
  // Kraft sum by one unit of 2^-maxLength.
  uint64_t total = 0;
  for (int len = 1; len <= maxLength; ++len) total += uint64_t(perLength[len]) << (maxLength - len);
  for (; total > (uint64_t(1) << maxLength); --total) {
    --perLength[maxLength];
    for (int len = maxLength - 1; len > 0; --len) {
      if (perLength[len] != 0) {
        --perLength[len];
        perLength[len + 1] += 2;
        break;
      }
    }
  }

  // The most frequent symbols take the shortest lengths.
  std::stable_sort(used.begin(), used.end(), [&](int a, int b) { return frequency[a] > frequency[b]; });
  int k = 0;
  for (int len = 1; len <= maxLength; ++len)
    for (int i = 0; i < perLength[len]; ++i) lengths[used[k++]] = uint8_t(len);
}

void canonicalCodes(const uint8_t* lengths, int count, uint32_t* codes) {
  uint32_t perLength[MaxCodeLength + 1] = {}, next[MaxCodeLength + 1] = {};
  for (int s = 0; s < count; ++s) ++perLength[lengths[s]];
  perLength[0] = 0;
  uint32_t code = 0;
  for (int len = 1; len <= MaxCodeLength; ++len) {
    next[len] = code;
    code = (code + perLength[len]) << 1;
  }
  for (int s = 0; s < count; ++s) codes[s] = lengths[s] == 0 ? 0 : next[lengths[s]]++;
}

}  // namespace orv::tb

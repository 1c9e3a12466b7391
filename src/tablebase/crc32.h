// The reflected CRC-32 (polynomial 0xEDB88320) that guards compressed table
// headers: start value 0, no final inversion, one table step per byte.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace orv::tb {

constexpr std::array<uint32_t, 256> makeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    table[i] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> CrcTable = makeCrcTable();

inline uint32_t crc32(const uint8_t* data, size_t length, uint32_t crc = 0) {
  for (size_t i = 0; i < length; ++i) crc = (crc >> 8) ^ CrcTable[(crc ^ data[i]) & 255];
  return crc;
}

}  // namespace orv::tb

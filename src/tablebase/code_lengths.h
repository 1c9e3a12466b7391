// Length-limited prefix code construction for the encoder, and the canonical
// code values that match the decoder's assignment.
#pragma once
#include <cstdint>

namespace orv::tb {

// Optimal code lengths for the symbol frequencies, then limited to maxLength
// (at most 31). Unused symbols get length 0; a lone used symbol gets length 1.
void buildCodeLengths(const uint64_t* frequency, int count, int maxLength, uint8_t* lengths);

// Canonical code values: by length, then symbol number, shorter codes first.
void canonicalCodes(const uint8_t* lengths, int count, uint32_t* codes);

}  // namespace orv::tb

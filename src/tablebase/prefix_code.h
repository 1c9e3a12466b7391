// Canonical prefix decoders: a direct table indexed by the next t bits, whose
// entries hold symbol * 32 + code length, and tree nodes for longer codes.
#pragma once
#include <cstdint>
#include <vector>

#include "tablebase/bit_reader.h"

namespace orv::tb {

constexpr int MaxCodeLength = 31;
constexpr int MainLookupBits = 13;
constexpr int AuxLookupBits = 8;

enum PrefixCodeStatus : int {
  PrefixCodeOk = 0,
  PrefixCodeEmpty = 1,       // every length 0: a valid code with no symbols
  PrefixCodeBadLength = -1,  // a length above 31, or a lone symbol whose length is not 1
  PrefixCodeOverfull = -2,
  PrefixCodeIncomplete = -3,
};

// Builds the decoding table for `count` code lengths (0 = symbol unused).
// Symbols receive consecutive code values in order of length, then symbol
// number. A single used symbol (length 1) decodes without consuming a bit.
// On an error the table is left empty. An empty code gives 2^lookupBits zeros.
int buildPrefixDecoder(const uint8_t* lengths, int count, int lookupBits, std::vector<int32_t>* table);

// Decodes one symbol with a table built for `lookupBits`.
inline int decodeSymbol(BitReader& in, const int32_t* table, int lookupBits) {
  int32_t entry = table[in.peek(lookupBits)];
  if (entry >= 0) {
    in.skip(entry & 31);
    return entry >> 5;
  }
  in.skip(lookupBits);
  do entry = table[in.bit() - entry];
  while (entry < 0);
  return entry >> 5;
}

}  // namespace orv::tb

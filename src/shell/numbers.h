// Numbers in command lines and configuration values, read without overflow.
#pragma once
#include <climits>

namespace orv {

// Reads a decimal integer the way atoi does (leading blanks, an optional sign,
// digits) but clamps it to [lo, hi] instead of overflowing. 0 when no digit
// follows. *end, when given, points past what was read (at `text` when nothing was).
long long readClamped(const char* text, long long lo, long long hi, const char** end = nullptr);

inline int readInt(const char* text) { return int(readClamped(text, INT_MIN, INT_MAX)); }

}  // namespace orv

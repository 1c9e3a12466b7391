#include "shell/numbers.h"

namespace orv {

long long readClamped(const char* text, long long lo, long long hi, const char** end) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (*p < '0' || *p > '9') {
    if (end) *end = text;
    return 0 < lo ? lo : (0 > hi ? hi : 0);
  }
  // The magnitude saturates far above any bound a caller uses.
  constexpr long long Saturated = LLONG_MAX / 10 - 9;
  long long magnitude = 0;
  for (; *p >= '0' && *p <= '9'; ++p)
    if (magnitude < Saturated) magnitude = magnitude * 10 + (*p - '0');
  if (end) *end = p;
  const long long v = negative ? -magnitude : magnitude;
  return v < lo ? lo : (v > hi ? hi : v);
}

}  // namespace orv

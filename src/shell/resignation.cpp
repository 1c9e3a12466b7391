#include "shell/resignation.h"

namespace orv {

namespace {
// Packed results below this hold a score of -32691 or lower with any move:
// the engine is mated within 9 plies.
constexpr int32_t LostBelow = int32_t(0x804E0001u);
}  // namespace

bool updateResignation(int32_t result, bool resignOn, int& counter, int& previousScore) {
  int32_t score = result / 65536;
  bool lost = resignOn && result < LostBelow;
  if (lost && score < previousScore) ++counter;
  else counter = 0;
  previousScore = score;
  return counter == 3;
}

}  // namespace orv

#include "notation/score_text.h"

#include <cstdio>

namespace orv {

namespace {

constexpr long long UnknownScore = 32761;   // the root has no score yet
constexpr long long Infinite = 32767;
constexpr long long MateBase = 32700;       // a mate at ply p scores 32700 - p
constexpr long long MateThreshold = 32000;  // above this in absolute value: a mate score

}  // namespace

void formatScore(int score, char* out) {
  if (score == UnknownScore) {
    std::snprintf(out, ScoreTextSize, " ");
    return;
  }
  const char sign = score > 0 ? '+' : '-';
  const long long a = score < 0 ? -(long long)score : score;
  if (a == Infinite) {
    std::snprintf(out, ScoreTextSize, "%cINF ", sign);
  } else if (a > MateThreshold) {
    // Moves to mate: an odd number of plies rounds up.
    const long long plies = MateBase - a;
    std::snprintf(out, ScoreTextSize, "%cMAT%lld ", sign, plies / 2 + plies % 2);
  } else {
    std::snprintf(out, ScoreTextSize, "%+4.2f ", double(score) / 480.0);
  }
}

}  // namespace orv

#include "notation/score_text.h"

#include <cstdio>

#include "board/score.h"
#include "board/types.h"

namespace orv {

void formatScore(int score, char* out) {
  if (score == NoScore) {
    std::snprintf(out, ScoreTextSize, " ");
    return;
  }
  const char sign = score > 0 ? '+' : '-';
  const long long a = score < 0 ? -(long long)score : score;
  if (a == InfiniteScore) {
    std::snprintf(out, ScoreTextSize, "%cINF ", sign);
  } else if (a > NormalScoreLimit) {
    // Moves to mate: an odd number of plies rounds up.
    const long long plies = MateScore - a;
    std::snprintf(out, ScoreTextSize, "%cMAT%lld ", sign, plies / 2 + plies % 2);
  } else {
    std::snprintf(out, ScoreTextSize, "%+4.2f ", double(score) / PawnValue);
  }
}

}  // namespace orv

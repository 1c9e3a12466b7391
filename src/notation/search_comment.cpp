#include "notation/search_comment.h"

#include <cstring>
#include <mutex>

#include "notation/movetext.h"
#include "notation/score_text.h"
#include "search/counters.h"
#include "search/pv.h"

namespace orv {

namespace {

// The print buffer as it stood at the last comment; guarded by the PV lock.
Move loggedPv[PvBufferSize];

}  // namespace

int formatSearchComment(char* out, size_t size) {
  if (size == 0) return 1;
  out[0] = 0;
  std::lock_guard<std::mutex> hold(pvLock);
  if (std::memcmp(printPv, loggedPv, sizeof loggedPv) == 0) return 1;

  char score[ScoreTextSize];
  formatScore(bestRootScore.load(std::memory_order_relaxed), score);
  size_t used = std::strlen(score);
  if (used < size) std::memcpy(out, score, used + 1);
  else used = 0, out[0] = 0;
  for (int i = 0; i < PvBufferSize && printPv[i] != 0; ++i) {
    char move[CoordinateTextSize + 1];
    const int n = coordinateText(printPv[i], move);
    move[n] = ' ';
    if (used + size_t(n) + 1 >= size) break;  // no room for the move, its blank and the terminator
    std::memcpy(out + used, move, size_t(n) + 1);
    used += size_t(n) + 1;
    out[used] = 0;
  }
  std::memcpy(loggedPv, printPv, sizeof loggedPv);
  return 1;
}

}  // namespace orv

#include "search/multipv.h"

#include <algorithm>

#include "search/move_words.h"
#include "search/output.h"
#include "search/pv.h"
#include "search/search_internal.h"
#include "search/search_state.h"
#include "search/worker.h"

namespace orv {

namespace {

bool isReported(const Move* reported, int count, Move m) {
  return std::find(reported, reported + count, m) != reported + count;
}

// The root moves of `list` not reported yet, in their order, as the node search's root list.
int orderUnreported(SearchWorker& w, const uint32_t* list, const Move* reported, int count) {
  int n = 0;
  for (int i = 0; list[i] != 0 && n < RootListSize - 1; ++i)
    if (!isReported(reported, count, moveOf(list[i]))) w.state.orderedRootList[n++] = moveOf(list[i]);
  w.state.orderedRootList[n] = 0;
  return n;
}

void copyLine(const PvNode* node, Move* out) {
  int n = 0;
  for (; node && node->word != 0 && n < PvBufferSize - 1; node = node->next) out[n++] = moveOf(node->word);
  out[n] = 0;
}

}  // namespace

void searchOtherLines(SearchWorker& w, int side, uint32_t* list, int d, const Board& b, bool uci) {
  const uint32_t firstLine = w.state.pvLine[0]->word;
  Move reported[MaxMultiPv];
  int count = 0;
  reported[count++] = moveOf(list[0]);
  try {
    while (count < w.limits.multiPv && orderUnreported(w, list, reported, count) > 0) {
      w.state.pvLine[0]->word = scoredWord(0, -InfiniteScore);
      searchRootCall(w, side, 0, FlagRoot | FlagFirstLine, d, -InfiniteScore, InfiniteScore, b);
      const int score = signedScoreOf(w.state.pvLine[0]->word);
      const Move m = moveOf(w.state.pvLine[0]->word);
      if (score <= -InfiniteScore || m == 0) break;
      // The first line's move stays first: a later line that scores above it
      // (a search with a full window may) is ranked just below it.
      for (int i = 0; list[i] != 0; ++i)
        if (moveOf(list[i]) == m) list[i] = scoredWord(list[i], std::min(score, signedScoreOf(list[0])));
      reported[count++] = m;
      Move line[PvBufferSize];
      copyLine(w.state.pvLine[0], line);
      SearchLineFigures f = searchLineFigures(w, score, d, BoundExact);
      f.multiPv = count;
      printSearchLine(line, f, uci);
    }
  } catch (const SearchAborted&) {
    // The lines finished so far stand.
  }
  w.state.pvLine[0]->word = firstLine;
}

}  // namespace orv

// MultiPV: the best few root moves, each with its own line, per iteration.
#pragma once
#include <cstdint>

#include "board/board.h"

namespace orv {

struct SearchWorker;

// After the first line of iteration d (the first root move of `list`): searches
// the lines 2 to w.limits.multiPv, each over the root moves not reported yet
// with a full window, scores their moves in `list` and prints each as line k.
// An abort ends it at once; the lines finished so far keep their scores. The
// first line's root word is restored for the next iteration.
void searchOtherLines(SearchWorker& w, int side, uint32_t* list, int d, const Board& b, bool uci);

}  // namespace orv

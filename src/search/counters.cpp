#include "search/counters.h"

namespace orv {

void SearchCounters::resetNodeCounts() {
  for (std::atomic<uint64_t>* c :
       {&nodes, &fullWidthNodes, &quiescenceNodes, &tableHits, &searchedMoves, &nullMoves, &tablebaseHits})
    c->store(0, std::memory_order_relaxed);
  selectiveDepth.store(0, std::memory_order_relaxed);
}

}  // namespace orv

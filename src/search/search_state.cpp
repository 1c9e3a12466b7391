#include "search/search_state.h"

#include <cstring>

namespace orv {

void SearchState::clearHistory() {
  std::memset(history, 0, sizeof history);
  std::memset(followUp, 0, sizeof followUp);
}

void SearchState::clearKillers() { std::memset(killers, 0, sizeof killers); }

void SearchState::resetPvChains() {
  int at = 0;
  for (int p = 0; p < MaxPly; ++p) {
    pvLine[p] = &pvNodes[at];
    const int length = MaxPly - p;
    for (int i = 0; i < length; ++i) {
      pvNodes[at + i].word = 0;
      pvNodes[at + i].next = i + 1 < length ? &pvNodes[at + i + 1] : nullptr;
    }
    at += length;
  }
}

void SearchState::clear() {
  clearHistory();
  clearKillers();
  std::memset(orderedRootList, 0, sizeof orderedRootList);
  resetPvChains();
  rootSide = White;
  extensionPlyLimit = 0;
  timeCheckCounter = 0;
  failHighFlag = false;
  softLimitMs = hardLimitMs = 0;
  softPassed = false;
}

}  // namespace orv

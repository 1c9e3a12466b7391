// The resignation rule: three engine moves in a row with a falling score that
// is mated within 9 plies.
#pragma once
#include <cstdint>

namespace orv {

// Updates the counter and the previous score after an xboard move with a
// searched SearchResult; true when the engine resigns now (the counter has
// just reached 3).
bool updateResignation(int32_t result, bool resignOn, int& counter, int& previousScore);

}  // namespace orv

// Phase code, root form (the node form is computePhase in eval/evaluate.h).
#pragma once
#include "board/types.h"

namespace orv {

int rootPhase(const Board& b);

}  // namespace orv

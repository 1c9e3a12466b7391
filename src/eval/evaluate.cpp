#include "eval/evaluate.h"

namespace orv {

uint32_t evaluationCount = 0;

int evaluate(int side, const NodeState& s) {
  ++evaluationCount;
  (void)side;
  (void)s;
  return -2;
}

}  // namespace orv

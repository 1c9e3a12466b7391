#include "eval/position.h"

namespace orv {

Board searchPosition;

}  // namespace orv

// Search information output.
#include "search/search.h"

namespace orv {

void printStatus() {}

}  // namespace orv

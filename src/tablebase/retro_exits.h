// The smaller tables that a table's captures and promotions lead into, held
// in memory while it is generated so that its threads read them at once.
#pragma once
#include <cstdint>
#include <vector>

#include "board/types.h"
#include "tablebase/table_info.h"

namespace orv::tb {

class ExitTables {
 public:
  // Reads both sides of each table through the engine's registry and cache
  // (initTablebases first). False when a side is not registered or unreadable.
  bool load(const std::vector<int>& tables);
  // Table value of the position on b for `side` to move, found as the probe
  // finds it; 0 for bare kings, TablebaseUnknown when no loaded table holds it.
  int value(const Board& b, int side) const;

 private:
  std::vector<int8_t> bytes_[TableCount + 1][2];
};

}  // namespace orv::tb

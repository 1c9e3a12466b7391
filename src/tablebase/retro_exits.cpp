// Loading the exit tables and looking positions up in them.
#include "tablebase/retro_exits.h"

#include <cstdlib>

#include "tablebase/block_cache.h"
#include "tablebase/index.h"
#include "tablebase/material_key.h"
#include "tablebase/probe.h"
#include "tablebase/probe_target.h"
#include "tablebase/registry.h"
#include "tablebase/square_lists.h"

namespace orv::tb {

bool ExitTables::load(const std::vector<int>& list) {
  for (int table : list)
    for (int side = 0; side < 2; ++side) {
      if (!tables[table].side[side].registered()) return false;
      std::vector<int8_t>& bytes = bytes_[table][side];
      bytes.resize(tableInfo[table].count[side]);
      for (uint32_t i = 0; i < bytes.size(); ++i) {
        const int b = readTableByte(table, side, i);
        if (b == ByteUnknown) return false;
        bytes[i] = int8_t(b);
      }
    }
  return true;
}

int ExitTables::value(const Board& b, int side) const {
  MaterialKey key;
  if (materialKeyOf(b, key) == 0) return 0;
  const int number = tableNumber(key);
  if (number == 0) return TablebaseUnknown;
  int8_t white[ListSize], black[ListSize];
  fillSquareLists(b, white, black);
  // As the probe reads it: +n the table as named, -n with the colours
  // exchanged and the board turned.
  const int table = std::abs(number);
  const int tableSide = number > 0 ? side : side ^ 1;
  const uint32_t index = number > 0 ? tableIndex(table, tableSide, white, black, -1, 0)
                                    : tableIndex(table, tableSide, black, white, -1, 1);
  const std::vector<int8_t>& bytes = bytes_[table][tableSide];
  return index < bytes.size() ? tableValueOfByte(bytes[index]) : TablebaseUnknown;
}

}  // namespace orv::tb

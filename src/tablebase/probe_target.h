// The parts of a probe below probeTablebase: which table side and which
// square lists a prepared position is read with, and what a stored byte means.
#pragma once
#include <cstdint>

#include "tablebase/probe.h"

namespace orv::tb {

struct ProbeTarget {
  int table = 0;                   // 1..110; 0 when no registered table covers the material
  int side = 0;                    // the table side read (0 White, 1 Black to move in the table)
  const int8_t* first = nullptr;   // square list of the side named first in the table name
  const int8_t* second = nullptr;  // the other side's list
  int epSquare = -1;
  int invert = 0;  // 1 when the colours are exchanged (the board is turned)
};

// Where the position prepared in `probe` is read for `side` to move.
ProbeTarget locateProbe(const TablebaseProbe& probe, int side, int epSquare);

// Table value stored at `index` of a table side (steps after the index is known).
int readTableValue(int table, int side, uint32_t index);

// Table value of a stored byte: 0 draw; 1..126 win (32640 + byte); -126..-1
// loss (byte - 32640); -128 win and -127 loss beyond the counted range; 127 unknown.
constexpr int tableValueOfByte(int byte) {
  return byte == 0      ? 0
         : byte == 127  ? 32767
         : byte == -128 ? 32640
         : byte == -127 ? -32640
         : byte > 0     ? 32640 + byte
                        : byte - 32640;
}

}  // namespace orv::tb

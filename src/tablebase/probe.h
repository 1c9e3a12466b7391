// Endgame tablebase probing as the search sees it.
#pragma once
#include <cstdint>

#include "board/types.h"
#include "tablebase/material_tree.h"
#include "tablebase/index.h"

namespace orv {

// Table value meaning "not known" (no table, no file, unreadable byte).
constexpr int TablebaseUnknown = 32767;

// One probe's scratch: the material key and square lists of a position. Each
// search thread has its own.
struct TablebaseProbe {
  uint8_t material[tb::MaterialKinds];
  int8_t squareList[2][tb::ListSize];
};

// Prepares a probe of the position b: fills the material key and the square
// lists; returns the number of men other than the kings.
int prepareTablebaseProbe(TablebaseProbe& probe, const Board& b);
// Value of the prepared position for `side` to move with the en-passant
// target square (or -1): 0 draw, > 0 win, < 0 loss, TablebaseUnknown. Safe to
// call from several threads at once: the files and block cache are read under
// one lock.
int probeTablebase(const TablebaseProbe& probe, int side, int epSquare);

}  // namespace orv

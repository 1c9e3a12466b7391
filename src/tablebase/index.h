// Position indexing: the byte of a table side that holds a position.
#pragma once
#include <cstdint>

namespace orv::tb {

// Square lists: entry 0 the king, queens from 1, rooks from 4, bishops from 7,
// knights from 10, pawns from 13; -1 where empty.
constexpr int ListSize = 17;
constexpr int ListQueens = 1, ListRooks = 4, ListBishops = 7, ListKnights = 10, ListPawns = 13;

// Builds the king-pair, placement and offset tables; later calls do nothing.
void initIndexTables();

// Index of a position in table `table` (1..110) for `side` (0 White, 1 Black)
// to move in the table's orientation. `first` lists the men of the side named
// first in the table name, `second` the other side's; epSquare is the
// en-passant target or -1; invert 1 turns the board upside down.
uint32_t tableIndex(int table, int side, const int8_t* first, const int8_t* second, int epSquare, int invert);

// Number of indices of a table side (at least its stored count).
uint64_t indexRange(int table, int side);

}  // namespace orv::tb

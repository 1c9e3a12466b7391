// Position indexing: the byte of a table side that holds a position.
#pragma once
#include <cstdint>

namespace orv::tb {

// Square lists: entry 0 the king, queens from 1, rooks from 4, bishops from 7,
// knights from 10, pawns from 13; -1 where empty.
constexpr int ListSize = 17;
constexpr int ListQueens = 1, ListRooks = 4, ListBishops = 7, ListKnights = 10, ListPawns = 13;

// Index of a position that no table side holds (adjacent kings, a man missing
// from its list, a pawn on the first or last rank, a man of the side to move
// giving contact check to the other king). It is above every stored count.
constexpr uint32_t NoIndex = 0xFFFFFFFFu;

// Builds the king-pair, placement and offset tables; later calls do nothing.
void initIndexTables();

// Index of a position in table `table` (1..110) for `side` (0 White, 1 Black)
// to move in the table's orientation. `first` lists the men of the side named
// first in the table name, `second` the other side's; epSquare is the
// en-passant target or -1; invert 1 turns the board upside down.
// The result is below indexRange for positions with men on distinct squares;
// callers must still compare it with the stored count. initIndexTables first.
uint32_t tableIndex(int table, int side, const int8_t* first, const int8_t* second, int epSquare, int invert);

// Number of indices of a table side (at least its stored count).
uint64_t indexRange(int table, int side);

// A position of a table side in the table's orientation: `first` the men of
// the side named first (its pawns moving up), `second` the other side's.
struct TablePosition {
  int8_t first[ListSize];
  int8_t second[ListSize];
  int epSquare;  // en-passant target, -1 for none
};

// Decodes `index` of a table side into the representative position that
// tableIndex maps there (invert 0). Indices that belong to no position decode
// to positions that cannot occur (two men on one square, the side not to
// move in check, an occupied en-passant square). false when the index is not
// below indexRange.
bool indexToPosition(int table, int side, uint64_t index, TablePosition& out);

}  // namespace orv::tb

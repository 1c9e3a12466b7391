// Material of a position as ten counts (White's pawns, knights, bishops,
// rooks, queens, then Black's in the same order; kings not counted), and the
// lookup tree from such a key to the signed number of a registered table.
#pragma once
#include <cstdint>

namespace orv::tb {

constexpr int MaterialKinds = 10;
constexpr int MaxTableMen = 3;  // men besides the two kings in the largest tables

// Key index of a man: pawn 0, knight 1, bishop 2, rook 3, queen 4; Black adds 5.
constexpr int PawnKey = 0, KnightKey = 1, BishopKey = 2, RookKey = 3, QueenKey = 4, BlackKeyBase = 5;

// Counts of a table name such as "krpkn" (White's men before the second k).
void materialOfName(const char* name, uint8_t* counts);
// The same material with the colours exchanged.
void exchangeColours(const uint8_t* counts, uint8_t* exchanged);

// Lays out the tree (first call only) and empties every entry.
void clearMaterialTree();
// Enters a signed table number for a key; false when the key has more men than any table.
bool enterMaterial(const uint8_t* counts, int number);
// Signed table number of a key: +n the table as named, -n with colours exchanged, 0 none.
int findMaterial(const uint8_t* counts);

}  // namespace orv::tb

// Material keys and the lookup from a key to its signed table number.
#pragma once
#include <cstdint>

#include "board/types.h"

namespace orv::tb {

// Ten counts: White's pawns, knights, bishops, rooks, queens, then Black's.
constexpr int MaterialKeySize = 10;
enum MaterialCount : int { KeyPawns = 0, KeyKnights = 1, KeyBishops = 2, KeyRooks = 3, KeyQueens = 4 };
constexpr int KeyBlack = 5;  // offset of Black's counts

struct MaterialKey {
  uint8_t count[MaterialKeySize];
};

// Key of the men on the Board; returns the number of men other than the kings.
int materialKeyOf(const Board& b, MaterialKey& key);
// Key of a table name such as "krpkn" (White's men after the first k, Black's
// after the second); false for a name that is not of that form.
bool materialKeyOfName(const char* name, MaterialKey& key);
// The same material with the colours exchanged.
MaterialKey exchangeColours(const MaterialKey& key);

// Lookup tree over every key of at most five men (three besides the kings),
// flattened: a key is found in ten indexed steps, one per count.
constexpr int MaterialTreeSize = 286;  // keys of ten counts summing to at most 3
struct MaterialTree {
  int16_t table[MaterialTreeSize];  // signed table number, 0 = none
};

// Position of a key in the tree, -1 when it holds more than three men.
int materialTreeSlot(const MaterialKey& key);
void clearMaterialTree(MaterialTree& tree);
// Enters table `table` under its name's key with +table, then under the key
// with colours exchanged with -table (so a symmetric material ends as
// -table). false when the name is malformed or too large for the tree.
bool enterTable(MaterialTree& tree, const char* name, int table);
// Signed table number of a key: +n for table n as named, -n for it with the
// colours exchanged, 0 when the tree holds no table for it.
int findTable(const MaterialTree& tree, const MaterialKey& key);

// The same over all 110 tables of the registry order, built on first use.
int tableNumber(const MaterialKey& key);

}  // namespace orv::tb

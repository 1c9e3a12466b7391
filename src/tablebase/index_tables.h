// Tables shared by the index operations: king-pair numbers, placements of one
// man relative to a king, running placement totals per king pair, and the
// square symmetries of tables without pawns. Built once by buildIndexTables.
#pragma once
#include <cstdint>

namespace orv::tb {

constexpr int NoKingPair = 4000;        // king-pair number of pairs that are never indexed
constexpr int PawnKingPairs = 1806;     // first king on files a..d
constexpr int PawnlessKingPairs = 462;  // first king in the a1-d1-d4 triangle

// Placement tables: which squares a man may take relative to a king.
enum PlacementTable : int {
  PlacePawn = 0,         // a2..h7 except the king's square
  PlacePawnNoCheck = 1,  // ... and except the two squares from which a pawn attacks the king
  PlaceKnight = 2,       // all squares except the king's and its knight checks
  PlaceBishop = 3,       // ... except the king's and its diagonal neighbours
  PlaceRook = 4,         // ... except the king's and its orthogonal neighbours
  PlaceQueen = 5,        // ... except the king's and its eight neighbours
  PlacementTableCount = 6,
};
constexpr uint8_t NotPlaced = 255;

// Unordered pair of distinct ranks hi > lo.
constexpr uint32_t pairRank(uint32_t hi, uint32_t lo) { return hi * (hi - 1) / 2 + lo; }
constexpr uint32_t pairCount(uint32_t n) { return n * (n - 1) / 2; }

struct IndexTables {
  // [0] tables without pawns, [1] tables with pawns; first king square * 64 + second.
  int16_t kingPair[2][64 * 64];
  uint8_t pairKings[2][PawnKingPairs][2];  // the two squares of each numbered pair

  uint8_t placement[PlacementTableCount][64 * 64];    // king square * 64 + man square -> rank
  uint8_t placedSquare[PlacementTableCount][64][64];  // king square, rank -> man square
  uint8_t placementCount[PlacementTableCount][64];    // allowed squares per king square

  // Tables without pawns: symmetry s (bits 0-1 the mirror XOR 0, 7, 56, 63 by
  // index; bit 2 the diagonal transposition after it) applied to a square.
  uint8_t symmetry[8][64];
  uint8_t mirrorOf[64];        // mirror bringing a reference king into a1..d4
  uint8_t transpose[64 * 64];  // 4 when the mirrored pair (reference, other) must be transposed
};

// Built once (initIndexTables, under a once flag); read-only afterwards, by every thread.
extern IndexTables indexTables;

// Builds everything above and the offset tables; later calls do nothing.
void buildIndexTables();

// Running totals, per king pair in numbering order, of the placements of one
// man (second = -1), an unordered pair of like men (second == first), or an
// ordered pair of different men (first the more significant). Entry [pairs]
// is the grand total. pawns selects the king-pair numbering.
const uint32_t* placementOffsets(bool pawns, int first, int second);
// Placements of one man per king pair: the allowed squares for the other king
// less the reference king's own square when it is allowed.
const uint8_t* placementsPerPair(bool pawns, int table);

// Placement rank of a man on `man` relative to the king on `king`, less one
// when the reference king's square `ref` is allowed and lower; NotPlaced when
// the man's square is not allowed.
inline int placedRank(int table, int king, int ref, int man) {
  const uint8_t* p = indexTables.placement[table] + king * 64;
  const int r = p[man];
  return r == NotPlaced ? NotPlaced : r - (p[ref] < r);
}

}  // namespace orv::tb

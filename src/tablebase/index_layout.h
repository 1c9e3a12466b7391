// How each table side composes its index: which men form the first part, the
// order and ranges of the remaining digits, and the en-passant part. One
// layout per table and side to move, derived from the table's name once.
#pragma once
#include <cstdint>

namespace orv::tb {

// Squares of a position as the index sees them: 0 the reference king (of the
// side to move), 1 the other king, 2.. the men in layout order.
constexpr int LayoutKing = 0, LayoutOtherKing = 1, LayoutFirstMan = 2;
constexpr int LayoutMaxMen = 3;

enum FirstPartKind : uint8_t {
  FirstKingPair,    // the king-pair number alone
  FirstOwnMen,      // the side to move's men (one, or two as a unit) ranked relative to the other king
  FirstOtherPawns,  // the side to move has no men: the other side's pawns, ranked with PlacePawn
};

enum EnPassantLayout : uint8_t {
  EpNone,             // pawns of one side at most
  EpPawnPawn,         // kpkp: king pair x 14 + slot
  EpPiecePawnVsPawn,  // the side to move has a piece and a pawn: (offset + piece rank) x 14 + slot
  EpPawnVsPiecePawn,  // the side to move has a pawn: (king pair x 58 + piece over 58) x 14 + slot
  EpTwoPawnsVsPawn,   // kppkp, two pawns to move: king pair x 616 + other pawn over 44 x 14 + slot
  EpPawnVsTwoPawns,   // kppkp, one pawn to move: the same with the other side's remaining pawn
};
constexpr int EpSlots = 14;
constexpr int EpPieceSquares = 58;  // all but the kings, both pawns, the target and the pawn's origin
constexpr int EpPawnSquares = 44;   // a2..h7 but both pawns, the target and the origin

struct LayoutMan {
  uint8_t list;   // 0 the first-named side's list, 1 the other
  uint8_t entry;  // entry in that square list
  uint8_t pawn;   // 1 for a pawn
};

// One digit of the remaining men: a single man or an unordered pair of like men.
struct LayoutDigit {
  uint8_t man;      // layout index of the (first) man
  uint8_t pair;     // 1: men `man` and `man + 1` are an unordered pair
  uint8_t pawn;     // counted over a2..h7 (square - 8) instead of the whole board
  uint8_t exclude;  // bit j: position square j is not counted (subtracted when lower)
  uint32_t range;
};

struct IndexLayout {
  uint8_t pawns = 0;  // king pairs, symmetries and board turn of tables with pawns
  uint8_t men = 0;    // men other than the kings
  LayoutMan man[LayoutMaxMen] = {};
  uint8_t firstKind = FirstKingPair;
  uint8_t unitSize = 0;               // men 0..unitSize-1 form the first part (FirstOwnMen / FirstOtherPawns)
  uint8_t unitLike = 0;               // two like men: unordered pair
  uint8_t placeA = 0, placeB = 0;     // placement tables of the unit's men
  const uint32_t* offsets = nullptr;  // running totals of the unit's placements per king pair
  const uint8_t* countB = nullptr;    // placements of the unit's second man per king pair
  uint8_t digitCount = 0;
  LayoutDigit digit[LayoutMaxMen] = {};
  uint32_t digitProduct = 1;
  uint32_t firstRange = 0;     // values of the first part
  uint32_t ordinaryRange = 0;  // positions without an en-passant right
  uint8_t ep = EpNone;
  uint8_t epPlace = 0;                  // EpPiecePawnVsPawn: the piece's placement table
  const uint32_t* epOffsets = nullptr;  // EpPiecePawnVsPawn: its running totals
  uint32_t range = 0;                   // all indices, en-passant positions included
};

// Layout of `table` (1..110) for `side` to move; valid after buildIndexLayouts.
const IndexLayout& indexLayout(int table, int side);
// Builds the layouts (and the index tables they refer to); later calls do nothing.
void buildIndexLayouts();

}  // namespace orv::tb

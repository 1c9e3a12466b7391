// The search position: a Board whose men are also kept as sets of squares,
// all men, each side's and each kind's. Men enter, leave, move and change kind
// only through the helpers below, which keep the slot squares, the square map
// and the sets together. The Board part keeps its layout, so code that reads
// or copies a Board reads the search position unchanged.
#pragma once
#include <cstdint>

#include "board/attack_tables.h"
#include "board/bitboard.h"
#include "board/types.h"

namespace orv {

struct Bitboards {
  uint64_t occupied;
  uint64_t side[2];
  uint64_t kind[8];  // by kind, King..BlackPawn (pawns per colour); kind[NoKind] stays empty
  bool operator==(const Bitboards&) const = default;
};

// The sets of a Board's men, counted from its slots.
Bitboards countBitboards(const Board& b);

struct SearchBoard : Board {
  Bitboards bits;

  // Takes the men of b and counts their sets.
  SearchBoard& operator=(const Board& b) {
    static_cast<Board&>(*this) = b;
    bits = countBitboards(b);
    return *this;
  }

  void removeMan(int slot) {
    const int sq = square[slot];
    const uint64_t b = squareBit(sq);
    square[slot] = OffBoard;
    map[sq] = EmptySquare;
    bits.occupied ^= b;
    bits.side[colourOfSlot(slot)] ^= b;
    bits.kind[kind[slot]] ^= b;
  }
  void putMan(int slot, int sq) {
    const uint64_t b = squareBit(sq);
    square[slot] = sq;
    map[sq] = slot;
    bits.occupied |= b;
    bits.side[colourOfSlot(slot)] |= b;
    bits.kind[kind[slot]] |= b;
  }
  // The destination is empty.
  void moveMan(int slot, int from, int to) {
    const uint64_t b = squareBit(from) | squareBit(to);
    map[from] = EmptySquare;
    map[to] = slot;
    square[slot] = to;
    bits.occupied ^= b;
    bits.side[colourOfSlot(slot)] ^= b;
    bits.kind[kind[slot]] ^= b;
  }
  // A man on the board becomes one of kind k (promotion, and its take-back).
  void changeKind(int slot, int k) {
    const uint64_t b = squareBit(square[slot]);
    bits.kind[kind[slot]] ^= b;
    bits.kind[k] ^= b;
    kind[slot] = k;
    value[slot] = kindValue[k];
  }

  template <int Side> uint64_t menOf(int k) const { return bits.kind[k] & bits.side[Side]; }
  // Side's men that slide along ranks and files, and along diagonals.
  template <int Side> uint64_t straightSliders() const {
    return (bits.kind[Rook] | bits.kind[Queen]) & bits.side[Side];
  }
  template <int Side> uint64_t diagonalSliders() const {
    return (bits.kind[Bishop] | bits.kind[Queen]) & bits.side[Side];
  }
};

// Is sq attacked by a man of Side (its king counted only WithKing)? The one
// attack test of the engine: the search's, the game's legal move generator's
// and the tablebase generator's.
template <int Side, bool WithKing = true> inline bool attackedBy(const Bitboards& b, int sq) {
  const uint64_t own = b.side[Side];
  if (pawnAttacks<opposite(Side)>(sq) & b.kind[pawnKind(Side)]) return true;
  if (knightAttacks(sq) & b.kind[Knight] & own) return true;
  if (WithKing && (kingAttacks(sq) & b.kind[King] & own)) return true;
  const uint64_t straight = (b.kind[Rook] | b.kind[Queen]) & own;
  if (straight && (rookAttacks(sq, b.occupied) & straight)) return true;
  const uint64_t diagonal = (b.kind[Bishop] | b.kind[Queen]) & own;
  return diagonal && (bishopAttacks(sq, b.occupied) & diagonal);
}
template <int Side, bool WithKing = true> inline bool attackedBy(const SearchBoard& p, int sq) {
  return attackedBy<Side, WithKing>(p.bits, sq);
}

}  // namespace orv

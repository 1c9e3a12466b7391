// Board set-up: the start position, the clear board and placement of men in slots.
#include <cstring>

#include "board/board.h"

namespace orv {

namespace {

// Kinds of the fixed-role slots 0..7 (and 16..23).
constexpr int roleKind[8] = {King, Queen, Rook, Rook, Bishop, Bishop, Knight, Knight};
// Start squares of White's slots 0..7; Black's are the same files on rank 8.
constexpr int roleStartSquare[8] = {4, 3, 0, 7, 2, 5, 1, 6};

bool slotFree(const Board& b, int slot) { return b.square[slot] == OffBoard; }

// The first free pawn slot of a side, scanning from the h-pawn slot down.
int freePawnSlotFromTop(const Board& b, int base) {
  for (int slot = base + LastPawnSlot; slot >= base + FirstPawnSlot; --slot)
    if (slotFree(b, slot)) return slot;
  return -1;
}

// Preferred slot, then the alternative, then the pawn slots from the top down.
int pickSlot(const Board& b, int base, int preferred, int other) {
  if (slotFree(b, base + preferred)) return base + preferred;
  if (other >= 0 && slotFree(b, base + other)) return base + other;
  return freePawnSlotFromTop(b, base);
}

void putMan(Board& b, int slot, int kind, int sq) {
  const int standing = b.map[sq];
  if (standing != EmptySquare && standing != slot) b.square[standing] = OffBoard;  // replaced
  b.square[slot] = sq;
  b.map[sq] = slot;
  b.kind[slot] = kind;
  b.value[slot] = kindValue[kind];
}

}  // namespace

void clearBoard(Board& b) {
  std::memset(&b, 0, sizeof b);
  for (int32_t& sq : b.square) sq = OffBoard;
  for (int32_t& slot : b.map) slot = EmptySquare;
  b.kind[32] = NoKind;
  b.value[32] = 0;
}

void setupStartPosition(Board& b) {
  clearBoard(b);
  for (int side = White; side <= Black; ++side) {
    const int base = slotBase(side);
    const int rankOffset = side == White ? 0 : 56;
    for (int role = 0; role < 8; ++role) putMan(b, base + role, roleKind[role], roleStartSquare[role] + rankOffset);
    const int pawnRank = side == White ? 8 : 48;
    for (int file = 0; file < 8; ++file) putMan(b, base + FirstPawnSlot + file, pawnKind(side), pawnRank + file);
  }
}

int placeMan(Board& b, int colour, int kind, int sq) {
  if (kind < King || kind > Knight) return -2;
  if (sq < 0 || sq > 63 || (colour != White && colour != Black)) return -1;
  const int base = slotBase(colour);
  const bool kingHalf = (sq & 4) != 0;  // files e..h
  int slot = -1;
  switch (kind) {
    case King: slot = slotFree(b, base + KingSlot) ? base + KingSlot : -1; break;
    case Queen: slot = pickSlot(b, base, QueenSlot, -1); break;
    case Rook:
      slot = kingHalf ? pickSlot(b, base, KingRookSlot, QueenRookSlot) : pickSlot(b, base, QueenRookSlot, KingRookSlot);
      break;
    case Bishop: {
      const int p = (sq + (sq >> 3)) & 1;
      const int preferred = colour == White ? QueenBishopSlot + p : QueenBishopSlot + (1 - p);
      slot = pickSlot(b, base, preferred, preferred ^ 1);
      break;
    }
    case Knight:
      slot = kingHalf ? pickSlot(b, base, KingKnightSlot, QueenKnightSlot)
                      : pickSlot(b, base, QueenKnightSlot, KingKnightSlot);
      break;
  }
  if (slot < 0) return -1;
  putMan(b, slot, kind, sq);
  return slot;
}

int placePawn(Board& b, int colour, int sq) {
  if (!pawnSquareAllowed(sq) || (colour != White && colour != Black)) return -1;
  const int base = slotBase(colour);
  const int file = fileOf(sq);
  constexpr int offsets[5] = {0, -1, 1, -2, 2};
  for (int offset : offsets) {
    const int f = file + offset;
    if (f < 0 || f > 7) continue;
    const int slot = base + FirstPawnSlot + f;
    if (slotFree(b, slot)) {
      putMan(b, slot, pawnKind(colour), sq);
      return slot;
    }
  }
  return -1;
}

}  // namespace orv

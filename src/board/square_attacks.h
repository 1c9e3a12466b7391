// The attack test by table: which kinds of men attack a square from another
// on an empty board, and whether the squares between are empty. The one test
// for the game's legal move generator and the search's legality, in-check and
// check tests.
#pragma once
#include <cassert>
#include <cstdint>

#include "board/tables.h"
#include "board/types.h"

namespace orv {

// Bit k of attackBits.bits[from][to]: a man of kind k on `from` attacks `to`
// on an otherwise empty board. Row 64 (a captured man) attacks nothing.
struct AttackBits {
  uint8_t bits[65][64];
};
constexpr AttackBits buildAttackBits() {
  AttackBits t{};
  for (int from = 0; from < 64; ++from) {
    for (int to = 0; to < 64; ++to) {
      if (from == to) continue;
      const int df = fileOf(to) - fileOf(from), dr = rankOf(to) - rankOf(from);
      const int af = df < 0 ? -df : df, ar = dr < 0 ? -dr : dr;
      int b = 0;
      if (af <= 1 && ar <= 1) b |= 1 << King;
      if (df == 0 || dr == 0) b |= 1 << Rook | 1 << Queen;
      if (af == ar) b |= 1 << Bishop | 1 << Queen;
      if ((af == 1 && ar == 2) || (af == 2 && ar == 1)) b |= 1 << Knight;
      if (af == 1 && dr == 1) b |= 1 << WhitePawn;
      if (af == 1 && dr == -1) b |= 1 << BlackPawn;
      t.bits[from][to] = uint8_t(b);
    }
  }
  return t;
}
inline constexpr AttackBits attackBits = buildAttackBits();
constexpr int SliderKinds = 1 << Queen | 1 << Rook | 1 << Bishop;

// Are the squares strictly between a and b (on one line, unit step d) empty?
inline bool pathClear(const Board& p, int a, int b, int d) {
  for (int sq = a + d; sq != b; sq += d)
    if (p.map[sq] != EmptySquare) return false;
  return true;
}

// Is `target` attacked by a man of Side in slots First..15 of that side (First
// 1 leaves the king out)? The table rejects almost every man without a branch
// on its kind; only sliders need their path examined.
template <int Side, int First = 0> inline bool squareAttackedBy(const Board& p, int target) {
  assert(target >= 0 && target < 64);
  constexpr int Base = slotBase(Side);
  for (int slot = Base + First; slot < Base + 16; ++slot) {
    const int from = p.square[slot];
    const int k = p.kind[slot];
    if (!((attackBits.bits[from][target] >> k) & 1)) [[likely]]
      continue;
    if (!((SliderKinds >> k) & 1)) return true;
    if (pathClear(p, from, target, direction[from][target])) return true;
  }
  return false;
}

}  // namespace orv

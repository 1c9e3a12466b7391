// The index operations: a position's byte in a table side. The work per index
// is a fixed sequence of table lookups, shaped by the side's layout.
#include "tablebase/index.h"

#include <mutex>

#include "tablebase/index_layout.h"
#include "tablebase/index_tables.h"
#include "tablebase/table_info.h"

namespace orv::tb {

namespace {

using Squares = int[LayoutFirstMan + LayoutMaxMen];

// Value of one man's digit: its square (less 8 for pawns) less the excluded
// squares below it; -1 for a pawn outside a2..h7.
template <int Count> inline int manDigit(const LayoutDigit& d, const Squares sq, int man) {
  const int s = sq[LayoutFirstMan + man];
  int below = 0;
  for (int j = 0; j < Count; ++j) below += ((d.exclude >> j) & 1) & int(sq[j] < s);
  if (!d.pawn) return s - below;
  return unsigned(s - 8) < 48 ? s - 8 - below : -1;
}

// Slot of an en-passant capture onto `target` (rank 6 after the board turn)
// by a pawn on `capturer`, or -1 when that pawn does not stand beside the
// captured pawn.
inline int epSlot(int target, int capturer) {
  const int captured = target - 8;
  if (capturer == captured + 1 && (captured & 7) != 7) return target & 7;        // target on its left
  if (capturer == captured - 1 && (captured & 7) != 0) return (target & 7) + 6;  // target on its right
  return -1;
}

// How many of the four squares lie below s.
inline int below4(int s, int a, int b, int c, int d) { return (a < s) + (b < s) + (c < s) + (d < s); }

// En-passant part (added to the ordinary range), or -1 when the target does
// not fit the position (no pawn to capture, no pawn beside it).
int64_t enPassantPart(const IndexLayout& l, const Squares sq, int kp, int target) {
  if (unsigned(target - 40) >= 8) return -1;
  const int captured = target - 8, origin = target + 8;
  switch (l.ep) {
    case EpPawnPawn: {
      const int slot = sq[3] == captured ? epSlot(target, sq[2]) : -1;
      return slot < 0 ? -1 : int64_t(kp) * EpSlots + slot;
    }
    case EpPiecePawnVsPawn: {
      const int slot = sq[4] == captured ? epSlot(target, sq[3]) : -1;
      if (slot < 0) return -1;
      const int r = placedRank(l.epPlace, sq[1], sq[0], sq[2]);
      if (r == NotPlaced) return -1;
      return (int64_t(l.epOffsets[kp]) + r) * EpSlots + slot;
    }
    case EpPawnVsPiecePawn: {
      const int slot = sq[4] == captured ? epSlot(target, sq[2]) : -1;
      if (slot < 0) return -1;
      const int s = sq[3];
      const int piece = s - below4(s, sq[0], sq[1], sq[2], sq[4]) - (target < s) - (origin < s);
      return (int64_t(kp) * EpPieceSquares + piece) * EpSlots + slot;
    }
    case EpTwoPawnsVsPawn:
    case EpPawnVsTwoPawns: {
      int capturer, rest, slot;
      if (l.ep == EpTwoPawnsVsPawn) {
        // When both pawns stand beside the captured one, the lower slot numbers the position.
        if (sq[4] != captured) return -1;
        slot = epSlot(target, sq[2]), capturer = sq[2], rest = sq[3];
        const int second = epSlot(target, sq[3]);
        if (second >= 0 && (slot < 0 || second < slot)) slot = second, capturer = sq[3], rest = sq[2];
      } else {
        capturer = sq[2];
        if (sq[3] == captured) rest = sq[4];
        else if (sq[4] == captured) rest = sq[3];
        else return -1;
        slot = epSlot(target, capturer);
      }
      if (slot < 0 || unsigned(rest - 8) >= 48) return -1;
      const int pawn = rest - 8 - below4(rest, capturer, captured, target, origin);
      return (int64_t(kp) * EpPawnSquares + pawn) * EpSlots + slot;
    }
    default: return -1;
  }
}

// The index operation of every table side with `Men` men besides the kings.
template <int Men, bool Pawns>
uint32_t indexOf(const IndexLayout& l, const int8_t* const lists[2], int side, int epSquare, int invert) {
  static_assert(Men >= 1 && Men <= LayoutMaxMen);
  constexpr int Count = LayoutFirstMan + Men;
  const IndexTables& t = indexTables;
  Squares sq;
  sq[LayoutKing] = lists[side][0];
  sq[LayoutOtherKing] = lists[side ^ 1][0];
  int any = sq[0] | sq[1];
  for (int j = 0; j < Men; ++j) {
    sq[LayoutFirstMan + j] = lists[l.man[j].list][l.man[j].entry];
    any |= sq[LayoutFirstMan + j];
  }
  if (any & ~63) return NoIndex;  // a man missing from its list

  if constexpr (Pawns) {
    // Turn the board so that the side to move's pawns move up, then mirror
    // the reference king onto files a..d.
    int mask = (invert ^ side) & 1 ? 56 : 0;
    if ((sq[0] ^ mask) & 4) mask ^= 7;
    for (int j = 0; j < Count; ++j) sq[j] ^= mask;
    if (epSquare >= 0) epSquare ^= mask;
  } else {
    int s = t.mirrorOf[sq[0]];
    s |= t.transpose[t.symmetry[s][sq[0]] * 64 + t.symmetry[s][sq[1]]];
    for (int j = 0; j < Count; ++j) sq[j] = t.symmetry[s][sq[j]];
  }
  const int kp = t.kingPair[Pawns][sq[0] * 64 + sq[1]];
  if (kp == NoKingPair) return NoIndex;

  if constexpr (Pawns) {
    if (l.ep != EpNone && epSquare >= 0) {
      const int64_t ep = enPassantPart(l, sq, kp, epSquare);
      if (ep >= 0) return uint32_t(l.ordinaryRange + ep);
    }
  }

  uint32_t first = uint32_t(kp);
  if (l.firstKind != FirstKingPair) {
    const int a = placedRank(l.placeA, sq[1], sq[0], sq[2]);
    if (a == NotPlaced) return NoIndex;
    uint32_t unit = uint32_t(a);
    if (Men >= 2 && l.unitSize == 2) {
      const int b = placedRank(l.placeB, sq[1], sq[0], sq[3]);
      if (b == NotPlaced) return NoIndex;
      if (l.unitLike) unit = a > b ? pairRank(a, b) : pairRank(b, a);
      else unit = a * l.countB[kp] + b;
    }
    first = l.offsets[kp] + unit;
  }

  uint32_t rest = 0;
  for (int i = 0; i < LayoutMaxMen; ++i) {
    if (i >= l.digitCount) break;
    const LayoutDigit& d = l.digit[i];
    int v = manDigit<Count>(d, sq, d.man);
    if (v < 0) return NoIndex;
    if (d.pair) {
      const int w = manDigit<Count>(d, sq, d.man + 1);
      if (w < 0) return NoIndex;
      v = int(v > w ? pairRank(v, w) : pairRank(w, v));
    }
    rest = rest * d.range + uint32_t(v);
  }
  return first * l.digitProduct + rest;
}

using IndexFunction = uint32_t (*)(const IndexLayout&, const int8_t* const[2], int, int, int);

IndexFunction operations[TableCount + 1][2];

IndexFunction operationFor(const IndexLayout& l) {
  constexpr IndexFunction byMen[2][LayoutMaxMen] = {
      {indexOf<1, false>, indexOf<2, false>, indexOf<3, false>},
      {indexOf<1, true>, indexOf<2, true>, indexOf<3, true>},
  };
  return byMen[l.pawns][l.men - 1];  // every table has at least one man besides the kings
}

}  // namespace

void initIndexTables() {
  static std::once_flag once;
  std::call_once(once, [] {
    buildIndexLayouts();
    for (int table = 1; table <= TableCount; ++table)
      for (int side = 0; side < 2; ++side) operations[table][side] = operationFor(indexLayout(table, side));
  });
}

uint32_t tableIndex(int table, int side, const int8_t* first, const int8_t* second, int epSquare, int invert) {
  if (unsigned(table - 1) >= unsigned(TableCount) || unsigned(side) > 1) return NoIndex;
  const int8_t* const lists[2] = {first, second};
  return operations[table][side](indexLayout(table, side), lists, side, epSquare, invert);
}

uint64_t indexRange(int table, int side) {
  if (unsigned(table - 1) >= unsigned(TableCount) || unsigned(side) > 1) return 0;
  initIndexTables();
  return indexLayout(table, side).range;
}

}  // namespace orv::tb

// From an index back to its position: the inverse of the index operations,
// for enumerating a table side (generation, checks). Not used while probing.
#include <algorithm>
#include <cmath>

#include "tablebase/index.h"
#include "tablebase/index_layout.h"
#include "tablebase/index_tables.h"
#include "tablebase/table_info.h"

namespace orv::tb {

namespace {

constexpr int SquareCount = LayoutFirstMan + LayoutMaxMen;

// King pair whose running total range holds `value`.
int pairHolding(const uint32_t* offsets, int pairs, uint32_t value) {
  return int(std::upper_bound(offsets, offsets + pairs + 1, value) - offsets) - 1;
}

// The two ranks hi > lo of an unordered pair.
void splitPair(uint32_t value, int& hi, int& lo) {
  hi = int((1.0 + std::sqrt(1.0 + 8.0 * value)) / 2.0);
  while (pairRank(uint32_t(hi), 0) > value) --hi;
  while (pairRank(uint32_t(hi + 1), 0) <= value) ++hi;
  lo = int(value - pairRank(uint32_t(hi), 0));
}

// Square of placement rank r relative to `king`, the reference king's own
// square `ref` having been left out of the ranks.
int placedSquare(int table, int king, int ref, int r) {
  const int refRank = indexTables.placement[table][king * 64 + ref];
  if (refRank != NotPlaced && refRank <= r) ++r;
  return indexTables.placedSquare[table][king][r];
}

// The r-th square of a2..h7 (pawn) or of the board that is not among `skip`:
// the least s with s = first + r + (skipped squares from first to s).
int nthFreeSquare(bool pawn, const int* skip, int skipCount, int r) {
  const int first = pawn ? 8 : 0, end = pawn ? 56 : 64;
  uint64_t skipped = 0;
  for (int j = 0; j < skipCount; ++j)
    if (skip[j] >= first && skip[j] < end) skipped |= uint64_t(1) << skip[j];
  int s = first + r;
  for (;;) {
    if (s >= end) return -1;
    const uint64_t upTo = s == 63 ? ~uint64_t(0) : (uint64_t(2) << s) - 1;
    const int next = first + r + __builtin_popcountll(skipped & upTo);
    if (next == s) return s;
    s = next;
  }
}

void decodeDigit(const LayoutDigit& d, uint32_t value, int* sq) {
  int skip[SquareCount], n = 0;
  for (int j = 0; j < SquareCount; ++j)
    if ((d.exclude >> j) & 1) skip[n++] = sq[j];
  if (d.pair) {
    int hi, lo;
    splitPair(value, hi, lo);
    sq[LayoutFirstMan + d.man] = nthFreeSquare(d.pawn, skip, n, hi);
    sq[LayoutFirstMan + d.man + 1] = nthFreeSquare(d.pawn, skip, n, lo);
  } else {
    sq[LayoutFirstMan + d.man] = nthFreeSquare(d.pawn, skip, n, int(value));
  }
}

void decodeOrdinary(const IndexLayout& l, uint32_t index, int* sq) {
  const int pairs = l.pawns ? PawnKingPairs : PawnlessKingPairs;
  const uint32_t first = index / l.digitProduct;
  uint32_t rest = index % l.digitProduct;
  uint32_t value[LayoutMaxMen];
  for (int i = l.digitCount - 1; i >= 0; --i) {
    value[i] = rest % l.digit[i].range;
    rest /= l.digit[i].range;
  }
  const int kp = l.firstKind == FirstKingPair ? int(first) : pairHolding(l.offsets, pairs, first);
  sq[LayoutKing] = indexTables.pairKings[l.pawns][kp][0];
  sq[LayoutOtherKing] = indexTables.pairKings[l.pawns][kp][1];
  if (l.firstKind != FirstKingPair) {
    const uint32_t unit = first - l.offsets[kp];
    int a = int(unit), b = 0;
    if (l.unitSize == 2 && l.unitLike) splitPair(unit, a, b);
    else if (l.unitSize == 2) a = int(unit / l.countB[kp]), b = int(unit % l.countB[kp]);
    sq[LayoutFirstMan] = placedSquare(l.placeA, sq[1], sq[0], a);
    if (l.unitSize == 2) sq[LayoutFirstMan + 1] = placedSquare(l.placeB, sq[1], sq[0], b);
  }
  // Pawns first: the pieces' digits leave out every pawn.
  for (int pass = 1; pass >= 0; --pass)
    for (int i = 0; i < l.digitCount; ++i)
      if (l.digit[i].pawn == pass) decodeDigit(l.digit[i], value[i], sq);
}

// Returns the en-passant target square.
int decodeEnPassant(const IndexLayout& l, uint32_t e, int* sq) {
  const int slot = int(e % EpSlots);
  const uint32_t unit = e / EpSlots;
  const int target = 40 + (slot < 7 ? slot : slot - 6);
  const int captured = target - 8, origin = target + 8;
  const int capturer = slot < 7 ? captured + 1 : captured - 1;
  int kp;
  uint32_t digit = 0;
  switch (l.ep) {
    case EpPawnPawn: kp = int(unit); break;
    case EpPiecePawnVsPawn: kp = pairHolding(l.epOffsets, PawnKingPairs, unit); break;
    case EpPawnVsPiecePawn: kp = int(unit / EpPieceSquares), digit = unit % EpPieceSquares; break;
    default: kp = int(unit / EpPawnSquares), digit = unit % EpPawnSquares; break;
  }
  sq[LayoutKing] = indexTables.pairKings[1][kp][0];
  sq[LayoutOtherKing] = indexTables.pairKings[1][kp][1];
  switch (l.ep) {
    case EpPawnPawn: sq[2] = capturer, sq[3] = captured; break;
    case EpPiecePawnVsPawn:
      sq[2] = placedSquare(l.epPlace, sq[1], sq[0], int(unit - l.epOffsets[kp]));
      sq[3] = capturer, sq[4] = captured;
      break;
    case EpPawnVsPiecePawn: {
      sq[2] = capturer, sq[4] = captured;
      const int skip[6] = {sq[0], sq[1], capturer, captured, target, origin};
      sq[3] = nthFreeSquare(false, skip, 6, int(digit));
      break;
    }
    default: {
      const int skip[4] = {capturer, captured, target, origin};
      const int rest = nthFreeSquare(true, skip, 4, int(digit));
      sq[2] = capturer;
      if (l.ep == EpTwoPawnsVsPawn) sq[3] = rest, sq[4] = captured;
      else sq[3] = captured, sq[4] = rest;
      break;
    }
  }
  return target;
}

}  // namespace

bool indexToPosition(int table, int side, uint64_t index, TablePosition& out) {
  if (unsigned(table - 1) >= unsigned(TableCount) || unsigned(side) > 1) return false;
  initIndexTables();
  const IndexLayout& l = indexLayout(table, side);
  if (index >= l.range) return false;
  int sq[SquareCount] = {};
  int ep = -1;
  if (index >= l.ordinaryRange) {
    ep = decodeEnPassant(l, uint32_t(index - l.ordinaryRange), sq);
  } else {
    decodeOrdinary(l, uint32_t(index), sq);
  }
  // Black to move in tables with pawns was counted with the board turned.
  const int turn = l.pawns && side == 1 ? 56 : 0;
  std::fill(out.first, out.first + ListSize, int8_t(-1));
  std::fill(out.second, out.second + ListSize, int8_t(-1));
  int8_t* lists[2] = {out.first, out.second};
  lists[side][0] = int8_t(sq[LayoutKing] ^ turn);
  lists[side ^ 1][0] = int8_t(sq[LayoutOtherKing] ^ turn);
  for (int j = 0; j < l.men; ++j) lists[l.man[j].list][l.man[j].entry] = int8_t(sq[LayoutFirstMan + j] ^ turn);
  out.epSquare = ep < 0 ? -1 : ep ^ turn;
  return true;
}

}  // namespace orv::tb

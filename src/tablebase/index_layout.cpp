// Layouts of the 220 table sides, read off the table names.
#include "tablebase/index_layout.h"

#include <bit>
#include <mutex>

#include "tablebase/index.h"
#include "tablebase/index_tables.h"
#include "tablebase/table_info.h"

namespace orv::tb {

namespace {

IndexLayout layouts[TableCount + 1][2];

struct NamedMan {
  uint8_t list, entry, place;
  bool pawn;
  char letter;
};

// The men of one side of a name ("rp" of "krpkn"), with their list entries
// and the placement table used when they form the first part.
int readSide(const char* letters, int length, int list, NamedMan* out) {
  int next[5] = {ListQueens, ListRooks, ListBishops, ListKnights, ListPawns};
  int n = 0;
  for (int i = 0; i < length; ++i) {
    NamedMan m{uint8_t(list), 0, 0, false, letters[i]};
    switch (letters[i]) {
      case 'q': m.entry = uint8_t(next[0]++), m.place = PlaceQueen; break;
      case 'r': m.entry = uint8_t(next[1]++), m.place = PlaceRook; break;
      case 'b': m.entry = uint8_t(next[2]++), m.place = PlaceBishop; break;
      case 'n': m.entry = uint8_t(next[3]++), m.place = PlaceKnight; break;
      default: m.entry = uint8_t(next[4]++), m.place = PlacePawnNoCheck, m.pawn = true; break;
    }
    out[n++] = m;
  }
  return n;
}

int countPawns(const NamedMan* men, int n) {
  int pawns = 0;
  for (int i = 0; i < n; ++i) pawns += men[i].pawn;
  return pawns;
}

void addMan(IndexLayout& l, const NamedMan& m) { l.man[l.men++] = {m.list, m.entry, uint8_t(m.pawn)}; }

// Digits of the men from `from` on: like neighbours pair up; a piece skips
// the kings, every pawn and the pieces before it; a pawn the pawns before it.
void buildDigits(IndexLayout& l, int from, const NamedMan* named) {
  for (int i = from; i < l.men;) {
    const bool pair = i + 1 < l.men && named[i].letter == named[i + 1].letter;
    LayoutDigit d{uint8_t(i), uint8_t(pair), l.man[i].pawn, 0, 0};
    if (!d.pawn) d.exclude = 1 << LayoutKing | 1 << LayoutOtherKing;
    for (int j = 0; j < l.men; ++j) {
      const bool before = j < i;
      if (d.pawn ? (l.man[j].pawn && before) : (l.man[j].pawn || before))
        d.exclude |= uint8_t(1 << (LayoutFirstMan + j));
    }
    const uint32_t squares = (d.pawn ? 48 : 64) - std::popcount(unsigned(d.exclude));
    d.range = pair ? pairCount(squares) : squares;
    l.digitProduct *= d.range;
    l.digit[l.digitCount++] = d;
    i += pair ? 2 : 1;
  }
}

void buildEnPassant(IndexLayout& l, const NamedMan* own, int ownCount, const NamedMan* other, int otherCount) {
  const int ownPawns = countPawns(own, ownCount), otherPawns = countPawns(other, otherCount);
  if (ownPawns == 0 || otherPawns == 0) return;
  const uint32_t pairs = PawnKingPairs;
  if (ownCount == 1 && otherCount == 1) {
    l.ep = EpPawnPawn;
    l.range = l.ordinaryRange + pairs * EpSlots;
  } else if (ownPawns == 2) {
    l.ep = EpTwoPawnsVsPawn;
    l.range = l.ordinaryRange + pairs * EpPawnSquares * EpSlots;
  } else if (otherPawns == 2) {
    l.ep = EpPawnVsTwoPawns;
    l.range = l.ordinaryRange + pairs * EpPawnSquares * EpSlots;
  } else if (ownCount == 2) {
    l.ep = EpPiecePawnVsPawn;
    l.epPlace = own[0].place;
    l.epOffsets = placementOffsets(true, l.epPlace, -1);
    l.range = l.ordinaryRange + l.epOffsets[pairs] * EpSlots;
  } else {
    l.ep = EpPawnVsPiecePawn;
    l.range = l.ordinaryRange + pairs * EpPieceSquares * EpSlots;
  }
}

void buildLayout(int table, int side) {
  const char* name = tableInfo[table].name;
  int split = 1;
  while (name[split] != 'k') ++split;
  NamedMan sides[2][LayoutMaxMen];
  int counts[2];
  counts[0] = readSide(name + 1, split - 1, 0, sides[0]);
  int length = 0;
  while (name[split + 1 + length] != '\0') ++length;
  counts[1] = readSide(name + split + 1, length, 1, sides[1]);

  IndexLayout l;
  l.pawns = countPawns(sides[0], counts[0]) + countPawns(sides[1], counts[1]) > 0;
  const NamedMan* own = sides[side];
  const NamedMan* other = sides[side ^ 1];
  const int ownCount = counts[side], otherCount = counts[side ^ 1];
  const int pairs = l.pawns ? PawnKingPairs : PawnlessKingPairs;

  // Layout order: the first part's men, then the remaining men as digits.
  NamedMan named[LayoutMaxMen];
  int n = 0;
  if (ownCount > 0) {
    l.firstKind = FirstOwnMen;
    for (int i = 0; i < ownCount; ++i) named[n++] = own[i];
    for (int i = 0; i < otherCount; ++i) named[n++] = other[i];
  } else if (countPawns(other, otherCount) > 0) {
    l.firstKind = FirstOtherPawns;
    for (int i = 0; i < otherCount; ++i)
      if (other[i].pawn) named[n] = other[i], named[n++].place = PlacePawn;
    for (int i = 0; i < otherCount; ++i)
      if (!other[i].pawn) named[n++] = other[i];
  } else {
    l.firstKind = FirstKingPair;
    for (int i = 0; i < otherCount; ++i) named[n++] = other[i];
  }
  for (int i = 0; i < n; ++i) addMan(l, named[i]);

  if (l.firstKind == FirstKingPair) {
    l.firstRange = uint32_t(pairs);
  } else {
    l.unitSize = uint8_t(l.firstKind == FirstOwnMen ? ownCount : countPawns(other, otherCount));
    l.placeA = named[0].place;
    l.placeB = l.unitSize == 2 ? named[1].place : named[0].place;
    l.unitLike = l.unitSize == 2 && named[0].letter == named[1].letter;
    if (l.unitSize == 1) {
      l.offsets = placementOffsets(l.pawns, l.placeA, -1);
    } else {
      l.offsets = placementOffsets(l.pawns, l.placeA, l.placeB);
      l.countB = placementsPerPair(l.pawns, l.placeB);
    }
    l.firstRange = l.offsets[pairs];
  }
  buildDigits(l, l.unitSize, named);
  l.ordinaryRange = l.firstRange * l.digitProduct;
  l.range = l.ordinaryRange;
  buildEnPassant(l, own, ownCount, other, otherCount);
  layouts[table][side] = l;
}

}  // namespace

const IndexLayout& indexLayout(int table, int side) { return layouts[table][side]; }

void buildIndexLayouts() {
  static std::once_flag once;
  std::call_once(once, [] {
    buildIndexTables();
    for (int table = 1; table <= TableCount; ++table)
      for (int side = 0; side < 2; ++side) buildLayout(table, side);
  });
}

}  // namespace orv::tb

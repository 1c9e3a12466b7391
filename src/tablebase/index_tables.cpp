// Building the index tables once: king-pair numbering, placements, symmetries
// and the running placement totals per king pair.
#include "tablebase/index_tables.h"

#include <cstdlib>
#include <mutex>

namespace orv::tb {

IndexTables indexTables;

namespace {

constexpr int fileOf(int sq) { return sq & 7; }
constexpr int rankOf(int sq) { return sq >> 3; }

bool kingsTouch(int a, int b) { return std::abs(fileOf(a) - fileOf(b)) <= 1 && std::abs(rankOf(a) - rankOf(b)) <= 1; }

// The ten squares a1, b1, c1, d1, b2, c2, d2, c3, d3, d4.
bool inTriangle(int sq) { return rankOf(sq) <= fileOf(sq) && fileOf(sq) <= 3; }
bool onOrAboveDiagonal(int sq) { return fileOf(sq) >= rankOf(sq); }
bool onDiagonal(int sq) { return fileOf(sq) == rankOf(sq); }

void numberKingPairs() {
  IndexTables& t = indexTables;
  for (int i = 0; i < 2 * 64 * 64; ++i) t.kingPair[i / 4096][i % 4096] = NoKingPair;
  int pawn = 0, pawnless = 0;
  for (int first = 0; first < 64; ++first)
    for (int second = 0; second < 64; ++second) {
      if (first == second || kingsTouch(first, second)) continue;
      if (fileOf(first) <= 3) {
        t.kingPair[1][first * 64 + second] = int16_t(pawn);
        t.pairKings[1][pawn][0] = uint8_t(first);
        t.pairKings[1][pawn][1] = uint8_t(second);
        ++pawn;
      }
      if (inTriangle(first) && (!onDiagonal(first) || onOrAboveDiagonal(second))) {
        t.kingPair[0][first * 64 + second] = int16_t(pawnless);
        t.pairKings[0][pawnless][0] = uint8_t(first);
        t.pairKings[0][pawnless][1] = uint8_t(second);
        ++pawnless;
      }
    }
}

// Is `man` allowed for the man of placement table `table` with the king on `king`?
bool allowed(int table, int king, int man) {
  if (man == king) return false;
  const int df = fileOf(man) - fileOf(king), dr = rankOf(man) - rankOf(king);
  const int af = std::abs(df), ar = std::abs(dr);
  switch (table) {
    case PlacePawn: return rankOf(man) >= 1 && rankOf(man) <= 6;
    case PlacePawnNoCheck:  // a pawn moving up attacks the squares one rank above on both sides
      return rankOf(man) >= 1 && rankOf(man) <= 6 && !(dr == -1 && af == 1);
    case PlaceKnight: return !((af == 1 && ar == 2) || (af == 2 && ar == 1));
    case PlaceBishop: return !(af == 1 && ar == 1);
    case PlaceRook: return af + ar != 1;
    default: return !(af <= 1 && ar <= 1);
  }
}

void buildPlacements() {
  IndexTables& t = indexTables;
  for (int table = 0; table < PlacementTableCount; ++table)
    for (int king = 0; king < 64; ++king) {
      int n = 0;
      for (int man = 0; man < 64; ++man) {
        t.placedSquare[table][king][man] = NotPlaced;
        if (allowed(table, king, man)) {
          t.placement[table][king * 64 + man] = uint8_t(n);
          t.placedSquare[table][king][n] = uint8_t(man);
          ++n;
        } else {
          t.placement[table][king * 64 + man] = NotPlaced;
        }
      }
      t.placementCount[table][king] = uint8_t(n);
    }
}

void buildSymmetries() {
  IndexTables& t = indexTables;
  constexpr int mirrorMask[4] = {0, 7, 56, 63};
  for (int s = 0; s < 8; ++s)
    for (int sq = 0; sq < 64; ++sq) {
      const int m = sq ^ mirrorMask[s & 3];
      t.symmetry[s][sq] = uint8_t(s & 4 ? (m >> 3) | (m & 7) << 3 : m);
    }
  for (int sq = 0; sq < 64; ++sq) t.mirrorOf[sq] = uint8_t((fileOf(sq) >= 4 ? 1 : 0) | (rankOf(sq) >= 4 ? 2 : 0));
  for (int ref = 0; ref < 64; ++ref)
    for (int other = 0; other < 64; ++other) {
      const bool swap = !inTriangle(ref) || (onDiagonal(ref) && !onOrAboveDiagonal(other));
      t.transpose[ref * 64 + other] = uint8_t(swap ? 4 : 0);
    }
}

// Offset tables: [pawns][first][second + 1], second = -1 for one man.
uint32_t offsets[2][PlacementTableCount][PlacementTableCount + 1][PawnKingPairs + 1];
uint8_t perPair[2][PlacementTableCount][PawnKingPairs];

void buildOffsets() {
  const IndexTables& t = indexTables;
  for (int pawns = 0; pawns < 2; ++pawns) {
    const int pairs = pawns ? PawnKingPairs : PawnlessKingPairs;
    for (int table = 0; table < PlacementTableCount; ++table)
      for (int kp = 0; kp < pairs; ++kp) {
        const int ref = t.pairKings[pawns][kp][0], other = t.pairKings[pawns][kp][1];
        const bool refAllowed = t.placement[table][other * 64 + ref] != NotPlaced;
        perPair[pawns][table][kp] = uint8_t(t.placementCount[table][other] - (refAllowed ? 1 : 0));
      }
    for (int a = 0; a < PlacementTableCount; ++a)
      for (int b = -1; b < PlacementTableCount; ++b) {
        uint32_t* out = offsets[pawns][a][b + 1];
        uint32_t total = 0;
        for (int kp = 0; kp < pairs; ++kp) {
          out[kp] = total;
          const uint32_t na = perPair[pawns][a][kp];
          total += b < 0 ? na : b == a ? pairCount(na) : na * perPair[pawns][b][kp];
        }
        out[pairs] = total;
      }
  }
}

}  // namespace

void buildIndexTables() {
  static std::once_flag once;
  std::call_once(once, [] {
    numberKingPairs();
    buildPlacements();
    buildSymmetries();
    buildOffsets();
  });
}

const uint32_t* placementOffsets(bool pawns, int first, int second) { return offsets[pawns][first][second + 1]; }

const uint8_t* placementsPerPair(bool pawns, int table) { return perPair[pawns][table]; }

}  // namespace orv::tb

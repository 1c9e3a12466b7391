#include "board/attack_tables.h"

#include <gtest/gtest.h>

#include "board/board.h"
#include "board/search_board.h"

namespace orv {
namespace {

uint64_t nextRandom(uint64_t& state) {
  state = state * 6364136223846793005ull + 1442695040888963407ull;
  return state ^ (state >> 29);
}

bool onBoard(int f, int r) { return f >= 0 && f < 8 && r >= 0 && r < 8; }

// Squares reached from sq by stepping (df, dr) up to the edge or the first occupied square.
uint64_t walked(int sq, int df, int dr, uint64_t occupied) {
  uint64_t set = 0;
  for (int f = fileOf(sq) + df, r = rankOf(sq) + dr; onBoard(f, r); f += df, r += dr) {
    set |= squareBit(makeSquare(f, r));
    if (occupied & squareBit(makeSquare(f, r))) break;
  }
  return set;
}
uint64_t walkedRook(int sq, uint64_t occ) {
  return walked(sq, 0, 1, occ) | walked(sq, 0, -1, occ) | walked(sq, 1, 0, occ) | walked(sq, -1, 0, occ);
}
uint64_t walkedBishop(int sq, uint64_t occ) {
  return walked(sq, 1, 1, occ) | walked(sq, -1, -1, occ) | walked(sq, 1, -1, occ) | walked(sq, -1, 1, occ);
}

TEST(AttackTables, SlidersMatchARayWalkOnRandomAndExtremeOccupancies) {
  uint64_t state = 2024;
  for (int n = 0; n < 600; ++n) {
    uint64_t occupied = nextRandom(state);
    if (n % 4 == 1) occupied &= nextRandom(state);
    if (n % 4 == 2) occupied &= nextRandom(state) & nextRandom(state);
    if (n == 0) occupied = 0;
    if (n == 3) occupied = ~0ull;
    for (int sq = 0; sq < 64; ++sq) {
      // The slider's own square may or may not count as occupied: no difference.
      ASSERT_EQ(rookAttacks(sq, occupied), walkedRook(sq, occupied)) << sq << " " << occupied;
      ASSERT_EQ(bishopAttacks(sq, occupied), walkedBishop(sq, occupied)) << sq << " " << occupied;
      ASSERT_EQ(queenAttacks(sq, occupied ^ squareBit(sq)), walkedRook(sq, occupied) | walkedBishop(sq, occupied));
    }
  }
}

TEST(AttackTables, StepAttacksAndLinesFollowTheSquareDifferences) {
  for (int a = 0; a < 64; ++a) {
    for (int b = 0; b < 64; ++b) {
      const int df = fileOf(b) - fileOf(a), dr = rankOf(b) - rankOf(a);
      const int af = df < 0 ? -df : df, ar = dr < 0 ? -dr : dr;
      const uint64_t bit = squareBit(b);
      EXPECT_EQ((kingAttacks(a) & bit) != 0, a != b && af <= 1 && ar <= 1);
      EXPECT_EQ((knightAttacks(a) & bit) != 0, af * ar == 2);
      EXPECT_EQ((pawnAttacks<White>(a) & bit) != 0, af == 1 && dr == 1);
      EXPECT_EQ((pawnAttacks<Black>(a) & bit) != 0, af == 1 && dr == -1);
      const bool line = a != b && (df == 0 || dr == 0 || af == ar);
      if (!line) {
        EXPECT_EQ(betweenSquares(a, b), 0u);
        EXPECT_EQ(rayThrough(a, b), 0u);
        continue;
      }
      const int sf = df > 0 ? 1 : df < 0 ? -1 : 0, sr = dr > 0 ? 1 : dr < 0 ? -1 : 0;
      const uint64_t ray = walked(a, sf, sr, 0);
      EXPECT_EQ(rayThrough(a, b), ray) << a << " " << b;
      EXPECT_EQ(betweenSquares(a, b), walked(a, sf, sr, bit) & ~bit) << a << " " << b;
    }
  }
}

// A random legal-looking set-up: two kings and up to 20 other men, pawns off
// the end ranks, promoted kinds in pawn slots now and then.
Board randomBoard(uint64_t& state) {
  Board b;
  clearBoard(b);
  placeMan(b, White, King, int(nextRandom(state) % 64));
  int blackKing;
  do blackKing = int(nextRandom(state) % 64);
  while (b.map[blackKing] != EmptySquare);
  placeMan(b, Black, King, blackKing);
  const int men = int(nextRandom(state) % 21);
  for (int i = 0; i < men; ++i) {
    const int sq = int(nextRandom(state) % 64);
    if (b.map[sq] != EmptySquare) continue;
    const int colour = int(nextRandom(state) & 1);
    const int kind = int(nextRandom(state) % 5);
    if (kind == 0) placePawn(b, colour, sq);
    else placeMan(b, colour, kind, sq);
  }
  return b;
}

// The slow reference: does the man in `slot` attack target, stepping square by
// square over the map?
bool manAttacks(const Board& b, int slot, int target) {
  const int from = b.square[slot];
  if (from == OffBoard || from == target) return false;
  const int k = b.kind[slot];
  const int df = fileOf(target) - fileOf(from), dr = rankOf(target) - rankOf(from);
  const int af = df < 0 ? -df : df, ar = dr < 0 ? -dr : dr;
  if (k == King) return af <= 1 && ar <= 1;
  if (k == Knight) return af * ar == 2;
  if (k == WhitePawn) return af == 1 && dr == 1;
  if (k == BlackPawn) return af == 1 && dr == -1;
  const bool straight = df == 0 || dr == 0, diagonal = af == ar;
  if (!((straight && k != Bishop) || (diagonal && k != Rook))) return false;
  const int sf = df > 0 ? 1 : df < 0 ? -1 : 0, sr = dr > 0 ? 1 : dr < 0 ? -1 : 0;
  for (int f = fileOf(from) + sf, r = rankOf(from) + sr; makeSquare(f, r) != target; f += sf, r += sr)
    if (b.map[makeSquare(f, r)] != EmptySquare) return false;
  return true;
}
bool referenceAttacked(const Board& b, int side, int target, bool withKing) {
  for (int slot = slotBase(side) + (withKing ? 0 : 1); slot < slotBase(side) + 16; ++slot)
    if (manAttacks(b, slot, target)) return true;
  return false;
}

TEST(SearchBoard, AttackTestAgreesWithASquareBySquareWalkOnRandomPositions) {
  uint64_t state = 77;
  for (int n = 0; n < 300; ++n) {
    const Board b = randomBoard(state);
    SearchBoard p{};
    p = b;
    for (int sq = 0; sq < 64; ++sq) {
      ASSERT_EQ(attackedBy<White>(p, sq), referenceAttacked(b, White, sq, true)) << n << " " << sq;
      ASSERT_EQ(attackedBy<Black>(p, sq), referenceAttacked(b, Black, sq, true)) << n << " " << sq;
      ASSERT_EQ((attackedBy<White, false>(p, sq)), referenceAttacked(b, White, sq, false)) << n << " " << sq;
      ASSERT_EQ((attackedBy<Black, false>(p, sq)), referenceAttacked(b, Black, sq, false)) << n << " " << sq;
    }
  }
}

TEST(SearchBoard, HelpersKeepSlotsMapAndSetsTogether) {
  uint64_t state = 5;
  for (int n = 0; n < 200; ++n) {
    SearchBoard p{};
    p = randomBoard(state);
    // Shuffle men about: moves to empty squares, removals, returns and kind changes.
    for (int step = 0; step < 40; ++step) {
      const int slot = int(nextRandom(state) % 32);
      const int sq = int(nextRandom(state) % 64);
      if (p.square[slot] == OffBoard) {
        if (p.kind[slot] != NoKind && p.map[sq] == EmptySquare) p.putMan(slot, sq);
      } else if ((slot & 15) == KingSlot || nextRandom(state) % 3 != 0) {
        if (p.map[sq] == EmptySquare) p.moveMan(slot, p.square[slot], sq);
      } else if (nextRandom(state) & 1) {
        p.removeMan(slot);
      } else {
        p.changeKind(slot, Queen + int(nextRandom(state) % 4));
      }
      ASSERT_EQ(p.bits, countBitboards(p)) << n << " " << step;
      for (int s = 0; s < 32; ++s)
        if (p.square[s] != OffBoard) {
          ASSERT_EQ(p.map[p.square[s]], s);
        }
    }
  }
}

}  // namespace
}  // namespace orv

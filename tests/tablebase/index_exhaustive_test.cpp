// Every position of the three- and four-man tables: each one that can occur
// has its own index below the stored count, and the indices it reaches are
// exactly those whose decoded position can occur. (Slow: not in the sanitizer run.)
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tablebase/index.h"
#include "tablebase/table_info.h"
#include "tablebase/table_position.h"

namespace orv::tb {
namespace {

using namespace test;

struct Coverage {
  uint64_t positions = 0;
  uint64_t failures = 0;
};

// Visits every placement of the table's men on distinct squares, kings apart,
// that leaves the side not to move out of check, with the reference king in
// the region the numbering starts from (files a..d with pawns, else the
// a1-d1-d4 triangle with the other king on or above the diagonal when it
// stands on it); like men are visited once per set of squares.
void forEachPosition(int table, int side, const std::function<void(TablePosition&)>& visit) {
  const TableMen men = tableMen(table);
  struct Man {
    int list, entry;
    char kind;
  };
  std::vector<Man> order, movers;
  for (int list = 0; list < 2; ++list)
    for (int e : men.entries[list])
      if (e != 0) order.push_back({list, e, entryKind(e)});
  for (const Man& m : order)
    if (m.list == side) movers.push_back(m);
  TablePosition p = emptyPosition();
  uint64_t occupied = 0;
  auto checksOtherKing = [&]() {
    const int king = listOf(p, side ^ 1)[0];
    for (const Man& m : movers)
      if (attacks(m.kind, side, listOf(p, side)[m.entry], king, occupied)) return true;
    return false;
  };
  std::function<void(size_t)> place = [&](size_t m) {
    if (m == order.size()) {
      if (!checksOtherKing()) visit(p);
      return;
    }
    const Man man = order[m];
    const bool pawn = man.kind == 'p';
    int from = pawn ? 8 : 0;
    if (m > 0 && order[m - 1].list == man.list && order[m - 1].kind == man.kind)
      from = listOf(p, man.list)[order[m - 1].entry] + 1;
    for (int s = from; s < (pawn ? 56 : 64); ++s) {
      if (occupied >> s & 1) continue;
      listOf(p, man.list)[man.entry] = int8_t(s);
      occupied |= uint64_t(1) << s;
      place(m + 1);
      occupied &= ~(uint64_t(1) << s);
    }
    listOf(p, man.list)[man.entry] = -1;
  };
  for (int ref = 0; ref < 64; ++ref) {
    const int f = ref & 7, r = ref >> 3;
    if (men.pawns ? f > 3 : !(r <= f && f <= 3)) continue;
    for (int other = 0; other < 64; ++other) {
      if (!men.pawns && f == r && (other & 7) < (other >> 3)) continue;
      if (attacks('k', 0, ref, other, 0) || ref == other) continue;
      listOf(p, side)[0] = int8_t(ref);
      listOf(p, side ^ 1)[0] = int8_t(other);
      occupied = uint64_t(1) << ref | uint64_t(1) << other;
      place(0);
    }
  }
}

// The en-passant target that the side not to move's pawn just passed, if any.
int passedTarget(const TablePosition& p, int side) {
  for (int e = ListPawns; e < ListSize; ++e) {
    const int s = listOf(p, side ^ 1)[e];
    if (s >= 0 && (s >> 3) == (side == 0 ? 4 : 3)) return side == 0 ? s + 8 : s - 8;
  }
  return -1;
}

// Every index (every decodeStep-th) is decoded and compared with the enumeration.
void checkTableSide(int table, int side, uint64_t decodeStep) {
  const uint64_t range = indexRange(table, side);
  const uint32_t stored = tableInfo[table].count[side];
  std::vector<bool> hit(range, false);
  uint64_t positions = 0, repeats = 0, outside = 0;
  auto record = [&](const TablePosition& p) {
    ++positions;
    const uint32_t i = indexOf(table, side, p);
    if (i >= stored) {
      if (++outside < 5) ADD_FAILURE() << tableInfo[table].name << " " << side << " index " << i;
      return;
    }
    if (hit[i] && ++repeats < 5) ADD_FAILURE() << tableInfo[table].name << " " << side << " repeats " << i;
    hit[i] = true;
  };
  const TableMen men = tableMen(table);
  auto hasPawn = [&](int list) {
    for (int e : men.entries[list])
      if (entryKind(e) == 'p') return true;
    return false;
  };
  const bool enPassant = hasPawn(0) && hasPawn(1);
  forEachPosition(table, side, [&](TablePosition& p) {
    record(p);
    if (!enPassant) return;
    p.epSquare = passedTarget(p, side);
    if (p.epSquare >= 0 && canOccur(p, side)) record(p);
    p.epSquare = -1;
  });
  uint64_t mismatches = 0;
  for (uint64_t i = 0; i < range; i += decodeStep) {
    TablePosition q;
    indexToPosition(table, side, i, q);
    const bool occurs = canOccur(q, side);
    if (occurs != hit[i] && ++mismatches < 5)
      ADD_FAILURE() << tableInfo[table].name << " " << side << " index " << i << " decodes to a position that "
                    << (occurs ? "can occur but was not reached" : "cannot occur but was reached");
    if (occurs && indexOf(table, side, q) != i && ++mismatches < 5)
      ADD_FAILURE() << tableInfo[table].name << " " << side << " index " << i << " does not encode back";
  }
  EXPECT_EQ(outside + repeats + mismatches, 0u) << tableInfo[table].name << " " << side;
  EXPECT_GT(positions, 0u);
}

TEST(SlowIndexExhaustive, ThreeManTables) {
  initIndexTables();
  for (int table = 1; table <= 5; ++table)
    for (int side = 0; side < 2; ++side) checkTableSide(table, side, 1);
}

TEST(SlowIndexExhaustive, FourManTables) {
  initIndexTables();
  for (int table = 6; table <= 35; ++table)
    for (int side = 0; side < 2; ++side) checkTableSide(table, side, 17);
}

}  // namespace
}  // namespace orv::tb

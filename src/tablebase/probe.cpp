// Probing: the material key and square lists of a Board, the table side that
// holds the position, and the stored byte turned into a table value.
#include "tablebase/probe.h"

#include <mutex>

#include "tablebase/block_cache.h"
#include "tablebase/index.h"
#include "tablebase/material_tree.h"
#include "tablebase/probe_target.h"
#include "tablebase/registry.h"

namespace orv {

namespace {

constexpr int KppkpTable = 36;
// Seven kppkp positions with Black to move are answered without reading the table.
constexpr uint32_t kppkpUnread[] = {56802428u, 56811076u, 56849992u, 56858640u, 59592489u, 67775659u, 71071628u};
constexpr int KppkpUnreadValue = -32639;

// Material key index and first square-list entry of each kind (king unused).
constexpr int keyOfKind[8] = {0, tb::QueenKey, tb::RookKey, tb::BishopKey, tb::KnightKey, tb::PawnKey, tb::PawnKey, 0};
constexpr int listOfKind[8] = {
    0, tb::ListQueens, tb::ListRooks, tb::ListBishops, tb::ListKnights, tb::ListPawns, tb::ListPawns, tb::ListSize};

bool unreadKppkp(uint32_t index) {
  for (uint32_t i : kppkpUnread)
    if (i == index) return true;
  return false;
}

}  // namespace

int prepareTablebaseProbe(TablebaseProbe& probe, const Board& b) {
  for (uint8_t& c : probe.material) c = 0;
  for (auto& list : probe.squareList)
    for (int8_t& e : list) e = -1;
  int men = 0;
  for (int slot = 0; slot < 32; ++slot) {
    const int sq = b.square[slot];
    if (sq == OffBoard) continue;
    const int colour = colourOfSlot(slot);
    const int kind = b.kind[slot] & 7;
    int8_t* list = probe.squareList[colour];
    if (kind == King) {
      list[0] = int8_t(sq);
      continue;
    }
    if (kind == NoKind) continue;
    ++men;
    ++probe.material[keyOfKind[kind] + (colour == Black ? tb::BlackKeyBase : 0)];
    // The first free entry of the kind's group; a further man runs into the next group.
    int at = listOfKind[kind];
    while (at < tb::ListSize && list[at] != -1) ++at;
    if (at < tb::ListSize) list[at] = int8_t(sq);
  }
  return men;
}

namespace tb {

ProbeTarget locateProbe(const TablebaseProbe& probe, int side, int epSquare) {
  ProbeTarget t;
  const int number = findMaterial(probe.material);
  if (number == 0) return t;
  t.epSquare = epSquare;
  if (number > 0) {
    t.table = number;
    t.side = side;
    t.first = probe.squareList[White];
    t.second = probe.squareList[Black];
  } else {
    t.table = -number;
    t.side = side ^ 1;
    t.first = probe.squareList[Black];
    t.second = probe.squareList[White];
    t.invert = 1;
  }
  return t;
}

int readTableValue(int table, int side, uint32_t index) {
  if (table == KppkpTable && side == Black && unreadKppkp(index)) return KppkpUnreadValue;
  const int byte = readTableByte(table, side, index);
  return byte == ByteUnknown ? TablebaseUnknown : tableValueOfByte(byte);
}

}  // namespace tb

int probeTablebase(const TablebaseProbe& probe, int side, int epSquare) {
  if (!tb::tablebasesInitialised) return TablebaseUnknown;
  const tb::ProbeTarget t = tb::locateProbe(probe, side & 1, epSquare);
  if (t.table == 0) return TablebaseUnknown;
  // A file that fails to read unregisters its side, so the registration is
  // looked at under the same lock as the cache.
  std::lock_guard<std::mutex> hold(tb::blockCacheLock());
  if (!tb::tables[t.table].side[t.side].registered()) return TablebaseUnknown;
  return tb::readTableValue(t.table, t.side, tb::tableIndex(t.table, t.side, t.first, t.second, t.epSquare, t.invert));
}

}  // namespace orv

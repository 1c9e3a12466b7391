// Draw rules of the game: repetition of positions and insufficient material.
#include "board/game.h"

namespace orv {

namespace {

bool sameRecordedKey(uint32_t keyHigh, uint16_t keyMid, const Board& b) {
  return keyHigh == b.key[1] && keyMid == uint16_t(b.key[0] >> 16);
}

}  // namespace

// Counts the earlier records of the current stretch of reversible moves that
// hold the same 48 key bits and side as `b`. When that stretch reaches back to
// the set-up position, the set-up position is one more occurrence.
int repetitionCount(int side, const Board& b) {
  const Game& g = game;
  int count = 0;
  for (int i = g.ply - 1; i >= 0; --i) {
    const HistoryRecord& r = g.history[i];
    const int recordSide = (r.flags & RecordBlackToMove) ? Black : White;
    if (recordSide == side && sameRecordedKey(r.keyHigh, r.keyMid, b)) ++count;
    if (r.move == 0 || (r.flags & RecordIrreversible)) return count;
  }
  if (g.ply < 0) return count;
  const HistoryRecord& newest = g.history[g.ply];
  if (newest.move == 0 || (newest.flags & RecordIrreversible)) return count;
  if (g.setupSide == side && g.setupKey[1] == b.key[1] && uint16_t(g.setupKey[0] >> 16) == uint16_t(b.key[0] >> 16))
    ++count;
  return count;
}

bool insufficientMaterial(const Board& b) {
  int count[2] = {0, 0};
  int man[2] = {-1, -1};
  for (int side = White; side <= Black; ++side)
    for (int slot = slotBase(side) + 1; slot < slotBase(side) + 16; ++slot)
      if (b.square[slot] != OffBoard) {
        ++count[side];
        man[side] = slot;
      }
  if (count[White] > 1 || count[Black] > 1) return false;
  if (count[White] == 0 && count[Black] == 0) return true;
  if (count[White] == 0 || count[Black] == 0) {
    const int kind = b.kind[count[White] ? man[White] : man[Black]];
    return kind == Bishop || kind == Knight;
  }
  if (b.kind[man[White]] != Bishop || b.kind[man[Black]] != Bishop) return false;
  const int w = b.square[man[White]], k = b.square[man[Black]];
  return ((fileOf(w) + rankOf(w)) & 1) == ((fileOf(k) + rankOf(k)) & 1);
}

}  // namespace orv

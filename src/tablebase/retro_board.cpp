// Setting up a table side's index on the generator's light Board.
#include "tablebase/retro_board.h"

#include <cstring>

#include "tablebase/table_info.h"

namespace orv::tb {

namespace {

// Board kind of a square-list entry.
constexpr int kindOfEntry(int colour, int entry) {
  return entry == 0            ? King
         : entry < ListRooks   ? Queen
         : entry < ListBishops ? Rook
         : entry < ListKnights ? Bishop
         : entry < ListPawns   ? Knight
                               : pawnKind(colour);
}

bool hasPawns(const char* men) {
  for (; *men && *men != 'k'; ++men)
    if (*men == 'p') return true;
  return false;
}

}  // namespace

void startRetroBoard(RetroBoard& r, int table) {
  initIndexTables();
  std::memset(&r.board, 0, sizeof(Board));
  for (int32_t& sq : r.board.square) sq = OffBoard;
  for (int32_t& slot : r.board.map) slot = EmptySquare;
  for (int slot = 0; slot < 32; ++slot) r.board.kind[slot] = kindOfEntry(slot >> 4, slot & 15);
  r.board.kind[32] = NoKind;
  for (int8_t& sq : r.pos.first) sq = -1;
  for (int8_t& sq : r.pos.second) sq = -1;
  r.pos.epSquare = -1;
  r.table = table;
  const char* name = tableInfo[table].name;
  const char* second = std::strchr(name + 1, 'k');
  r.epTable = hasPawns(name + 1) && hasPawns(second + 1);
  r.pawnless = !hasPawns(name + 1) && !hasPawns(second + 1);
}

bool loadRetroPosition(RetroBoard& r, int side, uint32_t index) {
  // Take the previous position's men off the board.
  for (int slot = 0; slot < 32; ++slot) {
    const int sq = r.board.square[slot];
    if (sq == OffBoard) continue;
    r.board.map[sq] = EmptySquare;
    r.board.square[slot] = OffBoard;
  }
  r.side = side;
  r.index = index;
  if (!indexToPosition(r.table, side, index, r.pos)) return false;
  bool distinct = true;
  for (int colour = 0; colour < 2; ++colour) {
    const int8_t* list = colour == 0 ? r.pos.first : r.pos.second;
    for (int entry = 0; entry < 16; ++entry) {
      const int sq = list[entry];
      if (sq < 0) continue;
      if (r.board.map[sq] != EmptySquare) distinct = false;
      r.board.map[sq] = retroSlot(colour, entry);
      r.board.square[retroSlot(colour, entry)] = sq;
    }
  }
  if (!distinct || retroInCheck(r, side ^ 1)) return false;
  const int target = r.pos.epSquare;
  if (target >= 0) {
    const int step = side == White ? 8 : -8;  // from the target toward the pushing pawn's origin
    if (r.board.map[target] != EmptySquare || r.board.map[target + step] != EmptySquare) return false;
  }
  return true;
}

}  // namespace orv::tb

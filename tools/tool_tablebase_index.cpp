// orvalis-tool tbcount: the index range of every table side, in registry order.
// orvalis-tool tbindex '<FEN>' | -: the table side a probe reads for the
// position and the index in it ("none" when no table holds it); with "-" one
// FEN per line of standard input, one answer per line.
#include <cstdio>
#include <cstring>
#include <string>

#include "board/board.h"
#include "board/game.h"
#include "tablebase/index.h"
#include "tablebase/material_key.h"
#include "tablebase/square_lists.h"
#include "tablebase/table_info.h"
#include "tool.h"

namespace {

using namespace orv;

int runCount(int, char**) {
  tb::initIndexTables();
  for (int table = 1; table <= tb::TableCount; ++table)
    for (int side = 0; side < 2; ++side)
      std::printf("%s %c %llu\n", tb::tableInfo[table].name, side == 0 ? 'w' : 'b',
                  static_cast<unsigned long long>(tb::indexRange(table, side)));
  return 0;
}

// The en-passant field (fourth field) of a FEN text as a square, -1 for none.
int enPassantField(const char* fen) {
  const char* p = fen;
  for (int field = 0; field < 3; ++field) {
    while (*p == ' ' || *p == '\t') ++p;
    while (*p != '\0' && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (p[0] < 'a' || p[0] > 'h' || p[1] < '1' || p[1] > '8') return -1;
  return makeSquare(p[0] - 'a', p[1] - '1');
}

bool isPawnOf(const Board& b, int sq, int side) {
  const int slot = b.map[sq];
  return slot != EmptySquare && colourOfSlot(slot) == side && b.kind[slot] == pawnKind(side);
}

// The en-passant target handed to the probe: a double step of the other side
// just passed it (the squares it crossed are empty) and a pawn of the side to
// move stands beside the pawn that moved; else -1, as the search does.
int probeEnPassant(const Board& b, int us, int target) {
  if (target < 0 || rankOf(target) != (us == White ? 5 : 2)) return -1;
  const int ahead = us == White ? -8 : 8;  // from the target towards the pawn that moved
  const int pushed = target + ahead, origin = target - ahead;
  if (!isPawnOf(b, pushed, us ^ 1) || b.map[target] != EmptySquare || b.map[origin] != EmptySquare) return -1;
  const bool left = fileOf(pushed) > 0 && isPawnOf(b, pushed - 1, us);
  const bool right = fileOf(pushed) < 7 && isPawnOf(b, pushed + 1, us);
  return left || right ? target : -1;
}

// One answer line for one FEN.
void answer(const char* fen) {
  const int code = parseFen(fenArgument(fen));
  if (code < 0) {
    std::fprintf(stderr, "tbindex: position refused (code %d): %s\n", code, fen);
    std::printf("none\n");
    return;
  }
  const Board& b = game.board;
  tb::MaterialKey key;
  const int men = tb::materialKeyOf(b, key);
  const int number = men > 0 ? tb::tableNumber(key) : 0;
  if (number == 0) {
    std::printf("none\n");
    return;
  }
  int8_t lists[2][tb::ListSize];
  tb::fillSquareLists(b, lists[White], lists[Black]);
  const int ep = probeEnPassant(b, game.side, enPassantField(fen));
  const int table = number > 0 ? number : -number;
  const int side = number > 0 ? game.side : game.side ^ 1;
  const int first = number > 0 ? White : Black;
  const uint32_t index = tb::tableIndex(table, side, lists[first], lists[first ^ 1], ep, number < 0 ? 1 : 0);
  if (index == tb::NoIndex) std::printf("none\n");
  else std::printf("%s %c %u\n", tb::tableInfo[table].name, side == White ? 'w' : 'b', index);
}

int runIndex(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: orvalis-tool tbindex '<FEN>' | -\n");
    return 2;
  }
  tb::initIndexTables();
  if (std::strcmp(argv[1], "-") != 0) {
    answer(argv[1]);
    return 0;
  }
  std::string line;
  int c;
  while ((c = std::getchar()) != EOF) {
    if (c != '\n') {
      line += char(c);
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    answer(line.c_str());
    std::fflush(stdout);
    line.clear();
  }
  if (!line.empty()) answer(line.c_str());
  return 0;
}

ToolCommand countCommand("tbcount", runCount);
ToolCommand indexCommand("tbindex", runIndex);

}  // namespace

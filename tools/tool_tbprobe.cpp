// orvalis-tool tbprobe <dirs> '<FEN>' | -: the table value of positions for
// the side to move ("tb <value>", 32767 when unknown). With "-" one FEN is
// read per line from standard input and answered on one line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "board/board.h"
#include "board/game.h"
#include "shell/settings.h"
#include "tablebase/probe.h"
#include "tablebase/registry.h"
#include "tool.h"

namespace {

using namespace orv;

// The en-passant target of the FEN's fourth field when a pawn of the side to
// move can really capture there (the search passes it only then), else -1.
int enPassantTarget(const char* fen, const Board& b, int side) {
  const char* p = fen;
  for (int field = 0; field < 3; ++field) {
    while (*p == ' ') ++p;
    while (*p && *p != ' ') ++p;
  }
  while (*p == ' ') ++p;
  if (p[0] < 'a' || p[0] > 'h' || p[1] != (side == White ? '6' : '3')) return -1;
  const int target = makeSquare(p[0] - 'a', p[1] - '1');
  const int pushed = target + (side == White ? -8 : 8);
  const int pushedSlot = b.map[pushed];
  if (pushedSlot == EmptySquare || colourOfSlot(pushedSlot) == side || b.kind[pushedSlot] != pawnKind(opposite(side)))
    return -1;
  for (int df : {-1, 1}) {
    const int file = fileOf(pushed) + df;
    if (file < 0 || file > 7) continue;
    const int slot = b.map[pushed + df];
    if (slot != EmptySquare && colourOfSlot(slot) == side && b.kind[slot] == pawnKind(side)) return target;
  }
  return -1;
}

int valueOf(const char* fen) {
  if (parseFen(fen) < 0) return TablebaseUnknown;
  TablebaseProbe probe;
  prepareTablebaseProbe(probe, game.board);
  return probeTablebase(probe, game.side, enPassantTarget(fen, game.board, game.side));
}

int run(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: orvalis-tool tbprobe <directories> '<FEN>' | -\n");
    return 2;
  }
  tb::initTablebases(argv[1], DefaultTablebaseCache);
  tb::tablebasesInitialised = 1;
  if (std::strcmp(argv[2], "-") != 0) {
    std::printf("tb %d\n", valueOf(fenArgument(argv[2])));
    return 0;
  }
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::printf("tb %d\n", valueOf(fenArgument(line.c_str())));
  }
  std::fflush(stdout);
  return 0;
}

orv::ToolCommand reg("tbprobe", run);

}  // namespace

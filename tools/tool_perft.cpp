// orvalis-tool perft [--divide] <depth> '<FEN>|startpos': counts the leaf
// positions of the legal move tree through the game's move generator.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "board/movegen.h"
#include "notation/movetext.h"
#include "tool.h"

namespace {

using orv::Board;
using orv::Move;

constexpr int ListSize = 256;

int listLength(const Move* list) {
  int n = 0;
  while (list[n] != 0) ++n;
  return n;
}

// Leaves below a position whose legal moves for Us are `list`.
template <int Us> uint64_t perft(const Board& b, const Move* list, int depth) {
  if (depth <= 1) return depth == 1 ? uint64_t(listLength(list)) : 1;
  uint64_t leaves = 0;
  Move replies[ListSize];
  for (int i = 0; list[i] != 0; ++i) {
    Board child = b;
    replies[0] = 0;
    orv::generate<Us ^ 1>(replies, ListSize, list[i], child);
    leaves += perft<Us ^ 1>(child, replies, depth - 1);
  }
  return leaves;
}

uint64_t perftFor(int side, const Board& b, const Move* list, int depth) {
  return side == orv::White ? perft<orv::White>(b, list, depth) : perft<orv::Black>(b, list, depth);
}

int run(int argc, char** argv) {
  const orv::CountArguments args = orv::parseCountArguments(argc, argv);
  const bool divide = args.divide;
  const int depth = args.depth;
  const char* fen = args.fen;
  if (depth < 0 || fen == nullptr) {
    std::fprintf(stderr, "usage: orvalis-tool perft [--divide] <depth> '<FEN>|startpos'\n");
    return 2;
  }
  const int code = orv::parseFen(fen);
  if (code != 0) {
    std::fprintf(stderr, "perft: position refused (code %d)\n", code);
    return 1;
  }

  const int side = orv::game.side;
  Board root = orv::game.board;
  Move list[ListSize];
  list[0] = 0;
  orv::generateFor(side, list, ListSize, 0, root);

  const auto start = std::chrono::steady_clock::now();
  uint64_t total = 0;
  if (divide && depth >= 1) {
    for (int i = 0; list[i] != 0; ++i) {
      Board child = root;
      Move replies[ListSize];
      replies[0] = 0;
      orv::generateFor(side ^ 1, replies, ListSize, list[i], child);
      const uint64_t n = perftFor(side ^ 1, child, replies, depth - 1);
      char text[8];
      orv::coordinateText(list[i], text);
      std::printf("%s %llu\n", text, static_cast<unsigned long long>(n));
      total += n;
    }
  } else {
    total = perftFor(side, root, list, depth);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("nodes %llu\n", static_cast<unsigned long long>(total));
  std::fprintf(stderr, "time %.3f s, %.0f nodes per second\n", seconds, seconds > 0 ? double(total) / seconds : 0.0);
  return 0;
}

orv::ToolCommand reg("perft", run);

}  // namespace

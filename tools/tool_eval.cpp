// orvalis-tool eval [--terms] '<FEN>' | startpos: the static evaluation of a
// position for the side to move, prepared as the search prepares its root.
// orvalis-tool eval --bench [rounds]: evaluations per second over a fixed set.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "eval/eval_terms.h"
#include "eval/evaluate.h"
#include "eval/node_state.h"
#include "hash/hashtable.h"
#include "tool.h"

namespace {

using namespace orv;

// Middlegames, endgames with and without pieces, and pawnless positions.
constexpr const char* benchPositions[] = {
    StartFen,
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ - 0 8",
    "2r2rk1/pp1bqppp/2n1pn2/3p4/3P4/2PBPN2/P1Q2PPP/R4RK1 b - - 3 14",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "8/5pk1/6p1/3P4/4K3/8/6PP/8 w - - 0 1",
    "8/8/4k3/3p4/3P4/4K3/8/8 b - - 0 1",
    "6k1/5ppp/8/3P4/8/8/5PPP/3R2K1 w - - 0 1",
    "4k3/8/8/8/8/8/8/4KR2 w - - 0 1",
    "8/8/3k4/8/8/3K4/8/2BN4 w - - 0 1",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
};

int prepare(Evaluator& e, const char* fen, NodeState& s) {
  const int code = parseFen(fenArgument(fen));
  if (code < 0) return code;
  recountBoard(game.board);
  s = rootNodeState(game.board);
  e.position = game.board;
  return 0;
}

int bench(int rounds) {
  if (allocateHashTables(16ull << 20) < 0) return 1;
  Evaluator e;
  constexpr int count = int(sizeof(benchPositions) / sizeof(benchPositions[0]));
  NodeState states[count];
  Board boards[count];
  int sides[count];
  for (int i = 0; i < count; ++i) {
    if (prepare(e, benchPositions[i], states[i]) < 0) return 1;
    boards[i] = game.board;
    sides[i] = game.side;
  }
  for (int fresh = 0; fresh <= 1; ++fresh) {
    if (fresh) releaseHashTables();  // without a table every call computes the pawn structure
    e.pawnTable = &pawnHashTable;
    long long total = 0, sum = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
      e.position = boards[i];
      for (int r = 0; r < rounds; ++r) {
        sum += evaluate(e, sides[i], states[i]);
      }
      total += rounds;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %lld evaluations in %.3f s, %.0f per second (checksum %lld)\n",
                fresh ? "without pawn table" : "pawn table in use", total, seconds,
                seconds > 0 ? double(total) / seconds : 0.0, sum);
  }
  return 0;
}

int run(int argc, char** argv) {
  bool terms = false;
  const char* fen = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--terms") == 0) terms = true;
    else if (std::strcmp(argv[i], "--bench") == 0) return bench(i + 1 < argc ? std::atoi(argv[i + 1]) : 200000);
    else fen = argv[i];
  }
  if (!fen) {
    std::fprintf(stderr,
                 "usage: orvalis-tool eval [--terms] '<FEN>' | startpos\n       orvalis-tool eval --bench [rounds]\n");
    return 2;
  }
  NodeState s;
  Evaluator e;
  if (const int code = prepare(e, fen, s); code < 0) {
    std::printf("error %d\n", code);
    return 1;
  }
  EvalTerms t;
  const int score = evaluateTerms(e, game.side, s, t);
  if (terms) {
    std::printf("A %d\nS %d\nK %d\nJ %d\nU %d\nM %d\nT %d\nQ %d\nphase %d\nW %d\nE %d\n", t.A, t.S, t.K, t.J, t.U, t.M,
                t.T, t.Q, t.phase, t.W, t.E);
  }
  std::printf("eval %d\n", score);
  return 0;
}

orv::ToolCommand reg("eval", run);

}  // namespace

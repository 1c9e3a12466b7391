#include "shell/bench.h"

#include <cstdio>

#include "notation/movetext.h"
#include "shell/fixed_depth_search.h"

namespace orv {

namespace {

const char* const benchPositions[] = {
    // Openings
    StartFen,
    "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2",
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
    "rnbqkb1r/pp2pppp/3p1n2/8/3NP3/8/PPP2PPP/RNBQKB1R w KQkq - 1 5",
    "rnbqk2r/ppp1ppbp/3p1np1/8/2PPP3/2N5/PP3PPP/R1BQKBNR w KQkq - 0 5",
    // Middlegames
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8",
    "r2q1rk1/1b2bppp/p2p1n2/1p2p3/3NP3/1BN1B3/PPP2PPP/R2Q1RK1 w - - 0 12",
    "2rq1rk1/pb1nbppp/1p2pn2/2pp4/2PP4/1PN1PN2/PB2BPPP/2RQ1RK1 w - - 0 11",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "rnb2rk1/ppq1bppp/4pn2/2pp4/3P1B2/2P1PN2/PP1NBPPP/R2QK2R w KQ - 0 8",
    "r1b2rk1/2q1bppp/p2ppn2/1p6/3BPP2/2N2B2/PPPQ2PP/2KR3R w - - 0 13",
    // Tactics
    "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1",
    "r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1",
    "2r3k1/p4p2/3Rp2p/1p2P1pK/8/1P4P1/P3Q2P/1q6 b - - 0 1",
    "r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 0",
    "3r1rk1/p5pp/bpp1pp2/8/q1PP1P2/b3P3/P2NQRPP/1R2B1K1 b - - 0 1",
    // Endgames
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "8/8/4k3/3p4/3P4/4K3/8/8 w - - 0 1",
    "8/5pk1/6p1/8/8/6P1/5PK1/8 w - - 0 1",
    "8/8/1p3k2/p1p5/P1P5/1P3K2/8/8 b - - 0 1",
    "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1",
    "8/4kp2/6p1/4P3/5P2/6K1/8/3R4 w - - 0 1",
    "6k1/5p2/6p1/8/7p/8/6PP/6K1 b - - 0 1",
    "8/8/8/3k4/8/8/2R5/3K4 w - - 0 1",
    "8/6pk/8/8/8/8/1R4PK/r7 w - - 0 1",
    // Pawnless
    "8/8/8/4k3/8/8/8/2QK4 w - - 0 1",
    "8/8/2k5/8/8/3K4/4R3/5B2 w - - 0 1",
    "4k3/8/8/8/8/8/2q5/4K2R w - - 0 1",
    "8/3k4/8/8/2N5/8/2KB4/8 w - - 0 1",
};

}  // namespace

int runBench(int depth, int threads, bool testerLine) {
  // With several threads the node total varies from run to run: compare the time.
  SearchPool pool;
  if (pool.resize(threads) != threads) return 1;
  uint64_t total = 0;
  int64_t ms = 0;  // searching only, without the clearing of the tables
  int index = 0;
  for (const char* fen : benchPositions) {
    ++index;
    const ToolSearchResult r = searchFenToDepth(pool, fen, depth, false);
    if (r.code != 0) {
      std::printf("position %d refused (code %d)\n", index, r.code);
      return 1;
    }
    char text[CoordinateTextSize];
    coordinateText(r.move, text);
    std::printf("position %2d nodes %10llu move %-6s score %6d\n", index, static_cast<unsigned long long>(r.nodes),
                text, r.score);
    std::fflush(stdout);
    total += r.nodes;
    ms += r.ms;
  }
  const uint64_t nps = ms > 0 ? total * 1000 / uint64_t(ms) : total;
  std::printf("bench nodes %llu nps %llu ms %lld\n", static_cast<unsigned long long>(total),
              static_cast<unsigned long long>(nps), static_cast<long long>(ms));
  if (testerLine)
    std::printf("%llu nodes %llu nps\n", static_cast<unsigned long long>(total), static_cast<unsigned long long>(nps));
  std::fflush(stdout);
  return 0;
}

}  // namespace orv

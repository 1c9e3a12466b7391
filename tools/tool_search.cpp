// orvalis-tool search <depth> '<FEN>': searches the position to the given
// depth (fresh tables, no book, no tablebases, no time limit), printing the
// UCI search lines and then "bestmove <move> score <score> nodes <n>" with
// the score in internal units (480 = one pawn).
#include <cstdio>
#include <cstdlib>

#include "notation/movetext.h"
#include "shell/fixed_depth_search.h"
#include "tool.h"

namespace {

using namespace orv;

int run(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: orvalis-tool search <depth> '<FEN>'\n");
    return 2;
  }
  const int depth = std::atoi(argv[1]);
  if (depth < 1) {
    std::fprintf(stderr, "search: depth must be at least 1\n");
    return 2;
  }
  SearchPool pool;
  const ToolSearchResult r = searchFenToDepth(pool, argv[2], depth, true);
  if (r.code == -1) {
    std::printf("game over\n");
    return 1;
  }
  if (r.code != 0) {
    std::fprintf(stderr, "search: position refused (code %d)\n", r.code);
    return 1;
  }
  char text[CoordinateTextSize];
  coordinateText(r.move, text);
  std::printf("bestmove %s score %d nodes %llu\n", text, r.score, static_cast<unsigned long long>(r.nodes));
  return 0;
}

ToolCommand reg("search", run);

}  // namespace

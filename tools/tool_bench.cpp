// orvalis-tool bench [depth] [--threads N]: searches a fixed set of positions, each from
// cleared tables, history and killers, to the given depth; prints one line per
// position and finally "bench nodes <total> nps <n> ms <ms>". The node total
// depends only on the search and the evaluation, never on speed.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "search/thread_pool.h"
#include "shell/bench.h"
#include "tool.h"

namespace {

using namespace orv;

int run(int argc, char** argv) {
  int depth = DefaultBenchDepth, threads = 1;
  bool usage = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc) threads = std::atoi(argv[++i]);
    else depth = std::atoi(argv[i]);
  }
  if (depth < 1 || threads < 1 || threads > MaxSearchThreads) usage = true;
  if (usage) {
    std::fprintf(stderr, "usage: orvalis-tool bench [depth] [--threads N]\n");
    return 2;
  }
  return runBench(depth, threads, false);
}

ToolCommand reg("bench", run);

}  // namespace

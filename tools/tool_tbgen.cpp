// orvalis-tool tbgen <table> <dir> [--compress] | tbgen all <dir> [--men N] [--compress]:
// generates endgame tables by retrograde analysis into a directory, the
// smaller tables they need first. Progress goes to standard error.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tablebase/retro_generator.h"
#include "tool.h"

namespace {

using namespace orv;

int usage() {
  std::fprintf(stderr,
               "usage: orvalis-tool tbgen <table> <dir> [--compress]\n"
               "       orvalis-tool tbgen all <dir> [--men N] [--compress]\n");
  return 2;
}

int run(int argc, char** argv) {
  if (argc < 3) return usage();
  tb::GenerationOptions options;
  options.progress = true;
  int men = 4;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--compress") == 0) {
      options.compress = true;
    } else if (std::strcmp(argv[i], "--men") == 0 && i + 1 < argc) {
      men = std::atoi(argv[++i]);
      if (men < 3 || men > 5) return usage();
    } else {
      return usage();
    }
  }
  int status;
  if (std::strcmp(argv[1], "all") == 0) {
    status = tb::generateAllTables(men, argv[2], options);
  } else {
    const int table = tb::tableOfName(argv[1]);
    if (table == 0) {
      std::fprintf(stderr, "tbgen: no table named %s\n", argv[1]);
      return 2;
    }
    status = tb::generateTableFiles(table, argv[2], options);
  }
  return status == tb::GenerationOk ? 0 : 1;
}

orv::ToolCommand reg("tbgen", run);

}  // namespace

// orvalis-tool: developer subcommands (not the engine).
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: orvalis-tool <command> ...\n");
    return 2;
  }
  std::fprintf(stderr, "unknown command: %s\n", argv[1]);
  return 2;
}

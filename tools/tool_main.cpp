// orvalis-tool: developer subcommands (not the engine).
#include <cstdio>
#include <cstring>

#include "tool.h"

namespace orv {
namespace {

struct Entry {
  const char* name;
  ToolFunction run;
};
Entry entries[32];
int entryCount = 0;

}  // namespace

ToolCommand::ToolCommand(const char* name, ToolFunction run) {
  if (entryCount < 32) entries[entryCount++] = {name, run};
}

}  // namespace orv

int main(int argc, char** argv) {
  using namespace orv;
  if (argc >= 2) {
    for (int i = 0; i < entryCount; ++i)
      if (std::strcmp(entries[i].name, argv[1]) == 0) return entries[i].run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "usage: orvalis-tool <command> [arguments]\ncommands:");
  for (int i = 0; i < entryCount; ++i) std::fprintf(stderr, " %s", entries[i].name);
  std::fprintf(stderr, "\n");
  return 2;
}

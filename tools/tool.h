// Subcommands of orvalis-tool register themselves with a static ToolCommand.
#pragma once
#include <cstdlib>
#include <cstring>

#include "board/board.h"

namespace orv {

using ToolFunction = int (*)(int argc, char** argv);  // argv[0] is the subcommand name

struct ToolCommand {
  ToolCommand(const char* name, ToolFunction run);
};

// FEN arguments written "startpos" stand for the initial position.
inline const char* fenArgument(const char* arg) {
  return arg[0] == 's' && std::strcmp(arg, "startpos") == 0 ? StartFen : arg;
}

// Arguments of the leaf counters: --divide and --check anywhere, then the depth and the FEN.
struct CountArguments {
  int depth = -1;
  const char* fen = nullptr;  // already resolved through fenArgument
  bool divide = false;
  bool check = false;
};
inline CountArguments parseCountArguments(int argc, char** argv) {
  CountArguments a;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--divide") == 0) a.divide = true;
    else if (std::strcmp(argv[i], "--check") == 0) a.check = true;
    else if (a.depth < 0) a.depth = std::atoi(argv[i]);
    else if (a.fen == nullptr) a.fen = fenArgument(argv[i]);
  }
  return a;
}

}  // namespace orv

// Subcommands of orvalis-tool register themselves with a static ToolCommand.
#pragma once

namespace orv {

using ToolFunction = int (*)(int argc, char** argv);  // argv[0] is the subcommand name

struct ToolCommand {
  ToolCommand(const char* name, ToolFunction run);
};

}  // namespace orv

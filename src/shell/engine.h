// Process start-up and the command loop.
#pragma once

namespace orv {

// Start-up sequence, then the command loop; returns the process exit code.
int runEngine(int argc, char** argv);

}  // namespace orv

// Process start-up and the command loop.
#pragma once

namespace orv {

// The name the engine gives in its banner and to the interface.
constexpr char EngineName[] = "Orvalis 4.8";

// Start-up sequence, then the command loop; returns the process exit code.
int runEngine(int argc, char** argv);

}  // namespace orv

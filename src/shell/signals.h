// Interrupt and termination signals.
#pragma once

namespace orv {

// Interrupt ignored; termination stops the search and ends the process with 0.
// Call before any other thread is started.
void installSignalHandlers();
// QUIT: the termination signal is ignored from now on.
void ignoreTerminationSignal();

}  // namespace orv

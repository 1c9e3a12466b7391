// The bench: a fixed set of positions, each searched from cleared tables,
// history and killers to a fixed depth. Its node total depends only on the
// search and the evaluation, never on speed.
#pragma once

namespace orv {

constexpr int DefaultBenchDepth = 11;

// Prints one line per position and then "bench nodes <total> nps <n> ms <ms>";
// with testerLine, a last line "<total> nodes <n> nps" as testing frameworks
// read it. Returns 0, or 1 when a position is refused or the tables cannot be had.
int runBench(int depth, int threads, bool testerLine);

}  // namespace orv

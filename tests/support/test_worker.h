// The search worker and tablebase probe scratch that unit tests search,
// evaluate and probe with: one of each per test process, kept from test to
// test as the engine keeps its main worker.
#pragma once
#include "search/worker.h"
#include "tablebase/probe.h"

namespace orv {

inline SearchWorker& testWorker() {
  static SearchWorker worker(0);
  return worker;
}

inline TablebaseProbe& testProbe() {
  static TablebaseProbe probe;
  return probe;
}

}  // namespace orv

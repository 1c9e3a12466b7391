#include "shell/signals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "search/search.h"
#include "shell/search_thread.h"

namespace orv {

namespace {

std::atomic<bool> terminationIgnored{false};

// The termination signal is blocked in every thread and taken by this
// watcher with sigwait, so stopping the search runs as ordinary code: a
// handler interrupting the main thread inside a stdio call would hold the
// stream lock that the finishing search thread needs.
void watchTermination(sigset_t set) {
  for (;;) {
    int sig = 0;
    if (sigwait(&set, &sig) != 0) continue;
    if (terminationIgnored.load()) continue;
    static const char message[] = "\rsigterm received,exiting\n";
    ssize_t written = ::write(2, message, sizeof message - 1);
    (void)written;
    // The flag is raised at every poll, as in stopSearch.
    while (searchRunning.load() != 0) {
      searchAbort.store(1);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::_exit(0);
  }
}

}  // namespace

void installSignalHandlers() {
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGINT, &ignore, nullptr);

  // Blocked before any other thread exists, so every thread inherits the mask.
  sigset_t term;
  sigemptyset(&term);
  sigaddset(&term, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &term, nullptr);
  std::thread(watchTermination, term).detach();
}

void ignoreTerminationSignal() { terminationIgnored.store(true); }

}  // namespace orv

#include "shell/signals.h"

#include <signal.h>
#include <unistd.h>

#include <ctime>

#include "search/search.h"
#include "shell/search_thread.h"

namespace orv {

namespace {

// Only async-signal-safe steps: write(2), lock-free atomic stores and loads,
// nanosleep and _exit. The search thread blocks this signal, so the handler
// always runs on a thread that can wait for the search to end.
void onTerminate(int) {
  static const char message[] = "\rsigterm received,exiting\n";
  ssize_t ignored = ::write(2, message, sizeof message - 1);
  (void)ignored;
  if (searchRunning.load() != 0) {
    searchAbort.store(1);
    timespec tenMs{0, 10 * 1000 * 1000};
    while (searchRunning.load() != 0) ::nanosleep(&tenMs, nullptr);
  }
  ::_exit(0);
}

}  // namespace

void installSignalHandlers() {
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGINT, &ignore, nullptr);

  struct sigaction term = {};
  term.sa_handler = onTerminate;
  sigemptyset(&term.sa_mask);
  sigaction(SIGTERM, &term, nullptr);
}

void ignoreTerminationSignal() {
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGTERM, &ignore, nullptr);
}

}  // namespace orv

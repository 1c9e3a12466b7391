#include "shell/engine.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "board/game.h"
#include "search/search.h"
#include "shell/configuration.h"
#include "shell/dispatcher.h"
#include "shell/line_input.h"
#include "shell/search_thread.h"
#include "shell/services.h"
#include "shell/settings.h"
#include "shell/shell_state.h"
#include "shell/signals.h"

namespace orv {

namespace {

// Ends the process at the end of input. A search still running is not
// stopped: the process ends without waiting for it (and without running
// destructors under its feet).
int endOfInput() {
  std::fflush(stdout);
  std::fflush(stderr);
  if (searchRunning.load() != 0) ::_exit(0);
  joinFinishedSearch();
  return 0;
}

void printBanner() {
  std::fprintf(stderr, "Orvalis 4.8\n");
  std::fprintf(stderr, "by Marvendel\n");
  std::fprintf(stderr, "Hash=%uMB HP=%uMB Sst=%d\n", transpositionTableMegabytes(), pawnTableMegabytes(), 76);
}

}  // namespace

int runEngine(int argc, char** argv) {
  std::snprintf(settings.logName, sizeof settings.logName, "%s.log", argc > 0 && argv[0] ? argv[0] : "orvalis");
  installSignalHandlers();
  newGame();
  setPieceLetters();
  int exitCode = parseCommandLine(argc, argv);
  if (exitCode >= 0) return exitCode;
  if (settings.logOn) settings.logFile = std::fopen(settings.logName, "a+");
  printBanner();
  initialiseTablebases();
  std::fprintf(stderr, "type quit to exit\n");
  std::fflush(stderr);
  shell.pendingReply[0] = 0;

  for (;;) {
    bool cut = false;
    if (!readCommandLine(stdin, shell.line, LineCapacity, &cut)) return endOfInput();
    if (cut) {
      // Run in part, an over-long line would mean something else: it is refused whole.
      std::printf("Error (unknown command): %s\n", shell.line);
      std::fflush(stdout);
      continue;
    }
    normaliseLine(shell.line);
    DispatchOutcome outcome = dispatchLine(shell.line, stdin);
    if (outcome == DispatchOutcome::EndOfInput) return endOfInput();
    if (outcome == DispatchOutcome::Quit) {
      ignoreTerminationSignal();
      stopSearch();
      if (settings.logFile) std::fclose(settings.logFile);
      settings.logFile = nullptr;
      std::fflush(stdout);
      return 0;
    }
  }
}

}  // namespace orv

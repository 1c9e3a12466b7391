#include "shell/engine.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "board/game.h"
#include "notation/game_log.h"
#include "notation/movetext.h"
#include "search/counters.h"
#include "search/search.h"
#include "shell/bench.h"
#include "shell/configuration.h"
#include "shell/dispatcher.h"
#include "shell/line_input.h"
#include "shell/numbers.h"
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
  std::fprintf(stderr, "%s\n", EngineName);
  std::fprintf(stderr, "by Marvendel\n");
  std::fprintf(stderr, "Hash=%uMB HP=%uMB Sst=%d\n", transpositionTableMegabytes(), pawnTableMegabytes(), 76);
}

// LOGFILE is on: the log is opened for appending; when it cannot be, the
// engine runs without it.
void openLog(bool named) {
  if (!named)
    std::fprintf(stderr, "game log: the name \"<program>.log\" is longer than %d characters, the log is off\n",
                 int(GameLogNameLength));
  else if (!openGameLog(settings.logName))
    std::fprintf(stderr, "game log: %s cannot be opened, the log is off\n", settings.logName);
}

}  // namespace

int runEngine(int argc, char** argv) {
  static_assert(sizeof settings.logName == GameLogNameLength + 1);
  const bool logNamed = formGameLogName(argc > 0 && argv[0] ? argv[0] : "orvalis", settings.logName);
  installSignalHandlers();
  newGame();
  setPieceLetters();
  diagnosticHook = writeLogDiagnostic;  // the search's inconsistency codes go to the game log
  // "orvalis bench [depth]": the bench of testing frameworks, then the process ends.
  if (argc >= 2 && std::strcmp(argv[1], "bench") == 0) {
    const int depth = argc >= 3 ? int(readClamped(argv[2], 1, MaxPly - 1)) : DefaultBenchDepth;
    return runBench(depth, 1, true);
  }
  int exitCode = parseCommandLine(argc, argv);
  if (exitCode >= 0) return exitCode;
  if (settings.logOn) openLog(logNamed);
  printBanner();
  initialiseTablebases();
  std::fprintf(stderr, "type quit to exit\n");
  std::fflush(stderr);
  shell.pendingReply[0] = 0;

  for (;;) {
    bool cut = false;
    if (!readCommandLine(stdin, shell.line, LineCapacity, &cut)) return endOfInput();
    shell.lineTick = tickMilliseconds();
    if (cut) {
      // Run in part, an over-long line would mean something else: it is refused whole.
      std::printf("Error (unknown command): %s\n", shell.line);
      std::fflush(stdout);
      continue;
    }
    normaliseLine(shell.line);
    const bool positionLine = std::strncmp(shell.line, "position", 8) == 0;
    DispatchOutcome outcome = dispatchLine(shell.line, stdin);
    // A go counts its time from a position line only when it follows it directly.
    if (!positionLine) shell.positionTick = 0;
    if (outcome == DispatchOutcome::EndOfInput) return endOfInput();
    if (outcome == DispatchOutcome::Quit) {
      ignoreTerminationSignal();
      stopSearch();
      closeGameLog();
      std::fflush(stdout);
      return 0;
    }
  }
}

}  // namespace orv

// A command session: the input is read line by line as the engine's loop
// reads standard input and each line goes to the dispatcher. Every search is
// stopped as soon as its line has been handled, so an input runs in
// milliseconds; the output goes to /dev/null.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

#include "board/game.h"
#include "fuzz/fuzz_input.h"
#include "notation/movetext.h"
#include "search/search.h"
#include "shell/dispatcher.h"
#include "shell/line_input.h"
#include "shell/numbers.h"
#include "shell/search_thread.h"
#include "shell/services.h"
#include "shell/settings.h"
#include "shell/shell_state.h"
#include "shell/timecontrol.h"

using namespace orv;

namespace {

char line[LineCapacity];

// stopSearch without its 10 ms pauses; like stop, it also releases a result
// that go infinite or go ponder holds back.
void stopAtOnce() {
  shell.holdResult.store(false);
  shell.pondering = false;
  while (searchRunning.load() != 0) {
    endXboardPondering();  // also a pondering the stopped search starts after its move
    searchAbort.store(1);
    std::this_thread::yield();
  }
  joinFinishedSearch();
}

// Hash tables of more than 64 MB, or more than 8 search threads (each with
// tables of its own), would make each input slow and the fuzzer's memory limit
// trip; such a line is skipped (the reading of its number is covered by the
// smaller sizes).
bool asksForLargeTables(const char* text) {
  if (std::strncmp(text, "MEMORY", 6) == 0) return std::strlen(text) > 7 && readClamped(text + 7, 0, 1L << 20) > 64;
  if (startsWithNoCase(text, "setoption name Hash value", 25)) return readClamped(text + 25, 0, 1 << 20) > 64;
  if (startsWithNoCase(text, "setoption name Threads value", 28)) return readClamped(text + 28, 0, 1 << 20) > 8;
  if (std::strncmp(text, "CORES", 5) == 0) return readClamped(text + 5, 0, 1 << 20) > 8;
  return false;
}

// Every input starts from a freshly started engine's state.
void resetEngine() {
  shell.forceMode = false;
  shell.analyzeMode.store(false);
  shell.uciMode.store(false);
  shell.newGameFlag = false;
  shell.pendingReply[0] = 0;
  timeControl = TimeControl{};
  searchSettings.post.store(false);
  settings.useBook.store(1);
  settings.resign.store(1);
  settings.tablebasePaths[0] = 0;
  settings.threads.store(1);
  newGame();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::silenceStandardOutput();
  setPieceLetters();
  newGame();
  allocateTables(0);  // the smallest tables
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* in = fuzz::memoryFile(data, size);
  if (!in) return 0;
  resetEngine();
  bool cut = false;
  while (readCommandLine(in, line, LineCapacity, &cut)) {
    if (cut) continue;  // refused whole by the engine's loop
    normaliseLine(line);
    if (asksForLargeTables(line)) continue;
    const DispatchOutcome outcome = dispatchLine(line, in);
    stopAtOnce();
    if (outcome != DispatchOutcome::Continue) break;
  }
  stopAtOnce();
  std::fclose(in);
  return 0;
}

#include "shell/dispatcher.h"

#include <cstdlib>
#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "book/book.h"
#include "notation/board_text.h"
#include "notation/game_file.h"
#include "notation/game_log.h"
#include "notation/movetext.h"
#include "search/search.h"
#include "shell/edit_mode.h"
#include "shell/engine.h"
#include "shell/go_command.h"
#include "shell/line_input.h"
#include "shell/numbers.h"
#include "shell/ponder.h"
#include "shell/search_thread.h"
#include "shell/services.h"
#include "shell/settings.h"
#include "shell/shell_state.h"
#include "shell/tablebase_path.h"
#include "shell/timecontrol.h"
#include "shell/uci.h"
#include "shell/xboard_commands.h"

namespace orv {

ShellState shell;

void flushPendingReply() {
  if (shell.pendingReply[0] == 0) return;
  std::fputs(shell.pendingReply, stdout);
  shell.pendingReply[0] = 0;
  std::fflush(stdout);
}

namespace {

enum class Step { Done, Go, Quit, EndOfInput };

bool is(const char* line, const char* word) { return std::strcmp(line, word) == 0; }
bool prefix(const char* line, const char* word, size_t n) { return std::strncmp(line, word, n) == 0; }
// The line is the command word, alone or followed by a blank.
bool command(const char* line, const char* word) {
  const size_t n = std::strlen(word);
  return prefix(line, word, n) && (line[n] == ' ' || line[n] == 0);
}

void unknownCommand(const char* line) {
  std::printf("Error (unknown command): %s\n", line);
  std::fflush(stdout);
}

void announceFeatures() {
  std::printf("feature myname=\"%s\" name=1 ping=1 time=1 analyze=1 setboard=1 memory=1 reuse=0 egt=\"nalimov\"\n",
              EngineName);
  std::printf("feature option=\"RESIGN -check %d\"\n", settings.resign.load() ? 1 : 0);
  std::printf("feature smp=1 draw=0 exclude=1 nps=0 option=\"BookFile -file %s\" option=\"BookBestMove -check %d\"\n",
              bookSource().path, bookSource().best ? 1 : 0);
  std::printf("feature option=\"USE BOOK -check %d\" done=1\n", settings.useBook.load() ? 1 : 0);
  std::fflush(stdout);
}

void applyXboardOption(const char* line) {
  // The book's file name keeps its case (see normaliseLine).
  if (startsWithNoCase(line, "option BookFile=", 16)) {
    stopSearch();  // the book is never changed under a running search
    setBookFile(line + 16);
    return;
  }
  if (startsWithNoCase(line, "option BookBestMove=", 20)) {
    stopSearch();
    setBookBest(readInt(line + 20) != 0);
    return;
  }
  if (const char* p = std::strstr(line, "USE BOOK=")) settings.useBook.store(readInt(p + 9) != 0);
  if (const char* p = std::strstr(line, "RESIGN=")) settings.resign.store(readInt(p + 7) != 0);
}

void applyMemory(const char* line) {
  // Keeps n << 20 far from overflow (the tables clamp the budget anyway); a
  // negative size is taken as 0, the smallest tables.
  long n = std::strlen(line) > 7 ? long(readClamped(line + 7, 0, 1L << 20)) : 0;
  settings.tablebaseCache = tablebaseCacheForMemory(n);
  stopSearch();  // the tables are never reallocated under a running search
  allocateTables((long long)n << 20);
}

void applySetboard(const char* line) {
  stopSearch();
  int code = parseFen(line + 8);  // a refused text leaves the position as it was
  if (code < 0 || code == FenNotToMoveInCheck) {
    std::printf("tellusererror Illegal position %d\n", code);
    std::fflush(stdout);
  }
}

void resetGame() {
  stopSearch();
  newGame();
  clearSearchTables();
  writeLogHeader();
  shell.forceMode = false;
}

// PARTIE: the file name keeps the case the interface wrote it in; when no
// such file opens, the upper-cased name is tried. The result is not examined.
void loadPartieFile(const char* name) {
  std::FILE* file = std::fopen(name, "r");
  if (!file) {
    char upper[LineCapacity];
    std::snprintf(upper, sizeof upper, "%s", name);
    upperCase(upper);
    file = std::fopen(upper, "r");
  }
  if (!file) return;
  readGameFile(file);
  std::fclose(file);
}

// Row 36: a move typed by the interface.
Step typedMove(const char* line) {
  if (shell.xboardPonder.load() == PonderRunning) {
    if (xboardPonderHit(line)) return Step::Done;
    stopSearch();  // another move: the pondering ends and its move is taken back
  }
  char text[LineCapacity];
  std::strcpy(text, line);
  Move m;
  {
    // The search thread may be playing its own move on the Game right now.
    std::lock_guard<std::mutex> lock(gameMoveMutex);
    m = parseCoordinateMove(text, game.side);
  }
  if (m == 0) {
    unknownCommand(line);
    return Step::Done;
  }
  stopSearch();
  // With the search ended the side to move is settled: read the move for it.
  std::strcpy(text, line);
  m = parseCoordinateMove(text, game.side);
  writeLogMove(m, false);
  int r = makeGameMove(m);
  if (r != 0) {
    reportGameEnd(r, line);
    if (r <= 3) return Step::Done;  // illegal, mate or stalemate: the engine does not move
  }
  return shell.forceMode ? Step::Done : Step::Go;
}

// The limits and the holding of the result for the next search.
void prepareSearch(const char* line) {
  if (!shell.uciMode.load()) {
    prepareXboardLimits();
    shell.nextSearchUntimed = shell.nextSearchPonders = false;
    shell.holdResult.store(false);
    return;
  }
  applyUciGo(line, shell.newGameFlag);
  const GoRequest r = readGoLine(line, game.legal);
  shell.nextLimits = r.limits;
  shell.nextSearchUntimed = !r.clock && (r.infinite || r.limits.depth > 0 || r.limits.nodes > 0 || r.limits.mate > 0);
  shell.nextSearchPonders = r.ponder;
  shell.holdResult.store(r.infinite || r.ponder);
}

Step goCommand(const char* line) {
  // A search that is printing its move is for the position before it: the go
  // waits for it instead of being lost.
  finishEndingSearch();
  // go while the engine ponders: it now plays the side to move, the opponent's.
  if (shell.xboardPonder.load() == PonderRunning) stopSearch();
  if (searchRunning.load() != SearchIdle) return Step::Done;
  if (gameOver()) {
    if (!shell.uciMode.load()) return Step::Done;
    // A UCI interface waits for an answer even when the game is over: at once,
    // or, for go infinite and go ponder, held like any other until stop or
    // ponderhit (the search thread answers bestmove 0000 then).
    const GoRequest r = readGoLine(line, game.legal);
    if (!r.infinite && !r.ponder) {
      std::printf("bestmove 0000\n");
      std::fflush(stdout);
      return Step::Done;
    }
  }
  prepareSearch(line);
  startSearch();
  shell.forceMode = false;
  return Step::Done;
}

Step dispatchOnce(const char* line, std::FILE* in) {
  const bool uci = shell.uciMode.load();
  if (prefix(line, "GO", 2)) return goCommand(line);
  if (is(line, "FORCE")) {
    stopSearch();
    shell.forceMode = true;
    return Step::Done;
  }
  if (is(line, "?")) {
    stopSearch();
    return Step::Done;
  }
  if (is(line, "UNDO")) {
    stopSearch();
    if (goToPly(-1) != 0) {
      std::printf("Error (command not legal now): undo\n");
      std::fflush(stdout);
      return Step::Done;
    }
    return shell.analyzeMode.load() ? Step::Go : Step::Done;
  }
  if (is(line, "REMOVE")) {
    stopSearch();
    goToPly(-1);
    if (goToPly(-1) != 0) {
      std::printf("Error (command not legal now): remove\n");
      std::fflush(stdout);
    }
    return Step::Done;
  }
  if (prefix(line, "LEVEL", 5)) {
    if (!applyLevel(line + 5)) {
      std::printf("Error (command not legal)\n");
      std::fflush(stdout);
    }
    return Step::Done;
  }
  if (prefix(line, "TIME", 4) || prefix(line, "OTIM", 4)) {
    applyTimeCommand(line);
    return Step::Done;
  }
  if (is(line, "EXIT")) {
    stopSearch();
    shell.analyzeMode.store(false);
    return Step::Done;
  }
  if (is(line, "WHITE") || is(line, "BLACK")) return Step::Done;
  if (is(line, ".")) {
    printStatus(searchPool.main());
    return Step::Done;
  }
  if (is(line, "POST")) {
    searchSettings.post.store(true);
    return Step::Done;
  }
  if (is(line, "NOPOST")) {
    searchSettings.post.store(false);
    return Step::Done;
  }
  if (is(line, "HARD") || is(line, "EASY")) {
    settings.xboardPonder.store(is(line, "HARD"));
    if (is(line, "EASY") && shell.xboardPonder.load() == PonderRunning) stopSearch();
    return Step::Done;
  }
  if (command(line, "ST") || command(line, "SD")) {
    if (!(line[1] == 'T' ? applySecondsPerMove(line + 2) : applyDepthLimit(line + 2))) {
      std::printf("Error (bad value): %s\n", line);
      std::fflush(stdout);
    }
    return Step::Done;
  }
  if (is(line, "HINT")) {
    printHint();
    return Step::Done;
  }
  if (is(line, "BK")) {
    printBookMoves();
    return Step::Done;
  }
  if (is(line, "DRAW") || command(line, "NPS")) return Step::Done;  // draw offers are declined by playing on
  if (command(line, "EXCLUDE") || command(line, "INCLUDE")) {
    if (!applyExclusion(line + 7, line[0] == 'E')) {
      std::printf("Error (illegal move): %s\n", line);
      std::fflush(stdout);
      return Step::Done;
    }
    if (!shell.analyzeMode.load()) return Step::Done;
    stopSearch();  // the analysis starts again without the excluded moves
    return Step::Go;
  }
  if (is(line, "QUIT")) return Step::Quit;
  if (is(line, "NEW")) {
    resetGame();
    return shell.analyzeMode.load() ? Step::Go : Step::Done;
  }
  if (is(line, "ANALYZE")) {
    stopSearch();
    shell.analyzeMode.store(true);
    writeLogMove(0, false);
    return Step::Go;
  }
  if (is(line, "EDIT")) {
    stopSearch();
    return runEditMode(game.side, in) ? Step::Done : Step::EndOfInput;
  }
  if (prefix(line, "SETBOARD", 8)) {
    applySetboard(line);
    return Step::Done;
  }
  if (prefix(line, "PARTIE ", 7)) {
    stopSearch();
    loadPartieFile(line + 7);
    return Step::Done;
  }
  if (prefix(line, "XBOARD", 6) || prefix(line, "RESET", 5)) return Step::Done;
  if (prefix(line, "PROTOVER 2", 10)) {
    announceFeatures();
    return Step::Done;
  }
  if (prefix(line, "NAME", 4) || prefix(line, "ACCEPTED", 8)) return Step::Done;
  if (prefix(line, "RESULT", 6)) {
    stopSearch();
    if (const char* space = std::strchr(line, ' ')) writeLogResult(space + 1);
    return Step::Done;
  }
  if (prefix(line, "PING", 4)) {
    std::snprintf(shell.pendingReply, sizeof shell.pendingReply, "pong%s\n", line + 4);
    flushPendingReply();
    return Step::Done;
  }
  if (prefix(line, "CORES", 5) && (line[5] == ' ' || line[5] == 0)) {
    applyThreadCount(line + 5, "cores");
    return Step::Done;
  }
  if (prefix(line, "MEMORY", 6)) {
    applyMemory(line);
    return Step::Done;
  }
  if (startsWithNoCase(line, "EGTPATH", 7)) {
    appendTablebasePath(line);
    return Step::Done;
  }
  if (startsWithNoCase(line, "option", 6)) {
    applyXboardOption(line);
    return Step::Done;
  }
  if (is(line, "UCI")) {
    shell.uciMode.store(true);
    searchSettings.post.store(true);
    printUciIdentification();
    return Step::Done;
  }
  if (uci && is(line, "ISREADY")) {
    std::snprintf(shell.pendingReply, sizeof shell.pendingReply, "readyok\n");
    flushPendingReply();
    return Step::Done;
  }
  if (uci && prefix(line, "position", 8)) {
    handlePosition(line + 8);
    return Step::Done;
  }
  if (uci && is(line, "STOP")) {
    stopSearch();
    return Step::Done;
  }
  if (uci && is(line, "PONDERHIT")) {
    ponderHit();
    return Step::Done;
  }
  if (uci && (command(line, "DEBUG") || command(line, "REGISTER"))) return Step::Done;  // nothing to debug or register
  if (uci && startsWithNoCase(line, "SETOPTION", 9)) {
    handleSetOption(line);
    return Step::Done;
  }
  if (prefix(line, "UCINEWGAME", 10)) {
    handleUciNewGame();
    return Step::Done;
  }
  if (is(line, "PRINT")) {
    std::lock_guard<std::mutex> lock(gameMoveMutex);
    printBoard();
    std::fflush(stdout);
    return Step::Done;
  }
  return typedMove(line);
}

}  // namespace

DispatchOutcome dispatchLine(char* line, std::FILE* in) {
  for (;;) {
    switch (dispatchOnce(line, in)) {
      case Step::Done: return DispatchOutcome::Continue;
      case Step::Quit: return DispatchOutcome::Quit;
      case Step::EndOfInput: return DispatchOutcome::EndOfInput;
      case Step::Go:
        std::strcpy(line, "GO");
        shell.forceMode = false;
        break;
    }
  }
}

}  // namespace orv

#include "shell/uci.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "book/book.h"
#include "notation/movetext.h"
#include "search/thread_pool.h"
#include "shell/engine.h"
#include "shell/line_input.h"
#include "shell/numbers.h"
#include "shell/search_thread.h"
#include "shell/services.h"
#include "shell/settings.h"
#include "shell/shell_state.h"
#include "shell/tablebase_path.h"
#include "shell/timecontrol.h"

namespace orv {

namespace {

const char* skipBlanks(const char* p) {
  while (*p == ' ') ++p;
  return p;
}

}  // namespace

void printUciIdentification() {
  std::printf("id name %s\nid author Marvendel\n", EngineName);
  std::printf("option name NalimovPath type string default\n");
  std::printf("option name NalimovCache type spin default 4 min 1 max 16\n");
  std::printf("option name Hash type spin default 128 min 30 max 1000\n");
  std::printf("option name Threads type spin default 1 min 1 max %d\n", MaxSearchThreads);
  std::printf("option name OwnBook type check default %s\n", settings.useBook.load() ? "true" : "false");
  std::printf("option name BookFile type string default%s%s\n", bookSource().path[0] ? " " : "", bookSource().path);
  std::printf("option name BookBestMove type check default %s\n", bookSource().best ? "true" : "false");
  std::printf("option name Ponder type check default false\n");
  std::printf("option name MultiPV type spin default 1 min 1 max %d\n", MaxMultiPv);
  std::printf("option name Move Overhead type spin default %lld min 0 max %lld\n", DefaultMoveOverheadMs,
              MaxMoveOverheadMs);
  std::printf("option name Clear Hash type button\n");
  std::printf("uciok\n");
  std::fflush(stdout);
}

void handlePosition(const char* line) {
  shell.positionTick = shell.lineTick;
  if (std::strstr(line, "startpos")) {
    stopSearch();
    newGame();
    shell.forceMode = false;
  } else if (const char* fen = std::strstr(line, "fen")) {
    stopSearch();
    newGame();
    // The FEN starts after "fen" and one blank; a line ending at "fen" has none.
    const char* text = fen[3] ? fen + 4 : fen + 3;
    parseFen(text);  // not examined; a refused text leaves the new game's start position
    shell.forceMode = false;
  }
  if (const char* moves = std::strstr(line, "moves")) {
    forEachMoveToken(moves + 5, [](char* token) {
      Move m;
      {
        // An xboard search may be playing its own move on the Game right now.
        std::lock_guard<std::mutex> lock(gameMoveMutex);
        m = parseCoordinateMove(token, game.side);
      }
      if (m == 0) return;
      stopSearch();
      // With the search ended the side to move is settled: read the move for it.
      makeGameMove(parseCoordinateMove(token, game.side));
    });
  }
}

namespace {

// The value of "setoption name <Name> value <text>" after the name: the text
// with "value" and the blanks before it passed over.
const char* optionValue(const char* afterName) {
  while (*afterName == ' ') ++afterName;
  if (startsWithNoCase(afterName, "value", 5)) afterName += 5;
  while (*afterName == ' ') ++afterName;
  return afterName;
}

bool isTrue(const char* value) { return startsWithNoCase(value, "true", 4); }

}  // namespace

void handleSetOption(const char* line) {
  if (startsWithNoCase(line, "setoption name Hash value", 25)) {
    const long long n = readClamped(line + 25, 0, 1 << 20);  // far above any budget the tables accept
    stopSearch();                                            // the tables are never reallocated under a running search
    allocateTables(n * 1048576);
  } else if (startsWithNoCase(line, "setoption name Threads value", 28)) {
    applyThreadCount(line + 28, "Threads");
  } else if (startsWithNoCase(line, "setoption name Ponder value", 27)) {
    settings.ponder.store(startsWithNoCase(skipBlanks(line + 27), "true", 4));
  } else if (startsWithNoCase(line, "setoption name MultiPV value", 28)) {
    settings.multiPv = int(readClamped(line + 28, 1, MaxMultiPv));
  } else if (startsWithNoCase(line, "setoption name Move Overhead value", 34)) {
    timeControl.moveOverheadMs = readClamped(line + 34, 0, MaxMoveOverheadMs);
  } else if (startsWithNoCase(line, "setoption name Clear Hash", 25)) {
    stopSearch();  // the tables are never cleared under a running search
    clearSearchTables();
  } else if (startsWithNoCase(line, "setoption name NalimovPath", 26)) {
    applyNalimovPathOption(line);
  } else if (startsWithNoCase(line, "setoption name NalimovCache value", 33)) {
    const long n = long(readClamped(line + 33, 0, 1 << 20));
    if (n > 0) settings.tablebaseCache = n * 1048576;
  } else if (startsWithNoCase(line, "setoption name OwnBook ", 23)) {
    settings.useBook.store(isTrue(optionValue(line + 23)));
  } else if (startsWithNoCase(line, "setoption name BookFile", 23) && (line[23] == ' ' || line[23] == 0)) {
    stopSearch();  // the book is never changed under a running search
    setBookFile(optionValue(line + 23));
  } else if (startsWithNoCase(line, "setoption name BookBestMove ", 28)) {
    stopSearch();
    setBookBest(isTrue(optionValue(line + 28)));
  }
}

void handleUciNewGame() {
  stopSearch();  // the tables are never cleared under a running search
  clearSearchTables();
  shell.newGameFlag = true;
  resetClockForNewGame();
}

}  // namespace orv

#include "shell/xboard_commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "book/book.h"
#include "book/polyglot_book.h"
#include "notation/movetext.h"
#include "shell/go_command.h"
#include "shell/numbers.h"
#include "shell/search_thread.h"
#include "shell/settings.h"
#include "shell/shell_state.h"
#include "shell/timecontrol.h"

namespace orv {

namespace {

// The moves excluded from the analysis of a position, and that position's
// FEN: a new position forgets them (command thread only).
uint32_t excluded[RootListSize];
int excludedCount = 0;
char excludedIn[FenTextSize];

void forgetExclusionsOfOtherPositions() {
  char fen[FenTextSize];
  writeFen(fen);
  if (std::strcmp(fen, excludedIn) == 0) return;
  excludedCount = 0;
  std::strcpy(excludedIn, fen);
}

bool isExcluded(uint32_t m) { return std::find(excluded, excluded + excludedCount, m) != excluded + excludedCount; }

// A positive number after the command; false when none stands there or it is below 1.
bool readPositive(const char* args, long long hi, long long& value) {
  const char* end;
  value = readClamped(args, -1, hi, &end);
  return end != args && value >= 1;
}

}  // namespace

bool applySecondsPerMove(const char* args) {
  long long seconds;
  if (!readPositive(args, 1000000, seconds)) return false;
  TimeControl& tc = timeControl;
  tc.fixedMoveTime = true;
  tc.moveTimeLimit = int(seconds * 10);
  tc.moveTimeMs = seconds * 1000;
  return true;
}

bool applyDepthLimit(const char* args) {
  long long depth;
  if (!readPositive(args, MaxPly - 1, depth)) return false;
  settings.xboardDepthLimit = int(depth);
  return true;
}

void printHint() {
  const uint32_t reply = shell.expectedReply.load();
  std::lock_guard<std::mutex> lock(gameMoveMutex);
  // While the engine ponders, the game already holds the reply, which was legal.
  const bool pondering = shell.xboardPonder.load() != PonderNone;
  for (int i = 0; reply != 0 && (pondering || game.legal[i] != 0); ++i)
    if (pondering || (game.legal[i] & 0xFFFF) == reply) {
      char text[CoordinateTextSize];
      coordinateText(reply, text);
      std::printf("Hint: %s\n", text);
      std::fflush(stdout);
      return;
    }
}

namespace {

// The moves of the record for the Game's position in the book of records, with
// the weights its draw gives them; their count. The scan of a large book runs
// without the game lock.
int listOwnBookMoves(Move* moves, int* weights) {
  FILE* file = openBookFile();
  if (!file) return 0;
  char key[FenTextSize];
  {
    std::lock_guard<std::mutex> lock(gameMoveMutex);
    writeFen(key);
  }
  BookRecord record;
  int n = 0;
  if (findBookRecord(file, key, record)) {
    for (int slot = 0; slot < BookSlots; ++slot) {
      const Move m = bookMove(record, slot);
      if (m == 0) continue;
      moves[n] = m;
      weights[n++] = bookSlotWeight(bookGames(record, slot), bookPoints(record, slot));
    }
  }
  std::fclose(file);
  return n;
}

}  // namespace

void printBookMoves() {
  Move moves[PolyglotEntriesPerKey];
  int weights[PolyglotEntriesPerKey];
  int n = 0;
  const BookSource& chosen = bookSource();
  if (chosen.kind == PolyglotBook) {
    std::lock_guard<std::mutex> lock(gameMoveMutex);
    n = listPolyglotMoves(chosen.path, moves, weights);
  } else {
    n = listOwnBookMoves(moves, weights);
  }
  if (n == 0) return;
  for (int i = 0; i < n; ++i) {
    char text[CoordinateTextSize];
    coordinateText(moves[i], text);
    std::printf(" %s %d\n", text, weights[i]);
  }
  std::printf("\n");
  std::fflush(stdout);
}

bool applyExclusion(const char* args, bool exclude) {
  // An analysis may be handing its root list back to the Game right now.
  std::lock_guard<std::mutex> lock(gameMoveMutex);
  forgetExclusionsOfOtherPositions();
  while (*args == ' ') ++args;
  if (std::strcmp(args, "ALL") == 0) {
    excludedCount = 0;
    if (exclude)
      for (int i = 0; game.legal[i] != 0 && excludedCount < RootListSize - 1; ++i)
        excluded[excludedCount++] = game.legal[i] & 0xFFFF;
    return true;
  }
  const uint32_t m = findLegalMove(args, game.legal);
  if (m == 0) return false;
  if (exclude && !isExcluded(m) && excludedCount < RootListSize - 1) excluded[excludedCount++] = m;
  if (!exclude) excludedCount = int(std::remove(excluded, excluded + excludedCount, m) - excluded);
  return true;
}

void prepareXboardLimits() {
  SearchLimits& limits = shell.nextLimits;
  limits.clear();
  limits.depth = settings.xboardDepthLimit;
  forgetExclusionsOfOtherPositions();
  if (excludedCount == 0 || !shell.analyzeMode.load()) return;
  for (int i = 0; game.legal[i] != 0; ++i)
    if (!isExcluded(game.legal[i] & 0xFFFF)) limits.searchMoves[limits.searchMoveCount++] = game.legal[i] & 0xFFFF;
  // Every move excluded: the search still needs one, the first.
  if (limits.searchMoveCount == 0) limits.searchMoves[limits.searchMoveCount++] = game.legal[0] & 0xFFFF;
}

}  // namespace orv

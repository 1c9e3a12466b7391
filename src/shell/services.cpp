#include "shell/services.h"

#include <cstdio>

#include "search/hashtable.h"
#include "shell/settings.h"

namespace orv {

bool allocateTables(long long bytes) {
  // A negative budget stands for "more than the largest": the tables clamp it to their maximum.
  return allocateHashTables(uint64_t(bytes)) != -1;
}

void clearSearchTables() {
  clearTranspositionTable();
  clearPawnTable();
}

unsigned transpositionTableMegabytes() { return unsigned((uint64_t(transpositionEntryCount()) * 24) >> 20); }
unsigned pawnTableMegabytes() { return unsigned((uint64_t(pawnEntryCount()) * 42) >> 20); }
void initialiseTablebases() {}

Move parseMoveText(char*, int) { return 0; }

void formatMoveText(Move m, char* out) {
  static const char promotion[] = "QRBN";
  std::snprintf(out, 8, "%c%c%c%c", 'a' + fileOf(moveFrom(m)), '1' + rankOf(moveFrom(m)), 'a' + fileOf(moveTo(m)),
                '1' + rankOf(moveTo(m)));
  if (isPromotion(m)) {
    out[4] = promotion[moveKind(m) - PromoteQueen];
    out[5] = 0;
  }
}

void setPieceLetters() {}

void logHeader() {}
void logMove(Move, bool) {}
void logResult(const char* text) {
  if (!settings.logFile) return;
  std::fprintf(settings.logFile, "%s\n", text);
}

int loadGame(const char*) { return -10; }

}  // namespace orv

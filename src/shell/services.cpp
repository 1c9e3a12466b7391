#include "shell/services.h"

#include "hash/hashtable.h"
#include "search/search.h"
#include "search/search_state.h"
#include "shell/settings.h"
#include "tablebase/registry.h"

namespace orv {

bool allocateTables(long long bytes) {
  // A negative budget stands for "more than the largest": the tables clamp it to their maximum.
  return allocateHashTables(uint64_t(bytes)) != -1;
}

void clearSearchTables() {
  clearTranspositionTable();
  clearPawnTable();
  searchState.clearHistory();
}

unsigned transpositionTableMegabytes() { return unsigned((uint64_t(transpositionEntryCount()) * 24) >> 20); }
unsigned pawnTableMegabytes() { return unsigned((uint64_t(pawnEntryCount()) * 42) >> 20); }
void initialiseTablebases() {
  tb::releaseTablebases();
  searchSettings.tablebaseMen = tb::initTablebases(settings.tablebasePaths, settings.tablebaseCache);
  tb::tablebasesInitialised = 1;
}

}  // namespace orv

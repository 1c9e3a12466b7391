#include "shell/services.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "hash/hashtable.h"
#include "search/search.h"
#include "search/thread_pool.h"
#include "shell/numbers.h"
#include "shell/search_thread.h"
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
  searchPool.clearHistory();
}

void applyThreadCount(const char* text, const char* origin) {
  const char* end = nullptr;
  const long long n = readClamped(text, LLONG_MIN, LLONG_MAX, &end);
  if (end == text) {
    const int length = int(std::strcspn(text, "\r\n"));
    std::fprintf(stderr, "%s: \"%.*s\" is not a number of threads; keeping %d\n", origin, length, text,
                 settings.threads.load());
    return;
  }
  const int count = int(std::clamp<long long>(n, 1, MaxSearchThreads));
  if (count != n)
    std::fprintf(stderr, "%s: %lld threads is out of range 1..%d; using %d\n", origin, n, MaxSearchThreads, count);
  settings.threads.store(count);
}

unsigned transpositionTableMegabytes() { return unsigned((uint64_t(transpositionEntryCount()) * 24) >> 20); }
unsigned pawnTableMegabytes() { return unsigned((uint64_t(pawnEntryCount()) * 42) >> 20); }
void initialiseTablebases() {
  tb::releaseTablebases();
  searchSettings.tablebaseMen = tb::initTablebases(settings.tablebasePaths, settings.tablebaseCache);
  tb::tablebasesInitialised = 1;
}

}  // namespace orv

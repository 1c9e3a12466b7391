// Shared by the bench (engine and tool) and the tool's search: one search of a FEN position
// from cleared tables, without book or tablebases, to a fixed depth, with the
// workers of a pool (the main worker's evaluation cache is kept from search to
// search, as in the engine).
#pragma once
#include <cstdint>
#include <cstdio>

#include "board/board.h"
#include "board/game.h"
#include "search/counters.h"
#include "hash/hashtable.h"
#include "search/search.h"
#include "search/search_state.h"
#include "search/thread_pool.h"

namespace orv {

struct ToolSearchResult {
  int code;  // 0 searched, else the FEN refusal or -1 (game over)
  Move move;
  int score;
  uint64_t nodes;  // of every thread
  int64_t ms;      // time of the search itself
};

inline ToolSearchResult searchFenToDepth(SearchPool& pool, const char* fen, int depth, bool post) {
  ToolSearchResult r{0, 0, 0, 0, 0};
  if (transpositionTable.entries == nullptr && allocateHashTables(64ull << 20) < 0) {
    r.code = -2;
    return r;
  }
  r.code = parseFen(fen);
  if (r.code != 0) return r;
  clearTranspositionTable();
  clearPawnTable();
  pool.clearHistory();
  pool.main().state.clearKillers();
  searchSettings.useBook = false;
  searchSettings.tablebaseMen = 0;
  searchSettings.post = post;
  game.uciMode = true;
  game.softLimit = 1 << 28;  // tenths of a second: no time limit in practice
  game.hardLimit = 1 << 28;
  game.iterationLimit = depth;
  const int64_t start = tickMilliseconds();
  const int32_t result = rootSearch(game, pool.main());
  r.ms = tickMilliseconds() - start;
  if (result == -1) {
    r.code = -1;
    return r;
  }
  r.move = resultMove(result);
  r.score = resultScore(result);
  r.nodes = pool.nodes();
  return r;
}

}  // namespace orv

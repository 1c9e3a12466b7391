// Shared set-up of the search tests: small cleared tables, no book, no output.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "board/board.h"
#include "board/game.h"
#include "search/counters.h"
#include "hash/hashtable.h"
#include "search/search.h"
#include "search/search_state.h"
#include "support/test_worker.h"

namespace orv::test {

class SearchFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GE(allocateHashTables(4ull << 20), 0);
    clearTranspositionTable();
    clearPawnTable();
    testWorker().state.clear();
    searchSettings.post = false;
    searchSettings.useBook = false;
    searchSettings.tablebaseMen = 0;
    diagnosticHook = nullptr;
    searchAbort = 0;
  }

  // Sets up the FEN position with generous time limits and the given depth limit.
  void setUp(const char* fen, int depth) {
    ASSERT_EQ(parseFen(fen), 0) << fen;
    game.softLimit = 1 << 28;
    game.hardLimit = 1 << 28;
    game.iterationLimit = depth;
    searchAbort = 0;  // a finished search leaves the flag raised
  }

  // Plays coordinate moves ("g1f3") on the Game.
  void play(const char* moves) {
    std::string text(moves);
    size_t at = 0;
    while (at < text.size()) {
      const size_t end = text.find(' ', at);
      const std::string m = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
      at = end == std::string::npos ? text.size() : end + 1;
      const int from = makeSquare(m[0] - 'a', m[1] - '1'), to = makeSquare(m[2] - 'a', m[3] - '1');
      Move found = 0;
      for (int i = 0; game.legal[i] != 0; ++i)
        if (moveFrom(game.legal[i]) == from && moveTo(game.legal[i]) == to) found = game.legal[i];
      ASSERT_NE(found, 0u) << m;
      ASSERT_GE(makeGameMove(found), 0) << m;
    }
  }

  // Score and move of a root search of the Game's position.
  int searchScore(Move* move = nullptr) {
    const int32_t r = rootSearch(game, testWorker());
    if (move) *move = resultMove(r);
    return resultScore(r);
  }
};

constexpr int sq(const char* name) { return makeSquare(name[0] - 'a', name[1] - '1'); }

}  // namespace orv::test

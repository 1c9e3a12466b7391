// Small helpers for the board tests: squares by name and playing listed moves.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "board/board.h"
#include "board/game.h"
#include "board/movegen.h"

namespace orv::test {

constexpr int sq(const char* name) { return makeSquare(name[0] - 'a', name[1] - '1'); }

// A position reached by playing legal moves with the generator, as the game does.
struct Line {
  Board board;
  int side = White;
  Move legal[256] = {};
  uint32_t lastResult = 0;

  explicit Line(const char* fen) {
    EXPECT_EQ(parseFen(fen), 0) << fen;
    board = game.board;
    side = game.side;
    lastResult = generateFor(side, legal, 256, 0, board);
  }

  // The listed move with this coordinate text ("e2e4", "e7e8n"), or 0.
  Move find(const std::string& text) const {
    const int from = sq(text.c_str()), to = sq(text.c_str() + 2);
    for (int i = 0; legal[i] != 0; ++i) {
      const Move m = legal[i];
      if (moveFrom(m) != from || moveTo(m) != to) continue;
      if (text.size() < 5) return m;
      const char* letters = "qrbn";
      if (isPromotion(m) && letters[promotionKind(m) - Queen] == text[4]) return m;
    }
    return 0;
  }

  bool has(const std::string& text) const { return find(text) != 0; }

  // Plays a listed move; fails the test when it is not listed.
  void play(const std::string& text) {
    const Move m = find(text);
    ASSERT_NE(m, 0u) << text << " is not listed";
    board.lastMove = int32_t(m & 0xFFFF);
    side ^= 1;
    lastResult = generateFor(side, legal, 256, m, board);
  }

  int count() const {
    int n = 0;
    while (legal[n] != 0) ++n;
    return n;
  }
};

}  // namespace orv::test

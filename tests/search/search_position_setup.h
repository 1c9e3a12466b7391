// Set-up of the search's own position for the generator, ordering and make
// tests: a FEN becomes testWorker().position and the root NodeState, as the root does it.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/game.h"
#include "eval/evaluate.h"
#include "eval/node_state.h"
#include "search/make.h"
#include "search/generate.h"
#include "support/test_worker.h"

namespace orv::gentest {

constexpr int sq(const char* name) { return makeSquare(name[0] - 'a', name[1] - '1'); }
constexpr Move mv(const char* from, const char* to, int kind = Ordinary) { return makeMove(sq(from), sq(to), kind); }

// Loads the position; returns its root NodeState. The side to move is game.side.
inline NodeState loadFen(const char* fen) {
  EXPECT_EQ(parseFen(fen), 0) << fen;
  Board b = game.board;
  recountBoard(b);
  computeFullKey(game.side, b);
  testWorker().position = b;
  return rootNodeState(b);
}

// Words 0..165 of the search position (slot squares, map, kinds, statuses, values).
struct Arrays {
  int32_t words[166];
  bool operator==(const Arrays& o) const { return std::memcmp(words, o.words, sizeof words) == 0; }
};
inline Arrays snapshot() {
  Arrays a;
  std::memcpy(a.words, &testWorker().position, sizeof a.words);
  return a;
}

// The 16-bit moves of a generated list, in list order.
inline std::vector<Move> movesOf(const uint32_t* list) {
  std::vector<Move> out;
  for (; *list != 0; ++list) out.push_back(moveOf(*list));
  return out;
}

template <int Us> std::vector<Move> allMoves(const NodeState& s, bool inCheck = false) {
  uint32_t list[MaxSearchMoves];
  generateAll<Us>(testWorker().position, list, s.lastMove, inCheck, s);
  return movesOf(list);
}

inline bool contains(const std::vector<Move>& moves, Move m) {
  return std::find(moves.begin(), moves.end(), m) != moves.end();
}

// The full keys and derived words of the search position with `side` to move and
// the statuses of s, for comparison with the incrementally kept NodeState.
inline Board recounted(int side, const NodeState& s) {
  Board b = testWorker().position;
  for (int i = 0; i < 4; ++i) b.castle[i] = s.castle[i];
  computeFullKey(side, b);
  recountBoard(b);
  return b;
}

}  // namespace orv::gentest

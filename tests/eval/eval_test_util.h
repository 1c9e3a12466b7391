// Positions prepared for the evaluation as the search's root call prepares them.
#pragma once
#include <gtest/gtest.h>

#include "board/board.h"
#include "board/game.h"
#include "eval/eval_terms.h"
#include "eval/evaluate.h"
#include "eval/node_state.h"
#include "support/test_worker.h"

namespace orv::test {

constexpr int sq(const char* name) { return makeSquare(name[0] - 'a', name[1] - '1'); }

struct Prepared {
  NodeState state{};
  Board board{};
  int side = White;
  int rootPhase = 0;

  explicit Prepared(const char* fen) {
    EXPECT_GE(parseFen(fen), 0) << fen;  // a check on the side not to move is fine here
    rootPhase = recountBoard(game.board);
    board = game.board;
    side = game.side;
    state = rootNodeState(board);
    testWorker().position = board;
  }
  // Makes this position the one the evaluation reads again.
  void load() const { testWorker().position = board; }
  int eval() const {
    load();
    return evaluate(testWorker(), side, state);
  }
  EvalTerms terms() const {
    load();
    EvalTerms t;
    evaluateTerms(testWorker(), side, state, t);
    return t;
  }
};

}  // namespace orv::test

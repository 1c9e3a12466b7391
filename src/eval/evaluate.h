// The static evaluation.
#pragma once
#include <cstdint>

#include "board/types.h"
#include "eval/node_state.h"

namespace orv {

// Score of the position on searchPosition for `side` to move, in [-32000, 32000], never 0.
int evaluate(int side, const NodeState& s);
// evaluate through a cache of recent results (the search's calls). Equal to
// evaluate whenever the key words, half-move clock, phase and side agree.
int evaluateCached(int side, const NodeState& s);
void clearEvaluationCache();
// Starts loading the cache entry of a position with low key word key0.
void prefetchEvaluation(uint32_t key0);
// Phase code, node form (after captures and promotions in the search).
int computePhase(const NodeState& s);
// Rebuilds every derived word of the Board; returns the phase code, root form.
int recountBoard(Board& b);
// Is the pawn of Us on sq passed (on searchPosition)?
template <int Us> bool isPassedPawn(int sq, const NodeState& s);

// Calls of evaluate since the last reset.
extern uint32_t evaluationCount;

}  // namespace orv

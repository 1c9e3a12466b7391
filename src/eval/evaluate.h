// The static evaluation.
#pragma once
#include <cstdint>

#include "board/types.h"
#include "eval/evaluator.h"
#include "eval/node_state.h"

namespace orv {

// Piece-square tables, opening (psqTable[0]) and endgame (psqTable[1]), by kind
// 0..7, written from White's side with the eighth rank first (index 0 = a8,
// 63 = h1); both pawn kinds share the pawn table and kind 7 is all zero.
// A White man on sq reads index sq ^ 56 (added); a Black man reads index sq (subtracted).
constexpr int psqIndex(int colour, int sq) { return colour == White ? sq ^ 56 : sq; }
extern const int psqTable[2][8][64];  // constant

// Score of the evaluator's position for `side` to move, in [-32000, 32000], never 0.
int evaluate(Evaluator& e, int side, const NodeState& s);
// evaluate through the evaluator's cache of recent results (the search's calls).
// Equal to evaluate whenever the key words, half-move clock, phase and side agree.
int evaluateCached(Evaluator& e, int side, const NodeState& s);
// Starts loading the cache entry of a position with low key word key0.
inline void prefetchEvaluation(const Evaluator& e, uint32_t key0) {
  __builtin_prefetch(&e.evalCache[key0 & (EvalCacheEntries - 1)]);
}
// Phase code, node form (after captures and promotions in the search).
int computePhase(const NodeState& s);
// Phase code, root form.
int rootPhase(const Board& b);
// Rebuilds every derived word of the Board; returns the phase code, root form.
int recountBoard(Board& b);
// Is the pawn of Us on sq passed?
template <int Us> bool isPassedPawn(const Board& p, int sq, const NodeState& s);

}  // namespace orv

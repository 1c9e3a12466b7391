// The static evaluation.
#pragma once
#include <cstdint>

#include "board/types.h"
#include "eval/node_state.h"

namespace orv {

// The position the evaluation reads: the search's own working arrays (slot
// squares, square map, kinds, castling statuses and per-slot values of a Board).
// The search copies the Game's Board into it before every root call and makes
// and takes back moves on it; the evaluation only reads it.
extern Board searchPosition;

// Piece-square tables, opening (psqTable[0]) and endgame (psqTable[1]), by kind
// 0..7, written from White's side with the eighth rank first (index 0 = a8,
// 63 = h1); both pawn kinds share the pawn table and kind 7 is all zero.
// A White man on sq reads index sq ^ 56 (added); a Black man reads index sq (subtracted).
constexpr int psqIndex(int colour, int sq) { return colour == White ? sq ^ 56 : sq; }
extern const int psqTable[2][8][64];

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
// Phase code, root form.
int rootPhase(const Board& b);
// Rebuilds every derived word of the Board; returns the phase code, root form.
int recountBoard(Board& b);
// Is the pawn of Us on sq passed (on searchPosition)?
template <int Us> bool isPassedPawn(int sq, const NodeState& s);

// Calls of evaluate since the last reset.
extern uint32_t evaluationCount;

}  // namespace orv

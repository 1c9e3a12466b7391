// Internal interfaces between the evaluation driver and its term groups.
#pragma once
#include <cstdint>

#include "board/types.h"
#include "eval/evaluator.h"
#include "eval/node_state.h"

namespace orv {

// Sub-totals of one evaluation, for diagnostics (orvalis-tool eval --terms).
struct EvalTerms {
  int A = 0;  // activity
  int S = 0;  // king safety
  int K = 0;  // king proximity and king attack
  int J = 0;  // material adjustment
  int U = 0;  // pawn structure
  int M = 0;  // mobility
  int T = 0;  // material
  int Q = 0;  // piece-square
  int phase = 0, W = 0, E = 0;
};

// evaluate with every sub-total reported.
int evaluateTerms(Evaluator& e, int side, const NodeState& s, EvalTerms& terms);

// What the pawn structure tells the other terms.
struct PassedPawnInfo {
  int mostAdvanced[2];  // square of each side's most advanced passed pawn, 0 = none
  uint64_t passed[2];   // byte f: square of the side's passed pawn on file f, 0 = none
  uint64_t attacks[2];  // squares attacked by each side's pawns
};
constexpr int passedOnFile(uint64_t passedBytes, int file) { return int((passedBytes >> (8 * file)) & 0xFF); }

// Pawn score from White's point of view, through the evaluator's pawn table.
int evaluatePawns(Evaluator& e, const NodeState& s, int side, PassedPawnInfo& info);
// The same without the table (a fresh computation).
int computePawnStructure(const Board& p, const NodeState& s, int side, PassedPawnInfo& info);
// The pawn key with the king squares and side to move folded in where the
// king-race terms can apply.
void extendedPawnKey(const Board& p, const NodeState& s, int side, uint32_t key[2]);

// Rook files, bishop pair and line-ups; heavy men on the 7th/8th rank when withSeventh.
int activityTerms(const Board& p, const NodeState& s, bool withSeventh);
// Outpost value of one minor piece of Us on sq: 0, 60 or 90.
template <int Us> int outpost(const Board& p, int sq);
int outposts(const Board& p);

// King shelter and open files (S) and minor pieces near their king (K).
int kingSafety(const Board& p, const NodeState& s);
template <int Us> int shelter(const Board& p, int sq);
int minorKingDistance(const Board& p);
// Endgame king race for passed pawns: adds to A and U; returns the kings'
// distance term for K.
int endgameKingTerms(const Board& p, const PassedPawnInfo& info, int& A, int& U);
// The four rook-and-bishop endgame rules (phase 3), added to A.
int phaseThreeRules(const Board& p, int side, const NodeState& s, const PassedPawnInfo& info);

// Mobility 2 x (White - Black); adds attacked-men penalties to A and the
// king-attack balance to K.
int evaluateMobility(const SearchBoard& p, const PassedPawnInfo& info, int side, const NodeState& s, int& A, int& K);

// Pawnless positions: the score before the material-combination correction.
int evaluatePawnless(const Board& p, const NodeState& s);

}  // namespace orv

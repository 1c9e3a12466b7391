// The search's own move generation, ordering scores, history tables and the
// attack tests of a node. Templates on the side that moves (Us).
#pragma once
#include <cstdint>

#include "board/game.h"
#include "board/types.h"
#include "eval/node_state.h"
#include "search/move_words.h"

namespace orv {

constexpr int MaxPly = 64;
// Room for any pseudo-legal list, promotions included.
constexpr int MaxSearchMoves = 256;

// Move lists hold orderedWord entries (search/move_words.h).

// All pseudo-legal moves of Us (castling only when not in check, by the castling
// statuses of s); returns the count.
template <int Us> int generateAll(uint32_t* list, Move lastMove, bool inCheck, const NodeState& s);
// Captures, queen promotions and en-passant captures of Us, with their scores.
template <int Us> int generateCaptures(uint32_t* list, Move lastMove);
// Fills the high 16 bits of every move (full-width nodes). At ply 0 the list is
// replaced by the search state's orderedRootList.
template <int Us> void scoreMoves(uint32_t* list, Move previous, const NodeState& s);

// Room of the root's ordered move list (SearchState::orderedRootList).
constexpr int RootListSize = MaxGameMoves + 1;

// After Them's move m was made: is Them's king attacked by a man of Us
// (for castling also the passed square and the origin square)? With m = 0 it
// simply tells whether Them's king stands attacked: kingAttacked<Black>(0) is the
// in-check test of White.
template <int Us> bool kingAttacked(Move m);
// The same for a move m != 0, where `wasSafe` tells that Them's king was
// attacked by no man before the move: unless the king moved, only a line
// through an emptied square (the origin, an en-passant victim's) can then
// attack it.
template <int Us> bool kingAttackedAfter(Move m, bool wasSafe);
// Before Us's move m is made: does it give check to the king on enemyKing?
template <int Us> bool givesCheck(Move m, int enemyKing, const NodeState& s);
// Is a hash move for Us plausible on the current search position?
template <int Us> bool plausibleHashMove(Move m);
// At a fail high of a full-width node with depth D plies at distance `ply` from the root
// (the killer word of that ply is updated).
template <int Us>
void updateOnCutoff(Move m, int depthPlies, Move previous, const uint16_t* tried, int triedCount, int ply);

// The history bonus of a cutoff at depth D plies: min(42 D - 17, 415).
int historyBonus(int depthPlies);

}  // namespace orv

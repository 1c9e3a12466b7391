// Make and take back on a worker's search position and NodeState.
// Us is the side to move at the node; the move made is a move of the other side.
#pragma once
#include <cstdint>

#include "board/search_board.h"
#include "board/types.h"
#include "eval/node_state.h"
#include "search/repetition.h"

namespace orv {

constexpr int IllegalMoveScore = 32760;

// What take-back needs besides the move.
struct SearchUndo {
  int captured;                // captured slot, 32 = none
  int capturedSquare;          // where it stood (differs from the destination for en passant)
  uint8_t castlingBefore = 0;  // statuses before the move in the history record's byte form
  bool made = false;           // the arrays were changed (a real move was made)
};

// Makes Them's move t (t != 0) or the null move (t == 0 at ply > 0 without FlagReentry).
// Returns IllegalMoveScore when t lands on the king of Us (nothing changed), else 0.
template <int Us> int makeSearchMove(SearchBoard& p, Move t, uint32_t flags, NodeState& s, SearchUndo& u);
// Restores the arrays after makeSearchMove of a move t != 0; does nothing when
// the make changed nothing (null move, FlagReentry, or the IllegalMoveScore return).
template <int Us> void takeBackSearchMove(SearchBoard& p, Move t, const SearchUndo& u);
// Transposition key of the node: s.key with the en-passant file key when an
// en-passant capture by Us is possible against s.lastMove.
template <int Us> void searchProbeKey(const Board& p, const NodeState& s, uint32_t key[2]);
// The history record of the node (ply > 0, depth >= 0, no FlagReentry), past the game's records.
template <int Us>
void writeSearchHistory(RepetitionHistory& h, const Board& p, Move t, const SearchUndo& u, NodeState& s);

}  // namespace orv

// The attack tests of a search node on the search position. Templates on the
// attacking side (Us).
#pragma once
#include "board/search_board.h"
#include "board/types.h"
#include "eval/node_state.h"

namespace orv {

// After Them's move m was made: is Them's king attacked by a man of Us
// (for castling also the passed square and the origin square)? With m = 0 it
// simply tells whether Them's king stands attacked: kingAttacked<Black>(p, 0) is the
// in-check test of White.
template <int Us> bool kingAttacked(const SearchBoard& p, Move m);
// The same for a move m != 0, where `wasSafe` tells that Them's king was
// attacked by no man before the move: unless the king moved, only a line
// through an emptied square (the origin, an en-passant victim's) can then
// attack it.
template <int Us> bool kingAttackedAfter(const SearchBoard& p, Move m, bool wasSafe);
// Before Us's move m is made: does it give check to the king on enemyKing?
template <int Us> bool givesCheck(const SearchBoard& p, Move m, int enemyKing, const NodeState& s);
// Is a hash move for Us plausible on the current search position?
template <int Us> bool plausibleHashMove(const Board& p, Move m);

}  // namespace orv

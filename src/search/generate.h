// The search's own move generation: pseudo-legal lists of orderedWord entries
// (search/move_words.h) for the side that moves (Us).
#pragma once
#include <cstdint>

#include "board/search_board.h"
#include "board/types.h"
#include "eval/node_state.h"
#include "search/move_words.h"

namespace orv {

// Room for any pseudo-legal list, promotions included.
constexpr int MaxSearchMoves = 256;

// All pseudo-legal moves of Us (castling only when not in check, by the castling
// statuses of s); returns the count.
template <int Us>
int generateAll(const SearchBoard& p, uint32_t* list, Move lastMove, bool inCheck, const NodeState& s);
// Captures, queen promotions and en-passant captures of Us, with their scores.
template <int Us> int generateCaptures(const SearchBoard& p, uint32_t* list, Move lastMove);

}  // namespace orv

// Move ordering of full-width nodes: the scores of a move list and the history,
// follow-up and killer updates at a cutoff. Templates on the side that moves (Us).
#pragma once
#include <cstdint>

#include "board/types.h"
#include "eval/node_state.h"
#include "search/move_words.h"

namespace orv {
struct SearchWorker;
}

namespace orv {

// Fills the high 16 bits of every move (full-width nodes). At ply 0 the list is
// replaced by the search state's orderedRootList.
template <int Us> void scoreMoves(SearchWorker& w, uint32_t* list, Move previous, const NodeState& s);
// At a fail high of a full-width node with depth D plies at distance `ply` from the root
// (the killer word of that ply is updated).
template <int Us>
void updateOnCutoff(SearchWorker& w, Move m, int depthPlies, Move previous, const uint16_t* tried, int triedCount,
                    int ply);

// The history bonus of a cutoff at depth D plies: min(42 D - 17, 415).
int historyBonus(int depthPlies);

}  // namespace orv

// Late-move reduction and late-move pruning tables of the node search.
#pragma once
#include <cstdint>

namespace orv {

// R[d][m]: plies of reduction at a depth of d plies after m moves searched,
// trunc(0.4 ln d ln m); 0 whenever d <= 1 or m <= 1.
// Filled during static initialisation, before any thread starts; read-only afterwards.
extern uint8_t reductionTable[32][64];

// Quiet moves searched before late-move pruning starts, by depth in plies.
constexpr int lateMoveCount[16] = {2, 3, 5, 7, 11, 16, 21, 28, 35, 42, 51, 60, 70, 80, 91, 103};

// Fills reductionTable; safe to call more than once.
void initReductionTable();

}  // namespace orv

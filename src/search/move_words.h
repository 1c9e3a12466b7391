// The packed words of the search: a 16-bit Move in the low half and a score in
// the high half; a 0 word ends every list of them.
#pragma once
#include <cstdint>

#include "board/types.h"

namespace orv {

constexpr Move moveOf(uint32_t word) { return word & 0xFFFF; }

// Move-list word: the ordering score, unsigned, higher is tried first.
constexpr uint32_t orderedWord(Move m, int orderScore) { return uint32_t(orderScore) << 16 | m; }
constexpr int scoreOf(uint32_t word) { return int(word >> 16); }

// Root-list and PV word: a search score, 16 bits with its sign.
constexpr uint32_t scoredWord(uint32_t move, int score) { return moveOf(move) | uint32_t(uint16_t(score)) << 16; }
constexpr int signedScoreOf(uint32_t word) { return int16_t(word >> 16); }

}  // namespace orv

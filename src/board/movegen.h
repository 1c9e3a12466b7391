// The legal move generator: completes a move and lists the legal replies.
#pragma once
#include "board/types.h"

namespace orv {

// Us is the side whose moves are generated; `m` (if not 0) is a move of the
// other side that is applied first. Without a list: returns m | GenIllegal when
// m leaves its own king attacked, else m. With a list: also writes the legal
// moves of Us (0-terminated, at most `capacity - 1` moves), copies the position
// after m into `b`, and returns GenCheckmate, GenStalemate, GenInsufficient or m.
template <int Us> uint32_t generate(Move* list, int capacity, Move m, Board& b);

inline uint32_t generateFor(int us, Move* list, int capacity, Move m, Board& b) {
  return us == White ? generate<White>(list, capacity, m, b) : generate<Black>(list, capacity, m, b);
}

// Is square `sq` attacked by a man of side `by`?
bool isAttacked(const Board& b, int sq, int by);

}  // namespace orv

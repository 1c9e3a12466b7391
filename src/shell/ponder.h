// Pondering: a search on the move the engine expects from its opponent,
// without a clock until that move is played.
#pragma once

namespace orv {

// UCI ponderhit: the pondering search becomes the timed search of the move,
// its time counted from now; its bestmove is no longer held. Ignored when no
// search ponders.
void ponderHit();

}  // namespace orv

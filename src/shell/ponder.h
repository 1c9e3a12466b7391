// Pondering: a search on the move the engine expects from its opponent,
// without a clock until that move is played.
#pragma once

namespace orv {

struct Game;

// UCI ponderhit: the pondering search becomes the timed search of the move,
// its time counted from now; its bestmove is no longer held. Ignored when no
// search ponders.
void ponderHit();

// xboard: the opponent's move `line` while the engine ponders. When it is the
// expected reply the pondering search becomes the timed search of the engine's
// next move (its time counted from this line) and true is returned; otherwise
// false, and nothing changes.
bool xboardPonderHit(const char* line);

// Called by the search thread under gameMoveMutex right after it played its
// move on the game, before announcing it: with hard on, plays the expected
// reply on the game and returns true (the game before the reply is kept in
// `before`); false when there is nothing to ponder on.
bool startXboardPonder(Game& before);

}  // namespace orv

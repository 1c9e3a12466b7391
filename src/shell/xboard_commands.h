// xboard commands beyond the game and clock ones: st, sd, hint, bk, exclude and include.
#pragma once

namespace orv {

// "st N": N seconds for every move (1..1000000) until the next level; false
// when N is missing or below 1 (the setting stays as it was).
bool applySecondsPerMove(const char* args);
// "sd N": searches end after N plies (1..63); false when N is missing or below 1.
bool applyDepthLimit(const char* args);
// "hint": "Hint: <move>\n" with the reply the last search expected, when it is legal here.
void printHint();
// "bk": the book moves of the position with their weights, one per line
// starting with a blank, then an empty line; nothing without a book entry.
void printBookMoves();
// "exclude <move>|all", "include <move>|all" (analysis): the root moves the next
// searches of this position leave out. false when the move is not legal here.
bool applyExclusion(const char* args, bool exclude);
// The next xboard search's limits: sd's depth and the root moves not excluded.
void prepareXboardLimits();

}  // namespace orv

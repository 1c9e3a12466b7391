// The search comment of an engine move in the game log: the score and the
// principal variation, written only when the variation changed since the
// last comment.
#pragma once
#include <cstddef>

namespace orv {

// Room the comment always fits in: a score text and 63 coordinate moves.
constexpr size_t SearchCommentSize = 520;

// Under the search's PV lock: when the print buffer differs from the copy
// taken at the last comment, writes the best score's text and the moves of
// the line (each followed by a blank) and takes a new copy; otherwise writes
// "". A buffer smaller than SearchCommentSize gets the moves that fit whole.
// Returns 1.
int formatSearchComment(char* out, size_t size);

}  // namespace orv

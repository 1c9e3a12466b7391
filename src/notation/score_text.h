// Score text of the game log's search comment: " " while no score is known,
// "+INF " / "-INF ", mate texts "+MAT3 ", and pawns with two decimals "-0.25 ".
#pragma once

namespace orv {

// Room for the longest score text, terminator included.
constexpr int ScoreTextSize = 24;

// Writes the text of `score` (internal units, 480 per pawn) into `out`, which
// holds ScoreTextSize characters.
void formatScore(int score, char* out);

}  // namespace orv

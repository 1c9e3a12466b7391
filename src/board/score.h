// Scores: the bounds shared by the evaluation, the search and the score texts.
// Units are 1/480 pawn, from the side to move's point of view.
#pragma once

namespace orv {

// Every evaluation lies within +-NormalScoreLimit; scores beyond it are mates,
// tablebase wins and the window bounds.
constexpr int NormalScoreLimit = 32000;
// A mate delivered at ply p (distance from the root) scores MateScore - p.
constexpr int MateScore = 32700;
// The open window bound.
constexpr int InfiniteScore = 32767;
// Not a score: the root has no score yet.
constexpr int NoScore = 32761;

}  // namespace orv

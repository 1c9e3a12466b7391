// Checks the moves of a game with the engine's own rules and decides its end.
#pragma once
#include <string>
#include <vector>

#include "board/types.h"

namespace orv::match {

enum class Verdict {
  Continue,
  Illegal,    // not a legal move in the position
  WhiteWins,  // checkmate
  BlackWins,
  Stalemate,
  Repetition,
  FiftyMoves,
  Insufficient,
};

// Uses the process's single Game. Moves are kept as lower-case coordinate text.
class Referee {
 public:
  void reset();  // the initial position, no moves
  // Plays the coordinate move (e2e4, e7e8q, any case) for the side to move.
  Verdict play(const std::string& text);
  int sideToMove() const;  // White or Black
  int plies() const { return int(moves_.size()); }
  const std::vector<std::string>& moves() const { return moves_; }
  // The moves joined by blanks, for a UCI position command.
  std::string moveList() const;

 private:
  std::vector<std::string> moves_;
};

// The legal move of the Game's list that the text names, or 0 (a promotion needs its letter).
Move findLegalMove(const std::string& text);

const char* verdictText(Verdict v);  // "1-0 {White mates}" and the like

}  // namespace orv::match

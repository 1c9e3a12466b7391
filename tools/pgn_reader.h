// Reading PGN text for the book builder: games with their tag pairs, their
// main-line move texts (comments, variations, move numbers and annotation
// glyphs passed over) and their result; and matching a standard algebraic
// move against the legal moves of the Game's position.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "board/types.h"

namespace orv {

struct PgnMove {
  std::string text;  // as written, check and annotation marks included
  int line;
};

struct PgnGame {
  int number = 0;  // 1 for the first game of the text
  int firstLine = 0;
  std::string fen;     // the FEN tag, when there is one
  std::string result;  // "1-0", "0-1", "1/2-1/2", or "" when unknown
  std::vector<PgnMove> moves;
  std::string error;  // not empty for a game that cannot be read
  int errorLine = 0;
};

// Splits the text into games and hands each to `onGame`, in order.
void readPgnGames(const std::string& text, const std::function<void(const PgnGame&)>& onGame);

// The entry of the Game's legal list that the algebraic text names, or 0.
// The text is compared with the engine's own algebraic text of every legal
// move, without check, mate and annotation marks; other ways of writing a
// move (more or less disambiguation, a promotion without "=", castling with
// zeros) are accepted when they name exactly one legal move.
Move matchAlgebraicMove(const std::string& text);

}  // namespace orv

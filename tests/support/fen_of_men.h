// FEN text of a position given as its men, for tests that set up many positions.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "board/types.h"

namespace orv::test {

// FEN of men given as (letter, square) pairs, no castling or en passant.
inline std::string fenOfMen(const std::vector<std::pair<char, int>>& men, int side) {
  char board[64];
  for (char& c : board) c = 0;
  for (auto [letter, sq] : men) board[sq] = letter;
  std::string fen;
  for (int rank = 7; rank >= 0; --rank) {
    int empty = 0;
    for (int file = 0; file < 8; ++file) {
      const char c = board[rank * 8 + file];
      if (!c) {
        ++empty;
        continue;
      }
      if (empty) fen += char('0' + empty), empty = 0;
      fen += c;
    }
    if (empty) fen += char('0' + empty);
    if (rank) fen += '/';
  }
  return fen + (side == White ? " w - -" : " b - -");
}

}  // namespace orv::test

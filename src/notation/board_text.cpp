#include "notation/board_text.h"

#include <cstdio>

#include "board/game.h"

namespace orv {

void formatBoard(char* out) {
  static const char letters[] = "rdtfcpp";
  const Board& b = game.board;
  char* p = out;
  for (int rank = 7; rank >= 0; --rank) {
    for (int file = 0; file < 8; ++file) {
      int slot = b.map[makeSquare(file, rank)];
      char c = '.';
      if (slot >= 0 && slot < 32 && b.kind[slot] >= King && b.kind[slot] <= BlackPawn) {
        c = letters[b.kind[slot]];
        if (colourOfSlot(slot) == Black) c = char(c - 'a' + 'A');
      }
      *p++ = c;
    }
    *p++ = '\n';
  }
  *p = 0;
}

void printBoard() {
  char text[80];
  formatBoard(text);
  std::fputs(text, stdout);
}

}  // namespace orv

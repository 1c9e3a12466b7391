#include "shell/edit_mode.h"

#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "shell/line_input.h"

namespace orv {

namespace {

int squareOf(const char* text) {
  int file = text[0] - 'A';
  int rank = text[1] - '1';
  if (file < 0 || file > 7 || rank < 0 || rank > 7) return -1;
  return file + 8 * rank;
}

void removeManOn(Board& b, int sq) {
  if (sq < 0 || sq > 63) return;
  int slot = b.map[sq];
  if (slot < 0 || slot >= 32) return;
  b.square[slot] = OffBoard;
  b.kind[slot] = 0;
  b.value[slot] = 0;
  b.map[sq] = EmptySquare;
}

void handleEditLine(const char* line, int& colour) {
  Board& b = game.board;
  if (std::strcmp(line, "C") == 0) {
    colour = opposite(colour);
    return;
  }
  if (std::strcmp(line, "#") == 0) {
    clearBoard(b);
    removeManOn(b, 4);
    removeManOn(b, 60);
    return;
  }
  if (line[0] == 0) return;
  // Lines shorter than three characters name no square.
  int sq = (line[1] && line[2]) ? squareOf(line + 1) : -1;
  if (line[0] == 'X') {
    removeManOn(b, sq);
  } else if (line[0] == 'P') {
    if (sq >= 0) placePawn(b, colour, sq);
  } else {
    // Any other first letter is a placement the board refuses (bad kind).
    int kind = kindOfLetter(line[0]);
    if (kind != NoKind && sq >= 0) placeMan(b, colour, kind, sq);
  }
}

}  // namespace

void markPositionUnusable() {
  game.result = GameSetupFinal;
  game.legal[0] = 0;
}

int finishEditedPosition(int side) {
  // The placement is handed to the FEN reader, which derives the castling rights
  // from the king and rook squares and completes the position.
  char fen[128];
  int n = 0;
  for (int rank = 7; rank >= 0; --rank) {
    int empty = 0;
    for (int file = 0; file < 8; ++file) {
      int slot = game.board.map[makeSquare(file, rank)];
      int kind = (slot >= 0 && slot < 32) ? game.board.kind[slot] : NoKind;
      if (slot < 0 || slot >= 32 || kind < 0 || kind > BlackPawn) {
        ++empty;
        continue;
      }
      if (empty) fen[n++] = char('0' + empty), empty = 0;
      char c = KindLetters[kind];
      fen[n++] = colourOfSlot(slot) == White ? c : lowerAscii(c);
    }
    if (empty) fen[n++] = char('0' + empty);
    fen[n++] = '/';
  }
  fen[n++] = ' ';
  fen[n++] = side == White ? 'w' : 'b';
  std::strcpy(fen + n, " -");
  int code = parseFen(fen);
  if (code < 0) markPositionUnusable();
  return code;
}

bool runEditMode(int side, std::FILE* in) {
  int colour = White;
  char line[64];
  for (;;) {
    if (!readCommandLine(in, line, sizeof line)) return false;
    for (char* p = line; *p; ++p) *p = upperAscii(*p);
    if (std::strcmp(line, ".") == 0) break;
    handleEditLine(line, colour);
  }
  finishEditedPosition(side);
  return true;
}

}  // namespace orv

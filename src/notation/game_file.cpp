#include "notation/game_file.h"

#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "notation/movetext.h"

namespace orv {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char* skipBlanks(char* p) {
  while (isBlank(*p)) ++p;
  return p;
}
char* skipToken(char* p) {
  while (*p && !isBlank(*p)) ++p;
  return p;
}

// Reads one line of the file into `line` (GameFileLineLength + 1 characters)
// without its newline or a carriage return before it. A longer line keeps its
// first GameFileLineLength characters, the rest is passed over, and `cut` is
// set. False at the end of the file.
bool readLine(std::FILE* file, char* line, bool& cut) {
  int n = 0, c;
  cut = false;
  while ((c = std::fgetc(file)) != EOF && c != '\n') {
    if (n < GameFileLineLength) line[n++] = char(c);
    else cut = true;
  }
  if (c == EOF && n == 0 && !cut) return false;
  if (n > 0 && line[n - 1] == '\r' && !cut) --n;
  line[n] = 0;
  return true;
}

// The moves of one line; 0 when the line is done, else the make-move result
// that ends the reading.
int readMoves(char* p) {
  for (;;) {
    p = skipBlanks(p);
    // Move numbers (12. and 12...) and results (1-0, 1/2-1/2) are passed
    // over wherever they stand; a token that begins with 0 is left to the
    // parser, which reads 0-0 and 0-0-0 as castling.
    if (*p >= '1' && *p <= '9') {
      p = skipToken(p);
      continue;
    }
    if (*p == 0 || *p == '.') return 0;
    const Move m = parseCoordinateMove(p, game.side);  // upper-cases the rest of the line
    if (m == 0) return 0;                              // a word, a comment, an algebraic move
    const int r = makeGameMove(m);
    if (r != 0) return r;
    p = skipToken(p);
  }
}

}  // namespace

int readGameFile(std::FILE* file) {
  newGame();
  char line[GameFileLineLength + 1];
  bool cut = false;
  while (readLine(file, line, cut)) {
    char* p = skipBlanks(line);
    const bool fen = std::strncmp(p, "[FEN", 4) == 0;
    const bool moves = !fen && (isDigit(*p) || isLetter(*p));
    if (!fen && !moves) continue;
    if (cut) return GameFileRefused;  // part of it would be lost
    if (fen) {
      const char* text = p[4] == ':' ? p + 5 : p + 4;
      if (parseFen(text) != 0) return GameFileRefused;
      continue;
    }
    if (const int r = readMoves(p); r != 0) return r;
  }
  return 0;
}

int loadGameFile(const char* path) {
  std::FILE* file = std::fopen(path, "r");
  if (!file) return GameFileRefused;
  const int result = readGameFile(file);
  std::fclose(file);
  return result;
}

}  // namespace orv

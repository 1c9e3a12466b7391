// The UCI commands served by the common dispatcher.
#pragma once

namespace orv {

void printUciIdentification();
// "position startpos|fen <FEN> [moves ...]" (the line keeps its case after "position").
void handlePosition(const char* line);
// "setoption name Hash|NalimovPath|NalimovCache ..." (case-insensitive).
void handleSetOption(const char* line);
void handleUciNewGame();

// Splits the move list after "moves" into tokens of four characters, or five
// when the fifth is a letter; calls `play` for each token. Returns the count.
template <class Play> int forEachMoveToken(const char* list, Play play);

}  // namespace orv

namespace orv {

template <class Play> int forEachMoveToken(const char* p, Play play) {
  int count = 0;
  for (;;) {
    while (*p == ' ') ++p;
    if (!*p) return count;
    int len = 0;
    while (len < 4 && p[len]) ++len;
    if (len == 4 && ((p[4] >= 'a' && p[4] <= 'z') || (p[4] >= 'A' && p[4] <= 'Z'))) len = 5;
    char token[6] = {};
    for (int i = 0; i < len; ++i) token[i] = p[i];
    play(token);
    ++count;
    const char* blank = p;
    while (*blank && *blank != ' ') ++blank;
    if (!*blank) return count;
    p = blank + 1;
  }
}

}  // namespace orv

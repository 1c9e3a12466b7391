// Game files, read by PARTIE and the -f option: a "[FEN" line sets up a
// position, lines that begin with a digit or a letter hold coordinate moves
// (e2e4, e7e8q, O-O) with optional move numbers, every other line (tag pairs,
// comments, blank lines) is passed over. Algebraic moves (e4, Nf3) are not read.
#pragma once
#include <cstdio>

namespace orv {

// Longest line read, newline not counted.
constexpr int GameFileLineLength = 255;

// Result of a file that cannot be opened, a refused FEN line, or a FEN or
// move line longer than GameFileLineLength.
constexpr int GameFileRefused = -10;

// Replaces the Game by the game in the file: 0 when the whole file was read,
// GameFileRefused, or the first non-zero make-move result of a move in the
// file, where the reading stops. A file that cannot be opened leaves the Game as it was.
int loadGameFile(const char* path);
// The same from a file already open; the file is not closed.
int readGameFile(std::FILE* file);

}  // namespace orv

// Move text in and out: coordinate moves (e2e4, e7e8Q, O-O), principal lines
// and algebraic move text. No I/O here: the shell, the search output, the book
// and the game log format their moves through these functions.
#pragma once
#include <cstddef>

#include "board/types.h"

namespace orv {

// Letters of the kinds, indexed by kind: KindLetters. The move texts print
// through it; the FEN writer and edit mode use KindLetters directly.
// Set by the command thread at start-up; read by move text everywhere.
extern const char* pieceLetters;
// Sets the letters to "KQRBNPP" (a step of the engine's start-up).
void setPieceLetters();

// Converts a..z to A..Z in place.
void upperCase(char* text);

// Reads a coordinate move (e2e4, e7e8q, e7e8=Q, e5d6ep, O-O, 0-0-0, ...) for
// `side`. Upper-cases `text` in place first. Returns the Move with the kind the
// text gives (castling, en passant or promotion), or 0 when the text is unreadable.
Move parseCoordinateMove(char* text, int side);

// Origin and destination squares, plus the upper-case promotion letter (e7e8Q).
// `out` needs CoordinateTextSize bytes; returns the length written.
constexpr int CoordinateTextSize = 6;
int coordinateText(Move m, char* out);

// A principal line in coordinate text: up to MaxLineMoves moves or the first 0,
// each followed by a blank; the mark follows the first move before its blank:
// "!" for mark 1, nothing for mark -1, "?" for any other mark.
constexpr int MaxLineMoves = 63;
constexpr int LineTextSize = MaxLineMoves * (CoordinateTextSize) + 2;
void lineText(const Move* line, int mark, char* out);

// Appends the algebraic text of `m` ("Nf3 ", "exd5 ", "O-O ", "e8=Q ") to the
// 0-terminated text in `buffer` (of `bufferSize` bytes) when the origin holds a
// man and `m` is in the 0-terminated `legal` list of the position `b`.
// Nothing is appended otherwise, nor when the text would not fit.
void algebraicText(Move m, const Move* legal, const Board& b, char* buffer, size_t bufferSize);

}  // namespace orv

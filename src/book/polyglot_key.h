// The key of a position in a Polyglot book: the exclusive or of the format's
// published random numbers for the men, the castling rights, the en-passant
// file and the side to move.
#pragma once
#include <array>
#include <cstdint>

#include "board/types.h"

namespace orv {

constexpr int PolyglotRandomCount = 781;
constexpr int PolyglotCastleOffset = 768;     // White O-O, White O-O-O, Black O-O, Black O-O-O
constexpr int PolyglotEnPassantOffset = 772;  // files a..h
constexpr int PolyglotTurnOffset = 780;       // White to move

// Entry `index` (0..780) of the format's random numbers.
uint64_t polyglotRandom(int index);

// Index of a man among the 768 men's numbers: 64 per kind, the kinds ordered
// black pawn, white pawn, black knight, white knight, ..., black king, white king.
int polyglotManIndex(int kind, int colour, int square);

// The key of the men on `b`, its castling rights (a status of 0 is a right that
// still exists), the side to move and the en-passant file (-1 for none).
uint64_t polyglotKey(const Board& b, int side, int enPassantFile);

// The en-passant file the key counts after `last`: the file of a double push
// that a pawn of the side to move stands beside, else -1.
int polyglotEnPassantFile(const Board& b, int side, Move last);

// The key of the Game's position.
uint64_t polyglotGameKey();

}  // namespace orv

// Board set-up, placement of men, FEN reading and writing, hash keys.
#pragma once
#include "board/types.h"

namespace orv {

// The initial position; its first StartPlacementLength characters are the placement field.
constexpr char StartFen[] = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr int StartPlacementLength = 43;
static_assert(StartFen[StartPlacementLength] == ' ');

// Kind of an upper-case piece letter K, Q, R, B, N; NoKind for any other character.
int kindOfLetter(char upper);

void setupStartPosition(Board& b);
void clearBoard(Board& b);  // the board's clear operation
// Slot, -1 no slot / bad square, -2 bad kind; a man already on the square is removed.
int placeMan(Board& b, int colour, int kind, int sq);
// Pawns never stand on the first or last rank: moving or evaluating one there
// would step off the board, so every set-up path refuses such a pawn.
constexpr bool pawnSquareAllowed(int sq) { return sq >= 8 && sq < 56; }
// Slot or -1 (edit-position order; -1 also for a square no pawn may stand on); replaces likewise.
int placePawn(Board& b, int colour, int sq);
void computeFullKey(int side, Board& b);  // key and pawnKey from scratch

// Results of parseFen. A refused text (negative code) leaves the Game's position
// as it was; a position whose side not to move stands in check is set up.
enum FenResult : int {
  FenAccepted = 0,
  FenNotToMoveInCheck = int(GenIllegal),
  FenNoSlot = -2,  // more men of a kind than slots can hold
  FenKingMissing = -3,
  FenTooManyRanks = -4,
  FenPawnOnEndRank = -5,  // a pawn on rank 1 or 8 has no legal past or future
};
// FEN on the Game; returns a FenResult.
// Castling letters grant a right only when the king and that rook stand at home.
int parseFen(const char* text);
// Longest text writeFen can produce, terminator included.
constexpr int FenTextSize = 100;
void writeFen(char* out);  // the Game's position, in the engine's FEN form

}  // namespace orv

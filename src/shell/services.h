// The shell's calls into the other subsystems, gathered in one place.
#pragma once
#include <cstddef>

#include "board/types.h"

namespace orv {

// Hash tables: (re)allocates for a byte budget (clamped by the tables); false when it fails.
bool allocateTables(long long bytes);
// Clears the transposition and pawn tables and the search's history tables.
void clearSearchTables();
// Transposition and pawn table sizes in MB for the banner.
unsigned transpositionTableMegabytes();
unsigned pawnTableMegabytes();

// Releases the tablebase cache, registers the tablebases of the path list again
// and keeps the number of men they cover for the search.
void initialiseTablebases();

// Coordinate move parsing (the text is upper-cased in place) and printing.
Move parseMoveText(char* text, int side);
void formatMoveText(Move m, char* out);   // at least 8 characters
// Piece letters used by move notation.
void setPieceLetters();

// Game log lines (nothing happens while the log file is closed).
void logHeader();
void logMove(Move m, bool withComment);
void logResult(const char* text);

}  // namespace orv

namespace orv {

// PARTIE: loads a game file; the result code is returned.
int loadGame(const char* path);

}  // namespace orv

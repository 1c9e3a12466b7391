// The shell's calls into the other subsystems, gathered in one place.
#pragma once
#include <cstddef>

namespace orv {

// Hash tables: (re)allocates for a byte budget (clamped by the tables); false when it fails.
bool allocateTables(long long bytes);
// Clears the transposition and pawn tables and the search's history tables.
void clearSearchTables();
// Transposition and pawn table sizes in MB for the banner.
unsigned transpositionTableMegabytes();
unsigned pawnTableMegabytes();

// Threads, cores and THREADS: the number of search threads from a number's
// text. Text that is no number is refused, a number outside 1..256 is clamped;
// either way with a line on standard error. Takes effect at the next search.
void applyThreadCount(const char* text, const char* origin);

// Releases the tablebase cache, registers the tablebases of the path list again
// and keeps the number of men they cover for the search.
void initialiseTablebases();

}  // namespace orv

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

// Releases the tablebase cache, registers the tablebases of the path list again
// and keeps the number of men they cover for the search.
void initialiseTablebases();

}  // namespace orv

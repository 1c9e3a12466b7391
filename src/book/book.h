// Opening book: flat files of 100-byte records, one per position, read per lookup.
#pragma once
#include <climits>
#include <cstdint>
#include <cstdio>

#include "board/types.h"

namespace orv {

constexpr int BookRecordSize = 100;
constexpr int BookKeySize = 70;  // bytes of the key field, terminator included
constexpr int BookSlots = 5;
constexpr int BookDrawTableSize = 57;  // room for five slots of the largest weight (11)
constexpr Move BookE2E4 = 1804;
constexpr Move BookD2D4 = 1739;

// One record as stored: the key string, then five slots of (games, points, move),
// each an unsigned 16-bit little-endian number.
struct BookRecord {
  unsigned char bytes[BookRecordSize];
};

inline int bookField(const BookRecord& r, int offset) { return r.bytes[offset] | r.bytes[offset + 1] << 8; }
inline int bookGames(const BookRecord& r, int slot) { return bookField(r, 70 + 6 * slot); }
inline int bookPoints(const BookRecord& r, int slot) { return bookField(r, 72 + 6 * slot); }
inline Move bookMove(const BookRecord& r, int slot) { return Move(bookField(r, 74 + 6 * slot)); }

// The book the lookups read.
enum BookKind : int {
  DefaultBook = 0,    // "Orvalis.bo2" beside the executable, else "Mini.bo2"
  OwnFormatBook = 1,  // a chosen file of 100-byte records
  PolyglotBook = 2,   // a chosen Polyglot book
  NoBook = 3,         // the chosen file was refused
};
struct BookSource {
  int kind = DefaultBook;
  char path[PATH_MAX + 1] = {};  // the chosen file, empty for DefaultBook and NoBook
  bool best = false;             // a Polyglot book plays its move of highest weight
};
const BookSource& bookSource();
// Chooses the book file (blanks around the name are dropped): "" or "<empty>"
// the default book, a name ending in ".bo2" a file of records, any other name
// a Polyglot book, which is read through once to check it. A file that cannot
// serve is reported by one line on standard error and no book is used.
// 0, or the negative PolyglotStatus of the refusal.
int setBookFile(const char* path);
void setBookBest(bool best);

// Opens a file for reading only when it is a regular file, without waiting on
// a FIFO; *notRegular (when given) tells a file that exists but is no regular one.
FILE* openRegularBookFile(const char* path, bool* notRegular = nullptr);

// Directory of "Orvalis.bo2", ending with '/'. By default the executable's directory;
// setBookDirectory overrides it (nullptr returns to the default).
void setBookDirectory(const char* dir);
const char* bookDirectory();
// Opens the chosen file of records, or by default "Orvalis.bo2" in the book
// directory, else "Mini.bo2" in the current directory; nullptr when none opens
// as a regular file (and always with a Polyglot book or no book).
FILE* openBookFile();

// Asked every 1024 records of a scan; true ends the scan as a miss. The search
// installs its stop flag and hard limit here, so a huge book never holds up a move.
using BookScanStop = bool (*)();
void setBookScanStop(BookScanStop stop);

// Scans the file from its start for the record whose key equals `key`.
// 1 with the record (file positioned at its start), 0 when none matches.
int findBookRecord(FILE* file, const char* key, BookRecord& record);
// Draw-table entries of a slot: a tenth of the percentage it scored, plus one
// (games 0 counts as 50%; percentages above 100 count as 100).
int bookSlotWeight(int games, int points);
// Weighted random choice among the record's used slots; 0 when it has none.
Move chooseBookMove(const BookRecord& record);
// Book move (16 bits) for the Game's position, or 0.
Move lookupBookMove();
// The move a Polyglot book gives for the Game's position (low 15 bits), or 0.
Move lookupPolyglotMove(const char* path, bool best);
// The moves a Polyglot book may play in the Game's position, with their weights
// (arrays of PolyglotEntriesPerKey); their count.
int listPolyglotMoves(const char* path, Move* moves, int* weights);
// With the root's 0-terminated move list: 1 when the book move is legal, which is then
// exchanged with the first entry; 0 otherwise. Misses lower game.bookAttempts. A move
// matches on its squares; a Polyglot promotion on its promotion kind as well.
int probeBook(Move* rootList);

}  // namespace orv

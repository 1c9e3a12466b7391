// Polyglot opening books: 16-byte entries (key, move, weight, learn; every
// number highest byte first) sorted by key, any number of entries per key.
// The file is checked once when it is chosen and opened per lookup, which
// finds the first entry of a key by binary search.
#pragma once
#include <cstdint>
#include <cstdio>

#include "board/types.h"

namespace orv {

constexpr int PolyglotEntrySize = 16;
// Entries of one key that a lookup reads; more than any position has legal moves.
constexpr int PolyglotEntriesPerKey = 256;
// The largest book accepted, 2 GB (the largest books in use are a few hundred
// MB): its check reads it through, which must end soon even for a sparse file
// of zeros (sorted entries of move 0) many times that size.
constexpr long long PolyglotMaxBytes = 1LL << 31;

struct PolyglotEntry {
  uint64_t key = 0;
  uint16_t move = 0;
  uint16_t weight = 0;
  uint32_t learn = 0;
};

PolyglotEntry decodePolyglotEntry(const unsigned char* bytes);
void encodePolyglotEntry(const PolyglotEntry& entry, unsigned char* bytes);

// Results of opening and checking a book; the negative ones refuse it.
enum PolyglotStatus : int {
  PolyglotOk = 0,
  PolyglotCannotOpen = -1,  // missing or unreadable
  PolyglotNotRegular = -2,  // a FIFO, a device or a directory
  PolyglotBadSize = -3,     // not a whole number of entries
  PolyglotOutOfOrder = -4,  // a key smaller than the one before it
  PolyglotNotAMove = -5,    // a move field that no chess move has
  PolyglotReadFailed = -6,  // fewer bytes than the file's size promised
  PolyglotEmpty = -7,       // no entry at all
  PolyglotTooLarge = -8,    // above PolyglotMaxBytes
};
// The reason of a status in words, for the line on standard error.
const char* polyglotStatusText(int status);

// The move field's parts: squares (a1 = 0) and the promotion piece (0 none,
// 1 knight, 2 bishop, 3 rook, 4 queen).
constexpr int polyglotFrom(uint16_t move) { return (move >> 6) & 63; }
constexpr int polyglotTo(uint16_t move) { return move & 63; }
constexpr int polyglotPromotion(uint16_t move) { return (move >> 12) & 7; }
// Whether the field could be a chess move at all: a move 0 (which the format
// says to ignore) or squares that a queen or a knight could join, with a
// promotion piece only on a pawn's step to the last rank, and bit 15 clear.
bool isPolyglotMoveField(uint16_t move);

// Opens a book for lookups: only a regular file (a FIFO or a device is
// refused without waiting on it) of whole entries, at most PolyglotMaxBytes.
// `entries` is their count.
int openPolyglotFile(const char* path, std::FILE*& file, long& entries);
// Reads every entry once: keys in order and every move field a move.
int checkPolyglotEntries(std::FILE* file, long entries);
// Opens and checks a book, then closes it: PolyglotOk or the first fault.
int checkPolyglotBook(const char* path);

// The entries of `key`, in file order, at most `capacity` of them; their count.
int findPolyglotEntries(std::FILE* file, long entries, uint64_t key, PolyglotEntry* out, int capacity);

// The Polyglot move field of one of the engine's moves on `b` (castling is
// written as the king taking its rook).
uint16_t polyglotMoveField(Move m);
// The legal move of the 0-terminated list that a move field names, as its low
// 15 bits (castling king takes rook becomes the engine's castling), or 0.
Move legalMoveOfField(uint16_t field, const Board& b, const Move* legal);

// Choice among a key's entries in the Game's position: moves not legal there
// and weights of 0 are passed over; the rest are drawn with a probability of
// their weight (std::rand), or, with `best`, the first of the highest weight.
Move choosePolyglotMove(const PolyglotEntry* entries, int count, bool best);

}  // namespace orv

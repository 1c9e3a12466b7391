// Reading Polyglot books: entries, the checks made when a book is chosen,
// the binary search for a key and the move fields.
#include "book/polyglot_book.h"

#include <sys/stat.h>

#include "book/book.h"

namespace orv {

namespace {

// Entries read at once by the check of a whole book.
constexpr long CheckChunkEntries = 4096;

uint64_t readBigEndian(const unsigned char* bytes, int size) {
  uint64_t v = 0;
  for (int i = 0; i < size; ++i) v = v << 8 | bytes[i];
  return v;
}

void writeBigEndian(uint64_t v, unsigned char* bytes, int size) {
  for (int i = size - 1; i >= 0; --i, v >>= 8) bytes[i] = (unsigned char)(v & 0xFF);
}

bool readEntryAt(std::FILE* file, long index, PolyglotEntry& entry) {
  unsigned char bytes[PolyglotEntrySize];
  if (std::fseek(file, index * PolyglotEntrySize, SEEK_SET) != 0) return false;
  if (std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) return false;
  entry = decodePolyglotEntry(bytes);
  return true;
}

int distance(int a, int b) { return a > b ? a - b : b - a; }

}  // namespace

PolyglotEntry decodePolyglotEntry(const unsigned char* bytes) {
  PolyglotEntry e;
  e.key = readBigEndian(bytes, 8);
  e.move = uint16_t(readBigEndian(bytes + 8, 2));
  e.weight = uint16_t(readBigEndian(bytes + 10, 2));
  e.learn = uint32_t(readBigEndian(bytes + 12, 4));
  return e;
}

void encodePolyglotEntry(const PolyglotEntry& entry, unsigned char* bytes) {
  writeBigEndian(entry.key, bytes, 8);
  writeBigEndian(entry.move, bytes + 8, 2);
  writeBigEndian(entry.weight, bytes + 10, 2);
  writeBigEndian(entry.learn, bytes + 12, 4);
}

const char* polyglotStatusText(int status) {
  switch (status) {
    case PolyglotOk: return "is a Polyglot book";
    case PolyglotCannotOpen: return "cannot be opened";
    case PolyglotNotRegular: return "is not a regular file";
    case PolyglotBadSize: return "is not a whole number of 16-byte entries";
    case PolyglotOutOfOrder: return "has its keys out of order";
    case PolyglotNotAMove: return "holds a move field that is no chess move";
    case PolyglotReadFailed: return "could not be read to its end";
    case PolyglotEmpty: return "holds no entries";
    case PolyglotTooLarge: return "is larger than the 2 GB a book may have";
    default: return "cannot be used";
  }
}

bool isPolyglotMoveField(uint16_t move) {
  if (move == 0) return true;
  if (move & 0x8000) return false;
  const int from = polyglotFrom(move), to = polyglotTo(move), promotion = polyglotPromotion(move);
  if (from == to || promotion > 4) return false;
  const int files = distance(fileOf(from), fileOf(to)), ranks = distance(rankOf(from), rankOf(to));
  const bool line = files == 0 || ranks == 0 || files == ranks;
  const bool jump = files * ranks == 2;
  if (!line && !jump) return false;
  if (promotion == 0) return true;
  const bool whiteStep = rankOf(from) == 6 && rankOf(to) == 7, blackStep = rankOf(from) == 1 && rankOf(to) == 0;
  return (whiteStep || blackStep) && files <= 1;
}

int openPolyglotFile(const char* path, std::FILE*& file, long& entries) {
  bool notRegular = false;
  file = openRegularBookFile(path, &notRegular);
  if (!file) return notRegular ? PolyglotNotRegular : PolyglotCannotOpen;
  struct stat st;
  int status = PolyglotOk;
  if (::fstat(::fileno(file), &st) != 0) status = PolyglotCannotOpen;
  else if (st.st_size > PolyglotMaxBytes) status = PolyglotTooLarge;
  else if (st.st_size % PolyglotEntrySize != 0) status = PolyglotBadSize;
  if (status != PolyglotOk) {
    std::fclose(file);
    file = nullptr;
    return status;
  }
  entries = long(st.st_size / PolyglotEntrySize);
  return PolyglotOk;
}

int checkPolyglotEntries(std::FILE* file, long entries) {
  if (entries == 0) return PolyglotEmpty;
  if (std::fseek(file, 0, SEEK_SET) != 0) return PolyglotReadFailed;
  static_assert(PolyglotEntrySize == 16);
  unsigned char chunk[CheckChunkEntries * PolyglotEntrySize];
  uint64_t previous = 0;
  for (long done = 0; done < entries;) {
    const long want = entries - done < CheckChunkEntries ? entries - done : CheckChunkEntries;
    if (std::fread(chunk, PolyglotEntrySize, size_t(want), file) != size_t(want)) return PolyglotReadFailed;
    for (long i = 0; i < want; ++i) {
      const PolyglotEntry e = decodePolyglotEntry(chunk + i * PolyglotEntrySize);
      if (done + i > 0 && e.key < previous) return PolyglotOutOfOrder;
      if (!isPolyglotMoveField(e.move)) return PolyglotNotAMove;
      previous = e.key;
    }
    done += want;
  }
  // A file that grew while it was read is not the file that was checked.
  return std::fgetc(file) == EOF ? PolyglotOk : PolyglotReadFailed;
}

int checkPolyglotBook(const char* path) {
  std::FILE* file = nullptr;
  long entries = 0;
  int status = openPolyglotFile(path, file, entries);
  if (status != PolyglotOk) return status;
  status = checkPolyglotEntries(file, entries);
  std::fclose(file);
  return status;
}

int findPolyglotEntries(std::FILE* file, long entries, uint64_t key, PolyglotEntry* out, int capacity) {
  // The first entry whose key is not below `key`.
  long low = 0, high = entries;
  PolyglotEntry e;
  while (low < high) {
    const long middle = low + (high - low) / 2;
    if (!readEntryAt(file, middle, e)) return 0;
    if (e.key < key) low = middle + 1;
    else high = middle;
  }
  int count = 0;
  if (low >= entries || !readEntryAt(file, low, e)) return 0;
  while (e.key == key && count < capacity) {
    out[count++] = e;
    unsigned char bytes[PolyglotEntrySize];
    if (low + count >= entries || std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) break;
    e = decodePolyglotEntry(bytes);
  }
  return count;
}

uint16_t polyglotMoveField(Move m) {
  const int from = moveFrom(m);
  int to = moveTo(m), promotion = 0;
  if (moveKind(m) == CastleKingSide) to = from + 3;
  else if (moveKind(m) == CastleQueenSide) to = from - 4;
  else if (isPromotion(m)) promotion = 8 - moveKind(m);  // queen 4, rook 3, bishop 2, knight 1
  return uint16_t(to | from << 6 | promotion << 12);
}

Move legalMoveOfField(uint16_t field, const Board& b, const Move* legal) {
  if (field == 0 || !isPolyglotMoveField(field)) return 0;
  const int from = polyglotFrom(field), promotion = polyglotPromotion(field);
  int to = polyglotTo(field);
  // Castling is written as the king on its home square taking its own rook.
  const int slot = b.map[from];
  if (slot != EmptySquare && b.kind[slot] == King) {
    const int home = colourOfSlot(slot) == White ? 4 : 60;
    if (from == home && to == home + 3) to = home + 2;
    else if (from == home && to == home - 4) to = home - 2;
  }
  const int wantedKind = promotion ? 8 - promotion : Ordinary;
  for (const Move* p = legal; *p; ++p) {
    const Move m = *p & 0x7FFF;
    if (moveFrom(m) != from || moveTo(m) != to) continue;
    if (isPromotion(m) ? moveKind(m) == wantedKind : promotion == 0) return m;
  }
  return 0;
}

}  // namespace orv

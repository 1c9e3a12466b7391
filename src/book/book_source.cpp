// Which book the lookups read: the default book of records, a chosen file of
// records, a chosen Polyglot book, or none when the chosen file was refused.
#include <climits>
#include <cstdio>
#include <cstring>

#include "book/book.h"
#include "book/polyglot_book.h"

namespace orv {

namespace {

// Written by the command thread (BookFile, BOOK_FILE, BookBestMove) only while no
// search runs; read by the search thread's book lookup.
BookSource source;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool endsWith(const char* text, size_t length, const char* suffix) {
  const size_t n = std::strlen(suffix);
  return length >= n && std::strncmp(text + length - n, suffix, n) == 0;
}

void refuse(const char* path, const char* reason) {
  std::fprintf(stderr, "book: %s %s, no book is used\n", path, reason);
  std::fflush(stderr);
  source.kind = NoBook;
  source.path[0] = 0;
}

}  // namespace

const BookSource& bookSource() { return source; }

void setBookBest(bool best) { source.best = best; }

int setBookFile(const char* path) {
  while (isBlank(*path)) ++path;
  size_t length = std::strlen(path);
  while (length > 0 && isBlank(path[length - 1])) --length;
  if (length == 0 || (length == 7 && std::strncmp(path, "<empty>", 7) == 0)) {
    source.kind = DefaultBook;
    source.path[0] = 0;
    return 0;
  }
  if (length >= sizeof source.path) {
    refuse("the book file name", "is too long");
    return PolyglotCannotOpen;
  }
  char name[sizeof source.path];
  std::memcpy(name, path, length);
  name[length] = 0;
  if (endsWith(name, length, ".bo2")) {
    bool notRegular = false;
    std::FILE* file = openRegularBookFile(name, &notRegular);
    if (!file) {
      const int status = notRegular ? PolyglotNotRegular : PolyglotCannotOpen;
      refuse(name, polyglotStatusText(status));
      return status;
    }
    std::fclose(file);
    source.kind = OwnFormatBook;
  } else {
    const int status = checkPolyglotBook(name);
    if (status != PolyglotOk) {
      refuse(name, polyglotStatusText(status));
      return status;
    }
    source.kind = PolyglotBook;
  }
  std::memcpy(source.path, name, length + 1);
  return 0;
}

}  // namespace orv

// Locating, opening and scanning the book file.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "book/book.h"

namespace orv {

namespace {

char directory[PATH_MAX + 1];
bool directoryKnown = false;

// The running executable's directory up to and including its last '/'; empty when unknown.
void findExecutableDirectory() {
  char path[PATH_MAX + 1];
  ssize_t n = readlink("/proc/self/exe", path, PATH_MAX);
  directory[0] = 0;
  if (n <= 0) return;
  path[n] = 0;
  char* slash = std::strrchr(path, '/');
  if (!slash) return;
  slash[1] = 0;
  std::snprintf(directory, sizeof directory, "%s", path);
}

}  // namespace

void setBookDirectory(const char* dir) {
  if (!dir) {
    directoryKnown = false;
    return;
  }
  size_t len = std::strlen(dir);
  const char* sep = (len > 0 && dir[len - 1] != '/') ? "/" : "";
  std::snprintf(directory, sizeof directory, "%s%s", dir, sep);
  directoryKnown = true;
}

const char* bookDirectory() {
  if (!directoryKnown) {
    findExecutableDirectory();
    directoryKnown = true;
  }
  return directory;
}

FILE* openBookFile() {
  char path[PATH_MAX + 16];
  std::snprintf(path, sizeof path, "%sOrvalis.bo2", bookDirectory());
  FILE* file = std::fopen(path, "rb");
  if (!file) file = std::fopen("Mini.bo2", "rb");
  return file;
}

int findBookRecord(FILE* file, const char* key, BookRecord& record) {
  if (std::fseek(file, 0, SEEK_SET) != 0) return 0;
  size_t keyLength = std::strlen(key);
  if (keyLength >= size_t(BookKeySize)) {
    std::printf("too long\n");
    std::fflush(stdout);
  }
  // The stored key counts only up to its terminator inside the 70-byte field, so a
  // field without one (a file that is not a book) never matches, and neither does
  // a key too long to be stored.
  for (;;) {
    long start = std::ftell(file);
    if (std::fread(record.bytes, 1, BookRecordSize, file) != size_t(BookRecordSize)) return 0;
    if (keyLength < size_t(BookKeySize) && std::memcmp(record.bytes, key, keyLength + 1) == 0) {
      std::fseek(file, start, SEEK_SET);
      return 1;
    }
  }
}

}  // namespace orv

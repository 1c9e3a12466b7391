// Locating, opening and scanning the book file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "book/book.h"

namespace orv {

namespace {

char directory[PATH_MAX + 1];
bool directoryKnown = false;
BookScanStop scanStop = nullptr;

// Records between two questions to the scan's stop test.
constexpr long RecordsPerStopTest = 1024;

// Whole records the file holds, from its size.
long recordCount(FILE* file) {
  struct stat st;
  if (::fstat(::fileno(file), &st) != 0 || st.st_size < 0) return 0;
  return long(st.st_size / BookRecordSize);
}

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

// A FIFO, a device (a link to /dev/zero) or a directory would block the search
// or never end. The open itself does not wait for a FIFO's writer.
FILE* openRegularBookFile(const char* path, bool* notRegular) {
  if (notRegular) *notRegular = false;
  int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (notRegular) *notRegular = true;
    ::close(fd);
    return nullptr;
  }
  FILE* file = ::fdopen(fd, "rb");
  if (!file) ::close(fd);
  return file;
}

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
  const BookSource& chosen = bookSource();
  if (chosen.kind == OwnFormatBook) return openRegularBookFile(chosen.path);
  if (chosen.kind != DefaultBook) return nullptr;
  char path[PATH_MAX + 16];
  std::snprintf(path, sizeof path, "%sOrvalis.bo2", bookDirectory());
  FILE* file = openRegularBookFile(path);
  if (!file) file = openRegularBookFile("Mini.bo2");
  return file;
}

void setBookScanStop(BookScanStop stop) { scanStop = stop; }

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
  // The scan covers the records the file held when it was opened and asks the
  // stop test now and then, so neither a growing file nor a huge one holds up a move.
  const long records = recordCount(file);
  for (long i = 0; i < records; ++i) {
    if (scanStop && i % RecordsPerStopTest == RecordsPerStopTest - 1 && scanStop()) return 0;
    long start = std::ftell(file);
    if (std::fread(record.bytes, 1, BookRecordSize, file) != size_t(BookRecordSize)) return 0;
    if (keyLength < size_t(BookKeySize) && std::memcmp(record.bytes, key, keyLength + 1) == 0) {
      std::fseek(file, start, SEEK_SET);
      return 1;
    }
  }
  return 0;
}

}  // namespace orv

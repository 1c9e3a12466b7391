#include "shell/line_input.h"

#include <poll.h>

#include <cerrno>
#include <cstring>

namespace orv {

namespace {

// Waits until the descriptor has something to read (or is closed): a stream in
// non-blocking mode reports "try again" instead of waiting itself.
bool waitForInput(std::FILE* in) {
  pollfd p{::fileno(in), POLLIN, 0};
  for (;;) {
    int r = ::poll(&p, 1, -1);
    if (r > 0) return true;
    if (r < 0 && errno != EINTR) return false;
  }
}

// One fgets step. False at the end of input; read errors are cleared and the
// read retried (waiting when the stream is non-blocking), and a stream that
// fails for good is given up after many attempts instead of spinning.
bool readPiece(std::FILE* in, char* buffer, int capacity) {
  for (int failures = 0;;) {
    errno = 0;
    if (std::fgets(buffer, capacity, in)) return true;
    if (std::feof(in)) return false;
    const bool wouldBlock = errno == EAGAIN || errno == EWOULDBLOCK;
    std::clearerr(in);
    if (wouldBlock) {
      if (!waitForInput(in)) return false;
    } else if (++failures >= 1000) {
      return false;
    }
  }
}

}  // namespace

bool readCommandLine(std::FILE* in, char* buffer, int capacity, bool* cut) {
  if (cut) *cut = false;
  if (!readPiece(in, buffer, capacity)) return false;
  size_t length = std::strlen(buffer);
  // A piece without its newline: either the line goes on (it is read to its
  // end and dropped, since a command cut anywhere would mean something else)
  // or, in non-blocking mode, the rest has not arrived yet.
  while (length > 0 && buffer[length - 1] != '\n') {
    if (length + 1 < size_t(capacity)) {
      if (!readPiece(in, buffer + length, capacity - int(length))) break;  // last line without newline
      length += std::strlen(buffer + length);
      continue;
    }
    char rest[256];
    bool more = true;
    while (more && readPiece(in, rest, sizeof rest)) more = std::strchr(rest, '\n') == nullptr;
    if (cut) *cut = true;
    break;
  }
  if (length > 0 && buffer[length - 1] == '\n') buffer[--length] = 0;
  if (length > 0 && buffer[length - 1] == '\r') buffer[--length] = 0;
  return true;
}

bool startsWithNoCase(const char* text, const char* prefix, int n) {
  for (int i = 0; i < n; ++i) {
    if (upperAscii(text[i]) != upperAscii(prefix[i])) return false;
    if (text[i] == 0) return true;  // both ended (prefix shorter than n)
  }
  return true;
}

void normaliseLine(char* line) {
  struct Keep {
    const char* word;
    int length;
  };
  static constexpr Keep keepCase[] = {{"SETBOARD", 8},  {"EGTPATH", 7}, {"position", 8},
                                      {"setoption", 9}, {"PARTIE ", 7}, {"option BookFile=", 16}};
  for (const Keep& k : keepCase) {
    if (startsWithNoCase(line, k.word, k.length)) {
      std::memcpy(line, k.word, size_t(k.length));
      return;
    }
  }
  for (char* p = line; *p; ++p) *p = upperAscii(*p);
}

}  // namespace orv

#include "shell/line_input.h"

#include <cstring>

namespace orv {

bool readCommandLine(std::FILE* in, char* buffer, int capacity) {
  // A read error is cleared and the read retried; a stream that fails without
  // ever reaching its end is given up after many attempts instead of spinning.
  for (int failures = 0; !std::fgets(buffer, capacity, in); ++failures) {
    if (std::feof(in) || failures >= 1000) return false;
    std::clearerr(in);
  }
  if (char* nl = std::strchr(buffer, '\n')) *nl = 0;
  return true;
}

bool startsWithNoCase(const char* text, const char* prefix, int n) {
  for (int i = 0; i < n; ++i) {
    if (upperAscii(text[i]) != upperAscii(prefix[i])) return false;
    if (text[i] == 0) return true;   // both ended (prefix shorter than n)
  }
  return true;
}

void normaliseLine(char* line) {
  struct Keep {
    const char* word;
    int length;
  };
  static constexpr Keep keepCase[] = {{"SETBOARD", 8}, {"EGTPATH", 7}, {"position", 8}, {"setoption", 9},
                                      {"PARTIE ", 7}};
  for (const Keep& k : keepCase) {
    if (startsWithNoCase(line, k.word, k.length)) {
      std::memcpy(line, k.word, size_t(k.length));
      return;
    }
  }
  for (char* p = line; *p; ++p) *p = upperAscii(*p);
}

}  // namespace orv

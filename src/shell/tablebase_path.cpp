#include "shell/tablebase_path.h"

#include <cstring>

#include "shell/line_input.h"
#include "shell/search_thread.h"
#include "shell/services.h"
#include "shell/settings.h"
#include "shell/shell_state.h"

namespace orv {

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Appends the directory and registers the tablebases again.
void appendAndReinitialise(const char* rawDir) {
  char dir[LineCapacity];
  std::strncpy(dir, rawDir, sizeof dir - 1);
  dir[sizeof dir - 1] = 0;
  cleanTablebaseDirectory(dir);
  if (!appendToPathList(settings.tablebasePaths, dir)) return;
  size_t len = std::strlen(settings.tablebasePaths);
  if (len > 0 && settings.tablebasePaths[len - 1] == '\n') settings.tablebasePaths[len - 1] = 0;
  stopSearch();  // the search thread reads the tables and their cache
  initialiseTablebases();
}

}  // namespace

void cleanTablebaseDirectory(char* dir) {
  size_t len = std::strlen(dir);
  if (len > 0 && !isLetter(dir[len - 1]) && !isDigit(dir[len - 1])) dir[--len] = 0;
  if (len > 0 && !isLetter(dir[0]) && dir[0] != '/' && dir[0] != '\\') std::memmove(dir, dir + 1, len);
}

bool appendToPathList(char* list, const char* dir) {
  size_t listLen = std::strlen(list);
  size_t dirLen = std::strlen(dir);
  if (dirLen == 0) return false;
  if (dirLen + listLen >= size_t(TablebasePathCapacity)) return false;
  if (listLen > 0) std::strcat(list, ";");
  std::strcat(list, dir);
  return true;
}

void appendTablebasePath(const char* line) {
  const char* first = line;
  while (*first && !isBlank(*first)) ++first;
  if (!*first) return;
  const char* type = first + 1;
  const char* second = type;
  while (*second && !isBlank(*second)) ++second;
  if (!*second) return;
  if (!startsWithNoCase(type, "NALIMOV", 7)) return;
  appendAndReinitialise(second + 1);
}

void applyNalimovPathOption(const char* line) {
  const char* value = line + (line[26] == ' ' ? 27 : 26);
  if (startsWithNoCase(value, "value", 5)) value += 5;
  if (*value == ' ') ++value;
  appendAndReinitialise(value);
}

}  // namespace orv

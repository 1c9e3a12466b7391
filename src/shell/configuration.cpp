#include "shell/configuration.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

#include "board/board.h"
#include "board/game.h"
#include "book/book.h"
#include "notation/game_file.h"
#include "search/search.h"
#include "shell/edit_mode.h"
#include "shell/line_input.h"
#include "shell/numbers.h"
#include "shell/search_thread.h"
#include "shell/services.h"
#include "shell/settings.h"

namespace orv {

namespace {

const char* skipBlanks(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

void appendConfiguredDirectory(const char* dir) {
  char* list = settings.tablebasePaths;
  size_t listLen = std::strlen(list);
  size_t dirLen = std::strlen(dir);
  if (dirLen >= size_t(TablebasePathCapacity) - listLen) return;
  unsigned char first = static_cast<unsigned char>(dir[0]);
  if (listLen > 0 && first > ' ' && first < 127) std::strcat(list, ";");
  std::strcat(list, dir);
  size_t len = std::strlen(list);
  if (len > 0 && list[len - 1] == '\n') list[--len] = 0;
  if (len > 0 && list[len - 1] == '\r') list[--len] = 0;
}

void setDefaultTablebasePath() {
  const char* dir = executableDirectory();
  size_t len = std::strlen(dir);
  if (len == 0) return;
  std::memcpy(settings.tablebasePaths, dir, len - 1);  // without its final '/'
  settings.tablebasePaths[len - 1] = 0;
}

}  // namespace

void applyConfigurationLine(const char* line) {
  const char* p = skipBlanks(line);
  if (*p == ';') return;
  const char* eq = std::strchr(p, '=');
  struct Key {
    const char* name;
    int length;
  };
  static constexpr Key keys[] = {{"HASHTABLE", 9}, {"TABLEBASE", 9}, {"NULLEVAL", 8}, {"TB_CACHE_SIZE", 13},
                                 {"USE_BOOK", 8},  {"RESIGN", 6},    {"LOGFILE", 7},  {"BOOK_FILE", 9},
                                 {"BOOK_BEST", 9}, {"THREADS", 7}};
  int which = -1;
  for (int i = 0; i < int(std::size(keys)) && which < 0; ++i)
    if (startsWithNoCase(p, keys[i].name, keys[i].length)) which = i;
  if (which < 0 || !eq) return;
  const char* value = eq + 1;
  int n = readInt(value);
  switch (which) {
    case 0:
      if (n > 0) settings.hashExponent = n;
      break;
    case 1: appendConfiguredDirectory(skipBlanks(value)); break;
    case 2: break;  // accepted; it has no effect on play
    case 3: settings.tablebaseCache = long(n) * 1048576; break;
    case 4: settings.useBook.store(n != 0); break;
    case 5: settings.resign.store(n != 0); break;
    case 6: settings.logOn = n != 0; break;
    case 7: setBookFile(value); break;
    case 8: setBookBest(n != 0); break;
    case 9: applyThreadCount(skipBlanks(value), "THREADS"); break;
  }
}

void readConfigurationFrom(std::FILE* file) {
  char line[127];
  while (std::fgets(line, sizeof line, file)) applyConfigurationLine(line);
}

void readConfiguration() {
  setDefaultTablebasePath();
  const char* dir = executableDirectory();
  if (!*dir) return;
  char path[TablebasePathCapacity + 16];
  std::snprintf(path, sizeof path, "%sorvalis.cfg", dir);
  std::FILE* file = std::fopen(path, "r");
  if (!file) return;
  readConfigurationFrom(file);
  std::fclose(file);
}

int readPositionFile(const char* path) {
  std::FILE* file = std::fopen(path, "r");
  if (!file) return -1;
  Board& b = game.board;
  for (int slot = 0; slot < 32; ++slot) b.square[slot] = OffBoard, b.kind[slot] = 0, b.value[slot] = 0;
  for (int sq = 0; sq < 64; ++sq) b.map[sq] = EmptySquare;

  int colour = White;
  int lastColourLine = -1;  // none read yet
  int result = 0;
  char line[64];
  while (result == 0 && std::fgets(line, sizeof line, file)) {
    for (char* p = line; *p; ++p) *p = lowerAscii(*p);
    static const char pieces[] = "rdtfc";  // king, queen, rook, bishop, knight
    char c = line[0];
    if (c == 'b' || c == 'n') {
      colour = c == 'b' ? White : Black;
      lastColourLine = colour;
      continue;
    }
    const char* piece = c ? std::strchr(pieces, c) : nullptr;
    if (!piece && c != 'p') continue;
    int file = line[1] - 'a', rank = line[2] - '1';
    int sq = (line[1] && file >= 0 && file < 8 && rank >= 0 && rank < 8) ? file + 8 * rank : -1;
    int slot = -1;
    if (sq >= 0) slot = piece ? placeMan(b, colour, int(piece - pieces), sq) : placePawn(b, colour, sq);
    if (slot < 0) result = -2;
  }
  std::fclose(file);
  if (result != 0) return result;
  if (b.square[0] == OffBoard || b.square[16] == OffBoard) return -2;
  // White moves when the last colour line named Black; Black after a White one or none.
  finishEditedPosition(lastColourLine == Black ? White : Black);
  return 0;
}

int parseCommandLine(int argc, char** argv) {
  readConfiguration();
  bool oneShot = false, tablesAllocated = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '-' || arg[1] == 0) continue;
    const char* value = arg + 2;
    switch (arg[1]) {
      case 'd':
        // A directory longer than the list can hold is refused; the list stays.
        if (std::strlen(value) <= size_t(TablebasePathCapacity)) std::strcpy(settings.tablebasePaths, value);
        break;
      case 'h': settings.hashExponent = int(readClamped(value, INT_MIN + 1, INT_MAX)) - 1; break;
      case 't': {
        // Limits are kept in tenths of a second: a longer time is cut to what they hold.
        int seconds = int(readClamped(value, INT_MIN, INT_MAX / 10));
        if (seconds > 0) {
          game.softLimit = game.hardLimit = seconds * 10;
        } else {
          std::printf("temps??\n");
          std::fflush(stdout);
        }
        break;
      }
      case 'p':
        if (readPositionFile(value) < 0) {
          std::printf("fichier??\n");
          std::fflush(stdout);
          return 1;
        }
        oneShot = true;
        break;
      case 'f':
        if (!allocateTables(hashBudgetForExponent(settings.hashExponent))) return 1;
        tablesAllocated = true;
        if (loadGameFile(value) < 0) {
          std::printf("fichier??\n");
          std::fflush(stdout);
          return 1;
        }
        oneShot = true;
        break;
      default: break;
    }
  }
  if (!tablesAllocated && !allocateTables(hashBudgetForExponent(settings.hashExponent))) return 1;
  if (!oneShot) return -1;
  initialiseTablebases();
  searchSettings.post.store(true);
  searchSettings.useBook.store(settings.useBook.load() != 0);
  searchAbort.store(0);
  settings.threads.store(searchPool.resize(settings.threads.load()));
  rootSearch(game, searchPool.main());
  std::fflush(stdout);
  return 0;
}

}  // namespace orv

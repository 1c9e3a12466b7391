#include "shell/go_command.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "notation/movetext.h"
#include "search/search_state.h"
#include "shell/numbers.h"

namespace orv {

namespace {

constexpr const char* GoKeywords[] = {"SEARCHMOVES", "PONDER", "WTIME", "BTIME", "WINC",     "BINC",
                                      "MOVESTOGO",   "DEPTH",  "NODES", "MATE",  "MOVETIME", "INFINITE"};

bool isKeyword(const char* token) {
  for (const char* k : GoKeywords)
    if (std::strcmp(token, k) == 0) return true;
  return false;
}

// The next blank-separated token of p (at most 15 characters kept) and the text after it.
const char* nextToken(const char* p, char* token) {
  while (*p == ' ') ++p;
  int n = 0;
  while (*p && *p != ' ') {
    if (n < 15) token[n++] = *p;
    ++p;
  }
  token[n] = 0;
  return p;
}

// The number after a keyword, clamped; false when none stands there.
bool readNumber(const char*& p, long long lo, long long hi, long long& value) {
  const char* end;
  value = readClamped(p, lo, hi, &end);
  if (end == p) return false;
  p = end;
  return true;
}

}  // namespace

uint32_t findLegalMove(const char* text, const uint32_t* legal) {
  char wanted[8];
  if (std::strlen(text) > 5) return 0;
  std::strcpy(wanted, text);
  upperCase(wanted);
  for (int i = 0; legal[i] != 0; ++i) {
    char moveText[CoordinateTextSize];
    coordinateText(legal[i] & 0xFFFF, moveText);
    upperCase(moveText);
    if (std::strcmp(moveText, wanted) == 0) return legal[i] & 0xFFFF;
  }
  return 0;
}

GoRequest readGoLine(const char* line, const uint32_t* legal) {
  GoRequest r;
  const char* p = line;
  char token[16];
  p = nextToken(p, token);  // GO
  while (*p) {
    p = nextToken(p, token);
    long long v = 0;
    if (std::strcmp(token, "DEPTH") == 0) {
      if (readNumber(p, 1, MaxPly - 1, v)) r.limits.depth = int(v);
    } else if (std::strcmp(token, "NODES") == 0) {
      if (readNumber(p, 1, LLONG_MAX, v)) r.limits.nodes = uint64_t(v);
    } else if (std::strcmp(token, "MATE") == 0) {
      if (readNumber(p, 1, MaxPly - 1, v)) r.limits.mate = int(v);
    } else if (std::strcmp(token, "INFINITE") == 0) {
      r.infinite = true;
    } else if (std::strcmp(token, "PONDER") == 0) {
      r.ponder = true;
    } else if (std::strcmp(token, "WTIME") == 0 || std::strcmp(token, "BTIME") == 0 ||
               std::strcmp(token, "MOVETIME") == 0) {
      r.clock = true;
    } else if (std::strcmp(token, "SEARCHMOVES") == 0) {
      for (;;) {
        const char* before = p;
        p = nextToken(p, token);
        if (token[0] == 0) break;
        if (isKeyword(token)) {
          p = before;
          break;
        }
        const uint32_t m = findLegalMove(token, legal);
        SearchLimits& l = r.limits;
        if (m != 0 && l.searchMoveCount < RootListSize - 1 &&
            std::find(l.searchMoves, l.searchMoves + l.searchMoveCount, m) == l.searchMoves + l.searchMoveCount)
          l.searchMoves[l.searchMoveCount++] = m;
      }
    }
  }
  return r;
}

}  // namespace orv

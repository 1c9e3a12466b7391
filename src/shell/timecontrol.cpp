// Clock commands of both protocols and the per-move soft and hard limits.
#include "shell/timecontrol.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/game.h"
#include "shell/numbers.h"

namespace orv {

TimeControl timeControl;

namespace {

constexpr int AnalyzeLimit = 25920000;  // 30 days in tenths of a second
constexpr int InfiniteTime = 360000;

// Interface numbers can be anything; keep the arithmetic on them inside int.
int clampToInt(int64_t v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return int(v);
}

// The integer that follows a position in the line, like atoi but without overflow.
int readInteger(const char* text) { return readInt(text); }

// One %d field as sscanf reads it (blanks, sign, digits), clamped to int;
// false when no number stands there.
bool readField(const char*& p, int& value) {
  const char* end;
  value = int(readClamped(p, INT_MIN, INT_MAX, &end));
  if (end == p) return false;
  p = end;
  return true;
}

// The integer just after `keyword` when the line contains it.
bool findValue(const char* line, const char* keyword, int& value) {
  const char* at = std::strstr(line, keyword);
  if (!at) return false;
  value = readInteger(at + std::strlen(keyword));
  return true;
}

// The numbers of a LEVEL line; a colon joins the second and third in the
// colon form. Returns how many were read before the first that is missing.
int readLevelFields(const char* p, bool colonForm, int* values) {
  const int count = colonForm ? 4 : 3;
  for (int i = 0; i < count; ++i) {
    if (colonForm && i == 2) {
      if (*p != ':') return i;
      ++p;
    }
    if (!readField(p, values[i])) return i;
  }
  return count;
}

// Seconds with an optional fraction ("12", "0.05", "-3.5") as milliseconds;
// digits past the third decimal are ignored.
long long readSecondsAsMs(const char* p) {
  while (*p == ' ') ++p;
  const bool negative = *p == '-';
  const char* end;
  const long long whole = readClamped(p, -1000000000L, 1000000000L, &end);
  if (end == p) return 0;
  long long fraction = 0;
  if (*end == '.') {
    long long scale = 100;
    for (const char* q = end + 1; *q >= '0' && *q <= '9' && scale > 0; ++q, scale /= 10) fraction += (*q - '0') * scale;
  }
  return whole * 1000 + (negative ? -fraction : fraction);
}

// The third blank-separated field of a LEVEL line (the increment in both forms).
const char* thirdField(const char* p) {
  for (int field = 0; field < 2; ++field) {
    while (*p == ' ') ++p;
    while (*p && *p != ' ') ++p;
  }
  while (*p == ' ') ++p;
  return p;
}

}  // namespace

bool applyLevel(const char* args) {
  TimeControl& tc = timeControl;
  tc.increment = 0;
  tc.incrementMs = 0;
  tc.fixedMoveTime = false;
  // "moves minutes:seconds increment" or "moves minutes increment", read as
  // sscanf would ("%d %d:%d %d" / "%d %d %d") but without overflow.
  const bool colonForm = std::strchr(args, ':') != nullptr;
  int values[4] = {0, 0, 0, 0};
  const int fields = readLevelFields(args, colonForm, values);
  if (fields >= 1) tc.movesPerControl = values[0];
  if (colonForm && fields > 2) {
    tc.baseTime = clampToInt(int64_t(values[2]) + int64_t(values[1]) * 60);
    tc.increment = clampToInt(int64_t(values[3]) * 10);
    tc.incrementMs = readSecondsAsMs(thirdField(args));
    return true;
  }
  if (!colonForm && fields > 1) {
    tc.baseTime = clampToInt(int64_t(values[1]) * 60);
    tc.increment = clampToInt(int64_t(values[2]) * 10);
    tc.incrementMs = readSecondsAsMs(thirdField(args));
    return true;
  }
  tc.increment = 0;
  return false;
}

void applyTimeCommand(const char* line) {
  if (std::strlen(line) < 4) return;
  int n = readInteger(line + 4);
  if (n == 0) return;
  if (line[0] == 'T') {
    timeControl.ownClock = n / 10;
    timeControl.ownClockMs = int64_t(n) * 10;
  } else timeControl.opponentClock = n / 10;
}

void applyUciGo(const char* line, bool& newGameFlag) {
  TimeControl& tc = timeControl;
  int v = 0;
  if (findValue(line, "WTIME", v)) {
    if (game.side == White) {
      tc.ownClock = v / 100;
      tc.ownClockMs = v;
      if (newGameFlag) tc.baseTime = v / 1000;
    } else {
      tc.opponentClock = v / 100;
    }
  }
  if (findValue(line, "BTIME", v)) {
    if (game.side == Black) {
      tc.ownClock = v / 100;
      tc.ownClockMs = v;
      if (newGameFlag) tc.baseTime = v / 1000;
    } else {
      tc.opponentClock = v / 100;
    }
  }
  if (findValue(line, "WINC", v) || findValue(line, "BINC", v)) tc.increment = v / 100;
  if (findValue(line, game.side == White ? "WINC" : "BINC", v)) tc.incrementMs = v;
  if (findValue(line, "MOVESTOGO", v) && newGameFlag)
    tc.movesPerControl = v != 0 ? clampToInt(int64_t(v) + game.ply / 2) : 0;
  if (std::strstr(line, "INFINITE")) {
    tc.baseTime = tc.ownClock = tc.opponentClock = InfiniteTime;
    tc.ownClockMs = int64_t(InfiniteTime) * 100;
  }
  tc.fixedMoveTime = findValue(line, "MOVETIME", v);
  if (tc.fixedMoveTime) {
    tc.ownClock = tc.opponentClock = tc.baseTime = v / 100;
    tc.moveTimeLimit = v / 100;
    tc.ownClockMs = tc.moveTimeMs = v;
  }
  newGameFlag = false;
}

void resetClockForNewGame() {
  timeControl.increment = 0;
  timeControl.incrementMs = 0;
  timeControl.movesPerControl = 0;
}

MoveCaps lowClockCaps(const TimeControl& tc, int ply) {
  MoveCaps caps;
  if (tc.fixedMoveTime) {
    // movetime is a duration in milliseconds: a tenth-rounded limit would take up
    // to 100 ms more than asked (movetime 50 would run 100 ms).
    caps.softMs = caps.hardMs = tc.moveTimeMs > 0 ? tc.moveTimeMs : 1;
    return caps;
  }
  if (tc.ownClockMs <= 0) return caps;  // clock unknown
  // The tenths formula keeps at least one tenth per move and may hand out the
  // last two seconds; on a low clock that is more than the clock holds. The
  // ceiling: a share of what the clock holds beyond the overhead and the
  // reserve, plus three quarters of the increment but never more than the
  // share itself, and never more than that remainder.
  const long long increment = tc.incrementMs > 0 ? tc.incrementMs : 0;
  const long long reserve = std::min({ClockReserveMs + increment, ClockReserveMaxMs, tc.ownClockMs / 2});
  const long long available = tc.ownClockMs - tc.moveOverheadMs - reserve;
  if (available <= 0) {
    caps.softMs = caps.hardMs = 1;
    return caps;
  }
  // Soft and hard keep the formula's proportions: 1 to 2 on the whole game's
  // clock, 2 to 3 within a period of moves, equal on its last move.
  long long share = available / 5, softPart = 1, hardPart = 2;
  if (tc.movesPerControl > 0) {
    const long long h = ply;
    const long long left = tc.movesPerControl - ((h / 2) % tc.movesPerControl);
    share = left >= 2 ? available * 3 / (2 * left) : available;
    softPart = left >= 2 ? 2 : 1;
    hardPart = left >= 2 ? 3 : 1;
  }
  long long hard = share + std::min(increment * 3 / 4, share);
  if (hard > available) hard = available;
  if (hard < 1) hard = 1;
  caps.hardMs = hard;
  caps.softMs = hard * softPart / hardPart > 0 ? hard * softPart / hardPart : 1;
  return caps;
}

void setUntimedClock(Game& g, long long startTick) {
  g.iterationLimit = 999;
  g.moveStartTick = startTick;
  g.softCapMs = g.hardCapMs = 0;
  g.softLimit = g.hardLimit = AnalyzeLimit;
}

void allocateMoveTime(bool analyzeMode, long long lineTick) {
  const TimeControl& tc = timeControl;
  game.iterationLimit = 999;
  game.moveStartTick = lineTick;
  game.softCapMs = game.hardCapMs = 0;
  if (analyzeMode) {
    game.softLimit = game.hardLimit = AnalyzeLimit;
    return;
  }

  const MoveCaps caps = lowClockCaps(tc, game.ply);
  game.softCapMs = caps.softMs;
  game.hardCapMs = caps.hardMs;
  if (tc.fixedMoveTime) {
    game.softLimit = game.hardLimit = tc.moveTimeLimit > 0 ? tc.moveTimeLimit : 1;
    return;
  }
  const int64_t M = tc.movesPerControl, B = tc.baseTime, I = tc.increment, T = tc.ownClock;
  const int64_t h = game.ply;
  int64_t soft, hard;
  if (M > 0) {
    int64_t left = M - ((h / 2) % M);
    int64_t t = (T - 10) / left;
    if (t <= 0) t = 1;
    int64_t cap = 2 * ((B * 10) / M);
    if (cap < t) t = cap;
    if (t <= 0) t = 1;
    soft = hard = t;
    if (left >= 2) hard = t + t / 2;
  } else {
    int64_t e = T / 30;
    if (e <= 0) e = 1;
    if (I != 0 || B > 420) {
      soft = e + I;
      if (2 * soft < T - 20) {
        hard = 2 * soft;
      } else {
        int64_t x = T - 20;
        if (x <= 0) x = 1;
        soft = hard = x;
      }
      if (I < T && T <= 20) soft = hard = I > 0 ? I : 1;
    } else {
      soft = hard = e;
      if (T >= 60) hard = 2 * e;
      if (hard >= T - 1) hard = (T > 2 ? T : 2) - 1;
    }
  }
  game.softLimit = clampToInt(soft);
  game.hardLimit = clampToInt(hard);
}

}  // namespace orv

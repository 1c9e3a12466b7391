// Clock information and the per-move time allocation.
#pragma once

namespace orv {

struct Game;

// Time kept back from every move for the way to and from the interface
// (UCI Move Overhead, 0..5000 ms).
constexpr long long DefaultMoveOverheadMs = 30;
constexpr long long MaxMoveOverheadMs = 5000;

struct TimeControl {
  int movesPerControl = 6;  // moves
  int baseTime = 60;        // seconds
  int increment = 0;        // tenths of a second
  int ownClock = 0;         // tenths of a second
  int opponentClock = 0;    // tenths of a second
  // UCI "go movetime": the move gets exactly this many tenths (at least 1). Set by a go
  // with MOVETIME, cleared by the next go without it and by LEVEL.
  bool fixedMoveTime = false;
  int moveTimeLimit = 0;  // tenths of a second

  // The same clock in milliseconds, as the interface sent it (TIME in centiseconds
  // x 10, UCI wtime/btime and winc/binc as they stand, a LEVEL increment with its
  // fraction). The tenths above drive the allocation formula; these only keep a
  // move from overrunning a low clock, where whole tenths are too coarse.
  long long ownClockMs = 0;  // 0 = not known
  long long incrementMs = 0;
  long long moveTimeMs = 0;  // UCI go movetime
  long long moveOverheadMs = DefaultMoveOverheadMs;
};
// The clocks: written by the command thread while no search runs.
extern TimeControl timeControl;

// LEVEL with the text after the five letters; false when it does not scan
// (the caller prints "Error (command not legal)\n").
bool applyLevel(const char* args);
// TIME / OTIM line (upper case, value in centiseconds after the four letters).
void applyTimeCommand(const char* line);
// UCI go parameters of the upper-cased go line; clears the new-game flag.
void applyUciGo(const char* line, bool& newGameFlag);
// UCINEWGAME's reset of the clock fields.
void resetClockForNewGame();
// Writes game.softLimit / game.hardLimit and sets game.iterationLimit to 999;
// also the millisecond caps and the start tick of the move (lineTick: when the
// command that started it was read, 0 = now).
void allocateMoveTime(bool analyzeMode, long long lineTick = 0);
// The limits of a search without a clock (analysis, pondering) on `g`, its time counted from startTick.
void setUntimedClock(Game& g, long long startTick);

// Beyond it, a reserve of 100 ms plus one increment (at most a second, at most
// half the clock) is never planned for: it absorbs the moments a loaded machine
// does not run the engine, and on a short clock the engine then spends less
// than the increment, so the clock grows back instead of running down.
constexpr long long ClockReserveMs = 100;
constexpr long long ClockReserveMaxMs = 1000;

// The millisecond ceilings of one move on a clock of clockMs (0 = unknown: none).
struct MoveCaps {
  long long softMs = 0, hardMs = 0;  // 0 = no cap
};
MoveCaps lowClockCaps(const TimeControl& tc, int ply);

}  // namespace orv

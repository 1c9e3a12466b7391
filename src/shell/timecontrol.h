// Clock information and the per-move time allocation.
#pragma once

namespace orv {

struct TimeControl {
  int movesPerControl = 6;   // moves
  int baseTime = 60;         // seconds
  int increment = 0;         // tenths of a second
  int ownClock = 0;          // tenths of a second
  int opponentClock = 0;     // tenths of a second
  // UCI "go movetime": the move gets exactly this many tenths (at least 1). Set by a go
  // with MOVETIME, cleared by the next go without it and by LEVEL.
  bool fixedMoveTime = false;
  int moveTimeLimit = 0;     // tenths of a second
};
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
// Writes game.softLimit / game.hardLimit and sets game.iterationLimit to 999.
void allocateMoveTime(bool analyzeMode);

}  // namespace orv

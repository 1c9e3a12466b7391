// The game log: one text file, appended to across runs, with a PGN-like
// record of every game (headers, one line per move, results) and the
// search's diagnostic codes. Every writer does nothing while the log is
// closed, and every line is flushed at once. A write that fails (a full disk)
// closes the log for the rest of the run; the engine plays on.
#pragma once
#include <cstddef>

#include "board/types.h"

namespace orv {

// Longest log file name, terminator not counted.
constexpr size_t GameLogNameLength = 298;

// Forms "<program>.log" into `out` (GameLogNameLength + 1 characters). A name
// that would be longer is refused: false, and `out` is left empty.
bool formGameLogName(const char* program, char* out);

// Opens the log for appending ("a+"); false, and the log stays off, when the
// name is empty or the file cannot be opened.
bool openGameLog(const char* name);
void closeGameLog();
bool gameLogOpen();
void flushGameLog();

// [Event "Computer chess game"] and, when the local time is known, [Date "y.mm.dd"].
void writeLogHeader();
// One move line for `m` in the Game's current position, before it is played:
// "1.   e4 ({...})" for White, "1... e5 ({...})" for Black; the search comment
// inside the braces when `withComment`. Move 0 gives the empty move line.
void writeLogMove(Move m, bool withComment);
// The text of a RESULT command, on a line of its own.
void writeLogResult(const char* text);
// "OV code %d": an internal inconsistency the search detected.
void writeLogDiagnostic(int code);

}  // namespace orv

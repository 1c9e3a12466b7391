#include "notation/game_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

#include "board/game.h"
#include "notation/movetext.h"
#include "notation/search_comment.h"

namespace orv {

namespace {

// The open log; the search thread (engine moves, diagnostic codes) and the
// command thread both write to it.
std::mutex logLock;
std::FILE* logFile = nullptr;

// Writes and flushes one piece of text under the lock; a failed write or
// flush closes the log.
void writeLog(const char* text) {
  std::lock_guard<std::mutex> hold(logLock);
  if (!logFile) return;
  const bool written = std::fputs(text, logFile) >= 0;
  if (written && std::fflush(logFile) == 0) return;
  std::fclose(logFile);
  logFile = nullptr;
  std::fprintf(stderr, "game log: write failed, the log is off\n");
}

void writeLogFormatted(const char* format, ...) {
  char text[96];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  writeLog(text);
}

}  // namespace

bool formGameLogName(const char* program, char* out) {
  const int n = std::snprintf(out, GameLogNameLength + 1, "%s.log", program);
  if (n >= 0 && size_t(n) <= GameLogNameLength) return true;
  out[0] = 0;
  return false;
}

bool openGameLog(const char* name) {
  std::lock_guard<std::mutex> hold(logLock);
  if (logFile) std::fclose(logFile);
  logFile = name[0] ? std::fopen(name, "a+") : nullptr;
  return logFile != nullptr;
}

void closeGameLog() {
  std::lock_guard<std::mutex> hold(logLock);
  if (logFile) std::fclose(logFile);
  logFile = nullptr;
}

bool gameLogOpen() {
  std::lock_guard<std::mutex> hold(logLock);
  return logFile != nullptr;
}

void flushGameLog() {
  std::lock_guard<std::mutex> hold(logLock);
  if (logFile) std::fflush(logFile);
}

void writeLogHeader() {
  if (!gameLogOpen()) return;
  writeLog("[Event \"Computer chess game\"]\n");
  const std::time_t now = std::time(nullptr);
  std::tm local;
  if (now != std::time_t(-1) && localtime_r(&now, &local))
    writeLogFormatted("[Date \"%d.%02d.%02d\"]\n", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

void writeLogMove(Move m, bool withComment) {
  if (!gameLogOpen()) return;
  // Move number from the ply index before the move (-1 at the set-up position).
  constexpr size_t LineSize = 64 + SearchCommentSize;
  char line[LineSize];
  std::snprintf(line, sizeof line, "%d%s ", (game.ply + 1) / 2 + 1, game.side == White ? ".  " : "...");
  if (m != 0) algebraicText(m, game.legal, game.board, line, sizeof line);
  std::strcat(line, "({");
  if (withComment) formatSearchComment(line + std::strlen(line), SearchCommentSize);
  std::strcat(line, "})\n");
  writeLog(line);
}

void writeLogResult(const char* text) {
  char line[2704];  // a command line holds at most 2699 characters
  std::snprintf(line, sizeof line, "%s\n", text);
  writeLog(line);
}

void writeLogDiagnostic(int code) { writeLogFormatted("OV code %d\n", code); }

}  // namespace orv

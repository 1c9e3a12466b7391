// The single search thread: starting, stopping, move output and game end.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

#include "shell/resignation.h"

namespace orv {

// 1 from the start of a search until its thread has printed its result.
extern std::atomic<int> searchRunning;

// The go path: clears the abort flag, computes the limits and starts the thread.
void startSearch();
// Raises the abort flag and waits (10 ms steps) until the search thread has ended.
void stopSearch();
// The thread procedure; writes the SearchResult through resultOut.
void searchProc(std::atomic<int32_t>* resultOut);
// Joins a finished search thread (before the process ends).
void joinFinishedSearch();

// Held while the search thread plays its move on the Game, and by the command
// thread while it reads the Game during a search (a typed move, PRINT).
extern std::mutex gameMoveMutex;

// Prints the line for a make-move result code (or 10 = resign) and flushes.
void reportGameEnd(int code, const char* moveText);

}  // namespace orv

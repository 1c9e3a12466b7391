// The single search thread: starting, stopping, move output and game end.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

#include "search/thread_pool.h"
#include "shell/resignation.h"

namespace orv {

// The search thread's state: SearchIdle, SearchThinking from the start of a
// search, SearchAnnouncing once its search has ended and it plays and prints
// its result, SearchIdle again when it has done.
enum SearchThreadState : int { SearchIdle = 0, SearchThinking = 1, SearchAnnouncing = 2 };
// Written by the command thread when it starts a search and by the search thread as it ends.
extern std::atomic<int> searchRunning;

// The search workers: the main worker runs on the search thread, the helpers on
// threads of its own. Resized and cleared by the command thread while no search runs.
extern SearchPool searchPool;

// The go path: clears the abort flag, computes the limits and starts the thread.
void startSearch();
// Raises the abort flag and waits (10 ms steps) until the search thread has ended.
void stopSearch();
// Ends an xboard pondering search that has not had its hit: it ends without a move.
void endXboardPondering();
// Waits until a search that is announcing its result has ended (its thread
// joined); a search still thinking is left alone.
void finishEndingSearch();
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

// Principal variation: per-ply chains of linked nodes that the node search
// swaps between plies (no copying), and the working and print buffers that
// the output and the game log read under one lock.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

#include "board/types.h"

namespace orv {

struct PvNode {
  PvNode* next;   // next node of the line, nullptr at the end of the chain
  uint32_t word;  // scoredWord of the move and its score; 0 ends the line
};

constexpr int PvBufferSize = 64;  // at most 63 moves and a 0
// The line the main worker publishes, written by it alone (under pvLock) while
// it searches; the search lines, the game log and the shell read them.
extern std::mutex pvLock;
extern Move workingPv[PvBufferSize];
extern Move printPv[PvBufferSize];
extern Move savedPv[PvBufferSize];
// Best root score of the main worker's last search, written at its end; read by the game log.
extern std::atomic<int> bestRootScore;

// Under the lock: the line of ply 0 of chains into the working and the print buffer.
void publishRootLine(PvNode* const* chains);
// Under the lock: the print buffer := the single move m.
void publishSingleMove(Move m);
// Under the lock: clears the working buffer.
void clearWorkingPv();
// Under the lock: savedPv := workingPv.
void saveWorkingPv();
// Under the lock: copies the print buffer (0-terminated) into out.
void copyPrintPv(Move out[PvBufferSize]);

}  // namespace orv

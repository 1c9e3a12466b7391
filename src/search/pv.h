// Principal variation: per-ply chains of linked nodes that the node search
// swaps between plies (no copying), and the working and print buffers that
// the output and the game log read under one lock.
#pragma once
#include <cstdint>
#include <mutex>

#include "board/types.h"

namespace orv {

struct PvNode {
  PvNode* next;   // next node of the line, nullptr at the end of the chain
  uint32_t word;  // scoredWord of the move and its score; 0 ends the line
};

constexpr int PvBufferSize = 64;  // at most 63 moves and a 0
extern std::mutex pvLock;
extern Move workingPv[PvBufferSize];
extern Move printPv[PvBufferSize];
extern Move savedPv[PvBufferSize];

// Under the lock: the line of ply 0 into the working and the print buffer.
void publishRootLine();
// Under the lock: the print buffer := the single move m.
void publishSingleMove(Move m);
// Under the lock: clears the working buffer.
void clearWorkingPv();
// Under the lock: savedPv := workingPv.
void saveWorkingPv();
// Under the lock: copies the print buffer (0-terminated) into out.
void copyPrintPv(Move out[PvBufferSize]);

}  // namespace orv

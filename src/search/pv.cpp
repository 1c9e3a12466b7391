#include "search/pv.h"

#include <cstring>

#include "search/move_words.h"
#include "board/score.h"

namespace orv {

std::mutex pvLock;
Move workingPv[PvBufferSize];
Move printPv[PvBufferSize];
Move savedPv[PvBufferSize];
std::atomic<int> bestRootScore{NoScore};

void publishRootLine(PvNode* const* chains) {
  std::lock_guard<std::mutex> hold(pvLock);
  int n = 0;
  for (const PvNode* node = chains[0]; node && node->word != 0 && n < PvBufferSize - 1; node = node->next)
    workingPv[n++] = moveOf(node->word);
  workingPv[n] = 0;
  std::memcpy(printPv, workingPv, sizeof printPv);
}

void publishSingleMove(Move m) {
  std::lock_guard<std::mutex> hold(pvLock);
  printPv[0] = moveOf(m);
  printPv[1] = 0;
}

void clearWorkingPv() {
  std::lock_guard<std::mutex> hold(pvLock);
  std::memset(workingPv, 0, sizeof workingPv);
}

void saveWorkingPv() {
  std::lock_guard<std::mutex> hold(pvLock);
  std::memcpy(savedPv, workingPv, sizeof savedPv);
}

void copyPrintPv(Move out[PvBufferSize]) {
  std::lock_guard<std::mutex> hold(pvLock);
  std::memcpy(out, printPv, sizeof printPv);
  out[PvBufferSize - 1] = 0;
}

}  // namespace orv

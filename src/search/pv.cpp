#include "search/pv.h"

#include <cstring>

namespace orv {

namespace {
constexpr int PvNodeCount = MaxPly * (MaxPly + 1) / 2;   // 64 + 63 + ... + 1
PvNode pvStorage[PvNodeCount];
}  // namespace

PvNode* pvLine[MaxPly];
std::mutex pvLock;
Move workingPv[PvBufferSize];
Move printPv[PvBufferSize];
Move savedPv[PvBufferSize];

void resetPvChains() {
  int at = 0;
  for (int p = 0; p < MaxPly; ++p) {
    pvLine[p] = &pvStorage[at];
    int length = MaxPly - p;
    for (int i = 0; i < length; ++i) {
      pvStorage[at + i].word = 0;
      pvStorage[at + i].next = i + 1 < length ? &pvStorage[at + i + 1] : nullptr;
    }
    at += length;
  }
}

namespace {
const bool pvChainsReady = (resetPvChains(), true);
}  // namespace

void publishRootLine() {
  std::lock_guard<std::mutex> hold(pvLock);
  int n = 0;
  for (const PvNode* node = pvLine[0]; node && node->word != 0 && n < PvBufferSize - 1; node = node->next)
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

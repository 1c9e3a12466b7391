// Engine settings gathered at start-up and changed by protocol commands.
#pragma once
#include <atomic>

namespace orv {

constexpr int TablebasePathCapacity = 300;  // characters of the path list, terminator not counted
constexpr long DefaultTablebaseCache = 4194304;

struct EngineSettings {
  int hashExponent = 0;                                 // the tables get 2^(e + 4) bytes at start-up
  char tablebasePaths[TablebasePathCapacity + 1] = {};  // directories separated by ';'
  long tablebaseCache = DefaultTablebaseCache;          // bytes, used at the next tablebase initialisation
  std::atomic<int> useBook{1};                          // read by the search thread
  std::atomic<int> resign{1};                           // read by the search thread
  int logOn = 0;                                        // LOGFILE: open the game log at start-up
  char logName[299] = {};                               // "<argv[0]>.log", empty when too long
  std::atomic<int> threads{1};  // search threads (1..256); written by the command thread, applied at the next search
  std::atomic<bool> ponder{false};        // UCI Ponder: "bestmove X ponder Y"; read by the search thread
  int multiPv = 1;                        // UCI MultiPV, 1..MaxMultiPv
  int xboardDepthLimit = 0;               // xboard sd; 0 = none
  std::atomic<bool> xboardPonder{false};  // xboard hard (on) / easy (off); read by the search thread
};
// Written by the command thread (start-up, options); the search thread reads the atomics.
extern EngineSettings settings;

// Directory of the running executable including its final '/', or "" when unknown.
const char* executableDirectory();

// Hash table budget in bytes for the exponent: 1 << (e + 4) as a signed 32-bit
// value with the shift count taken modulo 32 (a negative budget means "largest").
long long hashBudgetForExponent(int exponent);

// MEMORY's tablebase cache rule: n minus the largest power of two not above n,
// in MB, at least 4 MB; returned in bytes.
long tablebaseCacheForMemory(long megabytes);

}  // namespace orv

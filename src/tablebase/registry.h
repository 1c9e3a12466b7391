// The registry of the 110 tables: which file holds each table side, found in
// a list of directories at initialisation and verified there.
#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "tablebase/codec.h"
#include "tablebase/table_info.h"

namespace orv::tb {

constexpr int BucketCount = 32;        // cache chains per table side
constexpr int PathListCapacity = 300;  // longest directory list accepted, in characters

using BucketHeads = std::array<int32_t, BucketCount>;  // first cache block of each chain, -1 none
constexpr BucketHeads emptyBuckets() {
  BucketHeads b{};
  for (int32_t& head : b) head = -1;
  return b;
}

// One table side (White or Black to move).
struct TableSide {
  std::string path;                          // the registered file; empty when none
  std::FILE* file = nullptr;                 // opened on the first read
  std::unique_ptr<CompressedHeader> header;  // compressed files only
  uint32_t size = 0;                         // positions stored (bytes of the table)
  BucketHeads bucket = emptyBuckets();

  bool registered() const { return !path.empty(); }
};

struct TableEntry {
  TableSide side[2];
};
// Registered by the command thread while no search runs; a failed read drops a
// side under the block cache lock, which every search thread probes under.
extern TableEntry tables[TableCount + 1];

// Set by the command thread once it has initialised the tablebases (no search
// runs then); probes answer "unknown" before.
extern int tablebasesInitialised;

// Registers the tables found in the directory list (split at ',' and ';', an
// empty element is the current directory) and sizes the block cache for
// cacheBytes (1 MB to 64 MB). Prints "TbPath=<...>" and "InitTb=<men>" on
// standard error. Returns the largest number of men covered: 5, 4, 3 or 0.
// A damaged table file prints a "***" line on standard output and ends the process.
// A list longer than PathListCapacity is refused: nothing is registered.
int initTablebases(const char* list, long cacheBytes);
// Closes all files, forgets every registration and frees the cache.
void releaseTablebases();

// Closes every open table file (they are reopened on the next read).
void closeTableFiles();
// Forgets the registration of one side (its file vanished or is unreadable).
void unregisterSide(int table, int side);

// Shared buffer for the compressed bytes of one block (nullptr when no
// compressed file is registered).
uint8_t* compressedScratch();

}  // namespace orv::tb

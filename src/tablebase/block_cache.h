// The block cache: table bytes are read in blocks of 8192 through a fixed
// number of cache blocks shared by all tables, chained in 32 buckets per table
// side and in one recency list; the least recently used block is reused.
#pragma once
#include <cstdint>
#include <mutex>

namespace orv::tb {

constexpr long CacheBlockCost = 8284;  // bytes of the cache budget per block
constexpr long MinCacheBytes = 1048576;
constexpr long MaxCacheBytes = 67108864;
constexpr int ByteUnknown = 1000;  // readTableByte could not answer

// Number of blocks a budget buys, after clamping it to 1 MB..64 MB.
constexpr int cacheBlocksFor(long bytes) {
  return int((bytes < MinCacheBytes ? MinCacheBytes : bytes > MaxCacheBytes ? MaxCacheBytes : bytes) / CacheBlockCost);
}

// Gives the cache `blocks` blocks (keeping the memory when the count is the
// same) and resets it. False when the memory cannot be had (the cache is then empty).
bool createBlockCache(int blocks);
// Closes all table files, puts every block on the free list, empties the chains.
void resetBlockCache();
void freeBlockCache();
int cacheBlockCount();

// Held by probeTablebase while it reads a byte: the search threads share the
// cache, its open files and the registrations a failed read drops.
std::mutex& blockCacheLock();

// The signed byte at `position` of a table side, or ByteUnknown.
int readTableByte(int table, int side, uint32_t position);

// Puts the cached blocks of one side back on the free list (its registration is dropped).
void dropSideBlocks(int table, int side);
// Whether the block holding `position` of the side is in the cache (does not touch the order).
bool blockCached(int table, int side, uint32_t position);

}  // namespace orv::tb

#include "tablebase/block_cache.h"

#include <sys/types.h>

#include <cstdio>
#include <memory>
#include <new>

#include "tablebase/codec.h"
#include "tablebase/registry.h"
#include "tablebase/regular_file.h"

namespace orv::tb {

namespace {

struct CacheBlock {
  int32_t table = 0, side = 0;
  uint32_t start = 0;              // first position held, a multiple of BlockSize
  uint32_t length = 0;             // bytes of data that are valid
  int32_t newer = -1, older = -1;  // recency list
  int32_t next = -1, prev = -1;    // bucket chain; `next` also links the free list
  alignas(16) uint8_t data[BlockSize + BlockMargin];
};

// The cache: created and reset by the command thread while no search runs; the
// search threads read and reorder it under blockCacheLock.
std::unique_ptr<CacheBlock[]> blocks;
int blockCount = 0;
int32_t mostRecent = -1, leastRecent = -1, freeList = -1;

int32_t& bucketOf(int table, int side, uint32_t position) {
  return tables[table].side[side].bucket[(position >> BlockLog) & (BucketCount - 1)];
}

void unlinkRecency(int32_t b) {
  CacheBlock& c = blocks[b];
  (c.newer >= 0 ? blocks[c.newer].older : mostRecent) = c.older;
  (c.older >= 0 ? blocks[c.older].newer : leastRecent) = c.newer;
  c.newer = c.older = -1;
}

void linkRecencyFront(int32_t b) {
  CacheBlock& c = blocks[b];
  c.newer = -1;
  c.older = mostRecent;
  if (mostRecent >= 0) blocks[mostRecent].newer = b;
  mostRecent = b;
  if (leastRecent < 0) leastRecent = b;
}

void unlinkChain(int32_t b) {
  CacheBlock& c = blocks[b];
  if (c.prev >= 0) blocks[c.prev].next = c.next;
  else bucketOf(c.table, c.side, c.start) = c.next;
  if (c.next >= 0) blocks[c.next].prev = c.prev;
  c.next = c.prev = -1;
}

void linkChainFront(int32_t b) {
  CacheBlock& c = blocks[b];
  int32_t& head = bucketOf(c.table, c.side, c.start);
  c.prev = -1;
  c.next = head;
  if (head >= 0) blocks[head].prev = b;
  head = b;
}

void pushFree(int32_t b) {
  blocks[b].next = freeList;
  freeList = b;
}

// A block for new data: a free one, else the least recently used one.
int32_t takeBlock() {
  if (freeList >= 0) {
    const int32_t b = freeList;
    freeList = blocks[b].next;
    blocks[b].next = -1;
    return b;
  }
  const int32_t b = leastRecent;
  unlinkRecency(b);
  unlinkChain(b);
  return b;
}

// The side's file, opened on first use. When it cannot be opened, all table
// files are closed (perhaps too many are open) and the opening is tried again.
std::FILE* sideFile(TableSide& s) {
  if (s.file) return s.file;
  s.file = openRegularFile(s.path.c_str());
  if (!s.file) {
    closeTableFiles();
    s.file = openRegularFile(s.path.c_str());
  }
  return s.file;
}

// Reads the block starting at c.start into c; false when it cannot be read.
bool fillBlock(TableSide& s, CacheBlock& c) {
  std::FILE* f = sideFile(s);
  if (!f) return false;
  long n;
  if (s.header) {
    uint8_t* in = compressedScratch();
    n = in ? readCompressedBlock(*s.header, f, c.start >> BlockLog, in, c.data) : -1;
  } else {
    // The last block of a file may be short.
    n = fseeko(f, off_t(c.start), SEEK_SET) == 0 ? long(std::fread(c.data, 1, BlockSize, f)) : 0;
    if (n == 0) n = -1;
  }
  if (n < 0 || n > BlockSize) return false;
  c.length = uint32_t(n);
  return true;
}

}  // namespace

bool createBlockCache(int count) {
  if (count != blockCount || !blocks) {
    blocks.reset();
    blockCount = 0;
    blocks.reset(new (std::nothrow) CacheBlock[size_t(count)]);
    if (!blocks) {
      resetBlockCache();
      return false;
    }
    blockCount = count;
  }
  resetBlockCache();
  return true;
}

void resetBlockCache() {
  closeTableFiles();
  for (TableEntry& t : tables)
    for (TableSide& s : t.side) s.bucket = emptyBuckets();
  mostRecent = leastRecent = freeList = -1;
  for (int32_t b = blockCount - 1; b >= 0; --b) {
    blocks[b].newer = blocks[b].older = blocks[b].prev = -1;
    pushFree(b);
  }
}

void freeBlockCache() {
  blockCount = 0;
  blocks.reset();
  resetBlockCache();
}

int cacheBlockCount() { return blockCount; }

std::mutex& blockCacheLock() {
  static std::mutex lock;
  return lock;
}

int readTableByte(int table, int side, uint32_t position) {
  if (blockCount == 0 || table < 1 || table > TableCount) return ByteUnknown;
  TableSide& s = tables[table].side[side & 1];
  // Trailing indices beyond the stored positions are not in the file.
  if (!s.registered() || position >= s.size) return ByteUnknown;
  const uint32_t start = position & ~uint32_t(BlockSize - 1);
  const uint32_t offset = position - start;

  const int32_t head = bucketOf(table, side, position);
  for (int32_t b = head; b >= 0; b = blocks[b].next) {
    CacheBlock& c = blocks[b];
    if (c.start != start) continue;
    if (b != mostRecent) {
      unlinkRecency(b);
      linkRecencyFront(b);
    }
    if (b != head) {
      unlinkChain(b);
      linkChainFront(b);
    }
    return offset < c.length ? int(int8_t(c.data[offset])) : ByteUnknown;
  }

  const int32_t b = takeBlock();
  CacheBlock& c = blocks[b];
  c.table = table;
  c.side = side & 1;
  c.start = start;
  if (!fillBlock(s, c)) {
    pushFree(b);
    unregisterSide(table, side & 1);
    return ByteUnknown;
  }
  linkRecencyFront(b);
  linkChainFront(b);
  return offset < c.length ? int(int8_t(c.data[offset])) : ByteUnknown;
}

void dropSideBlocks(int table, int side) {
  if (blockCount == 0) return;
  for (int32_t& head : tables[table].side[side].bucket) {
    while (head >= 0) {
      const int32_t b = head;
      unlinkChain(b);
      unlinkRecency(b);
      pushFree(b);
    }
  }
}

bool blockCached(int table, int side, uint32_t position) {
  if (blockCount == 0) return false;
  const uint32_t start = position & ~uint32_t(BlockSize - 1);
  for (int32_t b = bucketOf(table, side, position); b >= 0; b = blocks[b].next)
    if (blocks[b].start == start) return true;
  return false;
}

}  // namespace orv::tb

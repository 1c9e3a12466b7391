#include "tablebase/registry.h"

#include <sys/types.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <new>

#include "tablebase/block_cache.h"
#include "tablebase/index.h"
#include "tablebase/material_tree.h"
#include "tablebase/regular_file.h"

namespace orv::tb {

TableEntry tables[TableCount + 1];
int tablebasesInitialised = 0;

namespace {

constexpr int DecodeBlockErrorCode = 210693;

std::unique_ptr<uint8_t[]> scratch;  // compressed bytes of one block, shared by all sides
bool firstInitialisation = true;

// A damaged table file: the message goes to standard output and the process ends.
[[noreturn]] [[gnu::format(printf, 1, 2)]] void fatal(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fflush(stdout);
  std::exit(1);
}

void forgetSide(TableSide& s) {
  if (s.file) std::fclose(s.file);
  s.file = nullptr;
  s.path.clear();
  s.header.reset();
  s.size = 0;
  s.bucket = emptyBuckets();
}

void releaseRegistrations() {
  for (TableEntry& t : tables)
    for (TableSide& s : t.side) forgetSide(s);
  scratch.reset();
}

// A plain table: its length must be the stored count (a count of 0 takes the length).
void checkPlainFile(std::FILE* f, const std::string& path, uint32_t expected, uint32_t* size) {
  if (fseeko(f, 0, SEEK_END) != 0) {
    std::fclose(f);
    fatal("*** Seek in %s failed\n", path.c_str());
  }
  const off_t length = ftello(f);
  std::fclose(f);
  if (length < 0 || (expected != 0 && uint64_t(length) != expected) || uint64_t(length) > UINT32_MAX)
    fatal("*** %s corrupted\n", path.c_str());
  *size = expected != 0 ? expected : uint32_t(length);
}

// A compressed table: a verified header whose uncompressed size is the stored count.
std::unique_ptr<CompressedHeader> loadCompressedFile(std::FILE* f, const std::string& path, uint32_t expected,
                                                     uint32_t* size) {
  std::unique_ptr<CompressedHeader> header(new (std::nothrow) CompressedHeader);
  const int status = header ? loadCompressedHeader(f, header.get()) : int(HeaderOutOfMemory);
  std::fclose(f);
  const char* p = path.c_str();
  switch (status) {
    case HeaderOk: break;
    case HeaderReadError: fatal("*** Unable to read %s - read error\n", p);
    case HeaderOutOfMemory: fatal("*** Unable to read %s - out of memory\n", p);
    case HeaderBlockSize: fatal("*** %s: Unsupported block size %d\n", p, 1 << (header->blockLog & 31));
    default: fatal("*** Unable to read %s - file broken\n", p);
  }
  const uint64_t length = header->uncompressedSize();
  if ((expected != 0 && length != expected) || length > UINT32_MAX) fatal("*** %s corrupted\n", p);
  *size = expected != 0 ? expected : uint32_t(length);
  return header;
}

// Registers one side from one directory; true when it was registered now.
bool registerSide(const std::string& dir, int table, int side) {
  TableSide& s = tables[table].side[side];
  if (s.registered()) return false;
  std::string path = dir;
  if (!path.empty()) path += '/';
  path += tableInfo[table].name;
  const std::string plain = path + (side == 0 ? ".nbw" : ".nbb");
  const uint32_t expected = tableInfo[table].count[side];

  uint32_t size = 0;
  std::unique_ptr<CompressedHeader> header;
  std::string found = plain;
  if (std::FILE* f = openRegularFile(plain.c_str())) {
    checkPlainFile(f, plain, expected, &size);
  } else {
    found = plain + ".emd";
    f = openRegularFile(found.c_str());
    if (!f) {
      found = path + (side == 0 ? "nbw.emd" : "nbb.emd");
      f = openRegularFile(found.c_str());
    }
    if (!f) return false;
    header = loadCompressedFile(f, found, expected, &size);
  }

  uint8_t counts[MaterialKinds], exchanged[MaterialKinds];
  materialOfName(tableInfo[table].name, counts);
  exchangeColours(counts, exchanged);
  // Symmetric materials are the same key twice: they end as -n.
  if (!enterMaterial(counts, table) || !enterMaterial(exchanged, -table))
    fatal("*** Unable to register %s\n", found.c_str());

  s.path = found;
  s.size = size;
  s.header = std::move(header);
  s.bucket = emptyBuckets();
  return true;
}

// Registers every side found in one directory; returns the highest table number seen.
int registerDirectory(const std::string& dir) {
  int highest = 0;
  for (int table = 1; table <= TableCount; ++table)
    for (int side = 0; side < 2; ++side)
      if (registerSide(dir, table, side) && table > highest) highest = table;
  return highest;
}

void allocateScratch() {
  uint32_t longest = 0;
  for (const TableEntry& t : tables)
    for (const TableSide& s : t.side)
      if (s.header && s.header->maxCompressedLength > longest) longest = s.header->maxCompressedLength;
  bool anyCompressed = false;
  for (const TableEntry& t : tables)
    for (const TableSide& s : t.side) anyCompressed |= s.header != nullptr;
  if (!anyCompressed) return;
  scratch.reset(new (std::nothrow) uint8_t[longest > 0 ? longest : 1]);
  if (!scratch) fatal("*** Cannot allocate decode block: error code %d\n", DecodeBlockErrorCode);
}

int menForTable(int highest) { return highest > 35 ? 5 : highest > 5 ? 4 : highest > 0 ? 3 : 0; }

}  // namespace

int initTablebases(const char* list, long cacheBytes) {
  if (firstInitialisation) {
    initIndexTables();
    firstInitialisation = false;
  }
  closeTableFiles();
  releaseRegistrations();
  clearMaterialTree();

  int highest = 0;
  if (std::strlen(list) <= size_t(PathListCapacity)) {
    const char* p = list;
    for (;;) {
      const char* end = p + std::strcspn(p, ",;");
      const int found = registerDirectory(std::string(p, end));
      if (found > highest) highest = found;
      if (*end == 0) break;
      p = end + 1;
    }
  }
  allocateScratch();

  const int men = menForTable(highest);
  std::fprintf(stderr, "TbPath=<%s>\n", list);
  std::fprintf(stderr, "InitTb=%d\n", men);
  const int blocks = cacheBlocksFor(cacheBytes);
  if (!createBlockCache(blocks)) fatal("*** Cannot allocate %d bytes of memory\n", int(blocks * CacheBlockCost));
  return men;
}

void releaseTablebases() {
  closeTableFiles();
  freeBlockCache();
  releaseRegistrations();
  clearMaterialTree();
}

void closeTableFiles() {
  for (TableEntry& t : tables)
    for (TableSide& s : t.side) {
      if (s.file) std::fclose(s.file);
      s.file = nullptr;
    }
}

void unregisterSide(int table, int side) {
  dropSideBlocks(table, side);
  forgetSide(tables[table].side[side]);
}

uint8_t* compressedScratch() { return scratch.get(); }

}  // namespace orv::tb

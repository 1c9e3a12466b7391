// Table files of the generator: which smaller tables a table needs, whether
// a table's files are complete, and generating tables in dependency order.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tablebase/block_cache.h"
#include "tablebase/codec.h"
#include "tablebase/material_key.h"
#include "tablebase/registry.h"
#include "tablebase/regular_file.h"
#include "tablebase/retro_generator.h"
#include "tablebase/table_info.h"

namespace orv::tb {

namespace {

// Cache for the probes into smaller tables while generating.
constexpr long GenerationCacheBytes = MaxCacheBytes;

std::string sidePath(int table, const std::string& dir, int side, bool compressed) {
  std::string path = dir.empty() ? std::string() : dir + "/";
  path += tableInfo[table].name;
  path += side == 0 ? ".nbw" : ".nbb";
  if (compressed) path += ".emd";
  return path;
}

bool plainComplete(const std::string& path, uint32_t count) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && uint64_t(st.st_size) == count;
}

bool compressedComplete(const std::string& path, uint32_t count) {
  std::FILE* f = openRegularFile(path.c_str());
  if (!f) return false;
  CompressedHeader header;
  const bool ok = loadCompressedHeader(f, &header) == HeaderOk && header.uncompressedSize() == count;
  std::fclose(f);
  return ok;
}

// Writes through a temporary name so that a file under the table's own name is always complete.
bool writeSide(const std::string& path, const std::vector<int8_t>& values, bool compress) {
  const std::string temporary = path + ".part";
  const uint8_t* data = reinterpret_cast<const uint8_t*>(values.data());
  bool ok;
  if (compress) {
    ok = writeCompressedFile(temporary.c_str(), data, values.size());
  } else {
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    ok = f && std::fwrite(data, 1, values.size(), f) == values.size();
    if (f && std::fclose(f) != 0) ok = false;
  }
  if (ok) ok = std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

// Creates dir (one level) when it does not exist yet.
void makeDirectory(const std::string& dir) {
  if (!dir.empty()) ::mkdir(dir.c_str(), 0755);
}

int menOf(int table) { return int(std::strlen(tableInfo[table].name)); }

void addTable(std::vector<int>& out, const MaterialKey& key) {
  int men = 0;
  for (uint8_t c : key.count) men += c;
  if (men == 0) return;  // bare kings: a draw, no table
  const int n = std::abs(tableNumber(key));
  for (int t : out)
    if (t == n) return;
  if (n != 0) out.push_back(n);
}

}  // namespace

int tableOfName(const char* name) {
  for (int t = 1; t <= TableCount; ++t)
    if (std::strcmp(tableInfo[t].name, name) == 0) return t;
  return 0;
}

bool tableFilesComplete(int table, const std::string& dir) {
  for (int side = 0; side < 2; ++side) {
    const uint32_t count = tableInfo[table].count[side];
    if (!plainComplete(sidePath(table, dir, side, false), count) &&
        !compressedComplete(sidePath(table, dir, side, true), count))
      return false;
  }
  return true;
}

std::vector<int> successorTables(int table) {
  MaterialKey key;
  std::vector<int> out;
  if (!materialKeyOfName(tableInfo[table].name, key)) return out;
  for (int mover = 0; mover < 2; ++mover) {
    const int own = mover * KeyBlack, other = (mover ^ 1) * KeyBlack;
    // A capture, with or without a promotion of one of the mover's pawns.
    for (int victim = KeyPawns; victim <= KeyQueens; ++victim) {
      if (key.count[other + victim] == 0) continue;
      MaterialKey next = key;
      --next.count[other + victim];
      addTable(out, next);
      if (next.count[own + KeyPawns] == 0) continue;
      --next.count[own + KeyPawns];
      for (int promoted = KeyKnights; promoted <= KeyQueens; ++promoted) {
        MaterialKey p = next;
        ++p.count[own + promoted];
        addTable(out, p);
      }
    }
    // A promotion without a capture.
    if (key.count[own + KeyPawns] == 0) continue;
    for (int promoted = KeyKnights; promoted <= KeyQueens; ++promoted) {
      MaterialKey p = key;
      --p.count[own + KeyPawns];
      ++p.count[own + promoted];
      addTable(out, p);
    }
  }
  return out;
}

int generateTableFiles(int table, const std::string& dir, const GenerationOptions& options) {
  if (table < 1 || table > TableCount) return GenerationBadTable;
  makeDirectory(dir);
  for (int next : successorTables(table)) {
    if (tableFilesComplete(next, dir)) continue;
    const int status = generateTableFiles(next, dir, options);
    if (status != GenerationOk) return status;
  }
  // Leftovers of this table would be refused by the registry as corrupted.
  for (int side = 0; side < 2; ++side) {
    std::remove(sidePath(table, dir, side, false).c_str());
    std::remove(sidePath(table, dir, side, true).c_str());
  }
  initTablebases(dir.c_str(), GenerationCacheBytes);
  tablebasesInitialised = 1;
  std::vector<int8_t> values[2];
  const int status = computeTable(table, options, values);
  releaseTablebases();
  if (status != GenerationOk) return status;
  for (int side = 0; side < 2; ++side)
    if (!writeSide(sidePath(table, dir, side, options.compress), values[side], options.compress)) {
      std::fprintf(stderr, "tbgen: cannot write %s\n", sidePath(table, dir, side, options.compress).c_str());
      return GenerationWriteFailed;
    }
  if (options.progress) std::fprintf(stderr, "tbgen %s: done\n", tableInfo[table].name);
  return GenerationOk;
}

int generateAllTables(int men, const std::string& dir, const GenerationOptions& options) {
  makeDirectory(dir);
  for (int table = 1; table <= TableCount; ++table) {
    if (menOf(table) > men || tableFilesComplete(table, dir)) continue;
    const int status = generateTableFiles(table, dir, options);
    if (status != GenerationOk) return status;
  }
  return GenerationOk;
}

}  // namespace orv::tb

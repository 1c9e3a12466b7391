// Generating endgame tables by retrograde analysis, and their files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orv::tb {

enum GenerationStatus : int {
  GenerationOk = 0,
  GenerationMissingTable = 1,  // a smaller table a capture or promotion leads into is not registered
  GenerationWriteFailed = 2,
  GenerationBadTable = 3,
};

struct GenerationOptions {
  bool progress = false;  // a line per pass on standard error
  bool compress = false;  // files as .nbw.emd / .nbb.emd
};

// The stored bytes of both sides of `table` (1..110), White to move first.
// The smaller tables its captures and promotions lead into must be
// registered through initTablebases beforehand; they are read by the probe.
int computeTable(int table, const GenerationOptions& options, std::vector<int8_t> values[2]);

// Whether both sides of `table` lie in `dir`, plain or compressed, at their full size.
bool tableFilesComplete(int table, const std::string& dir);
// Tables that one capture, promotion or both lead into from `table`.
std::vector<int> successorTables(int table);

// Generates `table` into `dir`, first generating (into the same directory)
// every smaller table it needs that is not complete there. Complete tables
// are left as they are.
int generateTableFiles(int table, const std::string& dir, const GenerationOptions& options);
// Every table of at most `men` men (kings included), smaller ones first.
int generateAllTables(int men, const std::string& dir, const GenerationOptions& options);

// Table number of a name such as "kqkr", 0 when the registry has none.
int tableOfName(const char* name);

}  // namespace orv::tb

// Opening table files: only regular files are ever opened for reading, so a
// directory, a FIFO or a device that carries a table's name is never used and
// never blocks the engine.
#pragma once
#include <cstdio>

namespace orv::tb {

// The regular file at `path` opened for binary reading, or nullptr.
std::FILE* openRegularFile(const char* path);

}  // namespace orv::tb

// The configuration file reader.
#include <cstdio>

#include "fuzz/fuzz_input.h"
#include "shell/configuration.h"
#include "shell/settings.h"

using namespace orv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = fuzz::memoryFile(data, size);
  if (!file) return 0;
  settings.tablebasePaths[0] = 0;
  readConfigurationFrom(file);
  std::fclose(file);
  return 0;
}

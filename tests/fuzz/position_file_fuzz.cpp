// The position file reader, then a few moves from what it set up.
#include <cstdio>

#include "board/game.h"
#include "fuzz/fuzz_input.h"
#include "shell/configuration.h"

using namespace orv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = fuzz::memoryFile(data, size);
  if (!file) return 0;
  newGame();
  if (readPositionFile(fuzz::pathOf(file).c_str()) == 0) fuzz::playSomeMoves(4);
  std::fclose(file);
  return 0;
}

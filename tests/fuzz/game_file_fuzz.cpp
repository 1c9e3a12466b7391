// The game file reader (PARTIE, -f), then a few moves from where the file left the game.
#include <cstdio>

#include "board/game.h"
#include "fuzz/fuzz_input.h"
#include "notation/game_file.h"

using namespace orv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = fuzz::memoryFile(data, size);
  if (!file) return 0;
  newGame();
  loadGameFile(fuzz::pathOf(file).c_str());
  fuzz::playSomeMoves(4);
  std::fclose(file);
  return 0;
}

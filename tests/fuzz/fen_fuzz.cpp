// FEN text: reading, writing it back and reading that again, then a few moves.
#include <cstdlib>
#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "fuzz/fuzz_input.h"
#include "notation/movetext.h"

using namespace orv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::asText(data, size);
  newGame();
  const int code = parseFen(text.c_str());
  if (code < 0) return 0;
  // The engine's own text of an accepted position must read back as the same position.
  char written[FenTextSize];
  writeFen(written);
  if (std::strlen(written) >= sizeof game.positionText) std::abort();
  if (parseFen(written) < 0) std::abort();
  char again[FenTextSize];
  writeFen(again);
  if (std::strcmp(written, again) != 0) std::abort();
  fuzz::playSomeMoves(4);
  return 0;
}

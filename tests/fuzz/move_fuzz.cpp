// Coordinate move text for a position: the first line is a FEN (the start
// position when it is refused), the rest the move text.
#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "fuzz/fuzz_input.h"
#include "notation/movetext.h"

using namespace orv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text = fuzz::asText(data, size);
  const size_t newline = text.find('\n');
  std::string moveText = newline == std::string::npos ? text : text.substr(newline + 1);
  newGame();
  if (newline != std::string::npos && parseFen(text.substr(0, newline).c_str()) < 0) newGame();

  const Move m = parseCoordinateMove(moveText.data(), game.side);
  char out[CoordinateTextSize];
  coordinateText(m, out);
  char algebraic[32] = {};
  algebraicText(m, game.legal, game.board, algebraic, sizeof algebraic);
  makeGameMove(m);
  fuzz::playSomeMoves(2);
  return 0;
}

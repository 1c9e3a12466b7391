// The PGN reader of the book builder, and every game it reads played out as
// the builder does: the FEN tag set up, each move matched against the legal
// moves and made, up to the first that is not legal.
#include <string>

#include "board/board.h"
#include "board/game.h"
#include "fuzz/fuzz_input.h"
#include "pgn_reader.h"

using namespace orv;

namespace {

void playGame(const PgnGame& g) {
  if (!g.error.empty()) return;
  newGame();
  if (!g.fen.empty() && parseFen(g.fen.c_str()) != 0) return;
  for (const PgnMove& move : g.moves) {
    const Move m = matchAlgebraicMove(move.text);
    if (m == 0) return;
    const int r = makeGameMove(m);
    if (r < 0 || r == MoveNeedsPromotion) return;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  readPgnGames(fuzz::asText(data, size), playGame);
  return 0;
}

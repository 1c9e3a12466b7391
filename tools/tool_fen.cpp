// orvalis-tool fen '<FEN>': parses the text on the Game and writes it back.
#include <cstdio>

#include "board/board.h"
#include "board/game.h"
#include "tool.h"

namespace {

int run(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: orvalis-tool fen '<FEN>'\n");
    return 2;
  }
  const int code = orv::parseFen(argv[1]);
  std::printf("code %d\n", code);
  if (code >= 0) {
    char text[orv::FenTextSize];
    orv::writeFen(text);
    std::printf("%s\n", text);
  }
  return 0;
}

orv::ToolCommand reg("fen", run);

}  // namespace

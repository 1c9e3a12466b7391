// The Polyglot key of a position, from the engine's Board.
#include "book/polyglot_key.h"

#include "board/en_passant.h"
#include "board/game.h"

namespace orv {

namespace {

// The format's order of the kinds, pawn first and king last, by the engine's kind.
constexpr int polyglotKindOrder[7] = {5, 4, 3, 2, 1, 0, 0};  // King, Queen, Rook, Bishop, Knight, pawns

}  // namespace

int polyglotManIndex(int kind, int colour, int square) {
  const int ordered = 2 * polyglotKindOrder[kind] + (colour == White ? 1 : 0);
  return 64 * ordered + square;
}

uint64_t polyglotKey(const Board& b, int side, int enPassantFile) {
  uint64_t key = 0;
  for (int sq = 0; sq < 64; ++sq) {
    const int slot = b.map[sq];
    if (slot == EmptySquare) continue;
    const int kind = b.kind[slot];
    if (kind < King || kind > BlackPawn) continue;
    key ^= polyglotRandom(polyglotManIndex(kind, colourOfSlot(slot), sq));
  }
  constexpr int order[4] = {castleIndex(White, 0), castleIndex(White, 1), castleIndex(Black, 0), castleIndex(Black, 1)};
  for (int i = 0; i < 4; ++i)
    if (b.castle[order[i]] == 0) key ^= polyglotRandom(PolyglotCastleOffset + i);
  if (enPassantFile >= 0 && enPassantFile < 8) key ^= polyglotRandom(PolyglotEnPassantOffset + enPassantFile);
  if (side == White) key ^= polyglotRandom(PolyglotTurnOffset);
  return key;
}

int polyglotEnPassantFile(const Board& b, int side, Move last) {
  const int capturers = side == White ? enPassantCapturers<White>(b, last) : enPassantCapturers<Black>(b, last);
  return capturers != 0 ? fileOf(moveTo(last)) : -1;
}

uint64_t polyglotGameKey() {
  return polyglotKey(game.board, game.side, polyglotEnPassantFile(game.board, game.side, game.lastMove));
}

}  // namespace orv

// The Polyglot key: the format's published test positions, reached by moves
// from the start, give exactly the published keys.
#include <gtest/gtest.h>

#include <cstdint>

#include "board/board.h"
#include "board/game.h"
#include "book/polyglot_key.h"
#include "book/polyglot_writer.h"

namespace orv {
namespace {

struct PublishedKey {
  const char* moves;
  uint64_t key;
};

// Castling lost by king moves, en passant counted only beside a capturing
// pawn (f7f5 beside e5, c2c4 beside b4) and not after e2e4 or d7d5 alone.
constexpr PublishedKey publishedKeys[] = {
    {"", 0x463b96181691fc9cULL},
    {"e2e4", 0x823c9b50fd114196ULL},
    {"e2e4 d7d5", 0x0756b94461c50fb0ULL},
    {"e2e4 d7d5 e4e5", 0x662fafb965db29d4ULL},
    {"e2e4 d7d5 e4e5 f7f5", 0x22a48b5a8e47ff78ULL},
    {"e2e4 d7d5 e4e5 f7f5 e1e2", 0x652a607ca3f242c1ULL},
    {"e2e4 d7d5 e4e5 f7f5 e1e2 e8f7", 0x00fdd303c946bdd9ULL},
    {"a2a4 b7b5 h2h4 b5b4 c2c4", 0x3c8123ea7b067637ULL},
    {"a2a4 b7b5 h2h4 b5b4 c2c4 b4c3 a1a3", 0x5c3f9b829b279560ULL},
};

TEST(PolyglotKey, PublishedPositionsAfterTheirMoves) {
  for (const PublishedKey& p : publishedKeys) {
    newGame();
    ASSERT_TRUE(test::playMoves(p.moves)) << p.moves;
    EXPECT_EQ(polyglotGameKey(), p.key) << "after '" << p.moves << "'";
  }
  newGame();
}

TEST(PolyglotKey, PublishedPositionsFromTheirFen) {
  // Set up from FEN the engine keeps no en-passant square, so only the
  // positions without a counted en-passant file are compared this way.
  ASSERT_EQ(parseFen("rnbqkbnr/ppp1pppp/8/3pP3/8/8/PPPP1PPP/RNBQKBNR b KQkq - 0 2"), 0);
  EXPECT_EQ(polyglotGameKey(), 0x662fafb965db29d4ULL);
  ASSERT_EQ(parseFen("rnbqkbnr/p1pppppp/8/8/P6P/R1p5/1P1PPPP1/1NBQKBNR b Kkq - 0 4"), 0);
  EXPECT_EQ(polyglotGameKey(), 0x5c3f9b829b279560ULL);
  // The en-passant file is passed in by the caller that knows it.
  ASSERT_EQ(parseFen("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3"), 0);
  EXPECT_EQ(polyglotKey(game.board, game.side, 5), 0x22a48b5a8e47ff78ULL);
  newGame();
}

TEST(PolyglotKey, CastlingRightLostByARookMove) {
  newGame();
  const uint64_t start = polyglotGameKey();
  // A rook leaving and coming back loses the right: the key differs by that right alone.
  ASSERT_TRUE(test::playMoves("h2h4 a7a5 h1h3 a5a4 h3h1 a4a3"));
  newGame();
  ASSERT_TRUE(test::playMoves("h2h4 a7a5 g1f3 a5a4 f3g1 a4a3"));
  const uint64_t knightsOnly = polyglotGameKey();
  newGame();
  ASSERT_TRUE(test::playMoves("h2h4 a7a5 h1h3 a5a4 h3h1 a4a3"));
  EXPECT_EQ(polyglotGameKey() ^ knightsOnly, polyglotRandom(PolyglotCastleOffset + 0));
  EXPECT_NE(knightsOnly, start);
  newGame();
}

}  // namespace
}  // namespace orv

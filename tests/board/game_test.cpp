#include "board/game.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "board/board.h"

namespace orv {
namespace {

int sq(const char* name) { return makeSquare(name[0] - 'a', name[1] - '1'); }

// "e2e4", "e7e8q" (promotion letter q r b n) -> Move as a user would give it.
Move mv(const char* text) {
  int kind = Ordinary;
  switch (text[4]) {
    case 'q': kind = PromoteQueen; break;
    case 'r': kind = PromoteRook; break;
    case 'b': kind = PromoteBishop; break;
    case 'n': kind = PromoteKnight; break;
    default: break;
  }
  return makeMove(sq(text), sq(text + 2), kind);
}

std::vector<int> play(std::initializer_list<const char*> moves) {
  std::vector<int> codes;
  for (const char* m : moves) codes.push_back(makeGameMove(mv(m)));
  return codes;
}

bool sameBoard(const Board& a, const Board& b) { return std::memcmp(&a, &b, sizeof(Board)) == 0; }

// Everything a take-back restores: all words but the half-move clock and the last move.
void expectSamePosition(const Board& a, const Board& b) {
  Board x = a, y = b;
  x.halfMove = y.halfMove = 0;
  x.lastMove = y.lastMove = 0;
  for (int w = 0; w < 186; ++w)
    EXPECT_EQ(reinterpret_cast<const int32_t*>(&x)[w], reinterpret_cast<const int32_t*>(&y)[w]) << "word " << w;
}

TEST(NewGame, StartsAtTheInitialPositionWithAnEmptyHistory) {
  parseFen("4k3/8/8/8/8/8/8/4K3 b - -");
  newGame();
  EXPECT_EQ(game.ply, -1);
  EXPECT_EQ(game.lastRecord, -1);
  EXPECT_EQ(game.side, White);
  EXPECT_EQ(game.result, GameRunning);
  EXPECT_EQ(game.history.size(), size_t(InitialHistoryRecords));
  EXPECT_STREQ(game.positionText, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/ w KQkq -");
  int moves = 0;
  while (game.legal[moves]) ++moves;
  EXPECT_EQ(moves, 20);
}

TEST(MakeGameMove, RefusesUnknownMovesAndMissingPromotionPiecesWithoutChange) {
  ASSERT_EQ(parseFen("7k/4P3/8/8/8/8/8/4K3 w - -"), 0);
  const Board before = game.board;
  EXPECT_EQ(makeGameMove(mv("e7e6")), MoveIllegal);
  EXPECT_EQ(makeGameMove(mv("e1e3")), MoveIllegal);
  EXPECT_EQ(makeGameMove(mv("e7e8")), MoveNeedsPromotion);
  EXPECT_EQ(game.ply, -1);
  EXPECT_TRUE(sameBoard(before, game.board));
  EXPECT_EQ(makeGameMove(mv("e7e8q")), MovePlayed);
  EXPECT_EQ(game.board.kind[game.board.map[sq("e8")]], Queen);
  EXPECT_EQ(game.side, Black);
}

TEST(MakeGameMove, CheckmateAndStalemateSetTheResultFlag) {
  newGame();
  EXPECT_EQ(play({"f2f3", "e7e5", "g2g4", "d8h4"}), (std::vector<int>{0, 0, 0, MoveCheckmate}));
  EXPECT_EQ(game.result, GameCheckmate);
  EXPECT_TRUE(gameOver());
  EXPECT_EQ(game.legal[0], 0u);
  EXPECT_EQ(makeGameMove(mv("a2a3")), MoveIllegal);

  ASSERT_EQ(parseFen("7k/8/8/5Q2/8/8/8/K7 w - -"), 0);
  EXPECT_EQ(makeGameMove(mv("f5g6")), MoveStalemate);
  EXPECT_EQ(game.result, GameStalemate);
}

TEST(MakeGameMove, ThreefoldRepetitionCountsTheSetUpPosition) {
  newGame();
  const auto codes = play({"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8"});
  EXPECT_EQ(codes, (std::vector<int>{0, 0, 0, 0, 0, 0, 0, MoveRepetition}));
  EXPECT_EQ(repetitionCount(game.side, game.board), 2);

  // A position seen twice is no repetition yet, also right after a set-up.
  ASSERT_EQ(parseFen("4k3/8/8/8/8/8/8/1R2K3 w - -"), 0);
  EXPECT_EQ(play({"b1b2", "e8d8", "b2b1", "d8e8", "b1b2", "e8d8"}), (std::vector<int>{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(play({"b2b1", "d8e8"}), (std::vector<int>{0, MoveRepetition}));
}

TEST(MakeGameMove, TheIrreversibleRecordItselfIsStillCompared) {
  newGame();
  // The position after e2e3 comes back twice through knight tours; its first
  // occurrence is the record of the pawn move, where the walk stops.
  const auto codes = play({"e2e3", "g8f6", "g1f3", "f6g8", "f3g1", "g8f6", "g1f3", "f6g8"});
  EXPECT_EQ(codes, (std::vector<int>(8, MovePlayed)));
  EXPECT_EQ(makeGameMove(mv("f3g1")), MoveRepetition);
}

TEST(MakeGameMove, FiftyMoveRuleAtExactlyOneHundred) {
  ASSERT_EQ(parseFen("4k3/8/8/8/8/8/8/R3K3 w - -"), 0);
  game.board.halfMove = 98;
  EXPECT_EQ(makeGameMove(mv("a1a2")), MovePlayed);
  EXPECT_EQ(game.board.halfMove, 99);
  EXPECT_EQ(makeGameMove(mv("e8d8")), MoveFiftyMoves);
  EXPECT_EQ(game.board.halfMove, 100);
  EXPECT_EQ(makeGameMove(mv("a2a3")), MovePlayed);
  EXPECT_EQ(game.board.halfMove, 101);
}

TEST(MakeGameMove, HalfMoveClockResetsOnPawnMovesAndCaptures) {
  ASSERT_EQ(parseFen("4k3/8/8/3p4/8/8/4P3/R3K3 w - -"), 0);
  game.board.halfMove = 30;
  play({"a1a2"});
  EXPECT_EQ(game.board.halfMove, 31);
  play({"d5d4"});
  EXPECT_EQ(game.board.halfMove, 0);
  play({"a2d2", "e8e7", "d2d4"});
  EXPECT_EQ(game.board.halfMove, 0);
}

TEST(MakeGameMove, InsufficientMaterialAfterTheCapture) {
  ASSERT_EQ(parseFen("4k3/8/8/4b3/8/8/1n6/B3K3 w - -"), 0);
  EXPECT_EQ(makeGameMove(mv("a1b2")), MoveInsufficientMaterial);
  EXPECT_EQ(game.result, GameRunning);
  ASSERT_EQ(parseFen("4k3/8/8/3b4/8/8/1n6/B3K3 w - -"), 0);
  EXPECT_EQ(makeGameMove(mv("a1b2")), MovePlayed);  // bishops on opposite colours
  ASSERT_EQ(parseFen("4k3/8/8/8/8/8/1n6/B3K3 w - -"), 0);
  EXPECT_EQ(makeGameMove(mv("a1b2")), MoveInsufficientMaterial);  // K+B against K
}

TEST(InsufficientMaterial, Rows) {
  auto check = [](const char* fen) {
    EXPECT_GE(parseFen(fen), 0) << fen;
    return insufficientMaterial(game.board);
  };
  EXPECT_TRUE(check("4k3/8/8/8/8/8/8/4K3 w - -"));
  EXPECT_TRUE(check("4k3/8/8/8/8/8/8/4KN2 w - -"));
  EXPECT_TRUE(check("4kb2/8/8/8/8/8/8/4K3 w - -"));
  EXPECT_FALSE(check("4k3/8/8/8/8/8/8/4KR2 w - -"));
  EXPECT_FALSE(check("4k3/8/8/8/8/8/4P3/4K3 w - -"));
  EXPECT_FALSE(check("4k3/8/8/8/8/8/8/3NKN2 w - -"));
  EXPECT_FALSE(check("4kn2/8/8/8/8/8/8/4KN2 w - -"));
  EXPECT_TRUE(check("4k1b1/8/8/8/8/8/8/4KB2 w - -"));  // f1 and g8 both light
  EXPECT_FALSE(check("4kb2/8/8/8/8/8/8/4KB2 w - -"));  // f1 light, f8 dark
}

TEST(MakeGameMove, PlainKingMoveOfTwoSquaresCastlesAndUndoRestores) {
  ASSERT_EQ(parseFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -"), 0);
  const Board before = game.board;
  const std::string fenBefore = game.positionText;
  EXPECT_EQ(makeGameMove(mv("e1g1")), MovePlayed);
  EXPECT_EQ(game.history[0].move, WhiteCastleKing);
  EXPECT_EQ(game.board.map[sq("f1")], int(KingRookSlot));
  EXPECT_EQ(game.board.map[sq("h1")], EmptySquare);
  EXPECT_EQ(game.board.castle[castleIndex(White, 0)], 1);
  EXPECT_EQ(game.board.castle[castleIndex(White, 1)], -1);
  EXPECT_TRUE(game.history[0].flags & RecordIrreversible);

  EXPECT_EQ(makeGameMove(mv("e8c8")), MovePlayed);
  EXPECT_EQ(game.board.map[sq("d8")], slotBase(Black) + QueenRookSlot);
  EXPECT_EQ(game.board.castle[castleIndex(Black, 1)], 1);

  EXPECT_EQ(goToPly(0), 0);
  EXPECT_TRUE(sameBoard(before, game.board));
  EXPECT_EQ(game.side, White);
  EXPECT_EQ(fenBefore, game.positionText);
}

TEST(MakeGameMove, EnPassantTargetAndUndoOfTheCapture) {
  ASSERT_EQ(parseFen("4k3/3p4/8/4P3/8/8/8/4K3 b - -"), 0);
  const Board start = game.board;
  EXPECT_EQ(makeGameMove(mv("d7d5")), MovePlayed);
  EXPECT_EQ(game.epTarget, sq("d6"));
  EXPECT_STREQ(game.positionText, "4k3/8/8/3pP3/8/8/8/4K3/ w - d6");
  const Board afterPush = game.board;

  EXPECT_EQ(makeGameMove(mv("e5d6")), MovePlayed);
  EXPECT_EQ(game.history[1].move & 0xFFFF, (makeMove(sq("e5"), sq("d6"), EnPassant) | CaptureMark));
  EXPECT_EQ(game.history[1].flags & 0x3F, afterPush.map[sq("d5")]);
  EXPECT_EQ(game.board.map[sq("d5")], EmptySquare);
  EXPECT_EQ(game.board.pawns[Black], 0);
  EXPECT_EQ(game.epTarget, 0);

  EXPECT_EQ(goToPly(-1), 0);
  expectSamePosition(afterPush, game.board);
  EXPECT_EQ(game.epTarget, 0);  // not stale after going back
  EXPECT_STREQ(game.positionText, "4k3/8/8/3pP3/8/8/8/4K3/ w - -");
  for (const Move* p = game.legal; *p; ++p) EXPECT_NE(moveKind(*p), EnPassant);

  EXPECT_EQ(goToPly(-1), 0);
  EXPECT_TRUE(sameBoard(start, game.board));
  EXPECT_EQ(goToPly(-1), 1);  // nothing left to take back
}

TEST(MakeGameMove, DoublePushWithoutAnEnemyPawnBesideLeavesNoTarget) {
  newGame();
  play({"e2e4"});
  EXPECT_EQ(game.epTarget, 0);
  play({"d7d5", "e4e5", "f7f5"});
  EXPECT_EQ(game.epTarget, sq("f6"));
  play({"a2a3"});
  EXPECT_EQ(game.epTarget, 0);
}

TEST(GoToPly, UndoOfAPromotionCaptureRestoresEveryWord) {
  ASSERT_EQ(parseFen("1r2k3/P7/8/8/8/8/7p/4K3 w - -"), 0);
  const Board before = game.board;
  EXPECT_EQ(makeGameMove(mv("a7b8n")), MovePlayed);
  EXPECT_EQ(game.board.kind[game.board.map[sq("b8")]], Knight);
  EXPECT_EQ(goToPly(-1), 0);
  EXPECT_TRUE(sameBoard(before, game.board));
  EXPECT_EQ(goToPly(-2), 0);
  EXPECT_EQ(game.board.kind[game.board.map[sq("b8")]], Knight);
  EXPECT_EQ(game.board.pieces[White], 1);
  EXPECT_EQ(game.board.pieces[Black], 0);
}

TEST(GoToPly, BackAndForwardThroughTheHistory) {
  newGame();
  play({"e2e4", "e7e5", "g1f3", "b8c6", "f1c4"});
  const Board end = game.board;
  const std::string endFen = game.positionText;
  const int endSide = game.side;

  EXPECT_EQ(goToPly(2), 0);  // the position before the third move
  EXPECT_EQ(game.ply, 1);
  EXPECT_EQ(game.lastRecord, 4);
  EXPECT_EQ(game.side, White);
  EXPECT_STREQ(game.positionText, "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR/ w KQkq -");

  EXPECT_EQ(goToPly(-2), 0);
  EXPECT_EQ(game.ply, 2);
  EXPECT_EQ(game.side, Black);
  EXPECT_EQ(goToPly(-3), 0);
  EXPECT_EQ(game.ply, 4);
  EXPECT_EQ(game.side, endSide);
  expectSamePosition(end, game.board);
  EXPECT_EQ(endFen, game.positionText);

  EXPECT_EQ(goToPly(-2), 1);  // nothing to replay
  EXPECT_EQ(goToPly(-3), 1);
  EXPECT_EQ(goToPly(6), 1);  // beyond the recorded history
  EXPECT_EQ(goToPly(5), 1);  // already there
  EXPECT_EQ(goToPly(0), 0);
  EXPECT_EQ(game.ply, -1);
  EXPECT_EQ(goToPly(-1), 1);

  EXPECT_EQ(goToPly(3), 0);
  discardTakenBackMoves();
  EXPECT_EQ(game.lastRecord, 2);
  EXPECT_EQ(goToPly(-2), 1);
  EXPECT_EQ(goToPly(0), 0);

  // A new move after going back discards the moves taken back.
  EXPECT_EQ(makeGameMove(mv("d2d4")), MovePlayed);
  EXPECT_EQ(game.ply, 0);
  EXPECT_EQ(game.lastRecord, 0);
  EXPECT_EQ(goToPly(-2), 1);
}

TEST(GoToPly, ResetsClockResultAndBookAttempts) {
  newGame();
  play({"f2f3", "e7e5", "g2g4", "d8h4"});
  ASSERT_EQ(game.result, GameCheckmate);
  game.bookAttempts = 2;
  EXPECT_EQ(goToPly(-1), 0);
  EXPECT_EQ(game.result, GameRunning);
  EXPECT_EQ(game.board.halfMove, 0);
  EXPECT_EQ(game.lastMove, 0u);
  EXPECT_EQ(game.bookAttempts, 10);
  EXPECT_EQ(goToPly(-2), 0);
  EXPECT_EQ(game.result, GameCheckmate);  // replayed into the mate again
}

// A random legal move, favouring castling and en passant, which random play seldom meets.
Move pickMove(int count, std::mt19937& random) {
  for (int i = 0; i < count; ++i) {
    const int kind = moveKind(game.legal[i]);
    if (kind >= CastleKingSide && kind <= EnPassant && random() % 2) return game.legal[i];
  }
  return game.legal[random() % unsigned(count)];
}

// Random games through every kind of move: taking each move back must give
// back the position before it, and replaying all of them the final position.
TEST(GoToPly, RandomGamesTakeBackAndReplayExactly) {
  std::mt19937 random(20261208);
  const char* starts[] = {"startpos", "r3k2r/1P4P1/8/2pP4/8/8/1p4p1/R3K2R w KQkq -",
                          "n3k2r/PPP3PP/8/8/8/8/ppp3pp/N3K2R b Kk -", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -",
                          "4k3/p1p1p1p1/8/1P1P1P1P/1p1p1p1p/8/P1P1P1P1/4K3 b - -"};
  for (const char* start : starts) {
    for (int round = 0; round < 4; ++round) {
      if (std::strcmp(start, "startpos") == 0) newGame();
      else ASSERT_GE(parseFen(start), 0);
      std::vector<Board> positions{game.board};
      std::vector<std::string> fens{game.positionText};
      while (game.ply < 150 && game.legal[0] != 0) {
        int count = 0;
        while (game.legal[count]) ++count;
        const int code = makeGameMove(pickMove(count, random));
        ASSERT_GE(code, 0);
        positions.push_back(game.board);
        fens.push_back(game.positionText);
        if (code == MoveInsufficientMaterial) break;
      }
      const int last = game.ply;
      const Board end = game.board;
      for (int ply = last; ply >= 0; --ply) {
        ASSERT_EQ(goToPly(-1), 0);
        expectSamePosition(positions[size_t(ply)], game.board);
        if (::testing::Test::HasFailure()) return;
      }
      ASSERT_EQ(goToPly(-3), 0);
      EXPECT_EQ(game.ply, last);
      expectSamePosition(end, game.board);
      const std::string fen = fens.back();
      EXPECT_EQ(fen.substr(0, fen.rfind(' ')), std::string(game.positionText).substr(0, fen.rfind(' ')));
    }
  }
}

TEST(GameKeys, KeyThroughMovesEqualsTheFullKeyOfTheSamePosition) {
  newGame();
  play({"e2e4", "c7c5", "g1f3", "d7d6", "f1b5", "c8d7", "e1g1", "d8b6", "b5d7", "b8d7"});
  const uint32_t low = game.board.key[0], high = game.board.key[1];
  const uint32_t pawnLow = game.board.pawnKey[0];
  const std::string fen = game.positionText;
  ASSERT_EQ(parseFen(fen.c_str()), 0);
  EXPECT_EQ(fen, game.positionText);
  EXPECT_EQ(game.board.key[0], low);
  EXPECT_EQ(game.board.key[1], high);
  EXPECT_EQ(game.board.pawnKey[0], pawnLow);
}

TEST(GameHistory, RecordsHoldKeySideCastlingAndFlags) {
  newGame();
  play({"e2e4", "e7e5", "e1e2", "g8f6"});
  const HistoryRecord& king = game.history[2];
  EXPECT_EQ(king.castling, 0x55);  // every status 0 before the king move
  EXPECT_TRUE(king.flags & RecordIrreversible);
  EXPECT_TRUE(king.flags & RecordBlackToMove);
  EXPECT_EQ(king.flags & 0x3F, EmptySquare);
  const HistoryRecord& knight = game.history[3];
  EXPECT_EQ(knight.castling, 0x55 & ~0x0F);  // White's two rights lost: statuses -1 + 1 = 0
  EXPECT_FALSE(knight.flags & RecordIrreversible);
  EXPECT_FALSE(knight.flags & RecordBlackToMove);
  EXPECT_EQ(knight.keyHigh, game.board.key[1]);
  EXPECT_EQ(knight.keyMid, uint16_t(game.board.key[0] >> 16));
}

TEST(GameHistory, AlwaysLeavesRoomForTheSearchRecords) {
  newGame();
  const char* tour[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
  for (int i = 0; i < 700; ++i) {
    ASSERT_GE(makeGameMove(mv(tour[i % 4])), 0);
    ASSERT_GE(int(game.history.size()), game.lastRecord + 1 + SearchHistoryRoom);
  }
  newGame();
  EXPECT_EQ(game.history.size(), size_t(InitialHistoryRecords));
}

}  // namespace
}  // namespace orv

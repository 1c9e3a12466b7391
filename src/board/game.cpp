// The Game: new game, playing a move at game level, start-up of the game object.
#include "board/game.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "board/board.h"
#include "board/en_passant.h"
#include "board/movegen.h"

namespace orv {

Game game;

namespace {

// The Game's compact position is the part of the Board before the derived
// words: slot squares, square map, kinds, castling statuses and values.
constexpr size_t CompactBytes = offsetof(Board, pieces);

void copyCompact(Board& to, const Board& from) { std::memcpy(&to, &from, CompactBytes); }

// Keeps room for one more game record plus the records the search writes past it.
void reserveHistoryRecord(Game& g, int index) {
  while (int(g.history.size()) < index + 1 + SearchHistoryRoom) g.history.resize(g.history.size() + HistoryGrowth);
}

// Finds the entry of the legal list that a user's or the engine's move names:
// origin and destination decide, and for promotions the promotion kind as well.
// Returns MovePlayed (entry set), MoveIllegal or MoveNeedsPromotion.
int findGameMove(const Game& g, Move given, Move& entry) {
  entry = 0;
  for (const Move* p = g.legal; *p; ++p)
    if ((*p & 0xFFF) == (given & 0xFFF)) {
      entry = *p & 0xFFFF;
      break;
    }
  if (entry == 0) return MoveIllegal;
  if (!isPromotion(entry)) return MovePlayed;
  if (!isPromotion(given)) return MoveNeedsPromotion;
  entry = 0;
  for (const Move* p = g.legal; *p; ++p)
    if ((*p & 0x7FFF) == (given & 0x7FFF)) {
      entry = *p & 0xFFFF;
      return MovePlayed;
    }
  return MoveIllegal;
}

// The FEN text's en-passant target after `m`, which left `them` to move on
// `after`: the square passed over when a pawn of `them` can take it; else 0.
int enPassantTarget(const Board& after, int them, Move m) {
  const int capturers = them == White ? enPassantCapturers<White>(after, m) : enPassantCapturers<Black>(after, m);
  return capturers != 0 ? passedSquare(m) : 0;
}

// Castling, en passant, promotions, pawn moves and captures can never be
// undone on the board; so can a move that loses one of the mover's castling rights.
bool isIrreversible(const Board& b, int us, Move m, int moverSlot, bool pawnMove, int captured) {
  if (moveKind(m) != Ordinary || pawnMove || captured != EmptySquare) return true;
  const bool kingSide = b.castle[castleIndex(us, 0)] == 0;
  const bool queenSide = b.castle[castleIndex(us, 1)] == 0;
  switch (moverSlot - slotBase(us)) {
    case KingSlot: return kingSide || queenSide;
    case KingRookSlot: return kingSide;
    case QueenRookSlot: return queenSide;
    default: return false;
  }
}

}  // namespace

void refreshBoard() { copyCompact(game.board, game.compact); }

void newGame() {
  Game& g = game;
  std::vector<HistoryRecord>(InitialHistoryRecords).swap(g.history);
  setupStartPosition(g.board);
  g.side = White;
  g.ply = g.lastRecord = -1;
  g.board.halfMove = 0;
  g.board.lastMove = 0;
  g.epTarget = 0;
  g.result = GameRunning;
  g.lastMove = 0;
  g.bookAttempts = 10;
  g.lastBookPly = -1;
  computeFullKey(White, g.board);
  g.compact = g.board;
  generate<White>(g.legal, MaxGameMoves + 1, 0, g.board);
  writeFen(g.positionText);
  std::srand(unsigned(std::time(nullptr)));
}

int makeGameMove(Move given) {
  Game& g = game;
  Move m = 0;
  const int found = findGameMove(g, given, m);
  if (found != MovePlayed) return found;

  const int us = g.side, them = opposite(us);
  Board work = g.board;
  copyCompact(work, g.compact);
  if (g.ply < 0) {
    computeFullKey(us, work);
    g.setupKey[0] = work.key[0];
    g.setupKey[1] = work.key[1];
    g.setupSide = us;
  }

  const int from = moveFrom(m), to = moveTo(m);
  const int moverSlot = work.map[from];
  const bool pawnMove = work.kind[moverSlot] == WhitePawn || work.kind[moverSlot] == BlackPawn;
  const int captured = moveKind(m) == EnPassant ? work.map[us == White ? to - 8 : to + 8] : work.map[to];
  const bool irreversible = isIrreversible(work, us, m, moverSlot, pawnMove, captured);

  HistoryRecord record{};
  record.move = uint16_t(m);
  record.castling = castlingByte(work.castle);
  work.halfMove = pawnMove || captured != EmptySquare ? 0 : work.halfMove + 1;
  work.lastMove = int32_t(m);

  // The generator completes the move on a copy; the Game changes only once it
  // is known to be legal.
  Move replies[MaxGameMoves + 1];
  const uint32_t gen = generateFor(them, replies, MaxGameMoves + 1, m, work);
  if (gen & GenIllegal) return MoveNeedsCheckEscape;
  const int epTarget = enPassantTarget(work, them, m);

  computeFullKey(them, work);
  record.keyHigh = work.key[1];
  record.keyMid = uint16_t(work.key[0] >> 16);
  record.flags = uint8_t(captured | (irreversible ? RecordIrreversible : 0) | (them == Black ? RecordBlackToMove : 0));

  reserveHistoryRecord(g, g.ply + 1);
  g.history[++g.ply] = record;
  g.lastRecord = g.ply;
  g.board = work;
  g.compact = work;
  std::memcpy(g.legal, replies, sizeof replies);
  g.side = them;
  g.lastMove = m;
  g.epTarget = epTarget;
  writeFen(g.positionText);

  if (gen == GenCheckmate) {
    g.result = GameCheckmate;
    return MoveCheckmate;
  }
  if (gen == GenStalemate) {
    g.result = GameStalemate;
    return MoveStalemate;
  }
  if (gen == GenInsufficient) return MoveInsufficientMaterial;
  if (work.halfMove < 4) return MovePlayed;
  if (repetitionCount(them, work) > 1) return MoveRepetition;
  if (work.halfMove == 100) return MoveFiftyMoves;
  return MovePlayed;
}

bool gameOver() { return game.result != GameRunning; }

namespace {

// Built before main: the history, then a new game.
struct GameStartup {
  GameStartup() {
    game.history.assign(InitialHistoryRecords, HistoryRecord{});
    newGame();
  }
} gameStartup;

}  // namespace

}  // namespace orv

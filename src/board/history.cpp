// Moving through the game history: taking moves back and replaying them.
#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "board/movegen.h"

namespace orv {

namespace {

constexpr int sign(int side) { return side == White ? 1 : -1; }

// Puts a captured man back on the board, with the counts and material words
// the generator took off when it was captured.
void restoreCaptured(Board& b, int slot, int sq) {
  const int side = colourOfSlot(slot), kind = b.kind[slot];
  b.square[slot] = sq;
  b.map[sq] = slot;
  b.material[0] += sign(side) * materialOpening[kind];
  b.material[1] += sign(side) * materialEndgame[kind];
  if (kind == WhitePawn || kind == BlackPawn) {
    ++b.pawns[side];
  } else {
    ++b.pieces[side];
    b.nonPawn[side] += b.value[slot];
  }
}

// Turns a promoted man back into a pawn, undoing the generator's count and
// material changes.
void demote(Board& b, int slot, int mover) {
  const int kind = b.kind[slot];
  b.material[0] -= sign(mover) * (materialOpening[kind] - materialOpening[WhitePawn]);
  b.material[1] -= sign(mover) * (materialEndgame[kind] - materialEndgame[WhitePawn]);
  --b.pieces[mover];
  ++b.pawns[mover];
  b.nonPawn[mover] -= kindValue[kind];
  b.kind[slot] = pawnKind(mover);
  b.value[slot] = PawnValue;
}

void moveMan(Board& b, int from, int to) {
  const int slot = b.map[from];
  b.map[from] = EmptySquare;
  b.square[slot] = to;
  b.map[to] = slot;
}

// Takes back the move of record `r`, made by `mover`. Castling statuses are
// restored by the caller from the oldest record taken back.
void takeBackRecord(Board& b, const HistoryRecord& r, int mover) {
  const Move m = r.move;
  const int from = moveFrom(m), to = moveTo(m), kind = moveKind(m);
  const int slot = b.map[to];
  moveMan(b, to, from);
  const int captured = r.flags & 0x3F;
  if (captured != EmptySquare) {
    const int sq = kind == EnPassant ? (mover == White ? to - 8 : to + 8) : to;
    restoreCaptured(b, captured, sq);
  }
  if (isPromotion(m)) demote(b, slot, mover);
  const int back = mover == White ? 0 : 56;
  if (kind == CastleKingSide) moveMan(b, back + 5, back + 7);
  if (kind == CastleQueenSide) moveMan(b, back + 3, back + 0);
}

void restoreCastling(Board& b, uint8_t byte) {
  b.castle[castleIndex(White, 0)] = (byte & 3) - 1;
  b.castle[castleIndex(White, 1)] = ((byte >> 2) & 3) - 1;
  b.castle[castleIndex(Black, 0)] = ((byte >> 4) & 3) - 1;
  b.castle[castleIndex(Black, 1)] = ((byte >> 6) & 3) - 1;
}

// Replays recorded move `m` for the side to move; a move the generator refuses
// is passed over without toggling the side.
void replayRecord(Game& g, Move m) {
  Board& b = g.board;
  const int moverKind = b.kind[b.map[moveFrom(m)]];
  const bool resetsClock = moverKind == WhitePawn || moverKind == BlackPawn || isCapture(m);
  const int clock = b.halfMove;
  b.halfMove = resetsClock ? 0 : clock + 1;
  Move scratch[MaxGameMoves + 1];
  const uint32_t gen = generateFor(opposite(g.side), scratch, MaxGameMoves + 1, m, b);
  if (gen & GenIllegal) {
    b.halfMove = clock;
    return;
  }
  g.side = opposite(g.side);
}

}  // namespace

void discardTakenBackMoves() { game.lastRecord = game.ply; }

int goToPly(int target) {
  Game& g = game;
  int newPly;
  if (target == -1) newPly = g.ply - 1;
  else if (target == -2) newPly = g.ply + 1;
  else if (target == -3) newPly = g.lastRecord;
  else if (target >= 0) newPly = target - 1;
  else return 1;
  if (newPly < -1 || newPly > g.lastRecord || newPly == g.ply) return 1;

  refreshBoard();
  Board& b = g.board;
  if (newPly < g.ply) {
    for (int i = g.ply; i > newPly; --i) {
      takeBackRecord(b, g.history[i], opposite(g.side));
      g.side = opposite(g.side);
    }
    restoreCastling(b, g.history[newPly + 1].castling);
    b.halfMove = 0;
    if (newPly <= 19) g.bookAttempts = 10;
  } else {
    for (int i = g.ply + 1; i <= newPly; ++i) replayRecord(g, g.history[i].move);
  }
  g.ply = newPly;

  // No en-passant capture is offered right after going to another ply, so the
  // position has no en-passant target either.
  b.lastMove = 0;
  g.lastMove = 0;
  g.epTarget = 0;
  computeFullKey(g.side, b);
  const uint32_t gen = generateFor(g.side, g.legal, MaxGameMoves + 1, 0, b);
  g.compact = b;
  g.result = gen == GenCheckmate ? GameCheckmate : gen == GenStalemate ? GameStalemate : GameRunning;
  writeFen(g.positionText);
  return 0;
}

}  // namespace orv

// Reading and writing positions as FEN text on the Game.
#include <cstdio>
#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "board/movegen.h"

namespace orv {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A pawn read from FEN takes its own file's slot, else the nearest free one
// at file offsets +1, -1, +2, -2, ... Returns the slot or -1 when all are taken.
int placeFenPawn(Board& b, int colour, int sq) {
  const int base = slotBase(colour) + FirstPawnSlot;
  const int file = fileOf(sq);
  for (int distance = 0; distance <= 7; ++distance)
    for (int sign = 1; sign >= -1; sign -= 2) {
      if (distance == 0 && sign < 0) continue;
      const int f = file + sign * distance;
      if (f < 0 || f > 7) continue;
      const int slot = base + f;
      if (b.square[slot] != OffBoard) continue;
      b.square[slot] = sq;
      b.map[sq] = slot;
      b.kind[slot] = pawnKind(colour);
      b.value[slot] = PawnValue;
      return slot;
    }
  return -1;
}

// Castling statuses from where the king and rooks stand.
void presetCastling(Board& b, int side) {
  const int base = slotBase(side);
  const int homeRank = side == White ? 0 : 56;
  int& kingSide = b.castle[castleIndex(side, 0)];
  int& queenSide = b.castle[castleIndex(side, 1)];
  kingSide = queenSide = -1;
  const int king = b.square[base + KingSlot];
  if (king == homeRank + 4) {
    const bool kingRookHome = b.square[base + KingRookSlot] == homeRank + 7;
    const bool queenRookHome = b.square[base + QueenRookSlot] == homeRank;
    if (kingRookHome) kingSide = 0;
    if (queenRookHome) queenSide = 0;
    if (!kingRookHome && !queenRookHome) kingSide = 1;
  } else if (fileOf(king) >= 4) {
    kingSide = 1;
  } else {
    queenSide = 1;
  }
}

// A castling letter grants a right only when the king and that wing's rook
// slot stand on their home squares; otherwise the generator would move a rook
// that is not there.
void grantCastling(Board& b, int side, int wing) {
  const int base = slotBase(side);
  const int homeRank = side == White ? 0 : 56;
  const int rookSlot = base + (wing == 0 ? KingRookSlot : QueenRookSlot);
  const int rookHome = homeRank + (wing == 0 ? 7 : 0);
  if (b.square[base + KingSlot] == homeRank + 4 && b.square[rookSlot] == rookHome)
    b.castle[castleIndex(side, wing)] = 0;
}

void countMaterial(Board& b) {
  for (int slot = 0; slot < 32; ++slot) {
    if (b.square[slot] == OffBoard) continue;
    const int kind = b.kind[slot];
    const int colour = colourOfSlot(slot);
    const int sign = colour == White ? 1 : -1;
    b.value[slot] = kindValue[kind];
    b.material[0] += sign * materialOpening[kind];  // kings count 0 on both scales
    b.material[1] += sign * materialEndgame[kind];
    if (kind == WhitePawn || kind == BlackPawn) {
      ++b.pawns[colour];
    } else if (kind != King) {
      ++b.pieces[colour];
      b.nonPawn[colour] += kindValue[kind];
    }
  }
}

}  // namespace

int parseFen(const char* text) {
  if (text == nullptr) return FenKingMissing;
  Board b;
  clearBoard(b);
  bool pawnMark[2][64] = {};

  const char* p = text;
  while (isBlank(*p)) ++p;
  int rank = 7, file = 0;
  while (*p != '\0' && !isBlank(*p) && rank >= 0) {
    const char c = *p++;
    if (c >= '0' && c <= '9') {
      file += c - '0';
    } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      const int colour = c >= 'a' ? Black : White;
      const char upper = char(c & ~0x20);
      const int sq = makeSquare(file, rank);
      if (upper == 'P') {
        pawnMark[colour][sq] = true;
      } else if (int kind = kindOfLetter(upper); kind != NoKind) {
        if (placeMan(b, colour, kind, sq) < 0) return FenNoSlot;
      }
      ++file;
    } else {
      continue;  // the rank separator and anything else has no effect
    }
    if (file > 7) {
      --rank;
      file = 0;
      if (*p != '\0') ++p;  // the character after a full rank is skipped unseen
    }
  }

  // Placement characters still standing where the side to move belongs mean a
  // ninth rank: read as the side, they would set up some other position.
  if (rank < 0 && *p != '\0' && !isBlank(*p) && !(isLetter(*p) && (p[1] == '\0' || isBlank(p[1]))))
    return FenTooManyRanks;
  if (b.square[KingSlot] == OffBoard || b.square[slotBase(Black) + KingSlot] == OffBoard) return FenKingMissing;

  // A pawn on the first or last rank would step off the board when moved or
  // evaluated, so the text is refused.
  for (int sq = 0; sq < 64; ++sq)
    if ((pawnMark[White][sq] || pawnMark[Black][sq]) && !pawnSquareAllowed(sq)) return FenPawnOnEndRank;

  for (int sq = 0; sq < 64; ++sq)
    if (pawnMark[White][sq] && placeFenPawn(b, White, sq) < 0) return FenNoSlot;
  for (int sq = 63; sq >= 0; --sq)
    if (pawnMark[Black][sq] && placeFenPawn(b, Black, sq) < 0) return FenNoSlot;

  while (isBlank(*p)) ++p;
  const int side = (*p == 'w' || *p == 'W') ? White : Black;
  if (*p != '\0') ++p;
  while (isBlank(*p)) ++p;

  presetCastling(b, White);
  presetCastling(b, Black);
  if (*p == 'K') grantCastling(b, White, 0), ++p;
  if (*p == 'Q') grantCastling(b, White, 1), ++p;
  if (*p == 'k') grantCastling(b, Black, 0), ++p;
  if (*p == 'q') grantCastling(b, Black, 1), ++p;

  countMaterial(b);
  computeFullKey(side, b);

  // The new position is complete: only now does it replace the Game's.
  if (game.history.size() < size_t(1 + SearchHistoryRoom)) game.history.resize(600);
  game.lastRecord = -1;
  game.ply = -1;
  game.side = side;
  game.epTarget = 0;
  game.lastMove = 0;
  game.result = GameRunning;
  game.bookAttempts = 10;
  game.lastBookPly = -1;
  game.compact = b;
  game.board = b;
  writeFen(game.positionText);

  game.legal[0] = 0;
  const uint32_t outcome = generateFor(side, game.legal, MaxGameMoves + 1, 0, game.board);
  if (outcome & (GenCheckmate | GenStalemate | GenIllegal)) game.result = GameSetupFinal;
  return (outcome & GenIllegal) ? FenNotToMoveInCheck : FenAccepted;
}

void writeFen(char* out) {
  const Board& b = game.board;
  char* w = out;
  for (int rank = 7; rank >= 0; --rank) {
    int empty = 0;
    for (int file = 0; file < 8; ++file) {
      const int slot = b.map[makeSquare(file, rank)];
      if (slot == EmptySquare) {
        ++empty;
        continue;
      }
      if (empty) *w++ = char('0' + empty);
      empty = 0;
      const int kind = b.kind[slot];
      const char letter = kind >= King && kind < NoKind ? KindLetters[kind] : 'X';
      *w++ = slot < 16 ? letter : char(letter | 0x20);
    }
    if (empty) *w++ = char('0' + empty);
    *w++ = '/';
  }
  *w++ = ' ';
  *w++ = game.side == White ? 'w' : 'b';
  *w++ = ' ';
  const char* before = w;
  if (b.castle[castleIndex(White, 0)] == 0) *w++ = 'K';
  if (b.castle[castleIndex(White, 1)] == 0) *w++ = 'Q';
  if (b.castle[castleIndex(Black, 0)] == 0) *w++ = 'k';
  if (b.castle[castleIndex(Black, 1)] == 0) *w++ = 'q';
  if (w == before) *w++ = '-';
  *w++ = ' ';
  const int ep = game.epTarget;
  if (ep > 0 && ep < 64) {
    *w++ = char('a' + fileOf(ep));
    *w++ = char('1' + rankOf(ep));
  } else {
    *w++ = '-';
  }
  *w = '\0';
}

int kindOfLetter(char upper) {
  switch (upper) {
    case 'K': return King;
    case 'Q': return Queen;
    case 'R': return Rook;
    case 'B': return Bishop;
    case 'N': return Knight;
    default: return NoKind;
  }
}

}  // namespace orv

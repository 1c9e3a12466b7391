// Basic types of the engine: squares, sides, kinds, moves and the Board.
#pragma once
#include <cstdint>

namespace orv {

// Squares 0..63, a1 = 0, h1 = 7, a2 = 8, h8 = 63.
constexpr int fileOf(int sq) { return sq & 7; }
constexpr int rankOf(int sq) { return sq >> 3; }
constexpr int makeSquare(int file, int rank) { return file + 8 * rank; }

constexpr int White = 0;
constexpr int Black = 1;
constexpr int opposite(int side) { return side ^ 1; }

// Kinds of men. Pawns have one kind per colour so that direction follows from the kind.
enum Kind : int { King = 0, Queen = 1, Rook = 2, Bishop = 3, Knight = 4, WhitePawn = 5, BlackPawn = 6, NoKind = 7 };
constexpr int pawnKind(int side) { return side == White ? WhitePawn : BlackPawn; }
// Upper-case letters of the kinds King..BlackPawn, as every text of the engine writes them.
constexpr char KindLetters[] = "KQRBNPP";

// Fixed slot roles (add 16 for Black).
enum Slot : int {
  KingSlot = 0,
  QueenSlot = 1,
  QueenRookSlot = 2,
  KingRookSlot = 3,
  QueenBishopSlot = 4,
  KingBishopSlot = 5,
  QueenKnightSlot = 6,
  KingKnightSlot = 7,
  FirstPawnSlot = 8,
  LastPawnSlot = 15,
};
constexpr int slotBase(int side) { return side == White ? 0 : 16; }
constexpr int colourOfSlot(int slot) { return slot >= 16 ? Black : White; }

constexpr int EmptySquare = 32;  // square-map value of an empty square
constexpr int OffBoard = 64;     // slot square of a captured or absent man
constexpr bool isWhiteMan(int mapValue) { return mapValue < 16; }
constexpr bool isBlackMan(int mapValue) { return (mapValue & 0x30) == 0x10; }
// Is the man with square-map value v one of Side's? (An empty square is neither side's.)
template <int Side> constexpr bool isManOf(int mapValue) {
  if constexpr (Side == White) return isWhiteMan(mapValue);
  else return isBlackMan(mapValue);
}
// Rank of sq seen from Side's end of the board: 0 is its back rank.
template <int Side> constexpr int relativeRank(int sq) { return Side == White ? rankOf(sq) : 7 - rankOf(sq); }

// Values of the men by kind (per-slot value words).
constexpr int KingValue = 5760, QueenValue = 5616, RookValue = 2832, BishopValue = 1872, KnightValue = 1872,
              PawnValue = 480;
constexpr int kindValue[8] = {KingValue, QueenValue, RookValue, BishopValue, KnightValue, PawnValue, PawnValue, 0};
// Material scales: opening and endgame (a knight is worth less in the endgame); kings count 0 here.
constexpr int EndgameKnightValue = 1776;
constexpr int materialOpening[8] = {0, QueenValue, RookValue, BishopValue, KnightValue, PawnValue, PawnValue, 0};
constexpr int materialEndgame[8] = {0, QueenValue, RookValue, BishopValue, EndgameKnightValue, PawnValue, PawnValue, 0};

// Move code: origin bits 0-5, destination 6-11, kind 12-14, capture mark bit 15.
using Move = uint32_t;
enum MoveKind : int {
  Ordinary = 0,
  CastleKingSide = 1,
  CastleQueenSide = 2,
  EnPassant = 3,
  PromoteQueen = 4,
  PromoteRook = 5,
  PromoteBishop = 6,
  PromoteKnight = 7,
};
constexpr Move PromotionMark = 0x4000;  // set in the kinds PromoteQueen..PromoteKnight
constexpr Move CaptureMark = 0x8000;
constexpr Move makeMove(int from, int to, int kind = Ordinary) { return Move(from) | Move(to) << 6 | Move(kind) << 12; }
constexpr int moveFrom(Move m) { return int(m & 63); }
constexpr int moveTo(Move m) { return int((m >> 6) & 63); }
constexpr int moveKind(Move m) { return int((m >> 12) & 7); }
constexpr bool isPromotion(Move m) { return (m & PromotionMark) != 0; }
constexpr bool isCapture(Move m) { return (m & CaptureMark) != 0; }
constexpr int promotionKind(Move m) { return moveKind(m) - 3; }  // 4..7 -> Queen..Knight
constexpr Move WhiteCastleKing = makeMove(4, 6, CastleKingSide), WhiteCastleQueen = makeMove(4, 2, CastleQueenSide);
constexpr Move BlackCastleKing = makeMove(60, 62, CastleKingSide), BlackCastleQueen = makeMove(60, 58, CastleQueenSide);

// Results of the legal move generator, above the move bits.
constexpr uint32_t GenCheckmate = 0x10000;
constexpr uint32_t GenStalemate = 0x20000;
constexpr uint32_t GenInsufficient = 0x40000;
constexpr uint32_t GenIllegal = 0x80000;

// Castling statuses: 0 right exists, 1 castled, -1 lost.
// Index in Board::castle = side + 2 * wing (wing 0 king-side, 1 queen-side).
constexpr int castleIndex(int side, int wing) { return side + 2 * wing; }

// The Board: the men (square, map, kind, castle, value), then the words derived
// from them (from pieces on), which recountBoard rebuilds. Copied as one block.
struct Board {
  int32_t square[32];    // square of each slot, 64 = off the board
  int32_t map[64];       // slot on each square, 32 = empty
  int32_t kind[33];      // kind of each slot; kind[32] is always 7, so map -> kind needs no test
  int32_t castle[4];     // castling statuses: White O-O, Black O-O, White O-O-O, Black O-O-O
  int32_t value[33];     // value of each slot; value[32] is always 0
  int32_t pieces[2];     // men of kinds 1..4 per side
  int32_t pawns[2];      // pawns per side
  uint32_t key[2];       // HashKey low (table index), high (lock)
  uint32_t pawnKey[2];   // pawn HashKey low, high
  int32_t phase;         // game-phase code 0..5, selects the evaluation terms
  int32_t material[2];   // material balance White - Black, opening and endgame scale
  int32_t psq[2];        // piece-square sums White - Black, opening and endgame
  int32_t ply;           // the search's ply counter (0 here)
  int32_t halfMove;      // half-move clock
  int32_t pawnFiles[2];  // files holding a pawn of each side
  int32_t nonPawn[2];    // non-pawn material of each side
  int32_t lastMove;      // low 16 bits: the move that led here
};
static_assert(sizeof(Board) == 186 * 4, "the Board is 186 words");

}  // namespace orv

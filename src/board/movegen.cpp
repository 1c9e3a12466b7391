// The legal move generator: completes a move of one side on a copy of the
// Board, checks its legality with the table-driven attack test, and lists the
// legal replies of the other side.
#include "board/movegen.h"

#include <cstring>
#include <type_traits>

#include "board/en_passant.h"
#include "board/game.h"
#include "board/search_board.h"
#include "board/tables.h"

namespace orv {

static_assert(std::is_trivially_copyable_v<Board>, "the Board is copied as one block");

namespace {

inline void copyBoard(Board& to, const Board& from) { std::memcpy(&to, &from, sizeof(Board)); }

// Removes the man in `slot` from the board's books as captured material of `colour`.
inline void takeMan(Board& c, int slot, int colour) {
  const int kind = c.kind[slot];
  const int sign = colour == White ? 1 : -1;
  c.square[slot] = OffBoard;
  c.material[0] -= sign * materialOpening[kind];
  c.material[1] -= sign * materialEndgame[kind];
  if (kind == WhitePawn || kind == BlackPawn) {
    --c.pawns[colour];
  } else {
    --c.pieces[colour];
    c.nonPawn[colour] -= c.value[slot];
  }
}

inline void loseRight(Board& c, int side, int wing) {
  int32_t& status = c.castle[castleIndex(side, wing)];
  if (status == 0) status = -1;
}

inline void moveMan(Board& c, int slot, int from, int to) {
  c.map[from] = EmptySquare;
  c.map[to] = slot;
  c.square[slot] = to;
}

// Applies move m of side Mover to c. Returns false when Mover's king is left
// attacked (for castling also the passed and start squares are tested) or when
// the move does not fit the position. The game's make: a whole Board copy with
// its derived words; the search makes its moves in place (search/make.cpp).
template <int Mover> bool applyMove(Board& c, Move m) {
  constexpr int Other = Mover ^ 1;
  constexpr int base = slotBase(Mover), otherBase = slotBase(Other);
  const int from = moveFrom(m), to = moveTo(m), kind = moveKind(m);
  const int slot = c.map[from];
  const int victim = c.map[to];
  // A move from elsewhere (a remembered line) may not fit this position: no man
  // of the mover on the origin, or one of its own men on the destination.
  if (!isManOf<Mover>(slot) || (victim != EmptySquare && !isManOf<Other>(victim))) return false;
  c.map[from] = EmptySquare;
  if (victim != EmptySquare) {
    takeMan(c, victim, Other);
    if (victim == otherBase + KingRookSlot && c.castle[castleIndex(Other, 0)] == 0)
      c.castle[castleIndex(Other, 0)] = -1;
    else if (victim == otherBase + QueenRookSlot && c.castle[castleIndex(Other, 1)] == 0)
      c.castle[castleIndex(Other, 1)] = -1;
  }
  c.map[to] = slot;
  c.square[slot] = to;

  switch (kind) {
    case Ordinary:
      if (slot == base + KingSlot) {
        loseRight(c, Mover, 0);
        loseRight(c, Mover, 1);
      } else if (slot == base + KingRookSlot) {
        loseRight(c, Mover, 0);
      } else if (slot == base + QueenRookSlot) {
        loseRight(c, Mover, 1);
      }
      break;
    case CastleKingSide:
      moveMan(c, base + KingRookSlot, to + 1, to - 1);
      c.castle[castleIndex(Mover, 0)] = 1;
      c.castle[castleIndex(Mover, 1)] = -1;
      break;
    case CastleQueenSide:
      moveMan(c, base + QueenRookSlot, to - 2, to + 1);
      c.castle[castleIndex(Mover, 1)] = 1;
      c.castle[castleIndex(Mover, 0)] = -1;
      break;
    case EnPassant: {
      const int behind = Mover == White ? to - 8 : to + 8;
      const int pawn = c.map[behind];
      if (pawn != EmptySquare) {
        c.map[behind] = EmptySquare;
        takeMan(c, pawn, Other);
      }
      break;
    }
    default: {  // promotions
      const int newKind = promotionKind(m);
      const int sign = Mover == White ? 1 : -1;
      c.kind[slot] = newKind;
      --c.pawns[Mover];
      ++c.pieces[Mover];
      c.material[0] += sign * (materialOpening[newKind] - PawnValue);
      c.material[1] += sign * (materialEndgame[newKind] - PawnValue);
      c.nonPawn[Mover] += kindValue[newKind];
      c.value[slot] = kindValue[newKind];
      break;
    }
  }

  const int king = c.square[base + KingSlot];
  if (king == OffBoard) return true;  // no king to expose (not a valid game position)
  if (isAttacked(c, king, Other)) return false;
  if (kind == CastleKingSide || kind == CastleQueenSide)
    if (isAttacked(c, (from + to) / 2, Other) || isAttacked(c, from, Other)) return false;
  return true;
}

// Collects the legal moves of Us in generation order, at most `room` of them;
// the count of all legal moves found is returned (it may exceed `room`).
template <int Us> struct MoveSink {
  Move* list;
  int room;
  int count = 0;
  const Board& c;

  void add(Move mv) {
    Board trial;
    copyBoard(trial, c);
    if (!applyMove<Us>(trial, mv)) return;
    if (count < room) list[count] = mv;
    ++count;
  }
  void addPromotions(int from, int to, Move mark) {
    for (int kind = PromoteQueen; kind <= PromoteKnight; ++kind) add(makeMove(from, to, kind) | mark);
  }
};

template <int Us> int listLegalMoves(const Board& c, Move completed, Move* list, int room) {
  constexpr int Them = Us ^ 1;
  constexpr int base = slotBase(Us);
  constexpr int ownPawn = pawnKind(Us);
  MoveSink<Us> sink{list, room, 0, c};

  for (int slot = base; slot < base + 16; ++slot) {
    const int from = c.square[slot];
    if (from == OffBoard) continue;
    const int kind = c.kind[slot];
    if (kind == ownPawn) {
      const PawnEntry* e = pawnList[Us][from];
      for (int i = 0; e[i].to != 64; ++i) {
        const int to = e[i].to;
        const int there = c.map[to];
        if (e[i].flags & PawnPush) {
          if (there != EmptySquare) {
            i += e[i].skip;
            continue;
          }
          if (e[i].flags & PawnPromotes) sink.addPromotions(from, to, 0);
          else sink.add(makeMove(from, to));
        } else if (isManOf<Them>(there)) {
          if (e[i].flags & PawnPromotes) sink.addPromotions(from, to, CaptureMark);
          else sink.add(makeMove(from, to) | CaptureMark);
        }
      }
    } else if (kind <= Knight) {
      const RayEntry* e = rayList[Us][kind][from];
      for (int i = 0; e[i].to != 64;) {
        const int to = e[i].to;
        const int there = c.map[to];
        if (there == EmptySquare) {
          sink.add(makeMove(from, to));
          ++i;
        } else {
          if (isManOf<Them>(there)) sink.add(makeMove(from, to) | CaptureMark);
          i += e[i].left;
        }
      }
    }
  }

  // En passant, only right after the double push that allows it.
  if (const int capturers = enPassantCapturers<Us>(c, completed)) {
    const int to = moveTo(completed), passed = passedSquare(completed);
    if (capturers & EnPassantFromLeft) sink.add(makeMove(to - 1, passed, EnPassant) | CaptureMark);
    if (capturers & EnPassantFromRight) sink.add(makeMove(to + 1, passed, EnPassant) | CaptureMark);
  }

  // Castling; attacked squares are left to the legality test.
  constexpr int home = Us == White ? 0 : 56;
  if (c.castle[castleIndex(Us, 0)] == 0 && c.map[home + 5] == EmptySquare && c.map[home + 6] == EmptySquare)
    sink.add(Us == White ? WhiteCastleKing : BlackCastleKing);
  if (c.castle[castleIndex(Us, 1)] == 0 && c.map[home + 3] == EmptySquare && c.map[home + 2] == EmptySquare &&
      c.map[home + 1] == EmptySquare)
    sink.add(Us == White ? WhiteCastleQueen : BlackCastleQueen);

  return sink.count;
}

}  // namespace

bool isAttacked(const Board& b, int sq, int by) {
  const Bitboards bits = countBitboards(b);
  return by == White ? attackedBy<White>(bits, sq) : attackedBy<Black>(bits, sq);
}

template <int Us> uint32_t generate(Move* list, int capacity, Move m, Board& b) {
  constexpr int Them = Us ^ 1;
  Board c;
  copyBoard(c, b);
  if (m != 0) {
    if (!applyMove<Them>(c, m)) return m | GenIllegal;
  } else {
    // Nothing to apply: is the side that has just moved standing in check?
    const int king = c.square[slotBase(Them) + KingSlot];
    if (king != OffBoard && isAttacked(c, king, Us)) return m | GenIllegal;
  }
  if (list == nullptr) return m;

  const int room = capacity > 0 ? capacity - 1 : 0;
  const int found = listLegalMoves<Us>(c, m, list, room);
  if (capacity > 0) list[found < room ? found : room] = 0;
  copyBoard(b, c);

  if (found == 0) {
    const int king = c.square[slotBase(Us) + KingSlot];
    const bool inCheck = king != OffBoard && isAttacked(c, king, Them);
    return inCheck ? GenCheckmate : GenStalemate;
  }
  if (insufficientMaterial(c)) return GenInsufficient;
  return m;
}

template uint32_t generate<White>(Move*, int, Move, Board&);
template uint32_t generate<Black>(Move*, int, Move, Board&);

}  // namespace orv

// A table position on a light Board for the generator: the men of one index
// of a table side, its legal moves forward and the moves that lead to it.
// Only the Board's square, map and kind words are kept; legality comes from
// the board's own attack test, successors are numbered by tableIndex.
#pragma once
#include <cstdint>

#include "board/movegen.h"
#include "board/tables.h"
#include "board/types.h"
#include "tablebase/index.h"

namespace orv::tb {

struct RetroBoard {
  Board board;        // the first-named side plays White, its pawns moving up
  TablePosition pos;  // the same men as square lists in table orientation
  int table = 0;
  int side = 0;           // side to move
  uint32_t index = 0;     // this position's index in its table side
  bool epTable = false;   // pawns on both sides: the index has en-passant parts
  bool pawnless = false;  // the index folds the board's eight symmetries
};

// Board slot of square-list entry `entry` of `colour` (at most 16 entries are used).
constexpr int retroSlot(int colour, int entry) { return colour * 16 + entry; }

// Prepares r for positions of one table.
void startRetroBoard(RetroBoard& r, int table);
// Sets up index `index` of table side `side`. False when the index holds no
// position that can occur: two men on one square, the side not to move in
// check, an en-passant target or origin square that is taken.
bool loadRetroPosition(RetroBoard& r, int side, uint32_t index);
// Index of the lists as they stand, for `side` to move with en-passant target ep.
inline uint32_t retroIndex(const RetroBoard& r, int side, int ep) {
  return tableIndex(r.table, side, r.pos.first, r.pos.second, ep, 0);
}
inline bool retroInCheck(const RetroBoard& r, int side) {
  return isAttacked(r.board, r.board.square[retroSlot(side, 0)], side ^ 1);
}

// What a legal move leads to.
struct RetroMove {
  bool leavesTable;  // a capture or a promotion: the successor lies in a smaller table
  int epTarget;      // a double push: the square passed over, else -1
};

// Calls f(RetroMove) for every legal move of the side to move, with the board
// and the lists showing the position after it; returns the number of legal moves.
template <class F> int forEachRetroMove(RetroBoard& r, F&& f);

// Calls f(RetroMove) for every move of the side to move that stays in the
// table, legal or not, until f returns false; returns false when f did. A
// move that leaves the mover's king attacked leads to a position that cannot
// occur, which the caller recognises by its index or byte.
template <class F> bool forEachQuietMove(RetroBoard& r, F&& f);

// Calls f(index) with each index of the other side's table side from which a
// move that stays in the table leads to the loaded position (including the
// en-passant forms of those positions). Indices may be out of the stored range.
template <class F> void forEachRetroPredecessor(RetroBoard& r, F&& f);

// ---- implementation ----

namespace retro_detail {

inline int8_t* listOf(RetroBoard& r, int colour) { return colour == 0 ? r.pos.first : r.pos.second; }

// Moves the man of list entry `entry` of `colour` to `to` (an empty square).
inline void shiftMan(RetroBoard& r, int colour, int entry, int from, int to) {
  const int slot = retroSlot(colour, entry);
  r.board.map[from] = EmptySquare;
  r.board.map[to] = slot;
  r.board.square[slot] = to;
  listOf(r, colour)[entry] = int8_t(to);
}

inline void liftMan(RetroBoard& r, int slot) {
  const int colour = slot >> 4;
  r.board.map[r.board.square[slot]] = EmptySquare;
  r.board.square[slot] = OffBoard;
  listOf(r, colour)[slot & 15] = -1;
}

inline void dropMan(RetroBoard& r, int slot, int sq) {
  r.board.map[sq] = slot;
  r.board.square[slot] = sq;
  listOf(r, slot >> 4)[slot & 15] = int8_t(sq);
}

// Plays from -> to for the side to move (capturing what stands there, or the
// pawn behind an en-passant target), promoting to `promote` unless NoKind;
// calls f when the mover's king is safe, and takes the move back; returns
// whether the move was legal. Quiet: a move that captures nothing and does
// not promote, f called without the test; returns what f returns.
template <bool Quiet, class F>
inline bool tryMove(RetroBoard& r, int entry, int from, int to, int promote, int epCaptured, int epTarget, F& f) {
  const int us = r.side;
  if constexpr (Quiet) {
    shiftMan(r, us, entry, from, to);
    const bool more = f(RetroMove{false, epTarget});
    shiftMan(r, us, entry, to, from);
    return more;
  } else {
    const int slot = retroSlot(us, entry);
    const int victimSquare = epCaptured >= 0 ? epCaptured : to;
    const int victim = r.board.map[victimSquare];
    if (victim != EmptySquare) liftMan(r, victim);
    shiftMan(r, us, entry, from, to);
    const int kind = r.board.kind[slot];
    if (promote != NoKind) r.board.kind[slot] = promote;
    const bool legal = !retroInCheck(r, us);
    if (legal) f(RetroMove{victim != EmptySquare || promote != NoKind, epTarget});
    r.board.kind[slot] = kind;
    shiftMan(r, us, entry, to, from);
    if (victim != EmptySquare) dropMan(r, victim, victimSquare);
    return legal;
  }
}

inline bool isEnemyMan(const RetroBoard& r, int mapValue) {
  return mapValue != EmptySquare && (mapValue >> 4) != r.side && (mapValue & 15) != 0;
}

// Square reflected in the a1-h8 diagonal (flip 0) or in the a8-h1 diagonal (flip 7).
constexpr int reflect(int sq, int flip) { return ((sq & 7) ^ flip) * 8 + ((sq >> 3) ^ flip); }

// Without pawns, a position whose kings share a long diagonal and its
// reflection in that diagonal have indices of their own (the index folds
// the other symmetries away): emits the reflection's index too.
template <class F> inline void emitReflection(RetroBoard& r, int side, uint32_t plain, F& f) {
  const int a = r.pos.first[0], b = r.pos.second[0];
  int flip;
  if ((a & 7) == (a >> 3) && (b & 7) == (b >> 3)) flip = 0;
  else if ((a & 7) + (a >> 3) == 7 && (b & 7) + (b >> 3) == 7) flip = 7;
  else return;
  int8_t first[ListSize], second[ListSize];
  for (int e = 0; e < ListSize; ++e) {
    first[e] = r.pos.first[e] < 0 ? int8_t(-1) : int8_t(reflect(r.pos.first[e], flip));
    second[e] = r.pos.second[e] < 0 ? int8_t(-1) : int8_t(reflect(r.pos.second[e], flip));
  }
  const uint32_t twin = tableIndex(r.table, side, first, second, -1, 0);
  if (twin != plain && twin != NoIndex) f(twin);
}

// Emits the index of the position as it stands for `side` to move, and its
// en-passant forms: each pawn of the other side that may just have made a
// double step with a pawn of `side` beside it.
template <class F> inline void emitWithEpForms(RetroBoard& r, int side, F& f) {
  const uint32_t plain = retroIndex(r, side, -1);
  if (plain == NoIndex) return;
  f(plain);
  if (r.pawnless) emitReflection(r, side, plain, f);
  if (!r.epTable) return;
  const int pusher = side ^ 1;
  const int back = pusher == White ? -8 : 8;
  const int8_t* list = listOf(r, pusher);
  for (int e = ListPawns; e < ListSize; ++e) {
    const int sq = list[e];
    if (sq < 0 || rankOf(sq) != (pusher == White ? 3 : 4)) continue;
    if (r.board.map[sq + back] != EmptySquare || r.board.map[sq + 2 * back] != EmptySquare) continue;
    const uint32_t withEp = retroIndex(r, side, sq + back);
    if (withEp != plain && withEp != NoIndex) f(withEp);
  }
}

}  // namespace retro_detail

namespace retro_detail {

// The moves of the side to move. Quiet: only those that capture nothing and
// do not promote, legal or not, until f returns false; returns 0 when f did.
// Otherwise: the legal moves; returns their number.
template <bool Quiet, class F> int enumerateMoves(RetroBoard& r, F& f) {
  const int us = r.side;
  int counted = 0;
  // True when a quiet move's f asks to stop.
  auto play = [&](int entry, int from, int to, int promote, int epCaptured, int epTarget) {
    const bool result = tryMove<Quiet>(r, entry, from, to, promote, epCaptured, epTarget, f);
    counted += result;
    return Quiet && !result;
  };
  const int8_t* list = listOf(r, us);
  for (int entry = 0; entry < ListSize; ++entry) {
    const int from = list[entry];
    if (from < 0) continue;
    const int kind = r.board.kind[retroSlot(us, entry)];
    if (kind == pawnKind(us)) {
      const PawnEntry* e = pawnList[us][from];
      for (int i = 0; e[i].to != 64; ++i) {
        const int to = e[i].to;
        const int there = r.board.map[to];
        if (e[i].flags & PawnPush) {
          if (there != EmptySquare) {
            i += e[i].skip;
            continue;
          }
        } else if (Quiet || !isEnemyMan(r, there)) {
          continue;
        }
        if (e[i].flags & PawnPromotes) {
          if (Quiet) continue;
          for (int promote = Queen; promote <= Knight; ++promote) play(entry, from, to, promote, -1, -1);
        } else {
          const int ep = (to - from == 16 || from - to == 16) ? (from + to) / 2 : -1;
          if (play(entry, from, to, NoKind, -1, ep)) return 0;
        }
      }
      const int target = r.pos.epSquare;
      if (!Quiet && target >= 0) {
        const int captured = target + (us == White ? -8 : 8);
        if ((from == captured - 1 && fileOf(captured) != 0) || (from == captured + 1 && fileOf(captured) != 7))
          play(entry, from, target, NoKind, captured, -1);
      }
    } else {
      const RayEntry* e = rayList[us][kind][from];
      for (int i = 0; e[i].to != 64;) {
        const int to = e[i].to;
        const int there = r.board.map[to];
        if (there == EmptySquare) {
          if (play(entry, from, to, NoKind, -1, -1)) return 0;
          ++i;
        } else {
          if (!Quiet && isEnemyMan(r, there)) play(entry, from, to, NoKind, -1, -1);
          i += e[i].left;
        }
      }
    }
  }
  return Quiet ? 1 : counted;
}

}  // namespace retro_detail

template <class F> int forEachRetroMove(RetroBoard& r, F&& f) { return retro_detail::enumerateMoves<false>(r, f); }

template <class F> bool forEachQuietMove(RetroBoard& r, F&& f) { return retro_detail::enumerateMoves<true>(r, f) != 0; }

template <class F> void forEachRetroPredecessor(RetroBoard& r, F&& f) {
  using namespace retro_detail;
  const int them = r.side ^ 1;  // the side that has just moved
  const int back = them == White ? -8 : 8;
  int8_t* list = listOf(r, them);
  if (r.pos.epSquare >= 0) {
    // Only the double step that gave the en-passant right leads here.
    const int target = r.pos.epSquare;
    const int pushed = target - back, origin = target + back;
    const int entry = r.board.map[pushed] & 15;
    shiftMan(r, them, entry, pushed, origin);
    emitWithEpForms(r, them, f);
    shiftMan(r, them, entry, origin, pushed);
    return;
  }
  for (int entry = 0; entry < ListSize; ++entry) {
    const int at = list[entry];
    if (at < 0) continue;
    const int kind = r.board.kind[retroSlot(them, entry)];
    if (kind == pawnKind(them)) {
      const int one = at + back;
      if (unsigned(one - 8) >= 48 || r.board.map[one] != EmptySquare) continue;
      shiftMan(r, them, entry, at, one);
      emitWithEpForms(r, them, f);
      shiftMan(r, them, entry, one, at);
      const int two = one + back;
      if (rankOf(two) != (them == White ? 1 : 6) || r.board.map[two] != EmptySquare) continue;
      // After a double step that the other side may answer en passant the
      // position is the en-passant form, not this one.
      if (r.epTable && retroIndex(r, r.side, one) != r.index) continue;
      shiftMan(r, them, entry, at, two);
      emitWithEpForms(r, them, f);
      shiftMan(r, them, entry, two, at);
    } else {
      // Moves without capture are their own reverse.
      const RayEntry* e = rayList[them][kind][at];
      for (int i = 0; e[i].to != 64;) {
        const int to = e[i].to;
        if (r.board.map[to] != EmptySquare) {
          i += e[i].left;
          continue;
        }
        shiftMan(r, them, entry, at, to);
        emitWithEpForms(r, them, f);
        shiftMan(r, them, entry, to, at);
        ++i;
      }
    }
  }
}

}  // namespace orv::tb

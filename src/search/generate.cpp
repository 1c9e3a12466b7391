// The search's move generators: every pseudo-legal move of a side, and the
// captures with queen promotions and their ordering scores for quiescence.
#include "board/en_passant.h"
#include "board/tables.h"
#include "eval/evaluate.h"
#include "search/generate.h"

namespace orv {
namespace {

constexpr uint32_t CaptureWord = CaptureMark;

// The en-passant capture of Us against Them's last move, if that was a double pawn
// push that landed beside a pawn of Us: the left-hand neighbour first. Writes the
// moves (with `score` in the high half) and returns the new write position.
template <int Us> inline uint32_t* addEnPassant(const Board& p, uint32_t* out, Move lastMove, uint32_t score) {
  const int capturers = enPassantCapturers<Us>(p, lastMove);
  if (capturers == 0) return out;
  const int to = moveTo(lastMove), target = passedSquare(lastMove);
  if (capturers & EnPassantFromLeft) *out++ = score | CaptureWord | makeMove(to - 1, target, EnPassant);
  if (capturers & EnPassantFromRight) *out++ = score | CaptureWord | makeMove(to + 1, target, EnPassant);
  return out;
}

}  // namespace

// Most moves one man can have (a queen in the centre), and the room kept for the
// en-passant and castling moves written after the men.
constexpr int MaxMovesOfOneMan = 27;
constexpr int TrailingMoves = 4;

template <int Us> int generateAll(const Board& p, uint32_t* list, Move lastMove, bool inCheck, const NodeState& s) {
  constexpr int Them = opposite(Us);
  constexpr int Base = slotBase(Us);
  uint32_t* out = list;
  // Set-up positions crowded with promoted men could in principle exceed the
  // list; the remaining men are then left out rather than overrunning it.
  const uint32_t* const lastStart = list + (MaxSearchMoves - 1 - TrailingMoves - MaxMovesOfOneMan);

  for (int slot = Base; slot < Base + 16; ++slot) {
    const int from = p.square[slot];
    if (from == OffBoard) continue;
    if (out > lastStart) break;
    const int k = p.kind[slot];
    if (k == pawnKind(Us)) {
      const PawnEntry* e = pawnList[Us][from];
      for (int i = 0; e[i].to != 64;) {
        const PawnEntry& pe = e[i];
        const int to = pe.to;
        const int v = p.map[to];
        uint32_t capture;
        if (pe.flags & PawnPush) {
          if (v != EmptySquare) {  // blocked: a blocked single push also drops the double push
            i += 1 + pe.skip;
            continue;
          }
          capture = 0;
        } else {
          if (!isManOf<Them>(v)) {
            ++i;
            continue;
          }
          capture = CaptureWord;
        }
        if (pe.flags & PawnPromotes) {
          *out++ = capture | makeMove(from, to, PromoteQueen);
          *out++ = capture | makeMove(from, to, PromoteRook);
          *out++ = capture | makeMove(from, to, PromoteBishop);
          *out++ = capture | makeMove(from, to, PromoteKnight);
        } else {
          *out++ = capture | makeMove(from, to);
        }
        ++i;
      }
      continue;
    }
    const RayEntry* r = rayList[Us][k][from];
    for (int i = 0; r[i].to != 64;) {
      const int to = r[i].to;
      const int v = p.map[to];
      if (v == EmptySquare) {
        *out++ = makeMove(from, to);
        ++i;
        continue;
      }
      if (isManOf<Them>(v)) *out++ = CaptureWord | makeMove(from, to);
      i += r[i].left;  // the ray ends at any man
    }
  }

  out = addEnPassant<Us>(p, out, lastMove, 0);

  // Castling also needs the rook in its corner: a right granted by a position
  // text without that rook must not move a man that is not there.
  if (!inCheck) {
    constexpr int Rank = Us == White ? 0 : 56;
    if (s.castle[castleIndex(Us, 0)] == 0 && p.map[Rank + 5] == EmptySquare && p.map[Rank + 6] == EmptySquare &&
        p.map[Rank + 7] == Base + KingRookSlot && p.map[Rank + 4] == Base)
      *out++ = Us == White ? WhiteCastleKing : BlackCastleKing;
    if (s.castle[castleIndex(Us, 1)] == 0 && p.map[Rank + 3] == EmptySquare && p.map[Rank + 2] == EmptySquare &&
        p.map[Rank + 1] == EmptySquare && p.map[Rank] == Base + QueenRookSlot && p.map[Rank + 4] == Base)
      *out++ = Us == White ? WhiteCastleQueen : BlackCastleQueen;
  }
  *out = 0;
  return int(out - list);
}

// Scores: victim - attacker + 6000 for captures, 10614 (+ victim) for queen
// promotions, 6000 for en passant.
template <int Us> int generateCaptures(const Board& p, uint32_t* list, Move lastMove) {
  constexpr int Them = opposite(Us);
  constexpr int Base = slotBase(Us);
  constexpr uint32_t PromotionScore = 10614;
  constexpr uint32_t CaptureBase = 6000;
  uint32_t* out = list;

  for (int slot = Base; slot < Base + 16; ++slot) {
    const int from = p.square[slot];
    if (from == OffBoard) continue;
    const int k = p.kind[slot];
    if (k == pawnKind(Us)) {
      const PawnEntry* e = pawnList[Us][from];
      for (int i = 0; e[i].to != 64; ++i) {
        const PawnEntry& pe = e[i];
        const int to = pe.to;
        const int v = p.map[to];
        if (pe.flags & PawnPush) {
          // Only a push onto the last rank counts here; a blocked single push
          // also blocks the double push, which is never a promotion anyway.
          if ((pe.flags & PawnPromotes) && v == EmptySquare)
            *out++ = orderedWord(makeMove(from, to, PromoteQueen), PromotionScore);
          continue;
        }
        if (!isManOf<Them>(v)) continue;
        if (pe.flags & PawnPromotes)
          *out++ = orderedWord(CaptureWord | makeMove(from, to, PromoteQueen), p.value[v] + PromotionScore);
        else *out++ = orderedWord(CaptureWord | makeMove(from, to), p.value[v] - p.value[slot] + CaptureBase);
      }
      continue;
    }
    const RayEntry* r = rayList[Us][k][from];
    for (int i = 0; r[i].to != 64;) {
      const int v = p.map[r[i].to];
      if (v == EmptySquare) {
        ++i;
        continue;
      }
      if (isManOf<Them>(v))
        *out++ = orderedWord(CaptureWord | makeMove(from, r[i].to), p.value[v] - p.value[slot] + CaptureBase);
      i += r[i].left;
    }
  }

  out = addEnPassant<Us>(p, out, lastMove, orderedWord(0, CaptureBase));
  *out = 0;
  return int(out - list);
}

template int generateAll<White>(const Board&, uint32_t*, Move, bool, const NodeState&);
template int generateAll<Black>(const Board&, uint32_t*, Move, bool, const NodeState&);
template int generateCaptures<White>(const Board&, uint32_t*, Move);
template int generateCaptures<Black>(const Board&, uint32_t*, Move);

}  // namespace orv

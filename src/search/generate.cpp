// The search's move generators: every pseudo-legal move of a side, and the
// captures with queen promotions and their ordering scores for quiescence.
#include "board/attack_tables.h"
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

template <int Us>
int generateAll(const SearchBoard& p, uint32_t* list, Move lastMove, bool inCheck, const NodeState& s) {
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

// The place of each step from a square in the ray lists' direction order of a
// twin (board/tables.h): a man has at most one capture per direction, so
// sorting its captures by this place lists them as the ray walk met them.
struct StepOrder {
  uint8_t place[2][64][64];
};
constexpr StepOrder buildStepOrder() {
  StepOrder t{};
  for (int twin = 0; twin < 2; ++twin)
    for (int from = 0; from < 64; ++from) {
      for (int kind : {Queen, Knight})
        for (int i = 0; rayList[twin][kind][from][i].to != 64; ++i) {
          const RayEntry& e = rayList[twin][kind][from][i];
          const int d = direction[from][e.to];
          int place = 0;
          // Count the directions that come before d in this list.
          for (int j = 0; j < i; ++j) {
            const RayEntry& f = rayList[twin][kind][from][j];
            if (f.left == 1 && direction[from][f.to] != d) ++place;
          }
          t.place[twin][from][e.to] = uint8_t(place);
        }
    }
  return t;
}
inline constexpr StepOrder stepOrder = buildStepOrder();

// Scores: victim - attacker + 6000 for captures, 10614 (+ victim) for queen
// promotions, 6000 for en passant.
template <int Us> int generateCaptures(const SearchBoard& p, uint32_t* list, Move lastMove) {
  constexpr int Them = opposite(Us);
  constexpr int Base = slotBase(Us);
  constexpr uint32_t PromotionScore = 10614;
  constexpr uint32_t CaptureBase = 6000;
  constexpr int Up = Us == White ? 8 : -8;
  constexpr int LastFromRank = Us == White ? 6 : 1;
  const uint64_t enemies = p.bits.side[Them];
  const uint64_t occupied = p.bits.occupied;
  uint32_t* out = list;

  for (int slot = Base; slot < Base + 16; ++slot) {
    const int from = p.square[slot];
    if (from == OffBoard) continue;
    const int k = p.kind[slot];
    if (k == pawnKind(Us)) {
      uint64_t targets = pawnAttacks<Us>(from) & enemies;
      if (rankOf(from) == LastFromRank) {
        if (p.map[from + Up] == EmptySquare)
          *out++ = orderedWord(makeMove(from, from + Up, PromoteQueen), PromotionScore);
        while (targets) {
          const int to = popFirstSquare(targets);  // toward file a first
          *out++ = orderedWord(CaptureWord | makeMove(from, to, PromoteQueen), p.value[p.map[to]] + PromotionScore);
        }
      } else {
        while (targets) {
          const int to = popFirstSquare(targets);
          *out++ = orderedWord(CaptureWord | makeMove(from, to), p.value[p.map[to]] - p.value[slot] + CaptureBase);
        }
      }
      continue;
    }
    uint64_t targets = pieceAttacks(k, from, occupied) & enemies;
    if (!targets) continue;
    const int attacker = p.value[slot];
    if ((targets & (targets - 1)) == 0) {
      const int to = firstSquare(targets);
      *out++ = orderedWord(CaptureWord | makeMove(from, to), p.value[p.map[to]] - attacker + CaptureBase);
      continue;
    }
    // Several captures: in the order of the ray lists' directions.
    uint32_t byPlace[8];
    uint64_t places = 0;
    while (targets) {
      const int to = popFirstSquare(targets);
      const int place = stepOrder.place[Us][from][to];
      byPlace[place] = orderedWord(CaptureWord | makeMove(from, to), p.value[p.map[to]] - attacker + CaptureBase);
      places |= uint64_t(1) << place;
    }
    while (places) *out++ = byPlace[popFirstSquare(places)];
  }

  out = addEnPassant<Us>(p, out, lastMove, orderedWord(0, CaptureBase));
  *out = 0;
  return int(out - list);
}

template int generateAll<White>(const SearchBoard&, uint32_t*, Move, bool, const NodeState&);
template int generateAll<Black>(const SearchBoard&, uint32_t*, Move, bool, const NodeState&);
template int generateCaptures<White>(const SearchBoard&, uint32_t*, Move);
template int generateCaptures<Black>(const SearchBoard&, uint32_t*, Move);

}  // namespace orv

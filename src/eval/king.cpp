// King safety (pawn shelter, open files), minor pieces near their king, the
// endgame king race for passed pawns and the rook-and-bishop endgame rules.
#include <algorithm>
#include <initializer_list>

#include "board/tables.h"
#include "eval/eval_terms.h"
#include "eval/evaluate.h"

namespace orv {

namespace {

constexpr int passerStopPenalty[8] = {0, 0, 0, 12, 17, 60, 100, 0};
constexpr int OpenFileBase = 71, HeavyOnOpenFile = 66;

bool isPawnOf(const Board& p, int sq, int side) { return p.kind[p.map[sq]] == pawnKind(side); }

// Rooks and queen of Them on the file (0..2, the queen counts only up to the limit).
template <int Them> int heavyOnFile(const Board& p, int file) {
  int n = 0;
  for (int slot : {slotBase(Them) + QueenRookSlot, slotBase(Them) + KingRookSlot, slotBase(Them) + QueenSlot})
    if (p.square[slot] != OffBoard && fileOf(p.square[slot]) == file) ++n;
  return std::min(n, 2);
}

// Shelter of Us's king minus its open-file penalties, when Them still has
// at least two rooks' worth in at least two men.
template <int Us> int kingShelter(const Board& p, const NodeState& s) {
  constexpr int Them = opposite(Us);
  if (s.nonPawn[Them] < 2 * RookValue || s.pieces[Them] <= 1) return 0;
  const int king = p.square[slotBase(Us) + KingSlot];
  const int middle = std::clamp(fileOf(king), 1, 6);
  int v = 0;
  for (int f = middle - 1; f <= middle + 1; ++f)
    if (!((s.pawnFiles[Us] >> f) & 1)) v -= OpenFileBase + HeavyOnOpenFile * heavyOnFile<Them>(p, f);
  const int homeRank = Us == White ? 0 : 7;
  int best = shelter<Us>(p, makeSquare(middle, rankOf(king)));
  if (s.castle[castleIndex(Us, 0)] == 0) best = std::max(best, shelter<Us>(p, makeSquare(6, homeRank)));
  if (s.castle[castleIndex(Us, 1)] == 0) best = std::max(best, shelter<Us>(p, makeSquare(2, homeRank)));
  return v + best;
}

template <int Us> int kingToOwnPawns(const Board& p) {
  const int king = p.square[slotBase(Us) + KingSlot];
  int nearest = 7;
  for (int slot = slotBase(Us) + FirstPawnSlot; slot <= slotBase(Us) + LastPawnSlot; ++slot)
    if (p.square[slot] != OffBoard && p.kind[slot] == pawnKind(Us))
      nearest = std::min(nearest, int(kingDistance[king][p.square[slot]]));
  return nearest;
}

// Passed pawns of Us on relative rank 3 or more against the two kings.
template <int Us> void passerRace(const Board& p, const PassedPawnInfo& info, int& a, int& u) {
  constexpr int Them = opposite(Us);
  constexpr int up = Us == White ? 8 : -8;
  const int ownKing = p.square[slotBase(Us) + KingSlot];
  const int theirKing = p.square[slotBase(Them) + KingSlot];
  for (int f = 0; f < 8; ++f) {
    const int sq = passedOnFile(info.passed[Us], f);
    if (!sq) continue;
    const int r = relativeRank<Us>(sq);
    if (r < 3) continue;
    const int stop = sq + up;
    const int dE = kingDistance[theirKing][stop], dO = kingDistance[ownKing][stop];
    a += 3 * r * (4 * std::min(dE, 5) - 9 * std::min(dO, 5) / 4);
    if (dE < 2 || p.map[stop] != EmptySquare) u -= passerStopPenalty[r] * 27 / 10;
  }
}

// The phase-3 rules for Us's most advanced passed pawn, positive for Us.
template <int Us> int passerRules(const Board& p, int side, const NodeState& s, const PassedPawnInfo& info) {
  constexpr int Them = opposite(Us);
  constexpr int up = Us == White ? 8 : -8;
  const int sq = info.mostAdvanced[Us];
  if (!sq) return 0;
  const int r = relativeRank<Us>(sq);
  const int f = fileOf(sq);
  int v = 0;
  if (r >= 5) {
    // The enemy bishop that runs on the colour of the promotion square.
    const int promotion = makeSquare(f, Us == White ? 7 : 0);
    const bool light = ((fileOf(promotion) + rankOf(promotion)) & 1) != 0;
    const int lightSlot = Them == White ? KingBishopSlot : QueenBishopSlot + 16;
    const int darkSlot = Them == White ? QueenBishopSlot : KingBishopSlot + 16;
    if (p.square[light ? lightSlot : darkSlot] != OffBoard) v -= 8 * r;
  }
  if (r >= 4) {
    auto rookBehind = [&](int side2) {
      for (int slot : {slotBase(side2) + QueenRookSlot, slotBase(side2) + KingRookSlot}) {
        const int rq = p.square[slot];
        if (rq != OffBoard && fileOf(rq) == f && relativeRank<Us>(rq) < r) return true;
      }
      return false;
    };
    if (rookBehind(Us)) v += 31 * r;
    if (rookBehind(Them)) v -= 31 * r;
  }
  const int theirKing = p.square[slotBase(Them) + KingSlot];
  if (r >= 3 && s.pieces[Them] <= 2 && s.nonPawn[Them] <= RookValue + BishopValue) {
    const int lo = std::min(fileOf(theirKing), f), hi = std::max(fileOf(theirKing), f);
    for (int slot : {slotBase(Us) + QueenRookSlot, slotBase(Us) + KingRookSlot}) {
      const int rq = p.square[slot];
      if (rq != OffBoard && fileOf(rq) > lo && fileOf(rq) < hi) v += 78;
    }
  }
  if (r == 6 && s.nonPawn[Them] == RookValue && s.pawns[Us] >= 2) {
    const int needed = side == Us ? 3 : 4;
    if (kingDistance[theirKing][sq] >= needed) {
      bool guarded = false;
      for (int d : {1, -1}) {
        if (fileOf(sq) + d < 0 || fileOf(sq) + d > 7) continue;
        if (isPawnOf(p, sq + d, Us) || (isPawnOf(p, sq - up + d, Us) && p.map[sq + d] == EmptySquare)) {
          guarded = true;
          break;
        }
      }
      if (guarded) v += 777;
    }
  }
  return v;
}

}  // namespace

template <int Us> int shelter(const Board& p, int sq) {
  constexpr int up = Us == White ? 8 : -8;
  const int r = relativeRank<Us>(sq);
  if (r > 1) return 0;
  const bool home = r == 0;
  int files = 0;
  if (isPawnOf(p, sq - 1, Us) || isPawnOf(p, sq + up - 1, Us) || (home && isPawnOf(p, sq + 2 * up - 1, Us))) ++files;
  if (isPawnOf(p, sq + up, Us) || (home && isPawnOf(p, sq + 2 * up, Us))) ++files;
  if (isPawnOf(p, sq + 1, Us) || isPawnOf(p, sq + up + 1, Us) || (home && isPawnOf(p, sq + 2 * up + 1, Us))) ++files;
  return 30 * files;
}

template int shelter<White>(const Board&, int);
template int shelter<Black>(const Board&, int);

int kingSafety(const Board& p, const NodeState& s) { return kingShelter<White>(p, s) - kingShelter<Black>(p, s); }

int minorKingDistance(const Board& p) {
  int v = 0;
  for (int us = White; us <= Black; ++us) {
    const int base = slotBase(us);
    const int king = p.square[base + KingSlot];
    int cost = 0;
    for (int slot : {base + QueenBishopSlot, base + KingBishopSlot})
      if (p.square[slot] != OffBoard) cost += 7 * kingDistance[p.square[slot]][king];
    for (int slot : {base + QueenKnightSlot, base + KingKnightSlot})
      if (p.square[slot] != OffBoard) cost += 3 * kingDistance[p.square[slot]][king];
    v += us == White ? -cost : cost;
  }
  return v;
}

int endgameKingTerms(const Board& p, const PassedPawnInfo& info, int& a, int& u) {
  int whiteA = 0, blackA = 0, whiteU = 0, blackU = 0;
  passerRace<White>(p, info, whiteA, whiteU);
  passerRace<Black>(p, info, blackA, blackU);
  a += whiteA - blackA;
  u += whiteU - blackU;
  return 28 * (kingToOwnPawns<Black>(p) - 1) - 28 * (kingToOwnPawns<White>(p) - 1);
}

int phaseThreeRules(const Board& p, int side, const NodeState& s, const PassedPawnInfo& info) {
  return passerRules<White>(p, side, s, info) - passerRules<Black>(p, side, s, info);
}

}  // namespace orv

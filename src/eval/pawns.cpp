// Pawn structure: doubled, isolated and backward pawns, passed pawns,
// candidates and unstoppable passers, cached in the pawn hash table.
#include <algorithm>
#include <cstdlib>

#include "board/tables.h"
#include "eval/eval_terms.h"
#include "eval/evaluate.h"
#include "hash/hashtable.h"

namespace orv {

namespace {

// By rank as seen from the pawn's own side.
constexpr int passedBase[8] = {0, 27, 39, 77, 107, 204, 408, 0};
constexpr int duoValue[8] = {0, 0, 24, 36, 87, 144, 258, 0};
constexpr int connectedValue[8] = {0, 0, 24, 36, 87, 144, 258, 0};
constexpr int fileDeduction[8] = {0, 27, 54, 80, 80, 54, 27, 0};
constexpr int IsolatedWeight = 33, DoubledWeight = 40, BackwardWeight = 46;

constexpr int edgeDistance(int file) { return std::min(file, 7 - file); }

// Per-file summary of both sides, ranks relative to each side:
// front = rank of the most advanced pawn, rear = 7 - rank of the rearmost; 0 = no pawn.
struct PawnFiles {
  int front[2][8];
  int rear[2][8];
  int count[2];
};

bool isPawnOf(const Board& p, int sq, int side) { return p.kind[p.map[sq]] == pawnKind(side); }

template <int Us> bool isCandidate(const Board& p, int sq, int side, const NodeState& s) {
  constexpr int Them = opposite(Us);
  constexpr int up = Us == White ? 8 : -8;
  if ((s.pawnFiles[Them] >> fileOf(sq)) & 1 || s.pieces[Them] > 0) return false;
  int c = side == Us ? sq + up : sq;
  if (relativeRank<Us>(c) >= 6) return true;
  for (;; c += up) {
    int defenders = 0, attackers = 0;
    if (fileOf(c) > 0) {
      defenders += isPawnOf(p, c - up - 1, Us);
      attackers += isPawnOf(p, c + up - 1, Them);
    }
    if (fileOf(c) < 7) {
      defenders += isPawnOf(p, c - up + 1, Us);
      attackers += isPawnOf(p, c + up + 1, Them);
    }
    if (attackers > defenders) return false;
    if (relativeRank<Us>(c + up) == 6) return true;
  }
}

// The pawn score of Us (positive is good for Us) with its passed pawns.
template <int Us>
int sidePawnScore(const Board& p, const PawnFiles& pf, int side, const NodeState& s, PassedPawnInfo& info) {
  constexpr int Them = opposite(Us);
  const int* front = pf.front[Us];
  const int* rear = pf.rear[Us];
  const int* theirFront = pf.front[Them];
  const int* theirRear = pf.rear[Them];

  int files = 0, isolated = 0, backward = 0;
  for (int f = 0; f < 8; ++f) {
    if (!front[f]) continue;
    ++files;
    const bool left = f > 0, right = f < 7;
    const bool hasNeighbour = (left && front[f - 1]) || (right && front[f + 1]);
    if (!hasNeighbour) {
      isolated += front[f] == 7 - rear[f] ? 1 : 2;
      continue;
    }
    const bool behindNeighbours = (!left || rear[f - 1] < rear[f]) && (!right || rear[f + 1] < rear[f]);
    const bool blocked = rear[f] == theirFront[f] + 1 || (left && rear[f] == theirFront[f - 1] + 2) ||
                         (right && rear[f] == theirFront[f + 1] + 2);
    if (behindNeighbours && blocked) ++backward;
  }
  const int doubled = pf.count[Us] - files;
  int score = -BackwardWeight * backward - DoubledWeight * doubled - IsolatedWeight * isolated;

  const int theirKing = p.square[slotBase(Them) + KingSlot];
  const int kingRank = theirKing == OffBoard ? 0 : relativeRank<Us>(theirKing);
  const int kingFile = theirKing == OffBoard ? 0 : fileOf(theirKing);
  const int tempo = side == Them ? 1 : 0;
  int bestRank = 0, bestFile = 0, unstoppable = 0;
  for (int f = 0; f < 8; ++f) {
    const int r = front[f];
    if (!r) continue;
    const int sq = makeSquare(f, Us == White ? r : 7 - r);
    const bool passed = theirRear[f] < r && (f == 0 || theirRear[f - 1] <= r) && (f == 7 || theirRear[f + 1] <= r);
    if (passed) {
      info.passed[Us] |= uint64_t(sq) << (8 * f);
      score += passedBase[r] * 11 / 10;
      if (f > 0 && front[f - 1] && std::abs(front[f - 1] - r) <= 1)
        score += connectedValue[std::max(r, front[f - 1])] * 6 / 5;
      else if (f < 7 && front[f + 1] && std::abs(front[f + 1] - r) <= 1)
        score += connectedValue[std::max(r, front[f + 1])] * 6 / 5;
      score -= fileDeduction[f];
      if (r > bestRank || (r == bestRank && edgeDistance(f) < edgeDistance(bestFile))) {
        bestRank = r;
        bestFile = f;
        info.mostAdvanced[Us] = sq;
      }
      if (kingRank < r - tempo || (7 - r) + tempo < std::abs(kingFile - f)) unstoppable = std::max(unstoppable, r);
    } else {
      if (f > 0 && front[f - 1] && std::abs(front[f - 1] - r) <= 1)
        score += duoValue[std::max(r, front[f - 1])] * 3 / 5;
      if (r >= 3 && isCandidate<Us>(p, sq, side, s)) score += passedBase[r] * 25 / 10;
    }
  }
  if (unstoppable > 0 && s.pieces[Them] == 0)
    score += ((420 * unstoppable + passedBase[unstoppable] * 11 / -10 + 2196) * 4) / 5;
  return score;
}

}  // namespace

int computePawnStructure(const Board& p, const NodeState& s, int side, PassedPawnInfo& info) {
  PawnFiles pf{};
  info = PassedPawnInfo{};
  for (int us = White; us <= Black; ++us) {
    for (int slot = slotBase(us) + FirstPawnSlot; slot <= slotBase(us) + LastPawnSlot; ++slot) {
      const int sq = p.square[slot];
      if (sq == OffBoard || p.kind[slot] != pawnKind(us)) continue;
      ++pf.count[us];
      const int f = fileOf(sq);
      const int r = us == White ? rankOf(sq) : 7 - rankOf(sq);
      pf.front[us][f] = std::max(pf.front[us][f], r);
      pf.rear[us][f] = std::max(pf.rear[us][f], 7 - r);
      // A pawn set up on its last rank (FEN accepts one) attacks no square on the board.
      if (us == White && sq < 56) {
        if (f > 0) info.attacks[White] |= 1ull << (sq + 7);
        if (f < 7) info.attacks[White] |= 1ull << (sq + 9);
      } else if (us == Black && sq >= 8) {
        if (f > 0) info.attacks[Black] |= 1ull << (sq - 9);
        if (f < 7) info.attacks[Black] |= 1ull << (sq - 7);
      }
    }
  }
  return sidePawnScore<White>(p, pf, side, s, info) - sidePawnScore<Black>(p, pf, side, s, info);
}

void extendedPawnKey(const Board& p, const NodeState& s, int side, uint32_t key[2]) {
  key[0] = s.pawnKey[0];
  key[1] = s.pawnKey[1];
  bool kingsMatter = false;
  if (s.pieces[Black] == 0 && s.pawns[White] > 0) {
    const int k = zobristIndex(Black, King, p.square[slotBase(Black) + KingSlot]);
    key[0] ^= zobristL[k];
    key[1] ^= zobristH[k];
    kingsMatter = true;
  }
  if (s.pieces[White] == 0 && s.pawns[Black] > 0) {
    const int k = zobristIndex(White, King, p.square[KingSlot]);
    key[0] ^= zobristL[k];
    key[1] ^= zobristH[k];
    kingsMatter = true;
  }
  if (kingsMatter) {
    key[0] ^= zobristL[448 + side];
    key[1] ^= zobristH[448 + side];
  }
}

int evaluatePawns(Evaluator& ev, const NodeState& s, int side, PassedPawnInfo& info) {
  const Board& p = ev.position;
  if (ev.pawnTable->count == 0) return computePawnStructure(p, s, side, info);
  uint32_t key[2];
  extendedPawnKey(p, s, side, key);
  PawnHashEntry& e = pawnEntry(*ev.pawnTable, key[0]);
  if (pawnEntryMatches(e, key[0], key[1])) {
    ++ev.pawnHashHits;
    const int squares = e.squares;
    info.mostAdvanced[White] = squares & 63;
    info.mostAdvanced[Black] = (squares >> 6) & 63;
    info.passed[White] = e.mask[0];
    info.passed[Black] = e.mask[1];
    info.attacks[White] = e.mask[2];
    info.attacks[Black] = e.mask[3];
    return e.score;
  }
  const int score = computePawnStructure(p, s, side, info);
  e.lock = key[1];
  e.check = uint16_t(key[0] >> 16);
  e.score = int16_t(score);
  e.squares = uint16_t((e.squares & 0xF000) | (info.mostAdvanced[White] & 63) | ((info.mostAdvanced[Black] & 63) << 6));
  e.mask[0] = info.passed[White];
  e.mask[1] = info.passed[Black];
  e.mask[2] = info.attacks[White];
  e.mask[3] = info.attacks[Black];
  return score;
}

}  // namespace orv

// Positions without pawns: drive the weaker king to the edge or the right
// corner, recognise the drawn minor-piece cases.
#include <algorithm>

#include "board/tables.h"
#include "eval/eval_terms.h"
#include "eval/evaluate.h"

namespace orv {

namespace {

struct PieceCounts {
  int heavy = 0;  // queens and rooks
  int bishops = 0;
  int knights = 0;
  int total() const { return heavy + bishops + knights; }
};

PieceCounts countPieces(const Board& p, int side) {
  PieceCounts c;
  for (int slot = slotBase(side) + 1; slot < slotBase(side) + 16; ++slot) {
    if (p.square[slot] == OffBoard) continue;
    const int k = p.kind[slot];
    if (k == Queen || k == Rook) ++c.heavy;
    else if (k == Bishop) ++c.bishops;
    else if (k == Knight) ++c.knights;
  }
  return c;
}

int edgeDistance(int sq) { return std::min({fileOf(sq), rankOf(sq), 7 - fileOf(sq), 7 - rankOf(sq)}); }

int cornerDistance(int sq) {
  return std::min({kingDistance[sq][0], kingDistance[sq][7], kingDistance[sq][56], kingDistance[sq][63]});
}

// How far the strong side (Us) still is from mating the lone defender.
template <int Us> int drivingCost(const Board& p, const PieceCounts& c, int kingsApart) {
  constexpr int Them = opposite(Us);
  const int defender = p.square[slotBase(Them) + KingSlot];
  const int e = edgeDistance(defender);
  if (c.heavy >= 2) return 2 * e;
  if (c.heavy == 1) return kingsApart + 2 * e;
  if (c.bishops >= 2) return kingsApart + 2 * cornerDistance(defender);
  if (c.bishops == 1 && c.knights >= 1) {
    // White's f1 bishop and Black's c8 bishop run on the light squares (h1, a8);
    // without that one the bishop is taken to be the dark-squared one.
    const int lightSlot = Us == White ? KingBishopSlot : QueenBishopSlot + 16;
    const bool dark = p.square[lightSlot] == OffBoard;
    const int corner = dark ? std::min(kingDistance[defender][0], kingDistance[defender][63])
                            : std::min(kingDistance[defender][7], kingDistance[defender][56]);
    return kingsApart + 2 * corner;
  }
  return 0;
}

}  // namespace

int evaluatePawnless(const Board& p, const NodeState& s) {
  const PieceCounts w = countPieces(p, White), b = countPieces(p, Black);
  const int n = w.total() + b.total();
  if (n == 0) return 0;
  if (n == 1 && w.heavy + b.heavy == 0) return 0;
  if (n == 2 && (w.knights == 2 || b.knights == 2 || (w.bishops + w.knights == 1 && b.bishops + b.knights == 1)))
    return 0;
  const int v = s.material[1];
  if (v == 0) return 0;
  const int d = kingDistance[p.square[KingSlot]][p.square[16 + KingSlot]];
  return v > 0 ? v - drivingCost<White>(p, w, d) : v + drivingCost<Black>(p, b, d);
}

}  // namespace orv

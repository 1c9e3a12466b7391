// The evaluation driver: selects the terms by the phase code, weights them by
// the material left, orients, damps and clamps the score.
#include "eval/evaluate.h"

#include <algorithm>

#include "board/score.h"

#include "eval/eval_terms.h"

namespace orv {

namespace {

constexpr int LoneMinor = BishopValue;
constexpr int FullMaterialPawns = 78;

int materialLeft(const NodeState& s) {
  return std::min(FullMaterialPawns, (s.nonPawn[White] + s.nonPawn[Black]) / PawnValue);
}

// Piece-square part blended by the material left.
int blendPsq(const NodeState& s, int w, int e) { return (w * s.psq[0] + e * s.psq[1]) / FullMaterialPawns * 28 / 10; }

// Pawnless positions: corrections by the combination of non-pawn material,
// which also fix the weight of the piece-square part.
int pawnlessScore(const Board& position, const NodeState& s, EvalTerms& t) {
  const int p = evaluatePawnless(position, s);
  const int mw = s.nonPawn[White], mb = s.nonPawn[Black];
  int j = p, w = materialLeft(s);
  constexpr int OneMinor = BishopValue, OneRook = RookValue, RookAndMinor = RookValue + BishopValue,
                TwoMinors = 2 * BishopValue;
  if (mw == RookAndMinor && mb == OneRook) j = p - 936;
  else if (mw == OneRook && mb == RookAndMinor) j = p + 936;
  else if (mw == TwoMinors && mb == RookAndMinor) w = 17;
  else if (mw == OneRook && mb == OneMinor) j = p - 480, w = 9;
  else if (mw == OneMinor && mb == OneRook) j = p + 480, w = 9;
  else if (mw == TwoMinors && mb == OneMinor) j = p - 936;
  else if (mw == OneMinor && mb == TwoMinors) j = p + 936;
  t.J = j;
  t.W = w;
  t.E = FullMaterialPawns - w;
  t.Q = blendPsq(s, t.W, t.E);
  return t.Q + t.J;
}

int weightedScore(Evaluator& e, int side, const NodeState& s, EvalTerms& t) {
  const Board& p = e.position;
  const int phase = s.phase;
  const int mw = s.nonPawn[White], mb = s.nonPawn[Black];
  int loneMinorLoss = 0, loneMinorGain = 0;
  if (phase <= 3) {
    t.A = activityTerms(p, s, phase >= 2);
    t.K = minorKingDistance(p);
    t.S = kingSafety(p, s);
    t.J = 120 * ((mb == LoneMinor) - (mw == LoneMinor));
    loneMinorLoss = t.J - 912;
    loneMinorGain = t.J + 912;
  }
  PassedPawnInfo info;
  t.U = evaluatePawns(e, s, side, info);
  if (phase >= 3) t.K += endgameKingTerms(p, info, t.A, t.U);
  if (phase <= 3) {
    t.A += outposts(p);
    if (phase == 3) {
      auto hasMinor = [&](int base) {
        for (int slot = base + QueenBishopSlot; slot <= base + KingKnightSlot; ++slot)
          if (p.square[slot] != OffBoard) return true;
        return false;
      };
      // A lone minor piece cannot win against pawns.
      if (s.pawns[White] == 0 && s.pawns[Black] > 0 && s.pieces[White] == 1 && s.pieces[Black] == 0 && hasMinor(0))
        t.J = loneMinorLoss;
      if (s.pawns[Black] == 0 && s.pawns[White] > 0 && s.pieces[Black] == 1 && s.pieces[White] == 0 && hasMinor(16))
        t.J = loneMinorGain;
      t.A += phaseThreeRules(p, side, s, info);
    }
    t.M = evaluateMobility(e.position, info, side, s, t.A, t.K) * 13 / 10;
  }
  t.W = materialLeft(s);
  t.E = FullMaterialPawns - t.W;
  t.U = t.U + t.U * t.E / 205;
  t.S = t.S + t.S * t.E / (-164);
  t.A = t.A * 14 / 10;
  t.Q = blendPsq(s, t.W, t.E);
  t.T = (t.W * s.material[0] + t.E * s.material[1]) / FullMaterialPawns;
  return t.U + t.Q + t.A + t.S + t.K + t.M + t.J + t.T;
}

}  // namespace

int evaluateTerms(Evaluator& e, int side, const NodeState& s, EvalTerms& t) {
  ++e.evaluationCount;
  t = EvalTerms{};
  t.phase = s.phase;
  const bool pawnless = s.phase == 5;
  const int x = pawnless ? pawnlessScore(e.position, s, t) : weightedScore(e, side, s, t);
  const int oriented = side == White ? x : -x;
  const int damping = 100 - s.halfMove;
  const int r = pawnless ? oriented * damping / 100 + 80 : (damping * oriented / 100 + 80) / 10 * 10;
  if (r == 0) return -2;
  return std::clamp(r, -NormalScoreLimit, NormalScoreLimit);
}

int evaluate(Evaluator& e, int side, const NodeState& s) {
  EvalTerms t;
  return evaluateTerms(e, side, s, t);
}

}  // namespace orv

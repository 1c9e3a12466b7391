// Move ordering of full-width nodes: history and follow-up counters per side,
// killer words per ply, and the scores they give to a move list.
#include "search/ordering.h"

#include <algorithm>
#include <cstring>

#include "eval/evaluate.h"
#include "search/worker.h"

namespace orv {

namespace {

constexpr int HistoryScale = 4096;
constexpr int HistoryBonusCap = 415;
constexpr int FirstKillerBonus = 10000;
constexpr int CaptureBonus = 10000;
constexpr int ScoreOffset = 8192;
constexpr int RootScoreTop = 4346;
// Promotion bonus by move kind 4..7: queen, rook, bishop, knight.
constexpr int promotionBonus[4] = {1404, 696, 468, 468};

constexpr int historyIndex(Move m) { return isCapture(m) ? 0 : 1; }
constexpr bool isQuiet(Move m) { return (m & (CaptureMark | PromotionMark)) == 0; }

// The gravity update: moves h toward +4096 (bonus > 0) or -4096 (bonus < 0).
inline void reward(int32_t& h, int bonus) { h += bonus - bonus * h / HistoryScale; }
inline void punish(int32_t& h, int bonus) { h += -bonus - bonus * h / HistoryScale; }

}  // namespace

int historyBonus(int depthPlies) { return std::min(42 * depthPlies - 17, HistoryBonusCap); }

template <int Us> void scoreMoves(SearchWorker& w, uint32_t* list, Move previous, const NodeState& s) {
  if (s.ply == 0) {
    int i = 0;
    for (; w.state.orderedRootList[i] != 0 && i < RootListSize - 1; ++i)
      list[i] = orderedWord(moveOf(w.state.orderedRootList[i]), RootScoreTop - i);
    list[i] = 0;
    return;
  }
  const Board& p = w.position;
  const uint32_t killer = w.state.killers[s.ply] & 0xFFFF;
  const int32_t* followUp = nullptr;
  if (previous != 0) {
    const int prevTo = moveTo(previous);
    followUp = &w.state.followUp[Us][p.kind[p.map[prevTo]]][prevTo][0][0];
  }
  for (uint32_t* word = list; *word != 0; ++word) {
    const Move m = moveOf(*word);
    const int from = moveFrom(m), to = moveTo(m);
    const int k = p.kind[p.map[from]];
    int score = w.state.history[Us][historyIndex(m)][k][from][to];
    if (!isQuiet(m)) {
      score += CaptureBonus;
      if (isCapture(m)) score += p.value[p.map[to]] / 4;
      if (isPromotion(m)) score += promotionBonus[moveKind(m) - PromoteQueen];
    } else if (m == killer && previous != 0) {
      score += FirstKillerBonus;
    }
    if (followUp) score += followUp[k * 64 + to];
    score += ScoreOffset;
    score = std::clamp(score, 0, 0xFFFF);
    *word = orderedWord(m, score);
  }
}

template <int Us>
void updateOnCutoff(SearchWorker& w, Move m, int depthPlies, Move previous, const uint16_t* tried, int triedCount,
                    int ply) {
  const Board& p = w.position;
  const int bonus = historyBonus(depthPlies);
  m = moveOf(m);
  const int from = moveFrom(m), to = moveTo(m);
  const int k = p.kind[p.map[from]];
  reward(w.state.history[Us][historyIndex(m)][k][from][to], bonus);

  if (previous == 0) {
    for (int i = 0; i < triedCount; ++i) {
      const Move t = tried[i];
      const int tf = moveFrom(t), tt = moveTo(t);
      punish(w.state.history[Us][historyIndex(t)][p.kind[p.map[tf]]][tf][tt], bonus);
    }
    return;
  }

  const int prevTo = moveTo(previous);
  int32_t* followUp = &w.state.followUp[Us][p.kind[p.map[prevTo]]][prevTo][0][0];
  reward(followUp[k * 64 + to], bonus);
  for (int i = 0; i < triedCount; ++i) {
    const Move t = tried[i];
    const int tf = moveFrom(t), tt = moveTo(t);
    const int tk = p.kind[p.map[tf]];
    punish(w.state.history[Us][historyIndex(t)][tk][tf][tt], bonus);
    punish(followUp[tk * 64 + tt], bonus);
  }
  if (isQuiet(m) && ply >= 0 && ply <= MaxPly) {
    uint32_t& killer = w.state.killers[ply];
    if ((killer & 0xFFFF) != m) killer = killer << 16 | m;
  }
}

template void scoreMoves<White>(SearchWorker&, uint32_t*, Move, const NodeState&);
template void scoreMoves<Black>(SearchWorker&, uint32_t*, Move, const NodeState&);
template void updateOnCutoff<White>(SearchWorker&, Move, int, Move, const uint16_t*, int, int);
template void updateOnCutoff<Black>(SearchWorker&, Move, int, Move, const uint16_t*, int, int);

}  // namespace orv

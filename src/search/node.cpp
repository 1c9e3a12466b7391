// The node search: a principal-variation alpha-beta search over the search
// position, one template for both sides to move. Below one ply of depth the
// same node continues as a quiescence node. Every node makes the move that
// leads into it and takes it back before returning.
#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>

#include "board/en_passant.h"
#include "board/game.h"
#include "board/search_board.h"
#include "board/tables.h"
#include "eval/evaluate.h"
#include "hash/hashtable.h"
#include "search/attacks.h"
#include "search/counters.h"
#include "search/generate.h"
#include "search/make.h"
#include "search/ordering.h"
#include "search/pv.h"
#include "search/reductions.h"
#include "search/search.h"
#include "search/search_internal.h"
#include "tablebase/probe.h"

namespace orv {

namespace {

constexpr int NoEval = -InfiniteScore;
constexpr int IllegalMove = IllegalMoveScore;

inline void reportDiagnostic(SearchWorker& w, int code) {
  if (w.isMain() && diagnosticHook) diagnosticHook(code);
}

// Is the king of Us attacked by a man of the other side (its king left out)?
template <int Us> inline bool kingInCheck(SearchWorker& w) {
  return attackedBy<Us ^ 1, false>(w.position, w.position.square[slotBase(Us)]);
}

// Draw by material after a capture that left no pawn: a lone king against at
// most a minor piece, or one bishop each on squares of the same colour.
bool deadPositionWithoutPawns(SearchWorker& w, const NodeState& s) {
  if (s.pawns[0] + s.pawns[1] != 0) return false;
  if ((s.pieces[White] == 0 && s.nonPawn[Black] <= BishopValue) ||
      (s.pieces[Black] == 0 && s.nonPawn[White] <= BishopValue))
    return true;
  if (s.nonPawn[White] > BishopValue || s.nonPawn[Black] > BishopValue) return false;
  const Board& p = w.position;
  int colour[2] = {-1, -1};
  for (int slot = 0; slot < 32; ++slot) {
    if (p.square[slot] == OffBoard || p.kind[slot] != Bishop) continue;
    colour[colourOfSlot(slot)] = (fileOf(p.square[slot]) + rankOf(p.square[slot])) & 1;
  }
  return colour[White] >= 0 && colour[White] == colour[Black];
}

// Fifty-move rule and repetitions along the game and the current line.
// Repetitions score slightly against the side that moves at the root.
// The search's own records lie beyond the game's newest record; the root
// position's record is the one of the last move played (the two differ after
// moves were taken back). The set-up position, which has no record, counts
// when the walk reaches the start of the game.
template <int Us> bool drawByRule(SearchWorker& w, const NodeState& s, int& result) {
  if (s.halfMove <= 3) return false;
  if (s.halfMove == 100) {
    result = 0;
    return true;
  }
  const RepetitionHistory& h = w.repetition;
  const HistoryRecord* records = h.records.data();
  int matches = 0;
  bool firstInTree = false;
  for (int q = s.ply - 4;; q -= 2) {  // q: plies from the root, negative inside the game
    const int i = q > 0 ? h.lastRecord + q : h.ply + q;
    if (i < 0) {
      if (i == -1 && h.setupSide == Us && h.setupLock == s.key[1] && matches++ == 0) firstInTree = q >= 0;
      break;
    }
    const HistoryRecord& r = records[i];
    if (r.keyHigh == s.key[1] && matches++ == 0) firstInTree = q >= 0;
    if (r.move == 0 || (r.flags & RecordIrreversible)) break;
  }
  const int sign = Us == w.state.rootSide ? -1 : 1;
  if (matches >= 2) {
    result = sign;
    return true;
  }
  if (matches == 1 && firstInTree) {
    result = 2 * sign;
    return true;
  }
  return false;
}

// Moves the word at `from` to `to` (to <= from), shifting the words between
// up by one, so the relative order of the rest is kept.
inline void bringForward(uint32_t* list, int to, int from) {
  const uint32_t word = list[from];
  for (int i = from; i > to; --i) list[i] = list[i - 1];
  list[to] = word;
}

// Index of the highest ordering score in [from, count), the first on ties.
inline int bestIndex(const uint32_t* list, int from, int count) {
  int best = from;
  for (int i = from + 1; i < count; ++i)
    if (scoreOf(list[i]) > scoreOf(list[best])) best = i;
  return best;
}

inline void recordPv(SearchWorker& w, int ply, Move m, int score) {
  assert(ply >= 0 && ply + 1 < MaxPly);  // nodes at the last ply return before their moves
  PvNode* node = w.state.pvLine[ply];
  node->word = scoredWord(m, score);
  std::swap(node->next, w.state.pvLine[ply + 1]);
}

// Starts loading the transposition bucket of the position after Us's move m
// (and its evaluation cache entry). The key is a guess that leaves out the
// castling and en-passant keys, so now and then the wrong line is loaded: a
// hint only, it changes no result.
template <int Us> inline void prefetchChild(SearchWorker& w, Move m, const NodeState& s) {
  constexpr int Them = Us ^ 1;
  const Board& p = w.position;
  const int from = moveFrom(m), to = moveTo(m);
  const int kind = p.kind[p.map[from]];
  const int newKind = isPromotion(m) ? promotionKind(m) : kind;
  uint32_t key = s.key[0] ^ zobristL[ZobristSideToMove] ^ zobristL[ZobristSideToMove + 1] ^
                 zobristL[zobristIndex(Us, kind, from)] ^ zobristL[zobristIndex(Us, newKind, to)];
  const int victim = p.map[to];
  if (victim != EmptySquare) key ^= zobristL[zobristIndex(Them, p.kind[victim], to)];
  prefetchBucket(key);
  prefetchEvaluation(w, key);
}

inline bool knightStepApart(int a, int b) { return a != OffBoard && b != OffBoard && isKnightStep(direction[a][b]); }

// The quiescence node: stand pat, then captures (all moves in check at the
// first two quiescence plies).
template <int Us>
[[gnu::noinline]] int quiescence(SearchWorker& w, Move t, uint32_t flags, int depth, int alpha, int beta, NodeState& s,
                                 const uint32_t key[2], bool inCheck) {
  constexpr int Them = Us ^ 1;
  const int ply = s.ply;
  const bool pvNode = beta - alpha > 1;
  bump(w.counters.quiescenceNodes);

  if (depth >= 0 && t != 0 && !(flags & FlagReentry)) {
    int draw;
    if (drawByRule<Us>(w, s, draw)) return draw;
  }

  int eval = NoEval, hashType = TTEmpty, hashScore = 0;
  TTSlot hitSlot;
  if (probe(key[0], key[1], hitSlot)) {
    const TTSlot* hit = &hitSlot;
    if (hit->move != 0 && !plausibleHashMove<Us>(w.position, hit->move)) {
      reportDiagnostic(w, 3456);
    } else {
      hashType = hit->bound();
      hashScore = scoreFromTable(hit->score, ply);
      eval = hit->eval;
      if (!pvNode && !inCheck) {
        if (hashType == TTExact || hashType == TTTablebase) return hashScore;
        if (hashType == TTLower && hashScore >= beta) return hashScore;
        if (hashType == TTUpper && hashScore <= alpha) return hashScore;
      }
    }
  }

  uint32_t list[MaxSearchMoves];
  int count;
  bool matePossible = false, deltaPruning = false;
  int deltaBase = 0;
  if (inCheck) {
    if (depth >= -OnePly) {
      count = generateAll<Us>(w.position, list, s.lastMove, true, s);
      matePossible = true;
    } else {
      count = generateCaptures<Us>(w.position, list, s.lastMove);
      if (count == 0) return alpha;
    }
  } else {
    int standPat;
    if (eval == NoEval && !pvNode) {
      // Material alone, blended by the amount of non-pawn material, often
      // decides the node without an evaluation.
      const int p = std::min((s.nonPawn[White] + s.nonPawn[Black]) / PawnValue, 78);
      int lazy = ((78 - p) * s.material[1] + p * s.material[0]) / 78;
      if (Us == Black) lazy = -lazy;
      if (beta > -NormalScoreLimit && s.pieces[Us] > 0 && beta < lazy - 4 * PawnValue) standPat = beta;
      else if (alpha < NormalScoreLimit && s.pieces[Them] > 0 && lazy + 4 * PawnValue < alpha) standPat = alpha;
      else standPat = eval = evaluateCached(w, Us, s);
    } else {
      if (eval == NoEval) eval = evaluateCached(w, Us, s);
      standPat = eval;
    }
    if (hashType == TTExact || hashType == TTTablebase) standPat = hashScore;
    else if (hashType == TTLower && hashScore > standPat) standPat = hashScore;
    else if (hashType == TTUpper && hashScore < standPat) standPat = hashScore;

    if (standPat > alpha) {
      if (standPat >= beta) return standPat;
      alpha = standPat;
    }
    count = generateCaptures<Us>(w.position, list, s.lastMove);
    if (count == 0) return standPat;
    // The children's table lines load side by side rather than one by one.
    for (int i = 0; i < count && i < 6; ++i) prefetchChild<Us>(w, moveOf(list[i]), s);
    if (std::abs(standPat) < NormalScoreLimit) {
      deltaPruning = true;
      const bool thin = s.nonPawn[White] <= RookValue || s.nonPawn[Black] <= RookValue;
      deltaBase = standPat + (thin ? QueenValue : 800);
    }
  }

  const SearchBoard& pos = w.position;
  int searched = 0;
  bool raised = false;
  for (int i = 0; i < count; ++i) {
    bringForward(list, i, bestIndex(list, i, count));
    const Move m = moveOf(list[i]);
    if (deltaPruning) {
      if (moveKind(m) == EnPassant) {
        if (deltaBase + PawnValue < alpha) continue;
      } else if (deltaBase + pos.value[pos.map[moveTo(m)]] + (isPromotion(m) ? QueenValue - PawnValue : 0) < alpha) {
        continue;
      }
    }
    prefetchChild<Us>(w, m, s);
    const int v = searchNode<Them>(w, m, FlagQuiescence | FlagLegality, depth - OnePly, -beta, -alpha, s);
    if (v == IllegalMove) continue;
    const int score = -v;
    ++searched;
    if (score > alpha) {
      if (pvNode) recordPv(w, ply, m, score);
      if (score >= beta) {
        store(TTLower, score, 0, 0, pvNode, ply, key[0], key[1], eval);
        return score;
      }
      alpha = score;
      raised = true;
    }
  }
  if (matePossible && searched == 0) return ply - MateScore;
  if (raised) store(TTExact, alpha, 0, 0, 1, ply, key[0], key[1], eval);
  else store(TTUpper, alpha, 0, 0, pvNode, ply, key[0], key[1], eval);
  return alpha;
}

// The full-width node (depth of one ply or more).
template <int Us>
[[gnu::noinline]] int fullWidth(SearchWorker& w, Move t, uint32_t flags, int depth, int alpha, int beta,
                                const NodeState& parent, NodeState& s, const uint32_t key[2], bool inCheck) {
  constexpr int Them = Us ^ 1;
  const int ply = s.ply;
  const bool pvNode = beta - alpha > 1;
  const Move excluded = parent.excluded;
  const SearchBoard& pos = w.position;

  s.excluded = 0;
  bump(w.counters.fullWidthNodes);

  if (t != 0 && !(flags & FlagReentry)) {
    int draw;
    if (drawByRule<Us>(w, s, draw)) return draw;
  }

  // Transposition table.
  int D = depth >> PlyShift;
  Move hashMove = 0;
  int eval = NoEval, hashType = TTEmpty, hashScore = 0, hashDepth = 0;
  bool nullAllowed = true, hashPv = false, hashMoveCapture = false, hashUpperDeep = false;
  if (ply > 0) {
    TTSlot hitSlot;
    const TTSlot* hit = probe(key[0], key[1], hitSlot) ? &hitSlot : nullptr;
    if (hit && hit->move != 0 && !plausibleHashMove<Us>(w.position, hit->move)) {
      reportDiagnostic(w, 3456);
      hit = nullptr;
    }
    if (hit) {
      bump(w.counters.tableHits);
      hashType = hit->bound();
      hashDepth = hit->depth();
      hashScore = scoreFromTable(hit->score, ply);
      // A PV node searches on past a stored bound, except a tablebase result
      // or, with helpers, a mate: a mate a deeper helper proved lies past this
      // worker's horizon, and each PV re-search that ignored it would fail low
      // again below every sibling that the table calls a mate.
      const bool pvTakes = hashType == TTTablebase || (w.state.sharedTable && std::abs(hashScore) > NormalScoreLimit);
      if ((hashDepth >= D || hashType == TTTablebase) && (!pvNode || pvTakes) && excluded == 0) {
        if (hashType == TTExact || hashType == TTTablebase) return hashScore;
        if (hashType == TTLower && hashScore >= beta) return hashScore;
        if (hashType == TTUpper && hashScore <= alpha) return hashScore;
      }
      if (hashType == TTUpper && hashScore < beta) nullAllowed = false;
      if (hashDepth != 0) hashMove = hit->move;
      eval = hit->eval;
      hashPv = hit->pv();
      hashMoveCapture = isCapture(hashMove);
      hashUpperDeep = pvNode && hashType == TTUpper && hashDepth >= D;
      if (std::abs(hashScore) <= NormalScoreLimit) {
        if (hashType == TTExact || hashType == TTTablebase || (hashType == TTLower && hashScore > eval) ||
            (hashType == TTUpper && hashScore < eval))
          eval = hashScore;
      }
    }
  }

  // Endgame tablebases.
  if (ply > 0 && excluded == 0) {
    const int men = 2 + s.pawns[0] + s.pawns[1] + s.pieces[0] + s.pieces[1];
    if (men <= searchSettings.tablebaseMen) {
      if (men == 2) return 0;
      prepareTablebaseProbe(w.tablebase, pos);
      const int epSquare = enPassantCapturers<Us>(pos, s.lastMove) != 0 ? passedSquare(s.lastMove) : -1;
      const int v = probeTablebase(w.tablebase, Us, epSquare);
      if (v != TablebaseUnknown && v >= -32766) {
        bump(w.counters.tablebaseHits);
        const int result = tablebaseScore(v, ply);
        store(TTTablebase, result, 0, std::min(depth + 6 * OnePly, 63 * OnePly), 1, ply, key[0], key[1], NoEval);
        return result;
      }
    }
  }
  if (ply >= MaxPly - 1 && !inCheck) return evaluate(w, Us, s);

  if (inCheck) eval = ply - MateScore;
  else if (eval == NoEval) eval = evaluateCached(w, Us, s);

  if (!inCheck && t != 0 && !pvNode) {
    // Razoring: far below alpha, ask the quiescence search.
    if (depth <= 5 * OnePly && hashMove == 0 && alpha < 20 * PawnValue && eval > -NormalScoreLimit &&
        alpha > eval + 3.5 * 486 * D) {
      const int v = searchNode<Us>(w, t, (flags | FlagReentry) & ~FlagLegality, 0, alpha, beta, s);
      if (v <= alpha) return v;
    }
    // Reverse futility: far above beta at low depth.
    if (depth <= 8 * OnePly && s.pieces[Us] > 0 && std::abs(eval) < NormalScoreLimit && eval - 0.8 * 486 * D >= beta)
      return beta;
  }

  // Null move.
  bool verificationFailed = false;
  if (nullAllowed && !inCheck && !(flags & FlagNoNull) && !pvNode && s.pieces[Us] > 0 && t != 0 && ply <= MaxPly - 2 &&
      beta > -NormalScoreLimit && eval >= beta && excluded == 0) {
    const int nd = depth - (3 + D / 4 + std::min((eval - beta) / 1200, 3)) * OnePly;
    bump(w.counters.nullMoves);
    const int v = -searchNode<Them>(w, 0, (flags & InheritedByNullChild) | FlagNullChild, nd, -beta, -beta + 1, s);
    if (v >= beta && v < NormalScoreLimit) {
      if (depth < 12 * OnePly) return beta;
      const int verified =
          searchNode<Us>(w, t, (flags | FlagReentry | FlagNoNull) & ~FlagLegality, std::max(nd, 0), beta - 1, beta, s);
      if (verified >= beta) return beta;
      verificationFailed = true;
    }
  }

  // Moves.
  uint32_t list[MaxSearchMoves];
  int count = 0;
  bool scored = false;
  if (ply == 0) {
    for (; count < RootListSize - 1 && w.state.orderedRootList[count] != 0; ++count)
      list[count] = orderedWord(moveOf(w.state.orderedRootList[count]), 4346 - count);
    list[count] = 0;
    scored = true;
  } else {
    count = generateAll<Us>(w.position, list, s.lastMove, inCheck, s);
    assert(count < MaxSearchMoves);  // room for the terminating 0
  }
  w.state.killers[ply + 1] = 0;
  bool lateMovePruning = false;
  if (verificationFailed) {
    if (hashMove == 0 && ply > 0) depth -= OnePly;
  } else {
    if (hashMove == 0 && t != 0 && depth >= 4 * OnePly && ply > 0) depth -= OnePly;
    lateMovePruning = depth < 11 * OnePly && !inCheck && s.pieces[Us] > 0 && s.pawns[Us] > 0 && ply > 0;
  }
  D = depth >> PlyShift;

  int next = 0;
  bool hashFirst = false;
  if (hashMove != 0) {
    for (int i = 0; i < count; ++i)
      if (moveOf(list[i]) == hashMove) {
        bringForward(list, 0, i);
        hashFirst = true;
        break;
      }
  }

  uint16_t tried[64];
  int triedCount = 0, movesSearched = 0, quietSearched = 0;
  Move best = 0;
  bool underPromotionStop = false;
  const int enemyKing = pos.square[slotBase(Them)];
  const int enemyQueen = pos.square[slotBase(Them) + QueenSlot];

  for (; next < count; ++next) {
    if (!(hashFirst && next == 0)) {
      if (!scored) {
        scoreMoves<Us>(w, list + next, t, s);
        scored = true;
      }
      bringForward(list, next, bestIndex(list, next, count));
    }
    const uint32_t word = list[next];
    const Move m = moveOf(word);
    if (m == excluded) continue;
    if (ply == 0 && w.isMain()) announceRootMove(w, m, movesSearched + 1);
    const int kind = moveKind(m);
    if (kind >= PromoteRook && underPromotionStop && ply > 0) continue;

    const int from = moveFrom(m), to = moveTo(m);
    const int movingKind = pos.kind[pos.map[from]];
    const bool quiet = !isCapture(m) && !isPromotion(m);
    const bool checks = givesCheck<Us>(pos, m, enemyKing, s);
    const bool passerPush = movingKind == pawnKind(Us) && relativeRank<Us>(to) >= 4 && isPassedPawn<Us>(pos, to, s);

    // Extension and reduction.
    enum Rule { Plain, Futility, Reduce };
    Rule rule = Plain;
    int e = 0, r = 0;
    if (movesSearched == 0 || checks || passerPush) {
      e = inCheck ? OnePly : 0;
    } else if (lateMovePruning) {
      if (quietSearched >= lateMoveCount[D]) {
        if (quiet && alpha > -NormalScoreLimit) continue;
        rule = depth < 3 * OnePly ? Plain : Reduce;
      } else {
        rule = D < 10 ? Futility : Reduce;
      }
    } else if (!inCheck && D <= 9) {
      rule = Futility;
    } else if (inCheck && D <= 9 && depth < 3 * OnePly) {
      e = OnePly;
    } else {
      rule = Reduce;
    }
    if (rule == Futility) {
      if (quiet && s.pieces[Us] > 0 && alpha > -NormalScoreLimit) {
        if (ply == 0) {
          rule = Reduce;
        } else {
          const float margin = 0.8f * 486.0f * float(D) + float(eval) + 486.0f + float((scoreOf(word) - 8192) / 2);
          if (float(alpha) >= margin) continue;
          rule = depth < 3 * OnePly ? Plain : Reduce;
        }
      } else {
        rule = depth < 3 * OnePly ? Plain : Reduce;
      }
    }
    if (rule == Reduce) {
      if ((ply == 0 && movesSearched < 3) || s.pawns[Us] == 0 || s.pieces[Us] == 0 || inCheck) {
        e = inCheck ? OnePly : 0;
      } else {
        r = OnePly * reductionTable[std::min(D, 31)][std::min(movesSearched, 63)];
        if ((hashPv || pvNode) && !hashUpperDeep) r -= OnePly * (1 + pvNode);
        if (pvNode && alpha > -NormalScoreLimit && eval - alpha > 3 * PawnValue) r -= OnePly;
        const int h = w.state.history[Us][isCapture(m) ? 0 : 1][movingKind][from][to] / 128;
        r -= OnePly * std::clamp(h, -2, 2);
        if (!pvNode && hashMoveCapture) r += OnePly;
        r = r < 1 ? 0 : std::max(0, std::min(r, depth - 2 * OnePly));
      }
    }
    if (s.pieces[Us] == 0 && s.pieces[Them] == 1 && isCapture(m) && pos.value[pos.map[to]] >= BishopValue) e = OnePly;
    if (ply >= w.state.extensionPlyLimit) e = 0;
    if (e == 0 && !isCapture(m) && ply < w.state.extensionPlyLimit && t != 0 && depth >= 8 * OnePly && m == hashMove &&
        hashType == TTLower && std::abs(hashScore) < NormalScoreLimit && hashDepth >= D - 3 && ply > 0 &&
        excluded == 0) {
      // Singular extension: is the hash move clearly better than every other move?
      const int sb = hashScore - 8 * D;
      NodeState verify = s;
      verify.excluded = uint16_t(m);
      const int v =
          searchNode<Us>(w, t, (flags & ~FlagLegality) | FlagSingular | FlagReentry, depth / 2, sb - 1, sb, verify);
      if (v < sb && v != IllegalMove) e = OnePly;
    }

    prefetchChild<Us>(w, m, s);
    const int cd = depth + e - OnePly;
    const int rd = cd - r;
    uint32_t childFlags = (flags & (movesSearched == 0 ? InheritedByFirstChild : InheritedByLaterChild)) | FlagLegality;
    if (movesSearched > 0 && pvNode) childFlags |= FlagPvLater;

    int score;
    if (movesSearched == 0) {
      const int v = searchNode<Them>(w, m, childFlags, cd, -beta, -alpha, s);
      if (v == IllegalMove) continue;
      score = -v;
    } else {
      const int v = searchNode<Them>(w, m, childFlags, rd, -alpha - 1, -alpha, s);
      if (v == IllegalMove) continue;
      score = -v;
      bool reduced = r > 0;
      const uint32_t againFlags = childFlags & ~FlagLegality;
      if (pvNode && reduced && score > alpha) {
        score = -searchNode<Them>(w, m, againFlags, cd, -alpha - 1, -alpha, s);
        reduced = false;
      }
      if (score > alpha && (score < beta || reduced)) score = -searchNode<Them>(w, m, againFlags, cd, -beta, -alpha, s);
    }

    bump(w.counters.searchedMoves);
    ++movesSearched;
    if (ply == 0) w.counters.currentRootMove.store(m, std::memory_order_relaxed);

    if (score > alpha && score >= beta) {
      if (excluded != 0) return score;
      if (pvNode) recordPv(w, ply, m, score);
      updateOnCutoff<Us>(w, m, D, t, tried, triedCount, ply);
      store(TTLower, score, m, depth, pvNode, ply, key[0], key[1], eval);
      return score;
    }
    if (score > alpha) {
      if (pvNode) recordPv(w, ply, m, score);
      best = m;
      alpha = score;
      if (quiet) ++quietSearched;
    } else {
      if (quiet) ++quietSearched;
      if (triedCount < 64 && m != best) tried[triedCount++] = uint16_t(m);
    }
    if (kind == PromoteQueen && !(std::abs(score) <= 2 && Us != w.state.rootSide) && !knightStepApart(to, enemyKing) &&
        !knightStepApart(to, enemyQueen))
      underPromotionStop = true;
  }

  if (movesSearched == 0) {
    if (excluded != 0) return alpha;
    return inCheck ? ply - MateScore : 0;
  }
  if (excluded != 0) return alpha;
  if (best != 0) store(TTExact, alpha, best, depth, pvNode, ply, key[0], key[1], eval);
  else store(TTUpper, alpha, 0, depth, pvNode, ply, key[0], key[1], eval);
  return alpha;
}

// Steps after the move is made, up to the choice between a full-width and a quiescence node.
template <int Us>
int nodeAfterMake(SearchWorker& w, Move t, uint32_t flags, int depth, int alpha, int beta, const NodeState& parent,
                  NodeState& s, const SearchUndo& undo, bool made) {
  uint32_t key[2];
  searchProbeKey<Us>(w.position, s, key);
  // The table is probed a few steps later; start loading its bucket now.
  prefetchBucket(key[0]);
  if ((flags & FlagLegality) && t != 0 && kingAttackedAfter<Us>(w.position, t, parent.kingSafe != 0))
    return IllegalMove;

  bump(w.counters.nodes);
  if (!(flags & (FlagReentry | FlagRoot))) ++s.ply;
  if (s.ply >= MaxPly - 1) return evaluate(w, Us, s);
  const int ply = s.ply;
  if (ply > w.counters.selectiveDepth.load(std::memory_order_relaxed))
    w.counters.selectiveDepth.store(ply, std::memory_order_relaxed);
  if (ply > 0) {
    PvNode* node = w.state.pvLine[ply];
    node->word = 0;
    if (node->next) node->next->word = 0;
    if (depth >= 0 && !(flags & FlagReentry)) writeSearchHistory<Us>(w.repetition, w.position, t, undo, s);
  }
  const bool inCheck = kingInCheck<Us>(w);
  const SearchBoard& pos = w.position;
  s.kingSafe = !inCheck && kingDistance[pos.square[slotBase(Us)]][pos.square[slotBase(Us ^ 1)]] > 1;
  if (made && undo.captured != 32 && deadPositionWithoutPawns(w, s)) return 0;
  if (ply > 0) {
    alpha = std::max(alpha, ply - MateScore);
    beta = std::min(beta, MateScore - 1 - ply);
    if (alpha >= beta) return alpha;
  }
  if (depth < OnePly) return quiescence<Us>(w, t, flags, depth, alpha, beta, s, key, inCheck);
  return fullWidth<Us>(w, t, flags, depth, alpha, beta, parent, s, key, inCheck);
}

}  // namespace

template <int Us>
int searchNode(SearchWorker& w, Move t, uint32_t flags, int depth, int alpha, int beta, const NodeState& parent) {
  if (++w.state.timeCheckCounter >= TimeCheckInterval) {
    w.state.timeCheckCounter = 0;
    if (w.isMain()) timeCheck(w);
  }
  if (w.stop->load(std::memory_order_relaxed)) throw SearchAborted{};

  NodeState s = parent;
  SearchUndo undo{32, 0};
  bool made = false;
  if (!(flags & FlagReentry) && (t != 0 || s.ply > 0)) {
    if (makeSearchMove<Us>(w.position, t, flags, s, undo) == IllegalMove) return IllegalMove;
    made = t != 0;
  }
  const int result = nodeAfterMake<Us>(w, t, flags, depth, alpha, beta, parent, s, undo, made);
  if (made) takeBackSearchMove<Us>(w.position, t, undo);
  return result;
}

template int searchNode<White>(SearchWorker&, Move, uint32_t, int, int, int, const NodeState&);
template int searchNode<Black>(SearchWorker&, Move, uint32_t, int, int, int, const NodeState&);

}  // namespace orv

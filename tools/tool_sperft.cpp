// orvalis-tool sperft [--check] [--divide] <depth> '<FEN>|startpos': counts the
// leaf positions of the move tree through the search's own generator, make,
// king-attack test and take back. With --check every node also compares the
// incrementally kept NodeState (keys, counts, material, pawn files,
// piece-square sums, phase, promoted queens) and the sets of the men with a
// full recount, checks that each take back restores the search arrays and sets
// exactly, and that the quiescence captures come in the order of the full
// list; a mismatch prints an error and exits with code 1.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "eval/evaluate.h"
#include "eval/node_state.h"
#include "notation/movetext.h"
#include "search/attacks.h"
#include "search/generate.h"
#include "search/make.h"
#include "search/search_state.h"
#include "search/worker.h"
#include "tool.h"

namespace {

using namespace orv;

// Words 0..165 of the Board: slot squares, square map, kinds, statuses, values.
constexpr std::size_t ArrayBytes = 166 * sizeof(int32_t);

bool checking = false;
Move line[MaxPly + 1];  // moves from the root to the current node, for error reports

[[noreturn]] void fail(const char* what, int ply) {
  std::printf("sperft: %s after", what);
  if (ply == 0) std::printf(" the root position");
  for (int i = 1; i <= ply; ++i) {
    char text[8];
    coordinateText(line[i], text);
    std::printf(" %s", text);
  }
  std::printf("\n");
  std::fflush(stdout);
  std::exit(1);
}

// Compares the node's incrementally kept state with a recount of the arrays.
// The phase code is recomputed (node form) only after captures and promotions;
// the root carries the root form until then.
void verifyNode(SearchWorker& w, int side, const NodeState& s, int ply, bool phaseRecomputed) {
  Board b = w.position;
  for (int i = 0; i < 4; ++i) b.castle[i] = s.castle[i];
  computeFullKey(side, b);
  if (b.key[0] != s.key[0] || b.key[1] != s.key[1]) fail("key mismatch", ply);
  if (b.pawnKey[0] != s.pawnKey[0] || b.pawnKey[1] != s.pawnKey[1]) fail("pawn key mismatch", ply);
  recountBoard(b);
  for (int c = 0; c < 2; ++c) {
    if (b.pieces[c] != s.pieces[c] || b.pawns[c] != s.pawns[c]) fail("count mismatch", ply);
    if (b.material[c] != s.material[c]) fail("material mismatch", ply);
    if (b.psq[c] != s.psq[c]) fail("piece-square sum mismatch", ply);
    if (b.nonPawn[c] != s.nonPawn[c]) fail("non-pawn material mismatch", ply);
    if (b.pawnFiles[c] != s.pawnFiles[c]) fail("pawn file mismatch", ply);
  }
  if (phaseRecomputed && computePhase(s) != s.phase) fail("phase mismatch", ply);
  uint32_t queens = 0;
  for (int slot = 0; slot < 32; ++slot) {
    const bool pawnSlot = (slot & 15) >= FirstPawnSlot;
    if (pawnSlot && w.position.square[slot] != OffBoard && w.position.kind[slot] == Queen) queens |= 1u << slot;
    const int sq = w.position.square[slot];
    if (sq != OffBoard && w.position.map[sq] != slot) fail("square map mismatch", ply);
  }
  if (queens != s.promotedQueens) fail("promoted-queen mask mismatch", ply);
  if (!(countBitboards(w.position) == w.position.bits)) fail("square set mismatch", ply);
}

// The generator's other views of the node's list: the quiescence captures are
// exactly the captures and queen promotions of the full list, in the same
// order (move ordering breaks ties by it), and every move passes the
// hash-move plausibility test.
template <int Us> void verifyLists(SearchWorker& w, const uint32_t* all, Move lastMove, int ply) {
  uint32_t captures[MaxSearchMoves];
  const int n = generateCaptures<Us>(w.position, captures, lastMove);
  int expected = 0;
  for (const uint32_t* word = all; *word != 0; ++word) {
    const Move m = moveOf(*word);
    if (!plausibleHashMove<Us>(w.position, m)) fail("implausible generated move", ply);
    const bool inCaptures = isPromotion(m) ? moveKind(m) == PromoteQueen : isCapture(m);
    if (!inCaptures) continue;
    if (expected >= n || moveOf(captures[expected]) != m) fail("quiescence list out of order or short", ply);
    ++expected;
  }
  if (n != expected) fail("quiescence list differs", ply);
}

// Check prediction for a move about to be made: -1 not predicted (root).
// givesCheck never claims a check that is not there, and misses only the
// checks it does not look for (castling rook, en-passant discovery, the new
// man of a promotion).
void verifyCheckPrediction(int predicted, Move t, bool inCheck, int ply) {
  if (predicted < 0) return;
  if (predicted && !inCheck) fail("check predicted but not given", ply);
  const int k = moveKind(t);
  if (!predicted && inCheck && k == Ordinary) fail("check given but not predicted", ply);
}

// Leaves below the node of Us reached by Them's move t (t = 0 at the root).
template <int Us>
uint64_t sperft(SearchWorker& w, Move t, int depth, const NodeState& parent, uint32_t flags, int predictedCheck) {
  constexpr int Them = opposite(Us);
  NodeState s = parent;
  SearchUndo undo;
  Board before;
  Bitboards setsBefore{};
  if (checking) {
    std::memcpy(&before, &w.position, ArrayBytes);
    setsBefore = w.position.bits;
  }
  if (makeSearchMove<Us>(w.position, t, flags, s, undo) == IllegalMoveScore) return 0;
  if (t != 0) ++s.ply;
  uint64_t leaves = 0;
  if (!kingAttacked<Us>(w.position, t)) {
    const bool inCheck = kingAttacked<Them>(w.position, 0);
    if (checking) {
      verifyNode(w, Us, s, s.ply, undo.captured != EmptySquare || isPromotion(t));
      verifyCheckPrediction(predictedCheck, t, inCheck, s.ply);
      if (s.ply > 0) writeSearchHistory<Us>(w.repetition, w.position, t, undo, s);
    }
    if (depth == 0) {
      leaves = 1;
    } else {
      uint32_t list[MaxSearchMoves];
      generateAll<Us>(w.position, list, s.lastMove, inCheck, s);
      if (checking) verifyLists<Us>(w, list, s.lastMove, s.ply);
      const int enemyKing = w.position.square[slotBase(Them)];
      for (int i = 0; list[i] != 0; ++i) {
        const Move m = moveOf(list[i]);
        line[s.ply + 1] = m;
        const int predicted = checking ? int(givesCheck<Us>(w.position, m, enemyKing, s)) : -1;
        leaves += sperft<Them>(w, m, depth - 1, s, 0, predicted);
      }
    }
  }
  takeBackSearchMove<Us>(w.position, t, undo);
  if (checking && std::memcmp(&before, &w.position, ArrayBytes) != 0) fail("arrays not restored", s.ply);
  if (checking && !(setsBefore == w.position.bits)) fail("square sets not restored", s.ply);
  return leaves;
}

template <int Us> uint64_t divideRoot(SearchWorker& w, int depth, const NodeState& root) {
  constexpr int Them = opposite(Us);
  uint32_t list[MaxSearchMoves];
  generateAll<Us>(w.position, list, root.lastMove, kingAttacked<Them>(w.position, 0), root);
  uint64_t total = 0;
  for (int i = 0; list[i] != 0; ++i) {
    const Move m = moveOf(list[i]);
    line[1] = m;
    const uint64_t n = sperft<Them>(w, m, depth - 1, root, 0, -1);
    if (n == 0) continue;  // illegal
    char text[8];
    coordinateText(m, text);
    std::printf("%s %llu\n", text, static_cast<unsigned long long>(n));
    total += n;
  }
  return total;
}

int run(int argc, char** argv) {
  const CountArguments args = parseCountArguments(argc, argv);
  const bool divide = args.divide;
  const int depth = args.depth;
  const char* fen = args.fen;
  checking = args.check;
  if (depth < 0 || depth >= MaxPly || fen == nullptr) {
    std::fprintf(stderr, "usage: orvalis-tool sperft [--check] [--divide] <depth 0..63> '<FEN>|startpos'\n");
    return 2;
  }
  const int code = parseFen(fen);
  if (code != 0) {
    std::fprintf(stderr, "sperft: position refused (code %d)\n", code);
    return 1;
  }

  const int side = game.side;
  Board b = game.board;
  recountBoard(b);
  computeFullKey(side, b);
  SearchWorker w(0);
  w.repetition.seed(game);
  w.position = b;
  const NodeState root = rootNodeState(b);

  const auto start = std::chrono::steady_clock::now();
  uint64_t total;
  // The root is entered like the search's root node: no move, root flag.
  constexpr uint32_t RootFlag = 0x80000;
  if (divide && depth >= 1)
    total = side == White ? divideRoot<White>(w, depth, root) : divideRoot<Black>(w, depth, root);
  else
    total =
        side == White ? sperft<White>(w, 0, depth, root, RootFlag, -1) : sperft<Black>(w, 0, depth, root, RootFlag, -1);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("nodes %llu\n", static_cast<unsigned long long>(total));
  std::fprintf(stderr, "time %.3f s, %.0f nodes per second\n", seconds, seconds > 0 ? double(total) / seconds : 0.0);
  return 0;
}

ToolCommand reg("sperft", run);

}  // namespace

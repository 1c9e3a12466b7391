// Shared state of the root search and the node search.
#pragma once
#include <cstdint>

#include "board/score.h"
#include "board/types.h"
#include "eval/node_state.h"
#include "search/search_state.h"
#include "search/worker.h"

namespace orv {

// Depth is counted in 1/256 ply.
constexpr int PlyShift = 8;
constexpr int OnePly = 1 << PlyShift;

// Flag bits of a node call that change its behaviour.
constexpr uint32_t FlagLegality = 0x2;   // test that the mover's king is not left attacked
constexpr uint32_t FlagReentry = 0x200;  // same node again: the move is already made
constexpr uint32_t FlagNoNull = 0x1000;  // no null move (null-move verification)
constexpr uint32_t FlagRoot = 0x80000;   // root: the ply is not advanced
// Marks that change nothing in the node itself; children inherit them through
// the masks below.
constexpr uint32_t FlagFirstLine = 0x8;           // set by the root's calls, kept along first moves only
constexpr uint32_t FlagBelowNull = 0x80;          // below a null move
constexpr uint32_t FlagSingular = 0x10000;        // singular-extension verification
constexpr uint32_t FlagQuiescence = 0x20000;      // child of a quiescence node (not inherited)
constexpr uint32_t FlagNullMoveChild = 0x100000;  // the null move's own child (not inherited)
constexpr uint32_t FlagPvLater = 0x200000;        // later child of a PV node (not inherited)
// Bits no caller sets; children inherit them all the same.
constexpr uint32_t FlagsUnused = 0x100 | 0x400 | 0x800 | 0x40000;

constexpr uint32_t FlagNullChild = FlagNullMoveChild | FlagBelowNull;  // set on the child of a null move
// What the null move's child inherits, and what the children of moves inherit.
constexpr uint32_t InheritedByNullChild = FlagSingular | FlagNoNull | FlagsUnused;
constexpr uint32_t InheritedByLaterChild = InheritedByNullChild | FlagBelowNull;
constexpr uint32_t InheritedByFirstChild = InheritedByLaterChild | FlagFirstLine;

// A tablebase value (win in M moves: 32767 - M, loss in M moves: M - 32766,
// draw: 0) as a search score at distance `ply` from the root.
constexpr int tablebaseScore(int v, int ply) { return v == 0 ? 0 : v > 0 ? 2 * v - ply - 32833 : 2 * v + ply + 32832; }

// Thrown by a node when the abort flag is raised; caught at the root call.
// Node frames hold only plain arrays and structs, so nothing is skipped that
// would need a destructor.
struct SearchAborted {};

// Sorts a 0-terminated root list: stable, descending by the signed score in
// the high half (the earliest of equal entries stays first).
void sortRootList(uint32_t* list);

// Node entries between clock readings. A reading costs a few tens of
// nanoseconds, so checking this often is free, and it keeps the overshoot past
// a limit to about a millisecond: at fast controls the allocation can be a
// single tenth of a second, which a coarser interval would overrun.
constexpr uint32_t TimeCheckInterval = 4096;
// Reads the clock (the main worker's node search calls it every
// TimeCheckInterval node entries): may raise the abort flag.
void timeCheck(SearchWorker& w);

// The main worker starts searching root move m, the number-th of the
// iteration: a UCI "currmove" line once the search has run a second.
void announceRootMove(const SearchWorker& w, Move m, int number);

template <int Us>
int searchNode(SearchWorker& w, Move t, uint32_t flags, int depth, int alpha, int beta, const NodeState& parent);
inline int searchWhite(SearchWorker& w, Move t, uint32_t f, int depth, int alpha, int beta, const NodeState& p) {
  return searchNode<White>(w, t, f, depth, alpha, beta, p);
}
inline int searchBlack(SearchWorker& w, Move t, uint32_t f, int depth, int alpha, int beta, const NodeState& p) {
  return searchNode<Black>(w, t, f, depth, alpha, beta, p);
}

// One root call: loads the Board into the worker's search position, builds the
// root NodeState and searches the node of `side` to move reached by `move` (0 at
// the root). Checks afterwards that the search position was restored.
int searchRootCall(SearchWorker& w, int side, Move move, uint32_t flags, int depthPlies, int alpha, int beta,
                   const Board& b);

// A helper thread's search: iterative deepening of its own on the root b with
// `side` to move, from the main worker's ordered root list, below maxDepth,
// until its stop flag rises. It prints nothing and plays nothing; it helps
// through the shared transposition table.
void helperSearch(SearchWorker& w, const Board& root, int side, const uint32_t* rootList, int maxDepth);

}  // namespace orv

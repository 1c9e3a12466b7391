// The ordering and root state of one search worker: its move-ordering tables,
// PV chains and the root's values that the nodes read. Changed only by the
// worker's thread (and cleared by the command thread while no search runs).
// The published PV buffers are shared with the command thread (search/pv.h).
#pragma once
#include <cstdint>

#include "board/game.h"
#include "board/types.h"
#include "search/pv.h"

namespace orv {

// The deepest ply of the search: the per-ply stacks are sized by it.
constexpr int MaxPly = 64;
// Room of the root's ordered move list (SearchState::orderedRootList).
constexpr int RootListSize = MaxGameMoves + 1;

struct SearchState {
  SearchState() { resetPvChains(); }

  // History [side][quiet?][kind][from][to] and follow-up [side][prev kind][prev to][kind][to].
  int32_t history[2][2][7][64][64];
  int32_t followUp[2][7][64][7][64];
  // Killer words per ply: the newest killer in the low half, the previous one above.
  uint32_t killers[MaxPly + 1];
  // The root's moves in their current order (16-bit moves, 0-terminated), written by
  // the root search before every root call; scoreMoves copies it at ply 0.
  uint32_t orderedRootList[RootListSize];
  // The root's legal moves as the last search left them, best first (the
  // shell hands the order back to the Game), and the last depth it reached.
  uint32_t rootList[RootListSize];
  int depthReached = 0;

  // PV chains: pvLine[p] is the line of ply p, a chain of nodes that the node
  // search swaps between plies, so no node is ever copied or freed.
  static constexpr int PvNodeCount = MaxPly * (MaxPly + 1) / 2;  // 64 + 63 + ... + 1
  PvNode pvNodes[PvNodeCount];
  PvNode* pvLine[MaxPly];

  int rootSide = White;           // side to move at the root
  int extensionPlyLimit = 0;      // min(2 x iteration depth, 62)
  uint32_t timeCheckCounter = 0;  // node entries since the last clock reading
  bool failHighFlag = false;      // the root is re-searched after failing high
  // Other workers write the table during this search: a mate they proved is
  // taken at a PV node too (see fullWidth).
  bool sharedTable = false;
  // The move's time (the main worker only): soft and hard limits in
  // milliseconds from the move's start tick, and whether the soft one has passed.
  int64_t softLimitMs = 0, hardLimitMs = 0;
  bool softPassed = false;

  void clearHistory();   // history and follow-up tables of both sides (new game)
  void clearKillers();   // at a new game and the start of every search
  void resetPvChains();  // zero words, pointer p at chain p
  void clear();          // all of the above and the root's values
};

}  // namespace orv

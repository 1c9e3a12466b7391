// Checks a generated table against its successors: every position's byte must
// be what its legal moves give, the moves listed by the engine's own move
// generator and every successor read through the engine's probe (the table
// itself and the smaller ones must be registered).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/movegen.h"
#include "tablebase/index.h"
#include "tablebase/probe.h"
#include "tablebase/probe_target.h"
#include "tablebase/retro_board.h"
#include "tablebase/retro_values.h"
#include "tablebase/table_info.h"
#include "support/test_worker.h"

namespace orv::test {

struct ConsistencyReport {
  uint64_t positions = 0;  // positions that can occur
  uint64_t failures = 0;
  uint64_t epPositions = 0;  // en-passant positions that can occur
  std::string firstFailure;
  int longestWin[2] = {0, 0};  // longest win with each side to move
  int longestLoss[2] = {0, 0};
};

// Board of a decoded position; `pushBack` puts an en-passant position's
// pushed pawn back on its origin (the double step is replayed by the generator).
inline bool boardOfTablePosition(const tb::TablePosition& p, Board& b, bool pushBack, int side) {
  clearBoard(b);
  for (int32_t& c : b.castle) c = -1;
  const int8_t* lists[2] = {p.first, p.second};
  const int pushed = p.epSquare < 0 ? -1 : p.epSquare + (side == White ? -8 : 8);
  for (int colour = 0; colour < 2; ++colour)
    for (int e = 0; e < tb::ListSize; ++e) {
      int sq = lists[colour][e];
      if (sq < 0) continue;
      if (pushBack && sq == pushed) sq = p.epSquare + (side == White ? 8 : -8);
      if (b.map[sq] != EmptySquare) return false;
      static constexpr int kinds[] = {King,   Queen,  Queen,  Queen,  Rook,   Rook,  Rook,
                                      Bishop, Bishop, Bishop, Knight, Knight, Knight};
      const int slot = e < tb::ListPawns ? placeMan(b, colour, kinds[e], sq) : placePawn(b, colour, sq);
      if (slot < 0) return false;
    }
  return true;
}

// Table value of the position after move m of `side` on b.
inline int successorValue(const Board& b, int side, Move m) {
  Board after = b;
  Move replies[256];
  generateFor(side ^ 1, replies, 256, m, after);
  if (prepareTablebaseProbe(testProbe(), after) == 0) return 0;
  const int from = moveFrom(m), to = moveTo(m);
  const bool doubleStep =
      (b.kind[b.map[from]] == WhitePawn || b.kind[b.map[from]] == BlackPawn) && (to - from == 16 || from - to == 16);
  return probeTablebase(testProbe(), side ^ 1, doubleStep ? (from + to) / 2 : -1);
}

// The byte a position must hold given the values of its successors.
inline int8_t expectedByte(const std::vector<int>& successors, bool inCheck) {
  if (successors.empty()) return inCheck ? tb::lossByte(0) : 0;
  int bestWin = 0, longestLoss = 0;
  bool draw = false;
  for (int v : successors) {
    if (v == TablebaseUnknown) return 0x55;  // never a valid byte here: reported as a failure
    if (v < 0) {
      const int win = tb::lossMovesOfValue(v) + 1;
      if (bestWin == 0 || win < bestWin) bestWin = win;
    } else if (v == 0) {
      draw = true;
    } else if (tb::winMovesOfValue(v) > longestLoss) {
      longestLoss = tb::winMovesOfValue(v);
    }
  }
  if (bestWin > 0) return tb::winByte(bestWin);
  if (draw) return 0;
  return tb::lossByte(longestLoss);
}

// Checks side `side` of `table` whose stored bytes are `bytes`, every
// position through the engine's move generator and probe.
// `first` is the index of bytes[0].
inline void checkTableSide(int table, int side, const std::vector<int8_t>& bytes, ConsistencyReport& report,
                           uint32_t first = 0) {
  tb::initIndexTables();
  for (uint32_t k = 0; k < bytes.size(); ++k) {
    const uint32_t i = first + k;
    tb::TablePosition p;
    tb::indexToPosition(table, side, i, p);
    Board b;
    int8_t expected = tb::UnknownByte;
    std::vector<int> successors;
    if (boardOfTablePosition(p, b, true, side)) {
      Move list[256];
      const bool ep = p.epSquare >= 0;
      const int origin = ep ? p.epSquare + (side == White ? 8 : -8) : 0;
      const bool epSquaresFree = !ep || (b.map[p.epSquare] == EmptySquare);
      const Move push = ep ? makeMove(origin, p.epSquare + (side == White ? -8 : 8)) : 0;
      const uint32_t result = epSquaresFree ? generateFor(side, list, 256, push, b) : GenIllegal;
      if (!(result & GenIllegal)) {
        ++report.positions;
        for (int k = 0; list[k] != 0; ++k) successors.push_back(successorValue(b, side, list[k]));
        expected = expectedByte(successors, result == GenCheckmate);
      }
    }
    const int8_t got = bytes[k];
    if (tb::isWinByte(got) && tb::winMoves(got) > report.longestWin[side]) report.longestWin[side] = tb::winMoves(got);
    if (tb::isLossByte(got) && tb::lossMoves(got) > report.longestLoss[side])
      report.longestLoss[side] = tb::lossMoves(got);
    if (got == expected) continue;
    if (report.failures++ == 0) {
      char text[160];
      std::snprintf(text, sizeof text, "%s side %d index %u: byte %d, successors give %d (ep %d)",
                    tb::tableInfo[table].name, side, i, got, expected, p.epSquare);
      report.firstFailure = text;
    }
  }
}

// The same check of both sides, faster: moves from the generator's board,
// successors in the table read from `bytes`, only captures and promotions
// probed. Every `sample`-th position is also checked through the engine's
// move generator and probe as above.
inline ConsistencyReport checkTable(int table, const std::vector<int8_t> bytes[2], uint32_t sample) {
  ConsistencyReport report;
  tb::RetroBoard r;
  tb::startRetroBoard(r, table);
  for (int side = 0; side < 2; ++side) {
    std::vector<int8_t> sampled;
    for (uint32_t i = 0; i < bytes[side].size(); ++i) {
      int8_t expected = tb::UnknownByte;
      if (tb::loadRetroPosition(r, side, i)) {
        ++report.positions;
        report.epPositions += r.pos.epSquare >= 0;
        std::vector<int> successors;
        tb::forEachRetroMove(r, [&](const tb::RetroMove& m) {
          if (m.leavesTable) {
            successors.push_back(
                prepareTablebaseProbe(testProbe(), r.board) == 0 ? 0 : probeTablebase(testProbe(), side ^ 1, -1));
            return;
          }
          const uint32_t q = tb::retroIndex(r, side ^ 1, m.epTarget);
          successors.push_back(q < bytes[side ^ 1].size() ? tb::tableValueOfByte(bytes[side ^ 1][q])
                                                          : TablebaseUnknown);
        });
        expected = expectedByte(successors, tb::retroInCheck(r, side));
      }
      const int8_t got = bytes[side][i];
      if (tb::isWinByte(got) && tb::winMoves(got) > report.longestWin[side])
        report.longestWin[side] = tb::winMoves(got);
      if (tb::isLossByte(got) && tb::lossMoves(got) > report.longestLoss[side])
        report.longestLoss[side] = tb::lossMoves(got);
      if (got != expected && report.failures++ == 0) {
        char text[160];
        std::snprintf(text, sizeof text, "%s side %d index %u: byte %d, successors give %d (ep %d)",
                      tb::tableInfo[table].name, side, i, got, expected, r.pos.epSquare);
        report.firstFailure = text;
      }
    }
    // The sample, through the engine's own move generator and probe.
    for (uint32_t i = 0; i < bytes[side].size(); i += sample) {
      ConsistencyReport one;
      const std::vector<int8_t> single(bytes[side].begin() + i, bytes[side].begin() + i + 1);
      checkTableSide(table, side, single, one, i);
      report.failures += one.failures;
      if (report.firstFailure.empty()) report.firstFailure = one.firstFailure;
    }
  }
  return report;
}

}  // namespace orv::test

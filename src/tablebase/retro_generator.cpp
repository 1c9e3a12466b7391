// Retrograde analysis of one table, both sides at once, ply by ply.
//
// Working state beyond the output bytes is two bits per position: `final`
// (the byte holds the position's value) and `fresh` (the value was found in
// the last step, or the position waits to be verified as a loss). Until a
// position is final its byte holds what its captures and promotions into the
// smaller tables give: a win in W (it becomes final after step W unless a
// shorter win turns up), 0 (a drawing exit: it can never lose), or mated in E
// (every exit loses; a loss is possible from move E on).
//
// Step M first finds the wins in M: positions with a move into a loss in
// M - 1 found in the step before (found backwards from those losses), and
// exits that win in M. Then the losses in M: the positions with a move into
// a win in M just found, and those whose exits lose in M, are candidates; a
// candidate is a loss in M when every move stays in the table into a final
// win and its exits lose in at most M moves.
#include <cstdio>
#include <memory>

#include "tablebase/probe.h"
#include "tablebase/retro_board.h"
#include "tablebase/retro_generator.h"
#include "tablebase/retro_values.h"
#include "tablebase/table_info.h"

namespace orv::tb {

namespace {

struct Bits {
  std::vector<uint64_t> word;
  explicit Bits(uint32_t size) : word((size + 63) / 64, 0) {}
  bool test(uint32_t i) const { return (word[i >> 6] >> (i & 63)) & 1; }
  void set(uint32_t i) { word[i >> 6] |= uint64_t(1) << (i & 63); }
  void clear(uint32_t i) { word[i >> 6] &= ~(uint64_t(1) << (i & 63)); }
};

// Calls f(i) for every set bit, in increasing order; f may change bits.
template <class F>
void forEachSet(const Bits& bits, F&& f) {
  for (size_t w = 0; w < bits.word.size(); ++w) {
    uint64_t word = bits.word[w];
    while (word) {
      const int b = __builtin_ctzll(word);
      word &= word - 1;
      f(uint32_t(w * 64 + b));
    }
  }
}

// What the exits (captures and promotions) of one position give.
struct ExitSummary {
  int bestWin = 0;     // shortest win through an exit, 0 none
  bool draw = false;   // an exit holds the draw
  int longestLoss = 0; // longest loss among exits
  bool missing = false;
};

class Generator {
 public:
  Generator(int table, const GenerationOptions& options, std::vector<int8_t>* values)
      : table_(table), options_(options), values_(values) {
    for (int s = 0; s < 2; ++s) {
      count_[s] = tableInfo[table].count[s];
      values_[s].assign(count_[s], 0);
      final_[s] = std::make_unique<Bits>(count_[s]);
      fresh_[s] = std::make_unique<Bits>(count_[s]);
    }
    startRetroBoard(board_, table);
  }

  int run() {
    if (!initialise()) return GenerationMissingTable;
    int quiet = 0;
    for (int m = 1; quiet < 1 || m <= longestExit_ + 1; ++m) {
      const uint64_t wins = findWins(m);
      const uint64_t losses = findLosses(m);
      if (options_.progress)
        std::fprintf(stderr, "tbgen %s: move %d: %llu wins, %llu losses\n", tableInfo[table_].name, m,
                     (unsigned long long)wins, (unsigned long long)losses);
      quiet = wins == 0 && losses == 0 ? quiet + 1 : 0;
    }
    // Whatever is not final now is a draw.
    for (int s = 0; s < 2; ++s)
      for (uint32_t i = 0; i < count_[s]; ++i)
        if (!final_[s]->test(i)) values_[s][i] = 0;
    return GenerationOk;
  }

 private:
  void makeFinal(int s, uint32_t i, int8_t value, bool fresh) {
    values_[s][i] = value;
    final_[s]->set(i);
    if (fresh) fresh_[s]->set(i);
  }

  ExitSummary exitsOf() {
    ExitSummary e;
    const int them = board_.side ^ 1;
    const int moves = forEachRetroMove(board_, [&](const RetroMove& m) {
      if (!m.leavesTable) return;
      int value = 0;
      if (prepareTablebaseProbe(board_.board) > 0) value = probeTablebase(them, -1);
      if (value == TablebaseUnknown) {
        e.missing = true;
      } else if (value < 0) {
        const int win = lossMovesOfValue(value) + 1;
        if (e.bestWin == 0 || win < e.bestWin) e.bestWin = win;
      } else if (value == 0) {
        e.draw = true;
      } else if (winMovesOfValue(value) > e.longestLoss) {
        e.longestLoss = winMovesOfValue(value);
      }
    });
    if (moves == 0) e.bestWin = -1;  // no legal move at all
    return e;
  }

  // Values every position from its exits alone; mates and stalemates are final.
  bool initialise() {
    bool complete = true;
    for (int s = 0; s < 2; ++s) {
      for (uint32_t i = 0; i < count_[s]; ++i) {
        if (!loadRetroPosition(board_, s, i)) {
          makeFinal(s, i, UnknownByte, false);
          continue;
        }
        if (retroIndex(board_, s, board_.pos.epSquare) != i) ++aliases_;
        const ExitSummary e = exitsOf();
        if (e.missing) complete = false;
        if (e.bestWin < 0) {
          if (retroInCheck(board_, s)) makeFinal(s, i, lossByte(0), true);
          else makeFinal(s, i, 0, false);
        } else if (e.bestWin > 0) {
          values_[s][i] = winByte(e.bestWin < LongestCountedWin ? e.bestWin : LongestCountedWin);
          if (e.bestWin > longestExit_) longestExit_ = e.bestWin;
        } else if (e.draw) {
          values_[s][i] = 0;
        } else {
          values_[s][i] = lossByte(e.longestLoss < LongestCountedLoss ? e.longestLoss : LongestCountedLoss);
          if (e.longestLoss > longestExit_) longestExit_ = e.longestLoss;
        }
      }
    }
    if (aliases_) std::fprintf(stderr, "tbgen %s: %llu aliases\n", tableInfo[table_].name, (unsigned long long)aliases_);
    if (!complete)
      std::fprintf(stderr, "tbgen %s: a table that captures or promotions lead into is missing\n",
                   tableInfo[table_].name);
    return complete;
  }

  // Runs f(q) for each predecessor q (other side to move, stored range) of position i of side s.
  template <class F>
  void predecessors(int s, uint32_t i, F&& f) {
    loadRetroPosition(board_, s, i);
    const uint32_t limit = count_[s ^ 1];
    forEachRetroPredecessor(board_, [&](uint32_t q) {
      if (q < limit) f(q);
    });
  }

  uint64_t findWins(int m) {
    uint64_t found = 0;
    for (int s = 0; s < 2; ++s) {
      Bits& fresh = *fresh_[s];
      forEachSet(fresh, [&](uint32_t i) {
        if (!final_[s]->test(i) || !isLossByte(values_[s][i])) return;
        fresh.clear(i);
        predecessors(s, i, [&](uint32_t q) {
          if (final_[s ^ 1]->test(q)) return;
          makeFinal(s ^ 1, q, winByte(m), true);
          ++found;
        });
      });
    }
    // Exits that win in m moves.
    const int8_t exitWin = winByte(m < LongestCountedWin ? m : LongestCountedWin);
    for (int s = 0; s < 2; ++s)
      for (uint32_t i = 0; i < count_[s]; ++i)
        if (values_[s][i] == exitWin && !final_[s]->test(i)) {
          makeFinal(s, i, winByte(m), true);
          ++found;
        }
    return found;
  }

  // Whether every move of candidate i of side s that stays in the table
  // reaches a final win of the other side, its exits losing by move m.
  bool allMovesLose(int s, uint32_t i, int m) {
    const int8_t exits = values_[s][i];
    if (!isLossByte(exits) || lossMoves(exits) > m) return false;
    loadRetroPosition(board_, s, i);
    bool lost = true;
    const uint32_t limit = count_[s ^ 1];
    forEachRetroMove(board_, [&](const RetroMove& mv) {
      if (!lost || mv.leavesTable) return;
      const uint32_t next = retroIndex(board_, s ^ 1, mv.epTarget);
      lost = next < limit && final_[s ^ 1]->test(next) && isWinByte(values_[s ^ 1][next]);
    });
    return lost;
  }

  uint64_t findLosses(int m) {
    // Mark the candidates.
    for (int s = 0; s < 2; ++s) {
      Bits& fresh = *fresh_[s];
      forEachSet(fresh, [&](uint32_t i) {
        if (!final_[s]->test(i) || !isWinByte(values_[s][i])) return;
        fresh.clear(i);
        predecessors(s, i, [&](uint32_t q) {
          if (!final_[s ^ 1]->test(q)) fresh_[s ^ 1]->set(q);
        });
      });
    }
    const int8_t exitLoss = lossByte(m < LongestCountedLoss ? m : LongestCountedLoss);
    for (int s = 0; s < 2; ++s)
      for (uint32_t i = 0; i < count_[s]; ++i)
        if (values_[s][i] == exitLoss && !final_[s]->test(i)) fresh_[s]->set(i);
    // Verify them.
    uint64_t found = 0;
    for (int s = 0; s < 2; ++s) {
      Bits& fresh = *fresh_[s];
      forEachSet(fresh, [&](uint32_t i) {
        if (final_[s]->test(i)) return;
        if (allMovesLose(s, i, m)) {
          makeFinal(s, i, lossByte(m), true);
          ++found;
        } else {
          fresh.clear(i);
        }
      });
    }
    return found;
  }

  int table_;
  GenerationOptions options_;
  std::vector<int8_t>* values_;
  uint32_t count_[2];
  std::unique_ptr<Bits> final_[2], fresh_[2];
  RetroBoard board_;
  int longestExit_ = 0;
  uint64_t aliases_ = 0;
};

}  // namespace

int computeTable(int table, const GenerationOptions& options, std::vector<int8_t> values[2]) {
  if (table < 1 || table > TableCount) return GenerationBadTable;
  Generator g(table, options, values);
  return g.run();
}

}  // namespace orv::tb

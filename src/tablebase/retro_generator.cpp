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
// candidate is a loss in M when every move that stays in the table leads
// into a final win and its exits lose in at most M moves.
//
// The steps run on two threads, each over half of one side's positions. A
// thread reads one side and writes the other (or only its own half), and
// the bits of the side written by both are set atomically.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "tablebase/probe.h"
#include "tablebase/retro_board.h"
#include "tablebase/retro_exits.h"
#include "tablebase/retro_generator.h"
#include "tablebase/retro_values.h"
#include "tablebase/table_info.h"

namespace orv::tb {

namespace {

constexpr int Workers = 2;
constexpr size_t WordsPerThreadMinimum = 256;  // smaller sides are not worth a thread

struct Bits {
  std::vector<uint64_t> word;
  explicit Bits(uint32_t size) : word((size + 63) / 64, 0) {}
  bool test(uint32_t i) const { return (word[i >> 6] >> (i & 63)) & 1; }
  void set(uint32_t i) { word[i >> 6] |= uint64_t(1) << (i & 63); }
  void clear(uint32_t i) { word[i >> 6] &= ~(uint64_t(1) << (i & 63)); }
  // For bits that other threads set at the same time; returns the bit as it was.
  bool testShared(uint32_t i) {
    return (std::atomic_ref<uint64_t>(word[i >> 6]).load(std::memory_order_relaxed) >> (i & 63)) & 1;
  }
  bool setShared(uint32_t i) {
    const uint64_t bit = uint64_t(1) << (i & 63);
    return std::atomic_ref<uint64_t>(word[i >> 6]).fetch_or(bit, std::memory_order_relaxed) & bit;
  }
};

// Calls f(i) for every set bit of words [begin, end), in increasing order;
// f may change bits.
template <class F> void forEachSet(const Bits& bits, size_t begin, size_t end, F&& f) {
  for (size_t w = begin; w < end; ++w) {
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
  int bestWin = 0;      // shortest win through an exit, 0 none
  bool draw = false;    // an exit holds the draw
  int longestLoss = 0;  // longest loss among exits
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
    for (RetroBoard& b : boards_) startRetroBoard(b, table);
  }

  int run() {
    const auto start = std::chrono::steady_clock::now();
    auto seconds = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    if (!exits_.load(successorTables(table_)) || !initialise()) {
      std::fprintf(stderr, "tbgen %s: a table that captures or promotions lead into is missing\n",
                   tableInfo[table_].name);
      return GenerationMissingTable;
    }
    if (options_.progress)
      std::fprintf(stderr, "tbgen %s: %u + %u positions valued from their exits (%.1f s)\n", tableInfo[table_].name,
                   count_[0], count_[1], seconds());
    int quiet = 0;
    for (int m = 1; quiet < 1 || m <= longestExit_ + 1; ++m) {
      const uint64_t wins = findWins(m);
      const uint64_t losses = findLosses(m);
      if (options_.progress)
        std::fprintf(stderr, "tbgen %s: move %d: %llu wins, %llu losses (%.1f s)\n", tableInfo[table_].name, m,
                     (unsigned long long)wins, (unsigned long long)losses, seconds());
      quiet = wins == 0 && losses == 0 ? quiet + 1 : 0;
    }
    // Whatever is not final now is a draw.
    for (int s = 0; s < 2; ++s)
      for (uint32_t i = 0; i < count_[s]; ++i)
        if (!final_[s]->test(i)) values_[s][i] = 0;
    return GenerationOk;
  }

 private:
  // Runs f(board, firstWord, endWord) over the words of side s's bits, split between the workers;
  // returns the sum of what the calls return.
  template <class F> uint64_t inParallel(int s, F&& f) {
    const size_t words = final_[s]->word.size();
    if (words < Workers * WordsPerThreadMinimum) return f(boards_[0], size_t(0), words);
    const size_t half = words / 2;
    uint64_t second = 0;
    std::thread helper([&] { second = f(boards_[1], half, words); });
    const uint64_t first = f(boards_[0], size_t(0), half);
    helper.join();
    return first + second;
  }

  void makeFinal(int s, uint32_t i, int8_t value, bool fresh) {
    values_[s][i] = value;
    final_[s]->set(i);
    if (fresh) fresh_[s]->set(i);
  }

  ExitSummary exitsOf(RetroBoard& board) {
    ExitSummary e;
    const int them = board.side ^ 1;
    const int moves = forEachRetroMove(board, [&](const RetroMove& m) {
      if (!m.leavesTable) return;
      const int value = exits_.value(board.board, them);
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
    std::atomic<bool> complete = true;
    std::atomic<int> longest = 0;
    for (int s = 0; s < 2; ++s) {
      inParallel(s, [&](RetroBoard& board, size_t begin, size_t end) {
        const uint32_t last = uint32_t(end * 64 < count_[s] ? end * 64 : count_[s]);
        int longestHere = 0;
        for (uint32_t i = uint32_t(begin * 64); i < last; ++i) {
          if (!loadRetroPosition(board, s, i)) {
            makeFinal(s, i, UnknownByte, false);
            continue;
          }
          const ExitSummary e = exitsOf(board);
          if (e.missing) complete = false;
          if (e.bestWin < 0) {
            if (retroInCheck(board, s)) makeFinal(s, i, lossByte(0), true);
            else makeFinal(s, i, 0, false);
          } else if (e.bestWin > 0) {
            values_[s][i] = winByte(e.bestWin < LongestCountedWin ? e.bestWin : LongestCountedWin);
            if (e.bestWin > longestHere) longestHere = e.bestWin;
          } else if (e.draw) {
            values_[s][i] = 0;
          } else {
            values_[s][i] = lossByte(e.longestLoss < LongestCountedLoss ? e.longestLoss : LongestCountedLoss);
            if (e.longestLoss > longestHere) longestHere = e.longestLoss;
          }
        }
        int seen = longest.load();
        while (longestHere > seen && !longest.compare_exchange_weak(seen, longestHere)) {}
        return uint64_t(0);
      });
    }
    longestExit_ = longest.load();
    return complete.load();
  }

  // Runs f(q) for each predecessor q (other side to move, stored range) of position i of side s.
  template <class F> void predecessors(RetroBoard& board, int s, uint32_t i, F&& f) {
    loadRetroPosition(board, s, i);
    const uint32_t limit = count_[s ^ 1];
    forEachRetroPredecessor(board, [&](uint32_t q) {
      if (q < limit) f(q);
    });
  }

  // Positions of side s whose byte is `exitByte` and that are not final get
  // the final value `value` and are marked fresh; returns how many.
  uint64_t settleExits(int s, int8_t exitByte, int8_t value, bool makeValueFinal) {
    return inParallel(s, [&](RetroBoard&, size_t begin, size_t end) {
      uint64_t found = 0;
      const uint32_t last = uint32_t(end * 64 < count_[s] ? end * 64 : count_[s]);
      for (uint32_t i = uint32_t(begin * 64); i < last; ++i) {
        if (values_[s][i] != exitByte || final_[s]->test(i)) continue;
        if (makeValueFinal) makeFinal(s, i, value, true);
        else fresh_[s]->set(i);
        ++found;
      }
      return found;
    });
  }

  uint64_t findWins(int m) {
    uint64_t found = 0;
    for (int s = 0; s < 2; ++s) {
      const int t = s ^ 1;
      found += inParallel(s, [&](RetroBoard& board, size_t begin, size_t end) {
        uint64_t n = 0;
        forEachSet(*fresh_[s], begin, end, [&](uint32_t i) {
          if (!final_[s]->test(i) || !isLossByte(values_[s][i])) return;
          fresh_[s]->clear(i);
          predecessors(board, s, i, [&](uint32_t q) {
            if (final_[t]->testShared(q) || final_[t]->setShared(q)) return;
            std::atomic_ref<int8_t>(values_[t][q]).store(winByte(m), std::memory_order_relaxed);
            fresh_[t]->setShared(q);
            ++n;
          });
        });
        return n;
      });
    }
    const int8_t exitWin = winByte(m < LongestCountedWin ? m : LongestCountedWin);
    for (int s = 0; s < 2; ++s) found += settleExits(s, exitWin, winByte(m), true);
    return found;
  }

  // Whether every move of candidate i of side s that stays in the table
  // reaches a final win of the other side, its exits losing by move m.
  bool allMovesLose(RetroBoard& board, int s, uint32_t i, int m) {
    const int8_t exits = values_[s][i];
    if (!isLossByte(exits) || lossMoves(exits) > m) return false;
    loadRetroPosition(board, s, i);
    const uint32_t limit = count_[s ^ 1];
    const std::vector<int8_t>& next = values_[s ^ 1];
    const Bits& done = *final_[s ^ 1];
    // Moves into positions that cannot occur (byte 127, or no index) are the illegal ones.
    return forEachQuietMove(board, [&](const RetroMove& mv) {
      const uint32_t q = retroIndex(board, s ^ 1, mv.epTarget);
      return q >= limit || (done.test(q) && (isWinByte(next[q]) || next[q] == UnknownByte));
    });
  }

  uint64_t findLosses(int m) {
    // Mark the candidates: predecessors of the wins just found, and exits losing in m.
    for (int s = 0; s < 2; ++s) {
      const int t = s ^ 1;
      inParallel(s, [&](RetroBoard& board, size_t begin, size_t end) {
        forEachSet(*fresh_[s], begin, end, [&](uint32_t i) {
          if (!final_[s]->test(i) || !isWinByte(values_[s][i])) return;
          fresh_[s]->clear(i);
          predecessors(board, s, i, [&](uint32_t q) {
            if (!final_[t]->test(q)) fresh_[t]->setShared(q);
          });
        });
        return uint64_t(0);
      });
    }
    const int8_t exitLoss = lossByte(m < LongestCountedLoss ? m : LongestCountedLoss);
    for (int s = 0; s < 2; ++s) settleExits(s, exitLoss, 0, false);
    // Verify them.
    uint64_t found = 0;
    for (int s = 0; s < 2; ++s) {
      found += inParallel(s, [&](RetroBoard& board, size_t begin, size_t end) {
        uint64_t n = 0;
        forEachSet(*fresh_[s], begin, end, [&](uint32_t i) {
          if (final_[s]->test(i)) return;
          if (allMovesLose(board, s, i, m)) {
            makeFinal(s, i, lossByte(m), true);
            ++n;
          } else {
            fresh_[s]->clear(i);
          }
        });
        return n;
      });
    }
    return found;
  }

  int table_;
  GenerationOptions options_;
  std::vector<int8_t>* values_;
  uint32_t count_[2];
  std::unique_ptr<Bits> final_[2], fresh_[2];
  RetroBoard boards_[Workers];
  int longestExit_ = 0;
  ExitTables exits_;
};

}  // namespace

int computeTable(int table, const GenerationOptions& options, std::vector<int8_t> values[2]) {
  if (table < 1 || table > TableCount) return GenerationBadTable;
  Generator g(table, options, values);
  return g.run();
}

}  // namespace orv::tb

#include "notation/search_comment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <mutex>
#include <string>

#include "search/counters.h"
#include "search/pv.h"
#include "support/test_worker.h"

namespace orv {
namespace {

constexpr Move E2E4 = 12 | 28 << 6, E7E5 = 52 | 36 << 6, G1F3 = 6 | 21 << 6, E7E8Q = 52 | 60 << 6 | 4 << 12;

// What the search leaves behind: its best score and the print buffer.
void searched(int score, std::initializer_list<Move> line) {
  std::lock_guard<std::mutex> hold(pvLock);
  std::memset(printPv, 0, sizeof printPv);
  int i = 0;
  for (Move m : line) printPv[i++] = m;
  bestRootScore.store(score);
}

std::string comment(size_t size = SearchCommentSize) {
  char out[SearchCommentSize];
  EXPECT_EQ(formatSearchComment(out, size), 1);
  return out;
}

TEST(SearchComment, RepeatedLineGivesAnEmptyComment) {
  searched(120, {E2E4, E7E5, G1F3});
  EXPECT_EQ(comment(), "+0.25 e2e4 e7e5 g1f3 ");
  EXPECT_EQ(comment(), "");
  searched(-480, {E2E4, E7E5, G1F3});  // a new score alone is no new line
  EXPECT_EQ(comment(), "");
  searched(32698, {E7E8Q});
  EXPECT_EQ(comment(), "+MAT1 e7e8Q ");
}

TEST(SearchComment, BookMoveHasNoScoreAndAShortBufferKeepsWholeMoves) {
  searched(32761, {G1F3});
  EXPECT_EQ(comment(), " g1f3 ");
  searched(0, {E2E4, E7E5, G1F3});
  EXPECT_EQ(comment(17), "+0.00 e2e4 e7e5 ");  // "g1f3 " and the terminator would not fit
}

TEST(SearchComment, FullBufferOfSixtyFourMovesFits) {
  searched(-32767, {});
  {
    std::lock_guard<std::mutex> hold(pvLock);
    for (Move& m : printPv) m = E7E8Q;
  }
  const std::string text = comment();
  EXPECT_EQ(text.size(), 5u + 64u * 6u);
  EXPECT_EQ(text.substr(0, 11), "-INF e7e8Q ");
}

}  // namespace
}  // namespace orv

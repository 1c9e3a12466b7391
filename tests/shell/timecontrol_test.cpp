// Clock commands and the per-move limits they produce.
#include <gtest/gtest.h>

#include <string>

#include "board/game.h"
#include "search/search.h"
#include "shell/timecontrol.h"

namespace orv {
namespace {

class TimeControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    timeControl = TimeControl{};
    game.ply = -1;
    game.side = White;
    game.softLimit = game.hardLimit = 0;
    game.iterationLimit = 0;
  }
  void TearDown() override { timeControl = TimeControl{}; }

  // Limits for the given clock fields and ply index.
  static std::pair<int, int> limits(int M, int B, int I, int T, int h) {
    timeControl.movesPerControl = M;
    timeControl.baseTime = B;
    timeControl.increment = I;
    timeControl.ownClock = T;
    game.ply = h;
    allocateMoveTime(false);
    return {game.softLimit, game.hardLimit};
  }
  static std::pair<int, int> allocated() {
    allocateMoveTime(false);
    return {game.softLimit, game.hardLimit};
  }
  using Limits = std::pair<int, int>;
};

TEST_F(TimeControlTest, WorkedValues) {
  EXPECT_EQ(limits(40, 300, 0, 3000, -1), Limits(74, 111));   // first move of 40 in 5 minutes
  EXPECT_EQ(limits(40, 300, 0, 100, 78), Limits(90, 90));     // last move of the period
  EXPECT_EQ(limits(40, 300, 0, 2000, 78), Limits(150, 150));  // ... capped at twice the average
  EXPECT_EQ(limits(0, 300, 0, 3000, 17), Limits(100, 200));   // 5 minutes sudden death
  EXPECT_EQ(limits(0, 120, 120, 1200, 5), Limits(160, 320));  // 2 minutes + 12 s
  EXPECT_EQ(limits(0, 120, 120, 15, 40), Limits(1, 1));       // 1.5 s left, 12 s increment
  EXPECT_EQ(limits(0, 900, 0, 9000, 3), Limits(300, 600));    // 15 minutes, no increment
  EXPECT_EQ(game.iterationLimit, 999);
}

TEST_F(TimeControlTest, SmallClocksStayPositive) {
  EXPECT_EQ(limits(40, 300, 0, 5, -1), Limits(1, 1));   // own clock below the 1 s reserve
  EXPECT_EQ(limits(40, 0, 0, 3000, -1), Limits(1, 1));  // zero base gives a zero cap
  EXPECT_EQ(limits(0, 300, 0, 0, 0), Limits(1, 1));     // empty clock, sudden death
  EXPECT_EQ(limits(0, 300, 0, 1, 0), Limits(1, 1));
  EXPECT_EQ(limits(0, 300, 0, 45, 0), Limits(1, 1));  // below 60: hard stays e
  EXPECT_EQ(limits(0, 600, 0, 10, 0), Limits(1, 1));  // big base, nearly no clock
  EXPECT_EQ(limits(0, 120, 5, 18, 0), Limits(5, 5));  // increment below a tiny clock
  EXPECT_EQ(limits(0, 120, -3, 18, 0), Limits(1, 1));
}

TEST_F(TimeControlTest, HugeNumbersDoNotOverflow) {
  EXPECT_TRUE(applyLevel(" 0 99999999 99999999"));
  timeControl.ownClock = 2147483647;
  auto [soft, hard] = allocated();
  EXPECT_GT(soft, 0);
  EXPECT_GE(hard, soft);
}

TEST_F(TimeControlTest, LevelBothForms) {
  EXPECT_TRUE(applyLevel(" 40 5 0"));
  EXPECT_EQ(timeControl.movesPerControl, 40);
  EXPECT_EQ(timeControl.baseTime, 300);
  EXPECT_EQ(timeControl.increment, 0);
  timeControl.ownClock = 3000;
  EXPECT_EQ(allocated(), Limits(74, 111));

  EXPECT_TRUE(applyLevel(" 0 2:30 12"));
  EXPECT_EQ(timeControl.movesPerControl, 0);
  EXPECT_EQ(timeControl.baseTime, 150);
  EXPECT_EQ(timeControl.increment, 120);

  EXPECT_TRUE(applyLevel(" 0 2 3"));
  EXPECT_EQ(timeControl.baseTime, 120);
  EXPECT_EQ(timeControl.increment, 30);

  EXPECT_TRUE(applyLevel(" 30 1:05"));  // three fields are enough; no increment
  EXPECT_EQ(timeControl.baseTime, 65);
  EXPECT_EQ(timeControl.increment, 0);

  EXPECT_TRUE(applyLevel(" 20 4"));
  EXPECT_EQ(timeControl.movesPerControl, 20);
  EXPECT_EQ(timeControl.baseTime, 240);
}

TEST_F(TimeControlTest, LevelFailureKeepsScannedFields) {
  timeControl.increment = 50;
  EXPECT_FALSE(applyLevel(" 25"));
  EXPECT_EQ(timeControl.movesPerControl, 25);
  EXPECT_EQ(timeControl.baseTime, 60);
  EXPECT_EQ(timeControl.increment, 0);

  timeControl.increment = 50;
  EXPECT_FALSE(applyLevel(" 35 7:"));
  EXPECT_EQ(timeControl.movesPerControl, 35);
  EXPECT_EQ(timeControl.baseTime, 60);
  EXPECT_EQ(timeControl.increment, 0);

  EXPECT_FALSE(applyLevel(""));
  EXPECT_FALSE(applyLevel(" X"));
  EXPECT_EQ(timeControl.movesPerControl, 35);
}

TEST_F(TimeControlTest, TimeAndOtim) {
  applyTimeCommand("TIME 12345");
  EXPECT_EQ(timeControl.ownClock, 1234);
  applyTimeCommand("TIME 0");
  EXPECT_EQ(timeControl.ownClock, 1234);
  applyTimeCommand("OTIM 999");
  EXPECT_EQ(timeControl.opponentClock, 99);
  applyTimeCommand("OTIM");
  EXPECT_EQ(timeControl.opponentClock, 99);
  applyTimeCommand("TIME -50");
  EXPECT_EQ(timeControl.ownClock, -5);
  applyTimeCommand("TIME 99999999999999999999");
  EXPECT_EQ(timeControl.ownClock, 2147483647 / 10);
}

TEST_F(TimeControlTest, UciGoReadsTheSideToMove) {
  bool newGame = true;
  resetClockForNewGame();
  applyUciGo("GO WTIME 300000 BTIME 200000 WINC 2000 BINC 1000", newGame);
  EXPECT_FALSE(newGame);
  EXPECT_EQ(timeControl.ownClock, 3000);
  EXPECT_EQ(timeControl.opponentClock, 2000);
  EXPECT_EQ(timeControl.baseTime, 300);
  EXPECT_EQ(timeControl.increment, 20);
  EXPECT_EQ(timeControl.movesPerControl, 0);

  // Later goes leave the base time; Black to move takes BTIME; WINC wins over BINC.
  game.side = Black;
  applyUciGo("GO WTIME 100000 BTIME 50000 BINC 1000 WINC 3000", newGame);
  EXPECT_EQ(timeControl.ownClock, 500);
  EXPECT_EQ(timeControl.opponentClock, 1000);
  EXPECT_EQ(timeControl.baseTime, 300);
  EXPECT_EQ(timeControl.increment, 30);

  applyUciGo("GO BTIME 40000 BINC 700", newGame);
  EXPECT_EQ(timeControl.increment, 7);
}

TEST_F(TimeControlTest, UciMovesToGoOnlyOnTheFirstGo) {
  bool newGame = true;
  resetClockForNewGame();
  game.ply = 9;
  applyUciGo("GO WTIME 60000 BTIME 60000 MOVESTOGO 20", newGame);
  EXPECT_EQ(timeControl.movesPerControl, 24);
  // The coming move has 20 moves left in its period: (600 - 10) / 20 = 29, cap 2 x (600 / 24) = 50.
  EXPECT_EQ(allocated(), Limits(29, 43));
  game.ply = 10;  // a later go leaves moves per control alone
  applyUciGo("GO WTIME 60000 BTIME 60000 MOVESTOGO 5", newGame);
  EXPECT_EQ(timeControl.movesPerControl, 24);

  newGame = true;
  applyUciGo("GO WTIME 60000 MOVESTOGO 0", newGame);
  EXPECT_EQ(timeControl.movesPerControl, 0);
}

TEST_F(TimeControlTest, UciGoWithoutNewGameKeepsTheDefaultCap) {
  bool newGame = false;
  applyUciGo("GO WTIME 6000000 BTIME 6000000", newGame);
  EXPECT_EQ(timeControl.movesPerControl, 6);
  EXPECT_EQ(timeControl.baseTime, 60);
  auto [soft, hard] = allocated();
  EXPECT_EQ(soft, 200);
  EXPECT_EQ(hard, 300);
}

TEST_F(TimeControlTest, UciInfiniteAndAnalyze) {
  bool newGame = true;
  resetClockForNewGame();
  applyUciGo("GO INFINITE", newGame);
  EXPECT_EQ(timeControl.baseTime, 360000);
  EXPECT_EQ(timeControl.ownClock, 360000);
  EXPECT_EQ(timeControl.opponentClock, 360000);
  EXPECT_EQ(allocated(), Limits(12000, 24000));

  allocateMoveTime(true);
  EXPECT_EQ(game.softLimit, 25920000);
  EXPECT_EQ(game.hardLimit, 25920000);
  EXPECT_EQ(game.iterationLimit, 999);
}

TEST_F(TimeControlTest, UciMoveTimeGivesExactlyThatTime) {
  bool newGame = true;
  resetClockForNewGame();
  applyUciGo("GO MOVETIME 5000", newGame);
  EXPECT_EQ(timeControl.ownClock, 50);
  EXPECT_EQ(timeControl.opponentClock, 50);
  EXPECT_EQ(timeControl.baseTime, 50);
  EXPECT_EQ(allocated(), Limits(50, 50));

  applyUciGo("GO MOVETIME 30", newGame);  // below a tenth: still a positive limit
  EXPECT_EQ(allocated(), Limits(1, 1));

  // The next go without movetime returns to the clock rules (here 50 tenths, no moves per control).
  applyUciGo("GO WTIME 5000 BTIME 5000", newGame);
  EXPECT_EQ(allocated(), Limits(1, 1));
  applyUciGo("GO MOVETIME 2000", newGame);
  EXPECT_TRUE(applyLevel(" 40 5 0"));
  timeControl.ownClock = 3000;
  EXPECT_EQ(allocated(), Limits(74, 111));
}

// Millisecond limits of the next move as the search applies them.
std::pair<long long, long long> searchLimitsMs() {
  allocateMoveTime(false);
  const MoveClock clock = moveClockOf(game);
  return {clock.softMs, clock.hardMs};
}
using LimitsMs = std::pair<long long, long long>;

TEST_F(TimeControlTest, LowClocksAreCappedInMilliseconds) {
  bool newGame = true;
  resetClockForNewGame();
  // 2 s + 50 ms: the tenths formula gives one tenth; the cap ((2000 - 30 - 150) / 5 + 37 = 401) does not bind.
  applyUciGo("GO WTIME 2000 BTIME 2000 WINC 50 BINC 50", newGame);
  EXPECT_EQ(timeControl.ownClockMs, 2000);
  EXPECT_EQ(timeControl.incrementMs, 50);
  EXPECT_EQ(searchLimitsMs(), LimitsMs(100, 100));
  // 150 ms left: half the clock is the reserve, 45 ms remain; a fifth of them plus as much of the increment.
  applyUciGo("GO WTIME 150 BTIME 2000 WINC 50 BINC 50", newGame);
  EXPECT_EQ(searchLimitsMs(), LimitsMs(9, 18));
  // On a short clock the move plans less than the increment, so the clock grows back.
  for (int clock : {200, 300, 400}) {
    const std::string go = "GO WTIME " + std::to_string(clock) + " BTIME 2000 WINC 50 BINC 50";
    applyUciGo(go.c_str(), newGame);
    EXPECT_LT(searchLimitsMs().first, 50) << clock;
  }
  // Within the overhead and the reserve: the move is made at once.
  applyUciGo("GO WTIME 25 BTIME 2000 WINC 50 BINC 50", newGame);
  EXPECT_EQ(searchLimitsMs(), LimitsMs(1, 1));
  // A long increment: the formula would spend 1000 of the 3000 ms; the cap keeps
  // a second back and adds no more of the increment than the share (394).
  applyUciGo("GO WTIME 3000 BTIME 3000 WINC 10000 BINC 10000", newGame);
  EXPECT_EQ(searchLimitsMs(), LimitsMs(394, 788));
  // Black's own increment counts for Black.
  game.side = Black;
  applyUciGo("GO WTIME 2000 BTIME 2000 WINC 50 BINC 700", newGame);
  EXPECT_EQ(timeControl.incrementMs, 700);
}

TEST_F(TimeControlTest, OrdinaryClocksKeepTheirLimits) {
  // The caps bind only when the clock is short: the worked values stay as they are, in ms.
  timeControl.ownClockMs = 300000;
  EXPECT_EQ(limits(0, 300, 0, 3000, 17), Limits(100, 200));
  EXPECT_EQ(searchLimitsMs(), LimitsMs(10000, 20000));
  timeControl.ownClockMs = 120000;
  timeControl.incrementMs = 12000;
  EXPECT_EQ(limits(0, 120, 120, 1200, 5), Limits(160, 320));
  EXPECT_EQ(searchLimitsMs(), LimitsMs(16000, 32000));
  timeControl.ownClockMs = 300000;
  timeControl.incrementMs = 0;
  EXPECT_EQ(limits(40, 300, 0, 3000, -1), Limits(74, 111));
  EXPECT_EQ(searchLimitsMs(), LimitsMs(7400, 11100));
  // Last move of a period with 500 ms: one tenth, under the cap of 470 ms.
  timeControl.ownClockMs = 500;
  EXPECT_EQ(limits(40, 300, 0, 5, 78), Limits(1, 1));
  EXPECT_EQ(searchLimitsMs(), LimitsMs(100, 100));
  // An unknown clock (never sent) caps nothing.
  timeControl.ownClockMs = 0;
  EXPECT_EQ(searchLimitsMs(), LimitsMs(100, 100));
}

TEST_F(TimeControlTest, XboardClockInMilliseconds) {
  applyTimeCommand("TIME 15");
  EXPECT_EQ(timeControl.ownClock, 1);
  EXPECT_EQ(timeControl.ownClockMs, 150);
  applyTimeCommand("OTIM 40");
  EXPECT_EQ(timeControl.ownClockMs, 150);
  // A LEVEL increment with a fraction: tenths as the integer reads it, ms with the fraction.
  EXPECT_TRUE(applyLevel(" 0 0:02 0.05"));
  EXPECT_EQ(timeControl.increment, 0);
  EXPECT_EQ(timeControl.incrementMs, 50);
  EXPECT_TRUE(applyLevel(" 40 5 1.5"));
  EXPECT_EQ(timeControl.increment, 10);
  EXPECT_EQ(timeControl.incrementMs, 1500);
  EXPECT_TRUE(applyLevel(" 0 2 12"));
  EXPECT_EQ(timeControl.incrementMs, 12000);
  EXPECT_TRUE(applyLevel(" 0 2 0.1239"));
  EXPECT_EQ(timeControl.incrementMs, 123);
}

TEST_F(TimeControlTest, UciMoveTimeInMilliseconds) {
  bool newGame = true;
  resetClockForNewGame();
  applyUciGo("GO MOVETIME 50", newGame);  // one tenth by the formula, 50 ms in fact
  EXPECT_EQ(searchLimitsMs(), LimitsMs(50, 50));
  applyUciGo("GO MOVETIME 5000", newGame);
  EXPECT_EQ(searchLimitsMs(), LimitsMs(5000, 5000));
}

}  // namespace
}  // namespace orv

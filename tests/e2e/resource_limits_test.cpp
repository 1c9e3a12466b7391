// Hash table reallocation to the smallest and largest sizes and back while
// the engine is idle, with and without a memory limit: the engine keeps
// searching whatever the system grants.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/engine_process.h"

namespace orv::e2e {
namespace {

constexpr int ReplyMs = 10000;
constexpr int MoveMs = 60000;

// The engine under `/bin/sh -c`, with an address-space limit in KB when given.
test::EngineProcess startEngine(long limitKb) {
  std::string command = "exec " ORVALIS_BIN;
  if (limitKb > 0) command = "ulimit -v " + std::to_string(limitKb) + "; " + command;
  return test::EngineProcess("/bin/sh", {"-c", command});
}

bool pong(test::EngineProcess& p, int n) {
  p.writeLine("ping " + std::to_string(n));
  return p.readLineStartingWith("pong " + std::to_string(n), MoveMs).has_value();
}

void xboardReallocations(long limitKb) {
  test::EngineProcess p = startEngine(limitKb);
  p.writeLine("xboard");
  p.writeLine("new");
  p.writeLine("level 40 1 0");
  int n = 0;
  // Below the smallest, exactly the largest, then back down.
  for (const char* size : {"0", "2048", "4"}) {
    p.writeLine(std::string("memory ") + size);
    ASSERT_TRUE(pong(p, ++n)) << size;
    p.writeLine("time 300");
    p.writeLine("go");
    EXPECT_TRUE(p.readLineStartingWith("move ", MoveMs).has_value()) << "memory " << size;
    p.writeLine("force");
  }
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
}

void uciReallocations(long limitKb) {
  test::EngineProcess p = startEngine(limitKb);
  p.writeLine("uci");
  ASSERT_TRUE(p.readLineStartingWith("uciok", ReplyMs).has_value());
  // Below the smallest, far above the largest, then back.
  for (const char* size : {"1", "1000000", "128"}) {
    p.writeLine(std::string("setoption name Hash value ") + size);
    p.writeLine("isready");
    ASSERT_TRUE(p.readLineStartingWith("readyok", MoveMs).has_value()) << size;
    p.writeLine("position startpos moves e2e4");
    p.writeLine("go movetime 100");
    EXPECT_TRUE(p.readLineStartingWith("bestmove ", MoveMs).has_value()) << "Hash " << size;
  }
  p.writeLine("quit");
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
}

TEST(ResourceLimits, HashReallocatesToBothClampsAndBack) {
  xboardReallocations(0);
  uciReallocations(0);
}

// 1.5 GB of address space: the 2 GB tables are refused, the previous ones stay.
TEST(ResourceLimits, HashReallocationUnderAMemoryLimit) {
  xboardReallocations(1500000);
  uciReallocations(1500000);
}

}  // namespace
}  // namespace orv::e2e

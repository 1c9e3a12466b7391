// The pipe driver the end-to-end tests rely on: echo, deadlines, exit codes.
#include <gtest/gtest.h>

#include "support/engine_process.h"

using orv::test::EngineProcess;

TEST(EngineProcess, EchoesLinesAndReportsExitCode) {
  EngineProcess p("/bin/cat");
  ASSERT_TRUE(p.started());
  ASSERT_TRUE(p.writeLine("hello"));
  ASSERT_TRUE(p.writeLine("world"));
  EXPECT_EQ(p.readLine(2000), "hello");
  EXPECT_EQ(p.readLine(2000), "world");
  p.closeStdin();
  EXPECT_FALSE(p.readLine(2000).has_value());
  EXPECT_EQ(p.waitExit(2000), 0);
}

TEST(EngineProcess, ReadTimesOutOnSilentChildAndKillEndsIt) {
  EngineProcess p("/bin/cat");
  EXPECT_FALSE(p.readLine(50).has_value());
  EXPECT_EQ(p.waitExit(50), -1);
  p.kill();
  EXPECT_EQ(p.waitExit(0), 128 + 9);
}

TEST(EngineProcess, SeparatesStderrAndKeepsLastUnterminatedLine) {
  EngineProcess p("/bin/sh", {"-c", "echo out; echo err 1>&2; printf tail; exit 3"});
  EXPECT_EQ(p.readLine(2000), "out");
  EXPECT_EQ(p.readLine(2000), "tail");
  EXPECT_EQ(p.readStderrLine(2000), "err");
  EXPECT_EQ(p.waitExit(2000), 3);
}

TEST(EngineProcess, ReadLineStartingWithCollectsSkippedLines) {
  EngineProcess p("/bin/sh", {"-c", "echo a; echo b; echo move e2e4"});
  std::vector<std::string> skipped;
  EXPECT_EQ(p.readLineStartingWith("move ", 2000, &skipped), "move e2e4");
  EXPECT_EQ(skipped, (std::vector<std::string>{"a", "b"}));
}

TEST(EngineProcess, MissingProgramExitsWith127) {
  EngineProcess p("/nonexistent/program");
  EXPECT_EQ(p.waitExit(2000), 127);
}

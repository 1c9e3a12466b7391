// Command-line options of the engine binary.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine_session.h"

namespace orv::e2e {
namespace {

TEST(CommandLine, PositionFileIsSearchedOnceAndTheEngineExits) {
  const std::string path = "/tmp/orvalis_e2e_position.txt";
  std::FILE* f = std::fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs("b\nre1\nta1\nn\nrg8\npf7\npg7\nph7\n", f);  // White mates with a1a8
  std::fclose(f);
  test::EngineProcess p(ORVALIS_BIN, {"-t1", "-p" + path});
  std::vector<std::string> lines;
  while (auto line = p.readLine(30000)) lines.push_back(*line);
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("a1a8"), std::string::npos) << lines.back();
  // No banner in one-shot mode; the tablebase initialisation prints its two lines.
  const std::string err = p.drainStderr(50);
  EXPECT_EQ(err.rfind("TbPath=<", 0), 0u) << err;
  EXPECT_NE(err.find(">\nInitTb=0\n"), std::string::npos) << err;
  EXPECT_EQ(err.find("Orvalis"), std::string::npos) << err;
  std::remove(path.c_str());
}

TEST(CommandLine, UnreadablePositionFileEndsWithCodeOne) {
  test::EngineProcess p(ORVALIS_BIN, {"-p/nonexistent/file"});
  EXPECT_EQ(p.readLine(ReplyMs), "fichier??");
  EXPECT_EQ(p.waitExit(ReplyMs), 1);
}

TEST(CommandLine, BadTimeAndUnknownOptionsAreTolerated) {
  test::EngineProcess p(ORVALIS_BIN, {"-t0", "-x", "word", "-h1"});
  EXPECT_EQ(p.readLine(ReplyMs), "temps??");
  p.writeLine("ping 1");
  EXPECT_EQ(p.readLine(ReplyMs), "pong 1");
  p.closeStdin();
  EXPECT_EQ(p.waitExit(ReplyMs), 0);
}

}  // namespace
}  // namespace orv::e2e

// A running engine for end-to-end tests, with a ping/pong barrier that
// collects everything the engine printed before it.
#pragma once
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/engine_process.h"

namespace orv::e2e {

// Generous: the machine is shared and noisy.
constexpr int ReplyMs = 10000;

class EngineSession {
 public:
  EngineSession() : process_(ORVALIS_BIN) {}
  test::EngineProcess& process() { return process_; }

  void send(const std::string& line) { EXPECT_TRUE(process_.writeLine(line)) << line; }

  // Sends "ping N" and returns the lines printed before "pong N".
  std::vector<std::string> sync() {
    std::string tag = std::to_string(++pings_);
    send("ping " + tag);
    std::vector<std::string> before;
    auto pong = process_.readUntil([&](const std::string& l) { return l == "pong " + tag; }, ReplyMs, &before);
    EXPECT_TRUE(pong.has_value()) << "no pong " << tag;
    return before;
  }

  // Sends the lines, then returns what the engine printed for them.
  std::vector<std::string> exchange(const std::vector<std::string>& lines) {
    for (const auto& l : lines) send(l);
    return sync();
  }

  std::string lineStartingWith(const std::string& prefix, int timeoutMs, std::vector<std::string>* skipped = nullptr) {
    auto line = process_.readLineStartingWith(prefix, timeoutMs, skipped);
    EXPECT_TRUE(line.has_value()) << "no line starting with " << prefix;
    return line.value_or("");
  }

  // Ends the session with QUIT and checks the exit code.
  void quit() {
    send("quit");
    process_.closeStdin();
    EXPECT_EQ(process_.waitExit(ReplyMs), 0);
  }

 private:
  test::EngineProcess process_;
  int pings_ = 0;
};

// The diagram of the start position as PRINT shows it.
inline std::vector<std::string> startDiagram() {
  return {"TCFDRFCT", "PPPPPPPP", "........", "........", "........", "........", "pppppppp", "tcfdrfct"};
}

inline bool isLegalFirstMove(const std::string& move) {
  static const std::set<std::string> moves = {"a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4", "d2d3",
                                              "d2d4", "e2e3", "e2e4", "f2f3", "f2f4", "g2g3", "g2g4",
                                              "h2h3", "h2h4", "b1a3", "b1c3", "g1f3", "g1h3"};
  return moves.count(move) != 0;
}

}  // namespace orv::e2e

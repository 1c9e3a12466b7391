// One engine process in a match, spoken to in xboard or UCI.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "match_options.h"
#include "support/engine_process.h"

namespace orv::match {

// What a line of the engine means to the match.
enum class LineKind {
  Other,      // thinking output and anything else the match ignores
  Move,       // "move X" (xboard) or "bestmove X" (UCI)
  Resign,     // "resign"
  Complaint,  // "Illegal move..." or "Error..." about something the match sent
};
struct EngineLine {
  LineKind kind = LineKind::Other;
  std::string text;    // the whole line
  std::string move;    // the move of a Move line
  std::string ponder;  // UCI: the reply a Move line expects ("bestmove X ponder Y"), else empty
};

class EnginePlayer {
 public:
  EnginePlayer(std::string path, Protocol protocol, bool ponder = false)
      : path_(std::move(path)), protocol_(protocol), ponder_(ponder) {}

  // Starts the process and completes the protocol's greeting; false with a reason.
  bool start(std::string& error);
  bool started() const { return process_ != nullptr; }  // a process exists (running or ended)
  bool running();                                       // started and not exited
  int exitCode();                                       // exit code once it has ended, else -1
  // Sends quit and waits briefly; returns the exit code, or -1 when the process had to be killed.
  int stop();

  // Prepares a new game from the initial position after the opening moves.
  bool beginGame(const TimeControlSpec& control, const std::vector<std::string>& opening, std::string& error);
  // Asks for a move: `allMoves` is the game so far (its last entry the opponent's move, if any).
  // ownMs / otherMs are the clocks, movesToGo the moves left in the period (0 = whole game).
  void requestMove(const std::vector<std::string>& allMoves, bool opponentMoved, int side, long long ownMs,
                   long long otherMs, int movesToGo, long long incrementMs);
  // UCI with pondering: after the engine's move, it searches the position after the expected
  // reply with "go ponder" on the clocks it will have. The next requestMove answers it with
  // ponderhit when the opponent played that reply, else stops it (its bestmove is dropped).
  bool ponders() const { return ponder_; }
  void startPondering(const std::vector<std::string>& allMoves, const std::string& reply, int side, long long ownMs,
                      long long otherMs, int movesToGo, long long incrementMs);
  // xboard: tells the engine the game is over; a pondering UCI engine is stopped.
  void endGame(const std::string& result);

  // Next line within the timeout, classified.
  std::optional<EngineLine> readLine(int timeoutMs);
  // The complaint that made the last greeting or game preparation fail, if that was the reason.
  const std::string& complaint() const { return complaint_; }

 private:
  bool send(const std::string& line);
  // Reads until a line equals `expected`; a complaint on the way is a failure.
  bool waitFor(const std::string& expected, int timeoutMs, std::string& error);
  bool synchronise(std::string& error);

  std::string path_;
  Protocol protocol_;
  std::unique_ptr<test::EngineProcess> process_;
  std::string complaint_;
  // Stops a pondering search and drops its bestmove.
  void stopPondering();

  bool ponder_ = false;
  bool pondering_ = false;
  std::string ponderReply_;
  bool needGo_ = true;
  int pingCounter_ = 0;
};

}  // namespace orv::match

// The match loop: colours, openings, clocks, the referee and fault reports.
#include "match.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "board/board.h"
#include "engine_player.h"
#include "referee.h"
#include "support/engine_process.h"

namespace orv::match {

namespace {

// Short openings so that games between two copies of one engine differ; each is
// played twice with the colours exchanged.
const std::vector<std::vector<std::string>> openings = {
    {},
    {"e2e4", "e7e5"},
    {"d2d4", "d7d5"},
    {"e2e4", "c7c5"},
    {"c2c4", "e7e5"},
    {"g1f3", "d7d5"},
    {"e2e4", "e7e6"},
    {"d2d4", "g8f6", "c2c4", "e7e6"},
};

constexpr int PollSliceMs = 20;

struct GameOutcome {
  std::string result = "*";  // "1-0", "0-1", "1/2-1/2"
  std::string reason;
};

class MatchRunner {
 public:
  explicit MatchRunner(const MatchOptions& o) : options_(o) {
    for (int i = 0; i < 2; ++i) players_[i] = std::make_unique<EnginePlayer>(o.engine[i], o.protocol, o.ponder[i]);
  }
  ~MatchRunner() {
    for (auto& p : players_) p->stop();
  }

  MatchTotals run() {
    for (int g = 0; g < options_.games; ++g) playGame(g);
    // Both engines must leave cleanly when told to quit.
    for (int engine = 0; engine < 2; ++engine) {
      if (!players_[engine]->started()) continue;
      int code = players_[engine]->stop();
      if (code == 0) continue;
      ++(code == -1 ? totals_.hangs : totals_.crashes);
      std::printf("FAULT at the end: engine %d %s\n", engine + 1,
                  code == -1 ? "did not exit after quit" : ("exited with code " + std::to_string(code)).c_str());
    }
    return totals_;
  }

 private:
  // Engine index of the side; engine 1 has White in even games.
  int engineOf(int side) const { return side == White ? white_ : 1 - white_; }

  void fault(int engine, const std::string& what) {
    std::printf("FAULT game %d: engine %d (%s): %s\n", gameNumber_, engine + 1,
                engineOf(White) == engine ? "White" : "Black", what.c_str());
    faultInGame_ = true;
  }

  // Ends the game as a loss of `engine`.
  GameOutcome lossOf(int engine, const std::string& reason) {
    bool whiteLoses = engineOf(White) == engine;
    return {whiteLoses ? "0-1" : "1-0", std::string(whiteLoses ? "White" : "Black") + " " + reason};
  }

  bool ensureRunning(int engine) {
    EnginePlayer& p = *players_[engine];
    if (p.running()) return true;
    if (p.started()) {  // it was running after the last game
      ++totals_.crashes;
      fault(engine, "exited with code " + std::to_string(p.exitCode()) + " between games");
    }
    p.stop();
    std::string error;
    if (p.start(error)) return true;
    fault(engine, "start-up failed: " + error);
    ++totals_.crashes;
    return false;
  }

  // Classifies the silence or exit of an engine that owes a reply.
  GameOutcome noReply(int engine, long long waitedMs) {
    int code = players_[engine]->exitCode();
    if (code != -1) {
      ++totals_.crashes;
      fault(engine, "exited with code " + std::to_string(code) + " during the game");
      players_[engine]->stop();
      return lossOf(engine, "crashed");
    }
    ++totals_.hangs;
    fault(engine, "no move after " + std::to_string(waitedMs) + " ms");
    players_[engine]->stop();  // a hung engine is restarted for the next game
    return lossOf(engine, "hangs");
  }

  // Lines of the engine that is not on move: only a resignation of its last move is expected.
  bool pollIdle(int engine, GameOutcome& outcome) {
    EnginePlayer& p = *players_[engine];
    if (!p.running()) return false;
    while (auto line = p.readLine(0)) {
      if (line->kind == LineKind::Resign) {
        outcome = lossOf(engine, "resigns");
        return true;
      }
      if (line->kind == LineKind::Complaint) {
        ++totals_.complaints;
        fault(engine, "complains: " + line->text);
      } else if (line->kind == LineKind::Move) {
        ++totals_.outOfTurn;
        fault(engine, "moves out of turn: " + line->text);
      }
    }
    return false;
  }

  void playGame(int g) {
    gameNumber_ = g + 1;
    white_ = g % 2;
    faultInGame_ = false;
    GameOutcome outcome = play(openings[(g / 2) % openings.size()]);
    for (int i = 0; i < 2; ++i)
      if (players_[i]->running()) players_[i]->endGame(outcome.result + " {" + outcome.reason + "}");
    ++totals_.games;
    if (outcome.result == "1/2-1/2") ++totals_.draws;
    else if (outcome.result != "*") ++totals_.wins[engineOf(outcome.result == "1-0" ? White : Black)];
    std::printf("game %d: engine %d (White) - engine %d (Black): %s {%s} %d plies, %.1f s / %.1f s used\n", gameNumber_,
                engineOf(White) + 1, engineOf(Black) + 1, outcome.result.c_str(), outcome.reason.c_str(),
                referee_.plies(), usedMs_[White] / 1000.0, usedMs_[Black] / 1000.0);
    if (options_.verbose || faultInGame_) std::printf("  moves: %s\n", referee_.moveList().c_str());
    std::fflush(stdout);
  }

  GameOutcome play(const std::vector<std::string>& opening) {
    referee_.reset();
    for (const std::string& m : opening) referee_.play(m);
    const int openingPlies = referee_.plies();
    const TimeControlSpec& tc = options_.control;
    long long clock[2] = {tc.baseMs, tc.baseMs};
    int movesMade[2] = {0, 0};
    usedMs_[0] = usedMs_[1] = 0;

    for (int engine = 0; engine < 2; ++engine) {
      std::string error;
      if (!ensureRunning(engine)) return lossOf(engine, "does not start");
      if (!players_[engine]->beginGame(tc, opening, error)) {
        fault(engine, "new game: " + error);
        if (!players_[engine]->complaint().empty()) {
          ++totals_.complaints;
          return lossOf(engine, "complains");
        }
        ++(players_[engine]->running() ? totals_.hangs : totals_.crashes);
        players_[engine]->stop();
        return lossOf(engine, "does not answer");
      }
    }

    GameOutcome outcome;
    for (;;) {
      if (referee_.plies() >= options_.maxPlies) return {"1/2-1/2", "move cap"};
      const int side = referee_.sideToMove();
      const int mover = engineOf(side), idle = 1 - mover;
      const int movesToGo = tc.moves > 0 ? tc.moves - movesMade[side] % tc.moves : 0;
      players_[mover]->requestMove(referee_.moves(), referee_.plies() > openingPlies, side, clock[side],
                                   clock[1 - side], movesToGo, tc.incrementMs);
      const long long start = test::steadyNowMs();
      const long long limit = clock[side] + options_.toleranceMs + options_.hangMarginMs;

      std::string move, reply;
      for (;;) {
        if (pollIdle(idle, outcome)) return outcome;
        long long waited = test::steadyNowMs() - start;
        if (waited > limit) return noReply(mover, waited);
        auto line = players_[mover]->readLine(int(std::min<long long>(PollSliceMs, limit - waited + 1)));
        if (!line) {
          if (!players_[mover]->running()) return noReply(mover, waited);
          continue;
        }
        if (line->kind == LineKind::Move) {
          move = line->move;
          reply = line->ponder;
          break;
        }
        if (line->kind == LineKind::Resign) return lossOf(mover, "resigns");
        if (line->kind == LineKind::Complaint) {
          ++totals_.complaints;
          fault(mover, "complains: " + line->text);
          return lossOf(mover, "complains");
        }
      }

      const long long elapsed = test::steadyNowMs() - start;
      usedMs_[side] += elapsed;
      clock[side] -= elapsed;
      if (clock[side] < -options_.toleranceMs) {
        ++totals_.timeForfeits;
        fault(mover, "move " + move + " came " + std::to_string(-clock[side]) + " ms after the flag fell");
        return lossOf(mover, "forfeits on time");
      }
      char fen[FenTextSize];
      writeFen(fen);
      Verdict v = referee_.play(move);
      if (v == Verdict::Illegal) {
        ++totals_.illegalMoves;
        fault(mover, "illegal move \"" + move + "\" in " + fen);
        return lossOf(mover, "plays an illegal move");
      }
      if (options_.verbose)
        std::printf("  %d. %s %s (%lld ms)\n", referee_.plies(), side == White ? "W" : "B", move.c_str(), elapsed);
      clock[side] += tc.incrementMs;
      if (tc.moves > 0 && ++movesMade[side] % tc.moves == 0) clock[side] += tc.baseMs;
      if (v == Verdict::Continue && players_[mover]->ponders()) {
        const int nextMovesToGo = tc.moves > 0 ? tc.moves - movesMade[side] % tc.moves : 0;
        players_[mover]->startPondering(referee_.moves(), reply, side, clock[side], clock[1 - side], nextMovesToGo,
                                        tc.incrementMs);
      }
      if (v != Verdict::Continue) {
        std::string text = verdictText(v);
        size_t brace = text.find(" {");
        return {text.substr(0, brace), text.substr(brace + 2, text.size() - brace - 3)};
      }
    }
  }

  const MatchOptions& options_;
  std::unique_ptr<EnginePlayer> players_[2];
  Referee referee_;
  MatchTotals totals_;
  int gameNumber_ = 0;
  int white_ = 0;
  bool faultInGame_ = false;
  long long usedMs_[2] = {0, 0};
};

}  // namespace

MatchTotals runMatch(const MatchOptions& options) {
  MatchRunner runner(options);
  return runner.run();
}

void printTotals(const MatchTotals& t) {
  std::printf("games %d: engine 1 wins %d, engine 2 wins %d, draws %d\n", t.games, t.wins[0], t.wins[1], t.draws);
  std::printf("faults %d: illegal moves %d, time forfeits %d, crashes %d, hangs %d, complaints %d, out of turn %d\n",
              t.faults(), t.illegalMoves, t.timeForfeits, t.crashes, t.hangs, t.complaints, t.outOfTurn);
  std::fflush(stdout);
}

}  // namespace orv::match

// Protocol dialogue with one engine process.
#include "engine_player.h"

#include <cstdio>

namespace orv::match {

namespace {

constexpr int GreetingTimeoutMs = 10000;

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// Second blank-separated token of a line ("move e2e4" -> "e2e4").
std::string secondToken(const std::string& line);

// The token after " ponder " in a bestmove line, or "".
std::string ponderToken(const std::string& line) {
  const size_t at = line.find(" ponder ");
  return at == std::string::npos ? "" : secondToken(line.substr(at + 1));
}

std::string secondToken(const std::string& line) {
  size_t a = line.find(' ');
  if (a == std::string::npos) return "";
  while (a < line.size() && line[a] == ' ') ++a;
  size_t b = line.find(' ', a);
  return line.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

}  // namespace

bool EnginePlayer::send(const std::string& line) { return process_ && process_->writeLine(line); }

bool EnginePlayer::running() { return process_ && process_->started() && process_->waitExit(0) == -1; }

int EnginePlayer::exitCode() { return process_ ? process_->waitExit(0) : -1; }

bool EnginePlayer::waitFor(const std::string& expected, int timeoutMs, std::string& error) {
  std::vector<std::string> skipped;
  auto line = process_->readUntil([&](const std::string& l) { return l == expected; }, timeoutMs, &skipped);
  for (const std::string& l : skipped) {
    if (startsWith(l, "Illegal move") || startsWith(l, "Error")) {
      complaint_ = l;
      error = "complains: " + l;
      return false;
    }
  }
  if (line) return true;
  int code = process_->waitExit(100);
  error = code == -1 ? "no \"" + expected + "\" within " + std::to_string(timeoutMs) + " ms"
                     : "exited with code " + std::to_string(code) + " while waiting for \"" + expected + "\"";
  return false;
}

bool EnginePlayer::synchronise(std::string& error) {
  if (protocol_ == Protocol::Uci) {
    send("isready");
    return waitFor("readyok", GreetingTimeoutMs, error);
  }
  std::string n = std::to_string(++pingCounter_);
  send("ping " + n);
  return waitFor("pong " + n, GreetingTimeoutMs, error);
}

bool EnginePlayer::start(std::string& error) {
  // The engine text is the program followed by its arguments, separated by blanks.
  std::vector<std::string> words;
  for (size_t p = 0, q; p < path_.size(); p = q + 1) {
    q = path_.find(' ', p);
    if (q == std::string::npos) q = path_.size();
    if (q > p) words.push_back(path_.substr(p, q - p));
  }
  if (words.empty()) {
    error = "no engine given";
    return false;
  }
  process_ = std::make_unique<test::EngineProcess>(words[0], std::vector<std::string>(words.begin() + 1, words.end()));
  if (!process_->started()) {
    error = "cannot start " + path_;
    return false;
  }
  bool ok;
  if (protocol_ == Protocol::Uci) {
    send("uci");
    ok = waitFor("uciok", GreetingTimeoutMs, error);
    if (ok && ponder_) send("setoption name Ponder value true");
  } else {
    send("xboard");
    send("protover 2");
    auto done = process_->readUntil([](const std::string& l) { return l.find("done=1") != std::string::npos; },
                                    GreetingTimeoutMs);
    ok = done.has_value();
    if (!ok) error = "no feature line with done=1";
    if (ok && ponder_) send("hard");  // the engine ponders by itself
  }
  process_->drainStderr(0);
  return ok;
}

int EnginePlayer::stop() {
  if (!process_) return 0;
  send("quit");
  process_->closeStdin();
  int code = process_->waitExit(2000);
  if (code == -1) process_->kill();
  process_.reset();
  return code;
}

bool EnginePlayer::beginGame(const TimeControlSpec& control, const std::vector<std::string>& opening,
                             std::string& error) {
  complaint_.clear();
  process_->drainStderr(0);
  needGo_ = true;
  if (protocol_ == Protocol::Uci) {
    send("ucinewgame");
    return synchronise(error);
  }
  send("new");
  send("force");
  long long seconds = control.baseMs / 1000;
  // An increment with a fraction is written as xboard writes it ("0.05").
  char increment[32];
  if (control.incrementMs % 1000 == 0) std::snprintf(increment, sizeof increment, "%lld", control.incrementMs / 1000);
  else std::snprintf(increment, sizeof increment, "%g", double(control.incrementMs) / 1000.0);
  char level[96];
  std::snprintf(level, sizeof level, "level %d %lld:%02lld %s", control.moves, seconds / 60, seconds % 60, increment);
  send(level);
  for (const std::string& m : opening) send(m);
  return synchronise(error);
}

void EnginePlayer::requestMove(const std::vector<std::string>& allMoves, bool opponentMoved, int side, long long ownMs,
                               long long otherMs, int movesToGo, long long incrementMs) {
  if (ownMs < 1) ownMs = 1;
  if (otherMs < 1) otherMs = 1;
  if (protocol_ == Protocol::Uci && pondering_) {
    pondering_ = false;
    if (opponentMoved && !allMoves.empty() && allMoves.back() == ponderReply_) {
      send("ponderhit");
      return;
    }
    stopPondering();
  }
  if (protocol_ == Protocol::Uci) {
    std::string position = "position startpos";
    if (!allMoves.empty()) {
      position += " moves";
      for (const std::string& m : allMoves) position += " " + m;
    }
    send(position);
    long long white = side == 0 ? ownMs : otherMs, black = side == 0 ? otherMs : ownMs;
    std::string go = "go wtime " + std::to_string(white) + " btime " + std::to_string(black) + " winc " +
                     std::to_string(incrementMs) + " binc " + std::to_string(incrementMs);
    if (movesToGo > 0) go += " movestogo " + std::to_string(movesToGo);
    send(go);
    return;
  }
  // xboard clocks are in centiseconds; the engine ignores "time 0", so send at least 1.
  send("time " + std::to_string(ownMs / 10 > 0 ? ownMs / 10 : 1));
  send("otim " + std::to_string(otherMs / 10 > 0 ? otherMs / 10 : 1));
  if (opponentMoved && !allMoves.empty()) send(allMoves.back());
  if (needGo_ || !opponentMoved) {
    send("go");
    needGo_ = false;
  }
}

void EnginePlayer::startPondering(const std::vector<std::string>& allMoves, const std::string& reply, int side,
                                  long long ownMs, long long otherMs, int movesToGo, long long incrementMs) {
  if (!ponder_ || protocol_ != Protocol::Uci || reply.empty()) return;
  std::string position = "position startpos moves";
  for (const std::string& m : allMoves) position += " " + m;
  send(position + " " + reply);
  if (ownMs < 1) ownMs = 1;
  if (otherMs < 1) otherMs = 1;
  long long white = side == 0 ? ownMs : otherMs, black = side == 0 ? otherMs : ownMs;
  std::string go = "go ponder wtime " + std::to_string(white) + " btime " + std::to_string(black) + " winc " +
                   std::to_string(incrementMs) + " binc " + std::to_string(incrementMs);
  if (movesToGo > 0) go += " movestogo " + std::to_string(movesToGo);
  send(go);
  pondering_ = true;
  ponderReply_ = reply;
}

void EnginePlayer::stopPondering() {
  send("stop");
  process_->readUntil([](const std::string& l) { return startsWith(l, "bestmove "); }, GreetingTimeoutMs);
}

void EnginePlayer::endGame(const std::string& result) {
  if (pondering_) {
    pondering_ = false;
    stopPondering();
  }
  if (protocol_ == Protocol::Xboard) {
    send("result " + result);
    send("force");
  }
}

std::optional<EngineLine> EnginePlayer::readLine(int timeoutMs) {
  auto line = process_->readLine(timeoutMs);
  if (!line) return std::nullopt;
  EngineLine e;
  e.text = *line;
  if (!e.text.empty() && e.text.back() == '\r') e.text.pop_back();
  const char* movePrefix = protocol_ == Protocol::Uci ? "bestmove " : "move ";
  if (startsWith(e.text, movePrefix)) {
    e.kind = LineKind::Move;
    e.move = secondToken(e.text);
    if (protocol_ == Protocol::Uci) e.ponder = ponderToken(e.text);
  } else if (e.text == "resign") {
    e.kind = LineKind::Resign;
  } else if (startsWith(e.text, "Illegal move") || startsWith(e.text, "Error")) {
    e.kind = LineKind::Complaint;
  }
  return e;
}

}  // namespace orv::match

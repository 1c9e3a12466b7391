// orvalis-random-player: a minimal engine for testing the match driver. It speaks
// xboard and UCI, plays random legal moves, and can be told to misbehave at a ply:
//   --fault illegal|crash|hang|slow|complain|resign --at PLY
// or at other moments: --fault badquit (exit code 5 on quit), --fault dieonresult (exit 4 on result),
// --fault nolevel (rejects the level command).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>

#include "board/game.h"
#include "referee.h"

namespace {

using orv::match::Referee;

std::string moveText(orv::Move m) {
  std::string s;
  s += char('a' + orv::fileOf(orv::moveFrom(m)));
  s += char('1' + orv::rankOf(orv::moveFrom(m)));
  s += char('a' + orv::fileOf(orv::moveTo(m)));
  s += char('1' + orv::rankOf(orv::moveTo(m)));
  if (orv::isPromotion(m)) s += "qrbn"[orv::moveKind(m) - orv::PromoteQueen];
  return s;
}

struct Player {
  Referee referee;
  std::mt19937 random{12345};
  std::string fault;
  int faultPly = -1;
  bool uci = false, force = false;

  void say(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
  }

  // Chooses and announces a move (played on the own game in xboard mode).
  void think() {
    int count = 0;
    while (count < orv::MaxGameMoves && orv::game.legal[count] != 0) ++count;
    if (count == 0 || orv::game.result != orv::GameRunning) return;
    std::string move = moveText(orv::game.legal[random() % count]);
    if (referee.plies() == faultPly) {
      if (fault == "crash") std::exit(3);
      if (fault == "hang") {
        for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
      }
      if (fault == "slow") std::this_thread::sleep_for(std::chrono::milliseconds(1500));
      if (fault == "illegal") move = "a1a1";
      if (fault == "complain") say("Error (command not legal now): go");
    }
    if (!uci) referee.play(move);
    say((uci ? "bestmove " : "move ") + move);
    if (referee.plies() - 1 == faultPly && fault == "resign") say("resign");
  }

  void handle(const std::string& line) {
    auto starts = [&](const char* p) { return line.rfind(p, 0) == 0; };
    if (line == "uci") {
      uci = true;
      say("id name Random Player");
      say("uciok");
    } else if (line == "isready") {
      say("readyok");
    } else if (line == "protover 2") {
      say("feature myname=\"Random Player\" ping=1 done=1");
    } else if (starts("ping")) {
      say("pong" + line.substr(4));
    } else if (line == "new" || line == "ucinewgame") {
      referee.reset();
      force = false;
    } else if (line == "force") {
      force = true;
    } else if (line == "go") {
      force = false;
      think();
    } else if (starts("go ")) {
      think();
    } else if (starts("position startpos")) {
      referee.reset();
      size_t at = line.find(" moves ");
      if (at == std::string::npos) return;
      std::string rest = line.substr(at + 7) + " ";
      for (size_t p = 0, q; (q = rest.find(' ', p)) != std::string::npos; p = q + 1)
        if (q > p) referee.play(rest.substr(p, q - p));
    } else if (line == "quit") {
      std::exit(fault == "badquit" ? 5 : 0);
    } else if (starts("result") && fault == "dieonresult") {
      std::exit(4);
    } else if (starts("level") && fault == "nolevel") {
      say("Error (command not legal)");
    } else if (starts("xboard") || starts("level") || starts("time") || starts("otim") || starts("result")) {
    } else if (orv::match::findLegalMove(line) != 0) {
      referee.play(line);
      if (!force) think();
    } else {
      say("Illegal move: " + line);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  Player p;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--fault") == 0) p.fault = argv[i + 1];
    if (std::strcmp(argv[i], "--at") == 0) p.faultPly = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--seed") == 0) p.random.seed(unsigned(std::atoi(argv[i + 1])));
  }
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, stdin)) {
    buffer[std::strcspn(buffer, "\r\n")] = 0;
    p.handle(buffer);
  }
  return 0;
}

// Reading the driver's command line.
#include "match_options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace orv::match {

namespace {

// Seconds with an optional fraction, as whole milliseconds.
bool parseSeconds(const std::string& text, long long& ms) {
  if (text.empty()) return false;
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  if (*end != 0 || !(v >= 0) || v > 1e7) return false;
  ms = std::llround(v * 1000.0);
  return true;
}

bool parseCount(const char* text, long long low, long long high, long long& out) {
  char* end = nullptr;
  long long v = std::strtoll(text, &end, 10);
  if (end == text || *end != 0 || v < low || v > high) return false;
  out = v;
  return true;
}

}  // namespace

bool parseTimeControl(const std::string& text, TimeControlSpec& out) {
  TimeControlSpec tc;
  std::string rest = text;
  size_t slash = rest.find('/');
  if (slash != std::string::npos) {
    long long moves = 0;
    if (!parseCount(rest.substr(0, slash).c_str(), 0, 1000, moves)) return false;
    tc.moves = int(moves);
    rest = rest.substr(slash + 1);
  }
  size_t plus = rest.find('+');
  if (plus != std::string::npos) {
    if (!parseSeconds(rest.substr(plus + 1), tc.incrementMs)) return false;
    rest = rest.substr(0, plus);
  }
  if (!parseSeconds(rest, tc.baseMs) || tc.baseMs <= 0) return false;
  out = tc;
  return true;
}

const char* matchUsage() {
  return "usage: orvalis-match ENGINE GAMES xboard|uci [MOVES/]SECONDS[+INC] [options]\n"
         "  --engine2 PATH     second engine (default: ENGINE against itself)\n"
         "  --max-plies N      adjudicate a draw after N plies (default 300)\n"
         "  --tolerance MS     clock overstep not yet counted as a forfeit (default 50)\n"
         "  --hang-margin MS   silence beyond the clock that counts as a hang (default 5000)\n"
         "  --ponder 1|2|12    these engines ponder on the opponent's time (uci: go ponder; xboard: hard)\n"
         "  --verbose          print every move\n";
}

bool parseMatchOptions(int argc, char** argv, MatchOptions& out, std::string& error) {
  MatchOptions o;
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    long long v = 0;
    auto value = [&](const char* name) -> const char* {
      if (i + 1 >= argc) {
        error = std::string("missing value after ") + name;
        return nullptr;
      }
      return argv[++i];
    };
    if (std::strcmp(a, "--verbose") == 0) {
      o.verbose = true;
    } else if (std::strcmp(a, "--ponder") == 0) {
      const char* p = value(a);
      if (!p) return false;
      const std::string which = p;
      if (which != "1" && which != "2" && which != "12") {
        error = std::string("--ponder takes 1, 2 or 12, not ") + p;
        return false;
      }
      o.ponder[0] = which.find('1') != std::string::npos;
      o.ponder[1] = which.find('2') != std::string::npos;
    } else if (std::strcmp(a, "--engine2") == 0) {
      const char* p = value(a);
      if (!p) return false;
      o.engine[1] = p;
    } else if (std::strcmp(a, "--max-plies") == 0 || std::strcmp(a, "--tolerance") == 0 ||
               std::strcmp(a, "--hang-margin") == 0) {
      const char* p = value(a);
      if (!p) return false;
      if (!parseCount(p, 0, 100000000, v)) {
        error = std::string("bad number for ") + a + ": " + p;
        return false;
      }
      if (a[2] == 'm') o.maxPlies = int(v);
      else if (a[2] == 't') o.toleranceMs = v;
      else o.hangMarginMs = v;
    } else if (a[0] == '-' && a[1] == '-') {
      error = std::string("unknown option ") + a;
      return false;
    } else {
      switch (positional++) {
        case 0: o.engine[0] = a; break;
        case 1:
          if (!parseCount(a, 1, 1000000, v)) {
            error = std::string("bad number of games: ") + a;
            return false;
          }
          o.games = int(v);
          break;
        case 2:
          if (std::strcmp(a, "xboard") == 0) o.protocol = Protocol::Xboard;
          else if (std::strcmp(a, "uci") == 0) o.protocol = Protocol::Uci;
          else {
            error = std::string("unknown protocol: ") + a;
            return false;
          }
          break;
        case 3:
          if (!parseTimeControl(a, o.control)) {
            error = std::string("bad time control: ") + a;
            return false;
          }
          break;
        default: error = std::string("unexpected argument: ") + a; return false;
      }
    }
  }
  if (positional < 4) {
    error = "missing arguments";
    return false;
  }
  // xboard's level command carries the base in whole seconds (the increment may have a fraction).
  if (o.protocol == Protocol::Xboard && o.control.baseMs % 1000 != 0) {
    error = "xboard base times need whole seconds";
    return false;
  }
  if (o.engine[1].empty()) o.engine[1] = o.engine[0];
  out = o;
  return true;
}

}  // namespace orv::match

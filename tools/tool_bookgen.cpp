// orvalis-tool bookgen <out.bo2|out.bin> <file.pgn>... [--plies N] [--min-games K]:
// builds an opening book from PGN games. For every position up to ply N it
// counts, per move, the games and the points of the side that moved (win 2,
// draw 1, loss 0); moves seen in at least K games are kept. A name ending in
// ".bin" gets a Polyglot book (polyglot_book_writer.cpp); any other name gets
// the five most played moves of each position as one 100-byte record keyed by
// the engine's own position text.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/game.h"
#include "book/book.h"
#include "book/polyglot_key.h"
#include "book_counts.h"
#include "pgn_reader.h"
#include "tool.h"

namespace {

using orv::Move;
using orv::MoveCount;

struct Options {
  const char* out = nullptr;
  std::vector<const char*> inputs;
  int plies = 20;
  int minGames = 2;
};

// A position of a game (its key, Polyglot key and side to move) and the move played there.
struct Seen {
  std::string key;
  uint64_t polyglotKey;
  int side;
  Move move;
  bool operator<(const Seen& o) const { return key != o.key ? key < o.key : move < o.move; }
};

struct Totals {
  int games = 0, used = 0, malformed = 0, unscored = 0;
};

bool parseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const bool plies = std::strcmp(argv[i], "--plies") == 0, games = std::strcmp(argv[i], "--min-games") == 0;
    if (plies || games) {
      if (i + 1 >= argc) return false;
      const int n = std::atoi(argv[++i]);
      if (n < 1) return false;
      (plies ? o.plies : o.minGames) = n;
    } else if (argv[i][0] == '-' && argv[i][1] == '-') {
      return false;
    } else if (!o.out) {
      o.out = argv[i];
    } else {
      o.inputs.push_back(argv[i]);
    }
  }
  return o.out && !o.inputs.empty();
}

// The move as a book stores it: squares, and the promotion kind for promotions.
Move bookMoveCode(Move m) { return orv::isPromotion(m) ? m & 0x7FFF : m & 0xFFF; }

// Points of the side to move for the game's result.
int pointsFor(int side, const std::string& result) {
  if (result == "1/2-1/2") return 1;
  return (result == "1-0") == (side == orv::White) ? 2 : 0;
}

// Plays the game's first plies; their (position, move) pairs, or a message
// naming the fault.
bool playGame(const orv::PgnGame& g, int plies, std::vector<Seen>& seen, std::string& fault) {
  if (!g.error.empty()) {
    fault = "line " + std::to_string(g.errorLine) + ": " + g.error;
    return false;
  }
  orv::newGame();
  if (!g.fen.empty() && orv::parseFen(g.fen.c_str()) != 0) {
    fault = "line " + std::to_string(g.firstLine) + ": the FEN tag is not a legal position";
    return false;
  }
  for (size_t i = 0; i < g.moves.size() && int(i) < plies; ++i) {
    const Move m = orv::matchAlgebraicMove(g.moves[i].text);
    if (m == 0) {
      fault = "line " + std::to_string(g.moves[i].line) + ": " + g.moves[i].text + " is not a legal move";
      return false;
    }
    char key[orv::FenTextSize];
    orv::writeFen(key);
    seen.push_back({key, orv::polyglotGameKey(), orv::game.side, m});
    const int r = orv::makeGameMove(m);
    if (r < 0 || r == orv::MoveNeedsPromotion) {
      fault = "line " + std::to_string(g.moves[i].line) + ": " + g.moves[i].text + " cannot be played";
      return false;
    }
  }
  return true;
}

void countGame(const char* file, const orv::PgnGame& g, const Options& o, orv::BookCounts& book, Totals& t,
               int& order) {
  ++t.games;
  std::vector<Seen> seen;
  std::string fault;
  if (!playGame(g, o.plies, seen, fault)) {
    ++t.malformed;
    std::fprintf(stderr, "bookgen: %s, game %d, %s; game skipped\n", file, g.number, fault.c_str());
    return;
  }
  if (g.result.empty()) {
    ++t.unscored;
    return;
  }
  ++t.used;
  std::set<Seen> counted;  // a position and move count once per game
  for (const Seen& s : seen) {
    if (!counted.insert(s).second) continue;
    orv::PositionCounts& position = book[s.key];
    position.polyglotKey = s.polyglotKey;
    std::vector<orv::MoveCount>& moves = position.moves;
    auto it = std::find_if(moves.begin(), moves.end(), [&](const MoveCount& c) { return c.move == s.move; });
    if (it == moves.end()) it = moves.insert(moves.end(), orv::MoveCount{s.move, 0, 0, order++});
    ++it->games;
    it->points += pointsFor(s.side, g.result);
  }
}

// Fits games and points into 16 bits each, dividing both by the same
// factor so that the share of points stays what it was.
void fitSixteenBits(long& games, long& points) {
  const long largest = std::max(games, points);
  if (largest <= 65535) return;
  const long divisor = (largest + 65534) / 65535;
  games = std::max(1L, games / divisor);
  points = std::min(points / divisor, 2 * games);
}

// One record, or false when no move of the position is kept.
bool makeRecord(const std::string& key, std::vector<orv::MoveCount> moves, int minGames, orv::BookRecord& r) {
  if (key.size() >= size_t(orv::BookKeySize)) return false;  // the engine could not look it up
  moves.erase(std::remove_if(moves.begin(), moves.end(), [&](const orv::MoveCount& c) { return c.games < minGames; }),
              moves.end());
  if (moves.empty()) return false;
  std::sort(moves.begin(), moves.end(), [](const orv::MoveCount& a, const orv::MoveCount& b) {
    if (a.games != b.games) return a.games > b.games;
    if (a.points != b.points) return a.points > b.points;
    return a.firstSeen < b.firstSeen;
  });
  std::memset(r.bytes, 0, sizeof r.bytes);
  std::memcpy(r.bytes, key.data(), key.size());
  for (size_t i = 0; i < moves.size() && i < size_t(orv::BookSlots); ++i) {
    long games = moves[i].games, points = moves[i].points;
    fitSixteenBits(games, points);
    const long values[3] = {games, points, long(bookMoveCode(moves[i].move))};
    for (int f = 0; f < 3; ++f) {
      r.bytes[70 + 6 * i + 2 * f] = (unsigned char)(values[f] & 0xFF);
      r.bytes[71 + 6 * i + 2 * f] = (unsigned char)((values[f] >> 8) & 0xFF);
    }
  }
  return true;
}

int run(int argc, char** argv) {
  Options o;
  if (!parseOptions(argc, argv, o)) {
    std::fprintf(stderr, "usage: orvalis-tool bookgen <out.bo2|out.bin> <file.pgn>... [--plies N] [--min-games K]\n");
    return 2;
  }
  std::vector<std::string> texts;  // every file is read before any counting
  for (const char* path : o.inputs) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "bookgen: %s cannot be read\n", path);
      return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    texts.push_back(text.str());
  }

  orv::BookCounts book;
  Totals totals;
  int order = 0;
  for (size_t i = 0; i < texts.size(); ++i)
    orv::readPgnGames(texts[i], [&](const orv::PgnGame& g) { countGame(o.inputs[i], g, o, book, totals, order); });
  orv::newGame();

  std::FILE* out = std::fopen(o.out, "wb");
  if (!out) {
    std::fprintf(stderr, "bookgen: %s cannot be written\n", o.out);
    return 1;
  }
  int records = 0;
  bool written = true;
  const size_t nameLength = std::strlen(o.out);
  if (nameLength >= 4 && std::strcmp(o.out + nameLength - 4, ".bin") == 0) {
    written = orv::writePolyglotBook(out, book, o.minGames, records);
  } else {
    for (const auto& [key, position] : book) {
      orv::BookRecord r;
      if (!makeRecord(key, position.moves, o.minGames, r)) continue;
      written = written && std::fwrite(r.bytes, 1, sizeof r.bytes, out) == sizeof r.bytes;
      ++records;
    }
  }
  written = std::fclose(out) == 0 && written;
  if (!written) {
    std::fprintf(stderr, "bookgen: writing %s failed\n", o.out);
    return 1;
  }
  std::printf("bookgen: %d games, %d used, %d skipped as malformed, %d without a result; %d positions in %s\n",
              totals.games, totals.used, totals.malformed, totals.unscored, records, o.out);
  return 0;
}

orv::ToolCommand reg("bookgen", run);

}  // namespace

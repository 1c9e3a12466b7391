// Books go both ways with PolyGlot (Debian package polyglot): a book that
// `polyglot make-book` writes is read by bookprobe with the moves and shares
// `polyglot dump-book` shows, and bookgen writes the same entries from the
// same games, which dump-book reads back. Skipped when PolyGlot is missing.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "board/board.h"
#include "board/game.h"
#include "book/polyglot_book.h"
#include "notation/movetext.h"
#include "support/engine_process.h"
#include "support/temp_dir.h"

namespace orv::e2e {
namespace {

// Castling both ways, captures, an en-passant capture and a check; game 7
// repeats game 1 with the other result.
constexpr char Games[] = R"([Event "1"]
[Result "1-0"]

1. e4 e5 2. Nf3 Nc6 3. Bc4 Bc5 4. O-O Nf6 5. d3 O-O 1-0

[Event "2"]
[Result "1/2-1/2"]

1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 Nf6 5. O-O Be7 1/2-1/2

[Event "3"]
[Result "0-1"]

1. d4 d5 2. c4 e6 3. Nc3 Nf6 4. Bg5 Be7 5. e3 O-O 0-1

[Event "4"]
[Result "1-0"]

1. e4 c5 2. Nf3 d6 3. d4 cxd4 4. Nxd4 Nf6 5. Nc3 a6 1-0

[Event "5"]
[Result "1-0"]

1. e4 a6 2. e5 d5 3. exd6 e6 4. dxc7 Qxc7 1-0

[Event "6"]
[Result "1/2-1/2"]

1. d4 Nf6 2. c4 e6 3. Nc3 Bb4 4. Qc2 O-O 5. a3 Bxc3+ 6. Qxc3 b6 1/2-1/2

[Event "7"]
[Result "0-1"]

1. e4 e5 2. Nf3 Nc6 3. Bc4 Bc5 4. O-O Nf6 5. d3 O-O 0-1

[Event "8"]
[Result "1-0"]

1. d4 d5 2. Nc3 Nf6 3. Bf4 e6 4. Qd2 Be7 5. O-O-O O-O 1-0

[Event "9"]
[Result "1/2-1/2"]

1. e4 d5 2. exd5 Qxd5 3. Nc3 Qa5 4. d4 Nf6 5. Nf3 c6 1/2-1/2
)";

// The PolyGlot program, or "" when it is not installed.
std::string findPolyglot() {
  std::vector<std::string> dirs = {"/usr/games", "/usr/bin", "/usr/local/bin", "/usr/local/games"};
  if (const char* path = std::getenv("PATH")) {
    std::stringstream list(path);
    for (std::string d; std::getline(list, d, ':');) dirs.push_back(d);
  }
  for (const std::string& d : dirs) {
    const std::string candidate = d + "/polyglot";
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

std::vector<std::string> readLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

std::vector<std::tuple<uint64_t, int, int>> entriesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::tuple<uint64_t, int, int>> entries;
  unsigned char bytes[PolyglotEntrySize];
  while (in.read(reinterpret_cast<char*>(bytes), sizeof bytes)) {
    const PolyglotEntry e = decodePolyglotEntry(bytes);
    entries.emplace_back(e.key, e.move, e.weight);
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

std::vector<std::string> words(const std::string& line) {
  std::stringstream in(line);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// Plays the algebraic move (check marks allowed) on the Game; false when no legal move has that text.
bool playAlgebraic(std::string text) {
  while (!text.empty() && (text.back() == '+' || text.back() == '#')) text.pop_back();
  for (const Move* p = game.legal; *p; ++p) {
    char printed[16] = "";
    algebraicText(*p & 0xFFFF, game.legal, game.board, printed, sizeof printed);
    if (text + " " == printed) return makeGameMove(*p & 0xFFFF) >= 0;
  }
  return false;
}

class PolyglotInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    polyglot = findPolyglot();
    if (polyglot.empty())
      GTEST_SKIP()
          << "PolyGlot is not installed (Debian: apt-get install polyglot); the interoperation tests are skipped";
    std::ofstream(pgn) << Games;
  }
  void TearDown() override { newGame(); }

  test::ProgramRun run(const std::string& program, const std::vector<std::string>& args) {
    test::ProgramRun r = test::runProgram(program, args, 30000);
    EXPECT_EQ(r.exitCode, 0) << program << " " << (args.empty() ? "" : args[0]);
    return r;
  }
  // dump-book's lines for a colour, without its header line (which names the file).
  std::vector<std::string> dump(const std::string& book, const std::string& colour) {
    const std::string out = dir.file("dump-" + colour + ".txt");
    run(polyglot, {"dump-book", "-bin", book, "-color", colour, "-out", out});
    std::vector<std::string> lines = readLines(out);
    if (!lines.empty()) lines.erase(lines.begin());
    return lines;
  }

  test::TempDir dir;
  std::string polyglot;
  std::string pgn = dir.file("games.pgn");
  std::string theirs = dir.file("theirs.bin");
  std::string ours = dir.file("ours.bin");
};

TEST_F(PolyglotInterop, BookgenWritesTheEntriesMakeBookWritesAndDumpBookReadsThem) {
  run(polyglot, {"make-book", "-pgn", pgn, "-bin", theirs, "-min-game", "1"});
  run(ORVALIS_TOOL, {"bookgen", ours, pgn, "--min-games", "1"});
  const auto expected = entriesOf(theirs);
  ASSERT_GT(expected.size(), 20u);
  EXPECT_EQ(entriesOf(ours), expected);
  for (const char* colour : {"white", "black"}) {
    const std::vector<std::string> lines = dump(ours, colour);
    EXPECT_EQ(lines, dump(theirs, colour)) << colour;
    ASSERT_FALSE(lines.empty()) << colour;
  }
  // Castling written as the king taking its rook reads back as castling.
  std::string white;
  for (const std::string& l : dump(ours, "white")) white += l + "\n";
  EXPECT_NE(white.find("O-O-O{"), std::string::npos) << white;
  EXPECT_NE(white.find("O-O{"), std::string::npos) << white;

  // A higher --min-games leaves out the moves of one game, as -min-game does.
  run(polyglot, {"make-book", "-pgn", pgn, "-bin", theirs, "-min-game", "2"});
  run(ORVALIS_TOOL, {"bookgen", ours, pgn, "--min-games", "2"});
  EXPECT_EQ(entriesOf(ours), entriesOf(theirs));
}

TEST_F(PolyglotInterop, BookprobeShowsTheMovesAndSharesDumpBookShows) {
  run(polyglot, {"make-book", "-pgn", pgn, "-bin", theirs, "-min-game", "1"});
  int compared = 0;
  for (const char* colour : {"white", "black"}) {
    for (const std::string& line : dump(theirs, colour)) {
      newGame();
      for (const std::string& token : words(line)) {
        if (token.back() == ':' || token.back() == '.') continue;  // line and move numbers
        const size_t brace = token.find('{');
        std::string move = token.substr(0, brace);
        while (move.back() == '+' || move.back() == '#') move.pop_back();
        if (brace != std::string::npos) {
          char fen[FenTextSize];
          writeFen(fen);
          const test::ProgramRun probe = run(ORVALIS_TOOL, {"bookprobe", theirs, fen});
          const std::string share = token.substr(brace + 1, token.size() - brace - 2);  // "67%"
          bool found = false;
          for (const std::string& l : probe.lines) {
            const std::vector<std::string> w = words(l);
            if (w.size() >= 5 && w[1] == move) {
              found = true;
              EXPECT_EQ(w[4], share) << fen << " " << move;
            }
          }
          EXPECT_TRUE(found) << "bookprobe lacks " << move << " in " << fen;
          ++compared;
        }
        ASSERT_TRUE(playAlgebraic(move)) << line << ": " << move;
      }
    }
  }
  EXPECT_GT(compared, 20);
}

}  // namespace
}  // namespace orv::e2e

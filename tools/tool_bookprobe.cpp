// orvalis-tool bookprobe <book> '<FEN>': the moves a book holds for one
// position, one line each after a line with the position's key:
//   key <16 hex digits>                      (a Polyglot book, any name but *.bo2)
//   <move> <algebraic> weight <w> <share>%   (share of the weights of the legal moves)
//   <move> - weight <w> illegal              (a Polyglot move not legal in the position)
// For a book of records (*.bo2) the key line holds the position text and each
// move line ends with "games <g> points <p>"; the weight is the move's entries
// in the draw table. A book that cannot be read ends with a line on standard
// error and exit code 1; a FEN that cannot be set up with exit code 2.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/game.h"
#include "book/book.h"
#include "book/polyglot_book.h"
#include "book/polyglot_key.h"
#include "notation/movetext.h"
#include "tool.h"

namespace {

using namespace orv;

struct Line {
  Move move;       // the legal move, or 0
  uint16_t field;  // Polyglot move field, for a move that is not legal
  long weight;
  int games = -1, points = -1;
};

// The n-th blank-separated field of the FEN text ("" when it has none).
std::string fenField(const char* fen, int n) {
  const char* p = fen;
  for (int i = 0;; ++i) {
    while (*p == ' ') ++p;
    const char* start = p;
    while (*p && *p != ' ') ++p;
    if (i == n) return std::string(start, p);
    if (!*p) return "";
  }
}

// The Polyglot key of the FEN as the format defines it: castling rights as its
// letters say, the en-passant file when a pawn of the side to move stands beside
// the pawn that passed the target square.
uint64_t keyOfFen(const char* fen) {
  Board b = game.board;
  const std::string castling = fenField(fen, 2), target = fenField(fen, 3);
  const char letters[4] = {'K', 'Q', 'k', 'q'};
  for (int i = 0; i < 4; ++i)
    b.castle[castleIndex(i < 2 ? White : Black, i % 2)] = castling.find(letters[i]) != std::string::npos ? 0 : -1;
  int file = -1;
  if (target.size() == 2 && target[0] >= 'a' && target[0] <= 'h' && (target[1] == '3' || target[1] == '6')) {
    const int square = makeSquare(target[0] - 'a', target[1] - '1');
    const int ahead = target[1] == '3' ? 8 : -8;  // toward the pushed pawn
    file = polyglotEnPassantFile(b, game.side, makeMove(square - ahead, square + ahead));
  }
  return polyglotKey(b, game.side, file);
}

// Coordinate text in lower case (e7e8q), as the engine's bestmove prints it.
// A FEN whose en-passant square a pawn of the side to move could take on: the
// engine sets up no en-passant square from a FEN, so the Game is set up one
// move earlier and the double push is played, which makes the capture legal.
void playDoublePush(const char* fen) {
  const std::string target = fenField(fen, 3);
  if (target.size() != 2 || target[0] < 'a' || target[0] > 'h' || (target[1] != '3' && target[1] != '6')) return;
  const int square = makeSquare(target[0] - 'a', target[1] - '1');
  const int ahead = target[1] == '3' ? 8 : -8;
  const int from = square - ahead, to = square + ahead;
  if (polyglotEnPassantFile(game.board, game.side, makeMove(from, to)) < 0 || game.board.map[from] != EmptySquare)
    return;
  Board& b = game.board;
  const int slot = b.map[to];
  b.map[from] = slot;
  b.map[to] = EmptySquare;
  b.square[slot] = from;
  game.side = opposite(game.side);
  char earlier[FenTextSize];
  writeFen(earlier);
  if (parseFen(earlier) < 0 || makeGameMove(makeMove(from, to)) < 0) parseFen(fen);
}

std::string moveText(Move m) {
  char coordinate[CoordinateTextSize];
  coordinateText(m, coordinate);
  for (char* p = coordinate; *p; ++p)
    if (*p >= 'A' && *p <= 'Z') *p = char(*p - 'A' + 'a');
  return coordinate;
}

void printLines(const std::vector<Line>& lines) {
  long total = 0;
  for (const Line& l : lines)
    if (l.move) total += l.weight;
  for (const Line& l : lines) {
    if (!l.move) {
      const int from = polyglotFrom(l.field), to = polyglotTo(l.field);
      std::printf("%c%d%c%d - weight %ld illegal\n", 'a' + fileOf(from), rankOf(from) + 1, 'a' + fileOf(to),
                  rankOf(to) + 1, l.weight);
      continue;
    }
    char algebraic[16] = "";
    algebraicText(l.move, game.legal, game.board, algebraic, sizeof algebraic);
    if (size_t n = std::strlen(algebraic); n > 0) algebraic[n - 1] = 0;  // its trailing blank
    std::printf("%s %s weight %ld %.0f%%", moveText(l.move).c_str(), algebraic, l.weight,
                total > 0 ? 100.0 * double(l.weight) / double(total) : 0.0);
    if (l.games >= 0) std::printf(" games %d points %d", l.games, l.points);
    std::printf("\n");
  }
}

int probePolyglot(const char* path, const char* fen) {
  std::FILE* file = nullptr;
  long count = 0;
  int status = openPolyglotFile(path, file, count);
  if (status == PolyglotOk) status = checkPolyglotEntries(file, count);
  if (status != PolyglotOk) {
    if (file) std::fclose(file);
    std::fprintf(stderr, "bookprobe: %s %s\n", path, polyglotStatusText(status));
    return 1;
  }
  const uint64_t key = keyOfFen(fen);
  std::vector<PolyglotEntry> found(PolyglotEntriesPerKey);
  found.resize(size_t(findPolyglotEntries(file, count, key, found.data(), PolyglotEntriesPerKey)));
  std::fclose(file);
  std::printf("key %016" PRIx64 "\n", key);
  std::vector<Line> lines;
  for (const PolyglotEntry& e : found) {
    if (e.move == 0) continue;  // the format's empty move
    lines.push_back({legalMoveOfField(e.move, game.board, game.legal), e.move, e.weight});
  }
  printLines(lines);
  return 0;
}

int probeRecords(const char* path) {
  std::FILE* file = openRegularBookFile(path);
  if (!file) {
    std::fprintf(stderr, "bookprobe: %s cannot be opened\n", path);
    return 1;
  }
  char key[FenTextSize];
  writeFen(key);
  std::printf("key %s\n", key);
  BookRecord record;
  std::vector<Line> lines;
  if (findBookRecord(file, key, record)) {
    for (int slot = 0; slot < BookSlots && bookMove(record, slot) != 0; ++slot) {
      const int games = bookGames(record, slot), points = bookPoints(record, slot);
      Move legal = 0;
      for (const Move* p = game.legal; *p && !legal; ++p)
        if ((*p & 0xFFF) == (bookMove(record, slot) & 0xFFF)) legal = *p & 0x7FFF;
      lines.push_back({legal, polyglotMoveField(bookMove(record, slot)), bookSlotWeight(games, points), games, points});
    }
  }
  std::fclose(file);
  printLines(lines);
  return 0;
}

int run(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: orvalis-tool bookprobe <book.bin|book.bo2> '<FEN>'\n");
    return 2;
  }
  const char* fen = fenArgument(argv[2]);
  if (parseFen(fen) < 0) {
    std::fprintf(stderr, "bookprobe: the FEN cannot be set up\n");
    return 2;
  }
  playDoublePush(fen);
  const size_t n = std::strlen(argv[1]);
  const bool records = n >= 4 && std::strcmp(argv[1] + n - 4, ".bo2") == 0;
  const int result = records ? probeRecords(argv[1]) : probePolyglot(argv[1], fen);
  std::fflush(stdout);
  return result;
}

orv::ToolCommand reg("bookprobe", run);

}  // namespace

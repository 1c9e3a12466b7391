// The driver's referee: the engine's own legal move generator and draw rules.
#include "referee.h"

#include <cctype>

#include "board/game.h"

namespace orv::match {

namespace {

int squareOf(char file, char rank) {
  if (file < 'a' || file > 'h' || rank < '1' || rank > '8') return -1;
  return (file - 'a') + 8 * (rank - '1');
}

int promotionKindOf(char letter) {
  switch (letter) {
    case 'q': return PromoteQueen;
    case 'r': return PromoteRook;
    case 'b': return PromoteBishop;
    case 'n': return PromoteKnight;
    default: return -1;
  }
}

std::string lower(const std::string& text) {
  std::string s = text;
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

Move findLegalMove(const std::string& text) {
  std::string t = lower(text);
  if (t.size() != 4 && t.size() != 5) return 0;
  int from = squareOf(t[0], t[1]), to = squareOf(t[2], t[3]);
  if (from < 0 || to < 0) return 0;
  int kind = t.size() == 5 ? promotionKindOf(t[4]) : -1;
  if (t.size() == 5 && kind < 0) return 0;
  for (int i = 0; i < MaxGameMoves && game.legal[i] != 0; ++i) {
    Move m = game.legal[i];
    if (moveFrom(m) != from || moveTo(m) != to) continue;
    if (isPromotion(m) ? moveKind(m) == kind : kind < 0) return m;
  }
  return 0;
}

void Referee::reset() {
  newGame();
  moves_.clear();
}

int Referee::sideToMove() const { return game.side; }

Verdict Referee::play(const std::string& text) {
  if (game.result != GameRunning) return Verdict::Illegal;
  Move m = findLegalMove(text);
  if (m == 0) return Verdict::Illegal;
  int mover = game.side;
  int code = makeGameMove(m);
  if (code < 0 || code == MoveNeedsPromotion) return Verdict::Illegal;
  moves_.push_back(lower(text));
  switch (code) {
    case MoveCheckmate: return mover == White ? Verdict::WhiteWins : Verdict::BlackWins;
    case MoveStalemate: return Verdict::Stalemate;
    case MoveRepetition: return Verdict::Repetition;
    case MoveFiftyMoves: return Verdict::FiftyMoves;
    case MoveInsufficientMaterial: return Verdict::Insufficient;
    default: return Verdict::Continue;
  }
}

std::string Referee::moveList() const {
  std::string s;
  for (const std::string& m : moves_) {
    if (!s.empty()) s += ' ';
    s += m;
  }
  return s;
}

const char* verdictText(Verdict v) {
  switch (v) {
    case Verdict::WhiteWins: return "1-0 {White mates}";
    case Verdict::BlackWins: return "0-1 {Black mates}";
    case Verdict::Stalemate: return "1/2-1/2 {Stalemate}";
    case Verdict::Repetition: return "1/2-1/2 {Triple repetition}";
    case Verdict::FiftyMoves: return "1/2-1/2 {50 moves rule}";
    case Verdict::Insufficient: return "1/2-1/2 {Insufficient material}";
    default: return "*";
  }
}

}  // namespace orv::match

#include "pgn_reader.h"

#include <cstring>

#include "board/board.h"
#include "board/game.h"
#include "notation/movetext.h"

namespace orv {

namespace {

bool isResult(const std::string& t) { return t == "1-0" || t == "0-1" || t == "1/2-1/2" || t == "*"; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool endsToken(char c) { return isSpace(c) || std::strchr("{}()[];", c) != nullptr; }

class PgnScanner {
 public:
  PgnScanner(const std::string& text, const std::function<void(const PgnGame&)>& onGame)
      : text_(text), onGame_(onGame) {}

  void run() {
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++line_, ++pos_;
      } else if (isSpace(c)) {
        ++pos_;
      } else if (c == '%' && atLineStart()) {
        skipRestOfLine();
      } else if (c == ';') {
        skipRestOfLine();
      } else if (c == '{') {
        skipComment();
      } else if (c == '(') {
        skipVariation();
      } else if (c == ')') {
        fail("a variation closes that was never opened");
        ++pos_;
      } else if (c == '[') {
        readTag();
      } else {
        readToken();
      }
    }
    finishGame("");
  }

 private:
  bool atLineStart() const { return pos_ == 0 || text_[pos_ - 1] == '\n'; }

  void skipRestOfLine() {
    while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
  }

  // A comment in braces, which may run over several lines.
  void skipComment() {
    const int opened = line_;
    for (++pos_; pos_ < text_.size() && text_[pos_] != '}'; ++pos_)
      if (text_[pos_] == '\n') ++line_;
    if (pos_ >= text_.size()) {
      failAt("a comment is not closed", opened);
      return;
    }
    ++pos_;
  }

  // A variation with everything in it, nested variations and comments included.
  void skipVariation() {
    const int opened = line_;
    int depth = 0;
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '{') {
        skipComment();
        continue;
      }
      if (c == ';') {
        skipRestOfLine();
        continue;
      }
      if (c == '\n') ++line_;
      if (c == '(') ++depth;
      if (c == ')' && --depth == 0) {
        ++pos_;
        return;
      }
      ++pos_;
    }
    failAt("a variation is not closed", opened);
  }

  // [Name "value"]: the first tag after a game's moves begins the next game.
  void readTag() {
    if (inMoves_) finishGame("");
    startGameIfNeeded();
    size_t p = pos_ + 1;
    std::string name, value;
    while (p < text_.size() && !isSpace(text_[p]) && text_[p] != ']' && text_[p] != '"') name += text_[p++];
    while (p < text_.size() && isSpace(text_[p]) && text_[p] != '\n') ++p;
    bool quoted = p < text_.size() && text_[p] == '"';
    if (quoted) {
      for (++p; p < text_.size() && text_[p] != '"' && text_[p] != '\n'; ++p) {
        if (text_[p] == '\\' && p + 1 < text_.size()) ++p;
        value += text_[p];
      }
      quoted = p < text_.size() && text_[p] == '"';
      if (quoted) ++p;
    }
    while (p < text_.size() && text_[p] != ']' && text_[p] != '\n') ++p;
    const bool closed = p < text_.size() && text_[p] == ']';
    pos_ = closed ? p + 1 : p;
    if (!quoted || !closed) {
      fail("a tag pair is not of the form [Name \"value\"]");
      return;
    }
    if (name == "FEN") game_.fen = value;
    if (name == "Result" && isResult(value) && value != "*") tagResult_ = value;
  }

  void readToken() {
    std::string token;
    while (pos_ < text_.size() && !endsToken(text_[pos_])) token += text_[pos_++];
    if (token.empty()) {  // a lone closing brace or bracket
      fail("an unexpected closing brace or bracket");
      ++pos_;
      return;
    }
    startGameIfNeeded();
    if (isResult(token)) {
      finishGame(token == "*" ? "" : token);
      return;
    }
    inMoves_ = true;
    if (token[0] == '$') return;  // a numeric annotation glyph
    // A move number (12. or 12...), possibly glued to the move (12.e4).
    size_t i = 0;
    while (i < token.size() && isDigit(token[i])) ++i;
    if (i > 0 && (i == token.size() || token[i] == '.')) {
      while (i < token.size() && token[i] == '.') ++i;
      token.erase(0, i);
    }
    while (!token.empty() && token[0] == '.') token.erase(0, 1);  // "..." standing alone
    if (!token.empty()) game_.moves.push_back({token, line_});
  }

  void startGameIfNeeded() {
    if (open_) return;
    open_ = true;
    game_ = PgnGame{};
    game_.number = ++games_;
    game_.firstLine = line_;
    tagResult_.clear();
  }

  // Ends the current game; `token` is the result that ended its moves, if any.
  void finishGame(const std::string& token) {
    if (!open_) return;
    game_.result = token.empty() ? tagResult_ : token;
    onGame_(game_);
    open_ = inMoves_ = false;
  }

  void fail(const char* what) { failAt(what, line_); }
  void failAt(const char* what, int line) {
    startGameIfNeeded();
    if (!game_.error.empty()) return;  // the first fault is the one reported
    game_.error = what;
    game_.errorLine = line;
  }

  const std::string& text_;
  const std::function<void(const PgnGame&)>& onGame_;
  size_t pos_ = 0;
  int line_ = 1;
  int games_ = 0;
  bool open_ = false;     // a game has begun (a tag or a move was seen)
  bool inMoves_ = false;  // its moves have begun
  PgnGame game_;
  std::string tagResult_;
};

// The text without its check, mate and annotation marks; castling with zeros as letters.
std::string plainMove(std::string t) {
  while (!t.empty() && std::strchr("+#!?", t.back())) t.pop_back();
  if (t.size() > 4 && t.compare(t.size() - 4, 4, "e.p.") == 0) t.erase(t.size() - 4);
  if (t == "0-0") t = "O-O";
  if (t == "0-0-0") t = "O-O-O";
  return t;
}

// The parts of a move in algebraic form: the piece kind (NoKind for a
// pawn), origin file and rank when given (-1 otherwise), destination and
// promotion kind (Ordinary when none).
struct AlgebraicParts {
  int kind = NoKind, fromFile = -1, fromRank = -1, to = -1, promotion = Ordinary;
};

bool splitAlgebraic(const std::string& text, AlgebraicParts& a) {
  std::string t;
  for (char c : text)
    if (!std::strchr("x:-=()", c)) t += c;
  size_t n = t.size();
  if (n >= 3 && std::strchr("QRBN", t[n - 1]) && isDigit(t[n - 2])) {
    const char* letters = "QRBN";
    a.promotion = PromoteQueen + int(std::strchr(letters, t[n - 1]) - letters);
    --n;
  }
  if (n < 2 || t[n - 2] < 'a' || t[n - 2] > 'h' || t[n - 1] < '1' || t[n - 1] > '8') return false;
  a.to = makeSquare(t[n - 2] - 'a', t[n - 1] - '1');
  size_t i = 0;
  if (i < n - 2 && std::strchr("KQRBN", t[i])) a.kind = kindOfLetter(t[i++]);
  if (i < n - 2 && t[i] >= 'a' && t[i] <= 'h') a.fromFile = t[i++] - 'a';
  if (i < n - 2 && t[i] >= '1' && t[i] <= '8') a.fromRank = t[i++] - '1';
  return i == n - 2;
}

Move matchByParts(const std::string& text) {
  const Board& b = game.board;
  if (text == "O-O" || text == "O-O-O") {
    const int kind = text == "O-O" ? CastleKingSide : CastleQueenSide;
    for (const Move* p = game.legal; *p; ++p)
      if (moveKind(*p) == kind) return *p & 0xFFFF;
    return 0;
  }
  AlgebraicParts a;
  if (!splitAlgebraic(text, a)) return 0;
  Move found = 0;
  int count = 0;
  for (const Move* p = game.legal; *p; ++p) {
    const Move m = *p & 0xFFFF;
    const int from = moveFrom(m);
    const int kind = b.kind[b.map[from]];
    const bool pawn = kind == WhitePawn || kind == BlackPawn;
    if (moveTo(m) != a.to || (a.kind == NoKind ? !pawn : kind != a.kind)) continue;
    if ((a.fromFile >= 0 && fileOf(from) != a.fromFile) || (a.fromRank >= 0 && rankOf(from) != a.fromRank)) continue;
    if (isPromotion(m) ? moveKind(m) != a.promotion : a.promotion != Ordinary) continue;
    if (moveKind(m) == CastleKingSide || moveKind(m) == CastleQueenSide) continue;
    found = m;
    ++count;
  }
  return count == 1 ? found : 0;
}

}  // namespace

void readPgnGames(const std::string& text, const std::function<void(const PgnGame&)>& onGame) {
  PgnScanner(text, onGame).run();
}

Move matchAlgebraicMove(const std::string& text) {
  const std::string wanted = plainMove(text);
  for (const Move* p = game.legal; *p; ++p) {
    char printed[16] = "";
    algebraicText(*p & 0xFFFF, game.legal, game.board, printed, sizeof printed);
    const size_t n = std::strlen(printed);
    if (n > 0 && wanted.size() == n - 1 && wanted.compare(0, n - 1, printed, n - 1) == 0) return *p & 0xFFFF;
  }
  return matchByParts(wanted);
}

}  // namespace orv

#include "notation/movetext.h"

#include <cstring>

namespace orv {

const char* pieceLetters = KindLetters;

void setPieceLetters() { pieceLetters = KindLetters; }

void upperCase(char* text) {
  for (; *text; ++text)
    if (*text >= 'a' && *text <= 'z') *text = char(*text - 'a' + 'A');
}

namespace {

// Promotion letters after upper-casing, French ones included: D(ame), T(our), F(ou), C(avalier).
int promotionKindOfLetter(char c) {
  switch (c) {
    case 'D':
    case 'Q': return PromoteQueen;
    case 'R':
    case 'T': return PromoteRook;
    case 'B':
    case 'F': return PromoteBishop;
    case 'C':
    case 'N': return PromoteKnight;
    default: return Ordinary;
  }
}

bool startsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

Move parseCastling(const char* text, int side) {
  if ((startsWith(text, "O-O") || startsWith(text, "0-0")) && text[3] != '-')
    return side == White ? WhiteCastleKing : BlackCastleKing;
  if (startsWith(text, "O-O-O") || startsWith(text, "0-0-0"))
    return side == White ? WhiteCastleQueen : BlackCastleQueen;
  return 0;
}

}  // namespace

Move parseCoordinateMove(char* text, int side) {
  upperCase(text);
  if (text[0] == '0' || text[0] == 'O') return parseCastling(text, side);

  // Each of the four characters is tested before the next is read, so a short
  // text stops at its terminator.
  for (int i = 0; i < 4; ++i) {
    const char c = text[i];
    const bool isFile = (i % 2 == 0);
    if (isFile ? (c < 'A' || c > 'H') : (c < '1' || c > '8')) return 0;
  }
  const int from = makeSquare(text[0] - 'A', text[1] - '1');
  const int to = makeSquare(text[2] - 'A', text[3] - '1');

  int kind = Ordinary;
  const char fifth = text[4];
  if (fifth == 'E' && text[5] == 'P') kind = EnPassant;
  else if (fifth == '=') kind = promotionKindOfLetter(text[5]);
  else if (fifth >= 'A' && fifth <= 'Z') kind = promotionKindOfLetter(fifth);
  return makeMove(from, to, kind);
}

int coordinateText(Move m, char* out) {
  const int from = moveFrom(m), to = moveTo(m);
  int n = 0;
  out[n++] = char('a' + fileOf(from));
  out[n++] = char('1' + rankOf(from));
  out[n++] = char('a' + fileOf(to));
  out[n++] = char('1' + rankOf(to));
  if (isPromotion(m)) out[n++] = pieceLetters[promotionKind(m)];
  out[n] = '\0';
  return n;
}

void lineText(const Move* line, int mark, char* out) {
  const char* markText = mark == 1 ? "!" : mark == -1 ? "" : "?";
  int n = 0;
  for (int i = 0; i < MaxLineMoves && line[i] != 0; ++i) {
    n += coordinateText(line[i], out + n);
    if (i == 0)
      for (const char* p = markText; *p; ++p) out[n++] = *p;
    out[n++] = ' ';
  }
  out[n] = '\0';
}

namespace {

// The list entry that `m` names: bits 0..11 agree and, when either is a
// promotion, the promotion kinds agree too. 0 when there is none.
Move findLegalEntry(Move m, const Move* legal) {
  for (const Move* p = legal; *p; ++p) {
    const Move e = *p & 0xFFFF;
    if ((e & 0xFFF) != (m & 0xFFF)) continue;
    if ((isPromotion(e) || isPromotion(m)) && moveKind(e) != moveKind(m)) continue;
    return e;
  }
  return 0;
}

// One character telling this move apart from another move of the same kind of
// piece to the same square; the last such move in the list decides.
char disambiguator(Move m, int kind, const Move* legal, const Board& b) {
  if (kind > Knight) return 0;
  const int from = moveFrom(m), to = moveTo(m);
  char c = 0;
  for (const Move* p = legal; *p; ++p) {
    const int otherFrom = moveFrom(*p);
    if (moveTo(*p) != to || otherFrom == from) continue;
    if (b.kind[b.map[otherFrom]] != kind) continue;
    c = fileOf(otherFrom) != fileOf(from) ? char('a' + fileOf(from)) : char('1' + rankOf(from));
  }
  return c;
}

}  // namespace

void algebraicText(Move m, const Move* legal, const Board& b, char* buffer, size_t bufferSize) {
  const int from = moveFrom(m), to = moveTo(m);
  const int slot = b.map[from];
  if (slot == EmptySquare) return;
  const int kind = b.kind[slot];
  const char disamb = disambiguator(m, kind, legal, b);
  const Move entry = findLegalEntry(m, legal);
  if (entry == 0) return;

  char text[16];
  int n = 0;
  // Bounded append: the longest text (a disambiguated capture with promotion) is far shorter.
  auto put = [&](char c) {
    if (n < int(sizeof text) - 1) text[n++] = c;
  };
  const int moveKindOfEntry = moveKind(entry);
  const bool occupied = b.map[to] != EmptySquare;
  if (moveKindOfEntry == CastleKingSide || moveKindOfEntry == CastleQueenSide) {
    const char* castle = moveKindOfEntry == CastleKingSide ? "O-O" : "O-O-O";
    for (const char* p = castle; *p; ++p) put(*p);
  } else {
    if (kind <= Knight) {
      put(pieceLetters[kind]);
      if (disamb) put(disamb);
      if (occupied) put('x');
    } else if (occupied || moveKindOfEntry == EnPassant) {
      put(char('a' + fileOf(from)));
      put('x');
    }
    put(char('a' + fileOf(to)));
    put(char('1' + rankOf(to)));
    if (isPromotion(entry)) {
      put('=');
      put(pieceLetters[promotionKind(entry)]);
    }
  }
  put(' ');
  text[n] = '\0';

  const size_t used = std::strlen(buffer);
  if (used + size_t(n) + 1 > bufferSize) return;
  std::memcpy(buffer + used, text, size_t(n) + 1);
}

}  // namespace orv

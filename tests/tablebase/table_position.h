// Test helpers for table positions: which men a table has, whether a position
// can occur, its symmetric images and a canonical form to compare them by.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "tablebase/index.h"
#include "tablebase/table_info.h"

namespace orv::tb::test {

// Kind letter of a square-list entry.
inline char entryKind(int entry) {
  if (entry == 0) return 'k';
  if (entry < ListRooks) return 'q';
  if (entry < ListBishops) return 'r';
  if (entry < ListKnights) return 'b';
  if (entry < ListPawns) return 'n';
  return 'p';
}

// The list entries a table's men occupy: entries[list] in name order.
struct TableMen {
  std::vector<int> entries[2];
  bool pawns = false;
  int men() const { return int(entries[0].size() + entries[1].size()); }
};

inline TableMen tableMen(int table) {
  TableMen m;
  const char* name = tableInfo[table].name;
  int list = -1;
  int next[2][5];
  for (auto& n : next) n[0] = ListQueens, n[1] = ListRooks, n[2] = ListBishops, n[3] = ListKnights, n[4] = ListPawns;
  for (const char* p = name; *p; ++p) {
    if (*p == 'k') {
      ++list;
      m.entries[list].push_back(0);
      continue;
    }
    const int k = *p == 'q' ? 0 : *p == 'r' ? 1 : *p == 'b' ? 2 : *p == 'n' ? 3 : 4;
    m.entries[list].push_back(next[list][k]++);
    if (*p == 'p') m.pawns = true;
  }
  return m;
}

inline TablePosition emptyPosition() {
  TablePosition p;
  std::fill(p.first, p.first + ListSize, int8_t(-1));
  std::fill(p.second, p.second + ListSize, int8_t(-1));
  p.epSquare = -1;
  return p;
}

inline const int8_t* listOf(const TablePosition& p, int list) { return list == 0 ? p.first : p.second; }
inline int8_t* listOf(TablePosition& p, int list) { return list == 0 ? p.first : p.second; }

// Does a man of kind `kind` of list `list` (first list's pawns move up) on
// `from` attack `to`, with `occupied` blocking the lines?
inline bool attacks(char kind, int list, int from, int to, uint64_t occupied) {
  const int df = (to & 7) - (from & 7), dr = (to >> 3) - (from >> 3);
  const int af = std::abs(df), ar = std::abs(dr);
  if (from == to) return false;
  switch (kind) {
    case 'k': return af <= 1 && ar <= 1;
    case 'n': return (af == 1 && ar == 2) || (af == 2 && ar == 1);
    case 'p': return af == 1 && dr == (list == 0 ? 1 : -1);
    default: break;
  }
  const bool diagonal = af == ar, straight = af == 0 || ar == 0;
  if (!((kind == 'b' || kind == 'q') && diagonal) && !((kind == 'r' || kind == 'q') && straight)) return false;
  const int step = (df > 0) - (df < 0) + 8 * ((dr > 0) - (dr < 0));
  for (int s = from + step; s != to; s += step)
    if (occupied >> s & 1) return false;
  return true;
}

inline uint64_t occupancy(const TablePosition& p) {
  uint64_t occ = 0;
  for (int list = 0; list < 2; ++list)
    for (int e = 0; e < ListSize; ++e)
      if (listOf(p, list)[e] >= 0) occ |= uint64_t(1) << listOf(p, list)[e];
  return occ;
}

inline bool inCheckBy(const TablePosition& p, int attacker) {
  const uint64_t occ = occupancy(p);
  const int king = listOf(p, attacker ^ 1)[0];
  for (int e = 0; e < ListSize; ++e) {
    const int s = listOf(p, attacker)[e];
    if (s >= 0 && attacks(entryKind(e), attacker, s, king, occ)) return true;
  }
  return false;
}

// Can the position occur in a game with list `side` to move? Men on distinct
// squares, pawns on ranks 2..7, the side not to move not in check, and an
// en-passant target that a double step just passed, with a pawn to capture.
inline bool canOccur(const TablePosition& p, int side) {
  uint64_t occ = 0;
  for (int list = 0; list < 2; ++list)
    for (int e = 0; e < ListSize; ++e) {
      const int s = listOf(p, list)[e];
      if (s < 0) continue;
      if (s > 63 || (occ >> s & 1)) return false;
      if (entryKind(e) == 'p' && (s < 8 || s > 55)) return false;
      occ |= uint64_t(1) << s;
    }
  if (inCheckBy(p, side)) return false;
  if (p.epSquare >= 0) {
    const int t = p.epSquare, up = side == 0 ? 8 : -8;
    if ((t >> 3) != (side == 0 ? 5 : 2)) return false;
    if ((occ >> t & 1) || (occ >> (t + up) & 1)) return false;
    const int pushed = t - up;
    bool pushedPawn = false, capturer = false;
    for (int e = ListPawns; e < ListSize; ++e) {
      pushedPawn |= listOf(p, side ^ 1)[e] == pushed;
      const int s = listOf(p, side)[e];
      capturer |= s >= 0 && (s >> 3) == (pushed >> 3) && std::abs(s - pushed) == 1;
    }
    if (!pushedPawn || !capturer) return false;
  }
  return true;
}

// Image of the position under symmetry s: bits 0-1 XOR 0, 7, 56, 63, bit 2
// the a1-h8 transposition afterwards.
inline int symmetricSquare(int s, int sq) {
  constexpr int mask[4] = {0, 7, 56, 63};
  if (sq < 0) return sq;
  const int m = sq ^ mask[s & 3];
  return s & 4 ? (m >> 3) | (m & 7) << 3 : m;
}

inline TablePosition symmetric(const TablePosition& p, int s) {
  TablePosition q = p;
  for (int e = 0; e < ListSize; ++e) q.first[e] = int8_t(symmetricSquare(s, p.first[e]));
  for (int e = 0; e < ListSize; ++e) q.second[e] = int8_t(symmetricSquare(s, p.second[e]));
  q.epSquare = symmetricSquare(s, p.epSquare);
  return q;
}

// Symmetries that keep the game the same: all eight without pawns, the file
// mirror with pawns.
inline std::vector<int> symmetries(bool pawns) {
  return pawns ? std::vector<int>{0, 1} : std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7};
}

using PositionKey = std::array<int8_t, 2 * ListSize + 1>;

// Men of one kind are interchangeable: sort their squares within each group.
inline PositionKey keyOf(const TablePosition& p) {
  PositionKey k{};
  for (int list = 0; list < 2; ++list) {
    int8_t l[ListSize];
    std::copy(listOf(p, list), listOf(p, list) + ListSize, l);
    const int groups[] = {1, ListRooks, ListBishops, ListKnights, ListPawns, ListSize};
    for (int g = 0; g + 1 < 6; ++g)  // insertion sort within each group
      for (int i = groups[g] + 1; i < groups[g + 1]; ++i)
        for (int j = i; j > groups[g] && l[j - 1] > l[j]; --j) std::swap(l[j - 1], l[j]);
    std::copy(l, l + ListSize, k.begin() + list * ListSize);
  }
  k[2 * ListSize] = int8_t(p.epSquare);
  return k;
}

inline PositionKey canonicalKey(const TablePosition& p, bool pawns) {
  PositionKey best = keyOf(p);
  for (int s : symmetries(pawns)) best = std::min(best, keyOf(symmetric(p, s)));
  return best;
}

inline uint32_t indexOf(int table, int side, const TablePosition& p, int invert = 0) {
  return tableIndex(table, side, p.first, p.second, p.epSquare, invert);
}

// A random position of the table's men that can occur with `side` to move.
inline TablePosition randomPosition(int table, int side, std::mt19937& rng) {
  const TableMen m = tableMen(table);
  for (;;) {
    TablePosition p = emptyPosition();
    for (int list = 0; list < 2; ++list)
      for (int e : m.entries[list]) listOf(p, list)[e] = int8_t(entryKind(e) == 'p' ? 8 + rng() % 48 : rng() % 64);
    if (canOccur(p, side)) return p;
  }
}

}  // namespace orv::tb::test

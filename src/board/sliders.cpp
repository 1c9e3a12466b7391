// The sliding men's attack tables. For every square the relevant occupancy
// (the squares on its lines that can block, board edges left out) is hashed
// by a multiplier into an index of its own block of attack sets. The
// multipliers are found here at start-up by a deterministic trial of sparse
// random numbers: a multiplier serves when no two occupancies that need
// different attack sets share an index. This takes a few milliseconds.
#include <cstring>

#include "board/attack_tables.h"

namespace orv {
namespace {

constexpr int rookSteps[4][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
constexpr int bishopSteps[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};

// Attacks of a slider on sq over `occupied` by walking its rays (the reference);
// with `relevant` the mask instead: the rays without their last square.
uint64_t walkRays(const int (&steps)[4][2], int sq, uint64_t occupied, bool relevant) {
  uint64_t set = 0;
  for (const auto& st : steps) {
    int f = fileOf(sq) + st[0], r = rankOf(sq) + st[1];
    for (; f >= 0 && f < 8 && r >= 0 && r < 8; f += st[0], r += st[1]) {
      const int nf = f + st[0], nr = r + st[1];
      if (relevant && (nf < 0 || nf > 7 || nr < 0 || nr > 7)) break;
      set |= squareBit(makeSquare(f, r));
      if (occupied & squareBit(makeSquare(f, r))) break;
    }
  }
  return set;
}

struct RandomBits {
  uint64_t state = 0x9E3779B97F4A7C15ull;
  uint64_t next() {  // xorshift64*
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return state * 0x2545F4914F6CDD1Dull;
  }
  uint64_t sparse() { return next() & next() & next(); }
};

// Finds square sq's multiplier and fills its block (1 << bits entries at `block`).
void fillSquare(const int (&steps)[4][2], int sq, SliderMagic& m, uint64_t* block, RandomBits& random) {
  m.mask = walkRays(steps, sq, 0, true);
  const int bits = squareCount(m.mask);
  m.shift = 64 - bits;
  m.attacks = block;
  uint64_t occupancy[4096], reference[4096];
  int n = 0;
  uint64_t subset = 0;
  do {  // every subset of the mask
    occupancy[n] = subset;
    reference[n++] = walkRays(steps, sq, subset, false);
    subset = (subset - m.mask) & m.mask;
  } while (subset != 0);
  // usedIn[i]: the attempt that last wrote entry i of the block.
  int usedIn[4096] = {};
  for (int attempt = 1;; ++attempt) {
    const uint64_t multiplier = random.sparse();
    if (squareCount((m.mask * multiplier) & 0xFF00000000000000ull) < 6) continue;
    bool fits = true;
    for (int i = 0; i < n && fits; ++i) {
      const int index = int((occupancy[i] * multiplier) >> m.shift);
      if (usedIn[index] != attempt) {
        usedIn[index] = attempt;
        block[index] = reference[i];
      } else if (block[index] != reference[i]) {
        fits = false;
      }
    }
    if (fits) {
      m.multiplier = multiplier;
      return;
    }
  }
}

}  // namespace

SliderTables::SliderTables() : rook{}, bishop{}, attacks{} {
  RandomBits random;
  uint64_t* next = attacks;
  for (int sq = 0; sq < 64; ++sq) {
    fillSquare(rookSteps, sq, rook[sq], next, random);
    next += 1 << squareCount(rook[sq].mask);
  }
  for (int sq = 0; sq < 64; ++sq) {
    fillSquare(bishopSteps, sq, bishop[sq], next, random);
    next += 1 << squareCount(bishop[sq].mask);
  }
}

const SliderTables sliderTables;

}  // namespace orv

// The sliding men's attack tables. For every square the relevant occupancy
// (the squares on its lines that can block, board edges left out) is hashed
// by a multiplier into an index of its own block of attack sets. A multiplier
// serves when no two occupancies that need different attack sets share an
// index. The trial below finds them from sparse random numbers; it needs a
// few hundred thousand trials for some squares (a fifth of a second in all),
// so the multipliers it found are kept as constants, and start-up only fills
// the blocks, checking each multiplier as it goes. Should a constant ever not
// serve, the trial finds another.
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

constexpr uint64_t rookMultipliers[64] = {
    0x1080004008801020ull, 0x0840092002c03000ull, 0x1900200010400900ull, 0x0880100008000480ull, 0x4200100420080200ull,
    0x8100020100080400ull, 0x0200040110886200ull, 0x0200008040220411ull, 0x0404800084400220ull, 0x0000401000402000ull,
    0x0086001081220440ull, 0x0408800800100280ull, 0x000a001201040820ull, 0x8848800200840080ull, 0x4001000100040200ull,
    0x0442000102105084ull, 0x9080010020804100ull, 0x0040404000201009ull, 0x0000808010002009ull, 0x2200090021d00100ull,
    0x0008008008040080ull, 0x0004004002010040ull, 0x0011040008015042ull, 0x00000a0001768104ull, 0x0000800080204009ull,
    0x2010004140002001ull, 0x9800200280100080ull, 0x1000100080080080ull, 0x0442000a00049020ull, 0x2100040080020080ull,
    0x0800120400900148ull, 0x0010040a00128541ull, 0x2800804000800030ull, 0x1010002000400041ull, 0x4000200011004100ull,
    0x0610008410800800ull, 0x0400802402800800ull, 0xc100020080800400ull, 0x0002000802000401ull, 0x0182085882000401ull,
    0x0220204000808000ull, 0x2860100040024022ull, 0x0001002004110040ull, 0x99101042000a0020ull, 0x0004080004008080ull,
    0x0010040002008080ull, 0x2012004881020004ull, 0x8300842444820011ull, 0x0088403882010200ull, 0x0820400080210100ull,
    0x0110910040a00300ull, 0x0801100280080480ull, 0x0242009008200600ull, 0x1002000489500200ull, 0x0040800200010080ull,
    0x0091800041000080ull, 0x0000209300488001ull, 0x04c1002414824001ull, 0x020020000b001041ull, 0x7000100004200901ull,
    0x8002002004100802ull, 0x30010002084c0007ull, 0x0888221800813004ull, 0x4000002840840112ull,
};
constexpr uint64_t bishopMultipliers[64] = {
    0xa010041108003100ull, 0x006082020a002900ull, 0x6810010619200000ull, 0x08281a0520000408ull, 0x0001104001000400ull,
    0x0018901008048400ull, 0x00040a0210245280ull, 0x000200210808a402ull, 0x9140048410821200ull, 0x0800091010820041ull,
    0x20504804832202c0ull, 0x0100091401081000ull, 0x8021011140000012ull, 0x0810020804450400ull, 0x208b0542109008a2ull,
    0x0080084a08040204ull, 0x0040e2a80811244cull, 0x2505022008008108ull, 0x0430220100420040ull, 0x010a040420220040ull,
    0x1105000290400000ull, 0x0093001200822120ull, 0x4000a62048043004ull, 0x280120048a015004ull, 0x006090002a020814ull,
    0x44042000240800d0ull, 0x01102800040a4400ull, 0x1004080080220040ull, 0x0001001011004024ull, 0x0010044000805040ull,
    0x0914041200820100ull, 0x0004821012821480ull, 0x0024040500c05021ull, 0x0088611002080200ull, 0x0116080a00040020ull,
    0x4000020080080080ull, 0x2450450140840040ull, 0x0000880201484100ull, 0x0222020404020092ull, 0x8081110600002e00ull,
    0x2842101105000801ull, 0x1100809008001025ull, 0x00020202221c0400ull, 0x0422014022009020ull, 0x0210046102100c00ull,
    0xc004008082029102ull, 0x00aa461801101200ull, 0x0404080080201108ull, 0x020542108c205002ull, 0x0410544804100100ull,
    0x0040910841100000ull, 0x0400200042021100ull, 0x00004204850400c0ull, 0x0200100410a42102ull, 0x1040020801210102ull,
    0x0805040410420000ull, 0x2884804130100200ull, 0x800c262201242000ull, 0x1058000194108800ull, 0x0014221054420204ull,
    0x0104000012a02200ull, 0x0200881003300100ull, 0x0140400202840100ull, 0x0402020801010201ull,
};

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

// Fills square sq's block (1 << bits entries at `block`) by the stored
// multiplier, or by one the trial finds when that one does not serve.
void fillSquare(const int (&steps)[4][2], int sq, uint64_t stored, SliderMagic& m, uint64_t* block,
                RandomBits& random) {
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
    const uint64_t multiplier = attempt == 1 ? stored : random.sparse();
    if (attempt > 1 && squareCount((m.mask * multiplier) & 0xFF00000000000000ull) < 6) continue;
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
    fillSquare(rookSteps, sq, rookMultipliers[sq], rook[sq], next, random);
    next += 1 << squareCount(rook[sq].mask);
  }
  for (int sq = 0; sq < 64; ++sq) {
    fillSquare(bishopSteps, sq, bishopMultipliers[sq], bishop[sq], next, random);
    next += 1 << squareCount(bishop[sq].mask);
  }
}

// Built before every other object with a constructor: the game's start-up
// position already asks the attack test.
const SliderTables sliderTables __attribute__((init_priority(101)));

}  // namespace orv

// Start-up tables: hashing keys from a fixed-seed Mersenne Twister and the
// move tables of the legal move generator.
#include "board/tables.h"

#include <cstdlib>
#include <random>

namespace orv {

uint32_t zobristL[1024];
uint32_t zobristH[1024];
RayEntry rayList[2][5][64][RayListSize];
PawnEntry pawnList[2][64][PawnListSize];
int16_t direction[64][64];
uint8_t kingDistance[64][64];

namespace {

// Direction orders of the two twins, by kind (king, queen, rook, bishop, knight).
// They fix the order in which the generator lists moves.
struct DirectionOrder {
  int count;
  int step[8];
};
constexpr DirectionOrder directionOrder[2][5] = {
    {
        {8, {8, -8, 1, -1, 7, -7, 9, -9}},
        {8, {8, -8, 1, -1, 7, -7, 9, -9}},
        {4, {8, -8, 1, -1}},
        {4, {7, -7, 9, -9}},
        {8, {10, -10, 17, -17, 15, -15, 6, -6}},
    },
    {
        {8, {-8, 8, 1, -1, -9, 9, -7, 7}},
        {8, {-8, 8, 1, -1, -9, 9, -7, 7}},
        {4, {-8, 8, 1, -1}},
        {4, {-9, 9, -7, 7}},
        {8, {-6, 6, -15, 15, -17, 17, -10, 10}},
    },
};

// A step from `from` by `d` that stays on the board without wrapping a file edge.
bool stepOnBoard(int from, int d, int maxFileChange) {
  int to = from + d;
  if (to < 0 || to > 63) return false;
  return std::abs(fileOf(to) - fileOf(from)) <= maxFileChange;
}

void buildKeys() {
  std::mt19937 generator(123456);
  for (uint32_t& k : zobristL) k = generator();
  for (uint32_t& k : zobristH) k = generator();
}

void buildRayLists() {
  for (int twin = 0; twin < 2; ++twin)
    for (int kind = King; kind <= Knight; ++kind)
      for (int sq = 0; sq < 64; ++sq) {
        RayEntry* list = rayList[twin][kind][sq];
        const DirectionOrder& order = directionOrder[twin][kind];
        const bool slides = kind == Queen || kind == Rook || kind == Bishop;
        const int maxFileChange = kind == Knight ? 2 : 1;
        int n = 0;
        for (int i = 0; i < order.count; ++i) {
          int d = order.step[i];
          int targets[8];
          int length = 0;
          for (int at = sq; stepOnBoard(at, d, maxFileChange);) {
            at += d;
            targets[length++] = at;
            if (!slides) break;
          }
          for (int j = 0; j < length; ++j) list[n++] = {uint8_t(targets[j]), uint8_t(length - j)};
        }
        list[n] = {64, 0};
      }
}

void buildPawnLists() {
  for (int colour = 0; colour < 2; ++colour)
    for (int sq = 0; sq < 64; ++sq) {
      PawnEntry* list = pawnList[colour][sq];
      const int up = colour == White ? 8 : -8;
      const int startRank = colour == White ? 1 : 6;
      const int lastFromRank = colour == White ? 6 : 1;   // a move from here promotes
      const uint8_t promotes = rankOf(sq) == lastFromRank ? PawnPromotes : 0;
      const int push = sq + up;
      int n = 0;
      if (push >= 0 && push <= 63) {
        const bool twoSteps = rankOf(sq) == startRank;
        list[n++] = {uint8_t(push), uint8_t(twoSteps ? 1 : 0), uint8_t(PawnPush | promotes)};
        if (twoSteps) list[n++] = {uint8_t(push + up), 0, PawnPush};
        if (fileOf(sq) != 0) list[n++] = {uint8_t(push - 1), 0, promotes};   // toward file a
        if (fileOf(sq) != 7) list[n++] = {uint8_t(push + 1), 0, promotes};   // toward file h
      }
      list[n] = {64, 0, 0};
    }
}

void buildDirectionsAndDistances() {
  for (int s = 0; s < 64; ++s)
    for (int t = 0; t < 64; ++t) {
      const int df = fileOf(t) - fileOf(s), dr = rankOf(t) - rankOf(s);
      const int adf = std::abs(df), adr = std::abs(dr);
      int d = 0;
      if (s != t) {
        if (dr == 0) d = df > 0 ? 1 : -1;
        else if (df == 0) d = dr > 0 ? 8 : -8;
        else if (adf == adr) d = (dr > 0 ? 8 : -8) + (df > 0 ? 1 : -1);
        else if ((adf == 1 && adr == 2) || (adf == 2 && adr == 1)) d = t - s;
      }
      direction[s][t] = int16_t(d);
      kingDistance[s][t] = uint8_t(adf > adr ? adf : adr);
    }
}

}  // namespace

void initStartupTables() {
  static bool built = false;
  if (built) return;
  built = true;
  buildKeys();
  buildRayLists();
  buildPawnLists();
  buildDirectionsAndDistances();
}

// Built during static initialisation so that no caller depends on running it first.
[[maybe_unused]] static const bool tablesReady = (initStartupTables(), true);

}  // namespace orv

// Material keys, the lookup tree, and the square lists read off a Board.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "board/board.h"
#include "board/game.h"
#include "tablebase/material_key.h"
#include "tablebase/square_lists.h"
#include "tablebase/table_info.h"

namespace orv::tb {
namespace {

MaterialKey keyOfName(const char* name) {
  MaterialKey key;
  EXPECT_TRUE(materialKeyOfName(name, key)) << name;
  return key;
}

TEST(MaterialTree, EveryKeyOfUpToThreeMenHasItsOwnSlot) {
  std::set<int> slots;
  int keys = 0;
  MaterialKey key{};
  // All ten-count keys with a total of at most three, by odometer.
  for (int code = 0; code < 1 << 20; ++code) {
    int total = 0;
    for (int i = 0; i < MaterialKeySize; ++i) total += key.count[i] = uint8_t((code >> (2 * i)) & 3);
    if (total > 3) {
      EXPECT_EQ(materialTreeSlot(key), -1);
      continue;
    }
    const int slot = materialTreeSlot(key);
    ASSERT_GE(slot, 0);
    ASSERT_LT(slot, MaterialTreeSize);
    slots.insert(slot);
    ++keys;
  }
  EXPECT_EQ(keys, MaterialTreeSize);
  EXPECT_EQ(int(slots.size()), MaterialTreeSize);
  key = {};
  key.count[KeyBlack + KeyPawns] = 8;
  EXPECT_EQ(materialTreeSlot(key), -1);
}

TEST(MaterialTree, TablesAndTheirColourExchanges) {
  for (int table = 1; table <= TableCount; ++table) {
    const MaterialKey key = keyOfName(tableInfo[table].name);
    const MaterialKey exchanged = exchangeColours(key);
    const bool symmetric = std::equal(key.count, key.count + MaterialKeySize, exchanged.count);
    // A symmetric material is entered as +n and then as -n: -n stays.
    EXPECT_EQ(tableNumber(key), symmetric ? -table : table) << tableInfo[table].name;
    EXPECT_EQ(tableNumber(exchanged), -table) << tableInfo[table].name;
  }
  EXPECT_EQ(tableNumber(keyOfName("kpkr")), -12);
  EXPECT_EQ(tableNumber(keyOfName("knkb")), -10);
  EXPECT_EQ(tableNumber(keyOfName("kk")), 0);
  EXPECT_EQ(tableNumber(keyOfName("kqqqk")), 0);   // not a table
  EXPECT_EQ(tableNumber(keyOfName("kqqkqq")), 0);  // too many men
}

TEST(MaterialTree, HoldsOnlyWhatWasEntered) {
  MaterialTree tree;
  clearMaterialTree(tree);
  EXPECT_TRUE(enterTable(tree, "krkp", 12));
  EXPECT_EQ(findTable(tree, keyOfName("krkp")), 12);
  EXPECT_EQ(findTable(tree, keyOfName("kpkr")), -12);
  EXPECT_EQ(findTable(tree, keyOfName("kqk")), 0);
  EXPECT_TRUE(enterTable(tree, "kpkp", 6));
  EXPECT_EQ(findTable(tree, keyOfName("kpkp")), -6);
  EXPECT_FALSE(enterTable(tree, "kqqkqq", 200));
  EXPECT_FALSE(enterTable(tree, "krx", 4));
  EXPECT_FALSE(enterTable(tree, "qk", 4));
  EXPECT_FALSE(enterTable(tree, "krkpk", 4));
}

TEST(MaterialKey, NamesAndBoards) {
  const MaterialKey k = keyOfName("kqnkbp");
  const uint8_t expected[MaterialKeySize] = {0, 1, 0, 0, 1, 1, 0, 1, 0, 0};
  EXPECT_TRUE(std::equal(k.count, k.count + MaterialKeySize, expected));

  ASSERT_GE(parseFen("4k3/1p6/8/8/2b5/8/8/KN2Q3 w - - 0 1"), 0);
  MaterialKey fromBoard;
  EXPECT_EQ(materialKeyOf(game.board, fromBoard), 4);
  EXPECT_TRUE(std::equal(fromBoard.count, fromBoard.count + MaterialKeySize, expected));
  EXPECT_EQ(tableNumber(fromBoard), 0);  // four men besides the kings: no table

  ASSERT_GE(parseFen("8/8/8/3k4/8/8/8/K6r w - - 0 1"), 0);
  EXPECT_EQ(materialKeyOf(game.board, fromBoard), 1);
  EXPECT_EQ(tableNumber(fromBoard), -4);
  ASSERT_GE(parseFen("8/8/8/3k4/8/8/8/K7 w - - 0 1"), 0);
  EXPECT_EQ(materialKeyOf(game.board, fromBoard), 0);
  EXPECT_EQ(tableNumber(fromBoard), 0);
}

std::set<int> entries(const int8_t* list, int from, int to) {
  std::set<int> s;
  for (int e = from; e < to; ++e) s.insert(list[e]);
  return s;
}

TEST(SquareLists, MenGoToTheirKindsGroups) {
  ASSERT_GE(parseFen("3qk3/4p3/8/8/8/8/1P1P4/RN2K2R w - - 0 1"), 0);
  int8_t white[ListSize], black[ListSize];
  fillSquareLists(game.board, white, black);
  EXPECT_EQ(white[0], 4);
  EXPECT_EQ(entries(white, ListRooks, ListRooks + 2), (std::set<int>{0, 7}));
  EXPECT_EQ(white[ListRooks + 2], -1);
  EXPECT_EQ(white[ListKnights], 1);
  EXPECT_EQ(entries(white, ListPawns, ListPawns + 2), (std::set<int>{9, 11}));
  EXPECT_EQ(white[ListQueens], -1);
  EXPECT_EQ(black[0], 60);
  EXPECT_EQ(black[ListQueens], 59);
  EXPECT_EQ(black[ListPawns], 52);
  int listed = 0;
  for (int e = 0; e < ListSize; ++e) listed += (white[e] >= 0) + (black[e] >= 0);
  EXPECT_EQ(listed, 9);
}

TEST(SquareLists, AFourthManOfAKindTakesTheNextGroupAndAFifthPawnIsDropped) {
  ASSERT_GE(parseFen("4k3/8/8/8/8/8/8/QQQQK3 w - - 0 1"), 0);
  int8_t white[ListSize], black[ListSize];
  fillSquareLists(game.board, white, black);
  EXPECT_EQ(entries(white, ListQueens, ListRooks + 1), (std::set<int>{0, 1, 2, 3}));
  EXPECT_EQ(white[ListRooks + 1], -1);

  ASSERT_GE(parseFen("4k3/pppp4/4p3/8/8/8/8/4K3 w - - 0 1"), 0);
  fillSquareLists(game.board, white, black);
  std::set<int> pawns = entries(black, ListPawns, ListSize);
  EXPECT_EQ(pawns.size(), 4u);
  EXPECT_EQ(pawns.count(-1), 0u);
}

}  // namespace
}  // namespace orv::tb

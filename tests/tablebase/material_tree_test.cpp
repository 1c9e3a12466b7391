// Material keys of table names and the lookup tree of signed table numbers.
#include <gtest/gtest.h>

#include <vector>

#include "tablebase/material_tree.h"
#include "tablebase/table_info.h"

namespace orv::tb {
namespace {

std::vector<int> countsOf(const char* name) {
  uint8_t c[MaterialKinds];
  materialOfName(name, c);
  return std::vector<int>(c, c + MaterialKinds);
}

TEST(MaterialTree, NamesSplitAtTheSecondKing) {
  EXPECT_EQ(countsOf("krpkn"), (std::vector<int>{1, 0, 0, 1, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(countsOf("kqqkq"), (std::vector<int>{0, 0, 0, 0, 2, 0, 0, 0, 0, 1}));
  EXPECT_EQ(countsOf("kbk"), (std::vector<int>{0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
  uint8_t c[MaterialKinds], x[MaterialKinds];
  materialOfName("krpkn", c);
  exchangeColours(c, x);
  EXPECT_EQ(std::vector<int>(x, x + MaterialKinds), (std::vector<int>{0, 1, 0, 0, 0, 1, 0, 0, 1, 0}));
}

TEST(MaterialTree, HoldsEveryTableBothWaysAndSymmetricMaterialEndsNegative) {
  clearMaterialTree();
  for (int t = 1; t <= TableCount; ++t) {
    uint8_t c[MaterialKinds], x[MaterialKinds];
    materialOfName(tableInfo[t].name, c);
    exchangeColours(c, x);
    ASSERT_TRUE(enterMaterial(c, t));
    ASSERT_TRUE(enterMaterial(x, -t));
  }
  for (int t = 1; t <= TableCount; ++t) {
    uint8_t c[MaterialKinds], x[MaterialKinds];
    materialOfName(tableInfo[t].name, c);
    exchangeColours(c, x);
    const bool symmetric = std::vector<uint8_t>(c, c + 10) == std::vector<uint8_t>(x, x + 10);
    EXPECT_EQ(findMaterial(c), symmetric ? -t : t) << tableInfo[t].name;
    EXPECT_EQ(findMaterial(x), -t) << tableInfo[t].name;
  }
  clearMaterialTree();
  uint8_t c[MaterialKinds];
  materialOfName("kqk", c);
  EXPECT_EQ(findMaterial(c), 0);
}

TEST(MaterialTree, KeysWithMoreMenThanAnyTableAreRefusedAndNeverFound) {
  clearMaterialTree();
  const uint8_t four[MaterialKinds] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0};
  EXPECT_FALSE(enterMaterial(four, 99));
  EXPECT_EQ(findMaterial(four), 0);
  const uint8_t many[MaterialKinds] = {8, 2, 2, 2, 1, 8, 2, 2, 2, 1};
  EXPECT_EQ(findMaterial(many), 0);
  const uint8_t bare[MaterialKinds] = {};
  EXPECT_EQ(findMaterial(bare), 0);
}

}  // namespace
}  // namespace orv::tb

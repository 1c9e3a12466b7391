// Tablebase directory cleaning and the bounded path list.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/settings.h"
#include "shell/tablebase_path.h"

namespace {

std::string cleaned(const char* text) {
  char buffer[400];
  std::strcpy(buffer, text);
  orv::cleanTablebaseDirectory(buffer);
  return buffer;
}

struct PathListTest : ::testing::Test {
  void SetUp() override {
    saved = orv::settings.tablebasePaths;
    orv::settings.tablebasePaths[0] = 0;
  }
  void TearDown() override { std::strcpy(orv::settings.tablebasePaths, saved.c_str()); }
  std::string saved;
};

}  // namespace

TEST(CleanTablebaseDirectory, RemovesSurroundingQuotesAndTrailingSeparator) {
  EXPECT_EQ(cleaned("\"/opt/tb\""), "/opt/tb");
  EXPECT_EQ(cleaned("/opt/tb/"), "/opt/tb");
  EXPECT_EQ(cleaned("/opt/tb"), "/opt/tb");  // leading '/' is kept
  EXPECT_EQ(cleaned("\\tb\\"), "\\tb");      // leading backslash too
  EXPECT_EQ(cleaned("tb3"), "tb3");
  EXPECT_EQ(cleaned("'tb'"), "tb");
}

TEST(CleanTablebaseDirectory, DegenerateDirectoriesBecomeEmpty) {
  EXPECT_EQ(cleaned(""), "");
  EXPECT_EQ(cleaned("\""), "");
  EXPECT_EQ(cleaned("5"), "");
  EXPECT_EQ(cleaned("\"\""), "");
}

TEST_F(PathListTest, EgtpathAppendsEntriesSeparatedBySemicolons) {
  orv::appendTablebasePath("EGTPATH nalimov \"/tb/one\"");
  EXPECT_STREQ(orv::settings.tablebasePaths, "/tb/one");
  orv::appendTablebasePath("EGTPATH NALIMOV /tb/two");
  EXPECT_STREQ(orv::settings.tablebasePaths, "/tb/one;/tb/two");
}

TEST_F(PathListTest, EgtpathIgnoresOtherTypesAndIncompleteLines) {
  orv::appendTablebasePath("EGTPATH scorpio /tb");
  orv::appendTablebasePath("EGTPATH nalimov");
  orv::appendTablebasePath("EGTPATH");
  orv::appendTablebasePath("EGTPATH nalimov \"");
  EXPECT_STREQ(orv::settings.tablebasePaths, "");
}

TEST_F(PathListTest, NalimovPathOptionWithAndWithoutValueWord) {
  orv::applyNalimovPathOption("setoption name NalimovPath value /tb");
  EXPECT_STREQ(orv::settings.tablebasePaths, "/tb");
  orv::applyNalimovPathOption("setoption name NalimovPath /tb2");
  EXPECT_STREQ(orv::settings.tablebasePaths, "/tb;/tb2");
  orv::applyNalimovPathOption("setoption name NalimovPath");
  EXPECT_STREQ(orv::settings.tablebasePaths, "/tb;/tb2");
}

TEST(AppendToPathList, RefusesDirectoriesThatDoNotFit) {
  char list[orv::TablebasePathCapacity + 1] = "";
  std::string dir(299, 'd');
  EXPECT_TRUE(orv::appendToPathList(list, dir.c_str()));
  EXPECT_EQ(std::strlen(list), 299u);
  EXPECT_FALSE(orv::appendToPathList(list, "x"));  // 1 is not below 300 - 299
  char other[orv::TablebasePathCapacity + 1] = "abc";
  std::string fits(296, 'e');
  EXPECT_TRUE(orv::appendToPathList(other, fits.c_str()));
  EXPECT_EQ(std::strlen(other), 300u);
  EXPECT_FALSE(orv::appendToPathList(other, "f"));
}

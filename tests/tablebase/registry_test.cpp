// Finding, verifying and registering table files.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "tablebase/codec.h"
#include "tablebase/material_tree.h"
#include "tablebase_fixture.h"

namespace orv::test {
namespace {

using Registry = TablebaseFixture;

constexpr int Kqk = 5, Krk = 4, Krkp = 12, Kqkr = 19, Kqqk = 35, Kppkp = 36, Kqqkq = 110, Kpkp = 6;

int numberOf(const char* name) {
  uint8_t c[tb::MaterialKinds];
  tb::materialOfName(name, c);
  return tb::findMaterial(c);
}

bool writeCompressedSide(const std::string& path, int table, int side) {
  const std::vector<uint8_t> data = syntheticBytes(tb::tableInfo[table].count[side]);
  return tb::writeCompressedFile(path.c_str(), data.data(), data.size());
}

TEST_F(Registry, DirectoriesAreSearchedInListOrderAndAFoundSideStays) {
  TempDir a, b, c;
  writeSparseSide(Kqk, 0, a);
  writeSparseSide(Kqk, 0, b);
  writeSparseSide(Kqk, 1, b);
  writeSparseSide(Kqk, 1, c);
  writeSparseSide(Krk, 0, c);
  EXPECT_EQ(init(a.path() + ";" + b.path() + "," + c.path()), 3);
  EXPECT_EQ(pathOf(Kqk, 0), a.file("kqk.nbw"));
  EXPECT_EQ(pathOf(Kqk, 1), b.file("kqk.nbb"));
  EXPECT_EQ(pathOf(Krk, 0), c.file("krk.nbw"));
  EXPECT_EQ(pathOf(Krk, 1), "");
  EXPECT_EQ(tb::tables[Kqk].side[1].size, tb::tableInfo[Kqk].count[1]);

  // Initialising again with another list forgets the earlier registrations.
  EXPECT_EQ(init(c.path()), 3);
  EXPECT_EQ(pathOf(Kqk, 0), "");
  EXPECT_EQ(pathOf(Kqk, 1), c.file("kqk.nbb"));
  EXPECT_EQ(init(dir.path()), 0);
  EXPECT_EQ(pathOf(Kqk, 1), "");
  EXPECT_EQ(numberOf("kqk"), 0);
}

TEST_F(Registry, RegisteringOneSideEntersTheMaterialBothWays) {
  writeSparseSide(Krkp, 1, dir);
  EXPECT_EQ(init(dir.path()), 4);
  EXPECT_EQ(numberOf("krkp"), 12);
  EXPECT_EQ(numberOf("kpkr"), -12);
  EXPECT_EQ(numberOf("kqkr"), 0);  // not registered
  writeSparseSide(Kpkp, 0, dir);
  init(dir.path());
  EXPECT_EQ(numberOf("kpkp"), -6);  // symmetric material: entered as +6, then as -6
}

TEST_F(Registry, ResultIsTheLargestNumberOfMenCovered) {
  EXPECT_EQ(init(dir.path()), 0);
  writeSparseSide(Kqk, 1, dir);
  EXPECT_EQ(init(dir.path()), 3);
  writeSparseSide(Kqkr, 0, dir);
  EXPECT_EQ(init(dir.path()), 4);
  TempDir other;
  writeSparseSide(Kqqk, 1, other);
  EXPECT_EQ(init(other.path()), 4);
  writeSparseSide(Kppkp, 0, other);
  EXPECT_EQ(init(other.path()), 5);
  TempDir last;
  writeSparseSide(Kqqkq, 1, last);
  EXPECT_EQ(init(dir.path() + ";" + last.path()), 5);
}

TEST_F(Registry, CompressedFilesAreFoundUnderEitherName) {
  ASSERT_TRUE(writeCompressedSide(dir.file("kqk.nbw.emd"), Kqk, 0));
  ASSERT_TRUE(writeCompressedSide(dir.file("kqknbb.emd"), Kqk, 1));
  EXPECT_EQ(init(dir.path()), 3);
  EXPECT_EQ(pathOf(Kqk, 0), dir.file("kqk.nbw.emd"));
  EXPECT_EQ(pathOf(Kqk, 1), dir.file("kqknbb.emd"));
  ASSERT_NE(tb::tables[Kqk].side[0].header, nullptr);
  EXPECT_EQ(tb::tables[Kqk].side[0].header->uncompressedSize(), tb::tableInfo[Kqk].count[0]);
  EXPECT_NE(tb::compressedScratch(), nullptr);
  // A plain file is preferred to a compressed one.
  writeSparseSide(Kqk, 0, dir);
  init(dir.path());
  EXPECT_EQ(pathOf(Kqk, 0), dir.file("kqk.nbw"));
  EXPECT_EQ(tb::tables[Kqk].side[0].header, nullptr);
}

TEST_F(Registry, OnlyRegularFilesAreRegisteredAndNothingBlocks) {
  ASSERT_EQ(::mkdir(dir.file("kqk.nbw").c_str(), 0755), 0);
  ASSERT_TRUE(writeCompressedSide(dir.file("kqk.nbw.emd"), Kqk, 0));
  ASSERT_EQ(::mkfifo(dir.file("kqk.nbb").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo(dir.file("kqk.nbb.emd").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("/dev/null", dir.file("krk.nbw").c_str()), 0);
  ASSERT_EQ(::mkdir(dir.file("krk.nbw.emd").c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo(dir.file("krknbw.emd").c_str(), 0644), 0);
  ASSERT_EQ(::symlink("/dev/zero", dir.file("kbk.nbb.emd").c_str()), 0);
  EXPECT_EQ(init(dir.path()), 3);
  EXPECT_EQ(pathOf(Kqk, 0), dir.file("kqk.nbw.emd"));  // the directory of the plain name is passed over
  EXPECT_EQ(pathOf(Kqk, 1), "");
  EXPECT_EQ(pathOf(Krk, 0), "");
  EXPECT_EQ(pathOf(3, 1), "");
  // A symbolic link to a regular file is a regular file.
  ASSERT_EQ(::symlink(dir.file("kqk.nbw.emd").c_str(), dir.file("krk.nbb.emd").c_str()), 0);
  EXPECT_EQ(runInChild([&] { tb::initTablebases(dir.path().c_str(), 0); }).output,
            "*** " + dir.file("krk.nbb.emd") + " corrupted\n");
}

TEST_F(Registry, AnEmptyElementIsTheCurrentDirectory) {
  writeSparseSide(Kqk, 0, dir);
  TempDir other;
  char saved[PATH_MAX];
  ASSERT_NE(::getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  const int men = init(other.path() + ";;" + other.path());
  ASSERT_EQ(::chdir(saved), 0);
  EXPECT_EQ(men, 3);
  EXPECT_EQ(pathOf(Kqk, 0), "kqk.nbw");
}

TEST_F(Registry, AListLongerThanThreeHundredCharactersIsRefused) {
  writeSparseSide(Kqk, 0, dir);
  std::string list = dir.path() + ";";
  list += std::string(tb::PathListCapacity - list.size(), 'x');
  ASSERT_EQ(list.size(), 300u);
  EXPECT_EQ(init(list), 3);
  list += "y";
  EXPECT_EQ(init(list), 0);
  EXPECT_EQ(pathOf(Kqk, 0), "");
  // A long element is no danger either: its paths are built without a fixed buffer.
  EXPECT_EQ(init(std::string(290, 'z')), 0);
}

TEST_F(Registry, CacheIsSizedInBlocksBetweenOneAndSixtyFourMegabytes) {
  init(dir.path(), 16777216);
  EXPECT_EQ(tb::cacheBlockCount(), 2025);
  init(dir.path(), 0);
  EXPECT_EQ(tb::cacheBlockCount(), 126);
  init(dir.path(), 1L << 30);
  EXPECT_EQ(tb::cacheBlockCount(), 67108864 / 8284);
  tb::releaseTablebases();
  EXPECT_EQ(tb::cacheBlockCount(), 0);
}

// Damaged files end the process with a "***" line on standard output.
ChildRun initialiseIn(const TempDir& d) {
  return runInChild([&] { tb::initTablebases(d.path().c_str(), 0); });
}

TEST_F(Registry, APlainFileOfTheWrongLengthEndsTheProcess) {
  ASSERT_TRUE(writeBytes(dir.file("kpk.nbw"), std::vector<uint8_t>(81663)));
  const ChildRun r = initialiseIn(dir);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output, "*** " + dir.file("kpk.nbw") + " corrupted\n");
}

TEST_F(Registry, DamagedCompressedFilesEndTheProcess) {
  {
    // The header checksum does not match.
    std::vector<uint8_t> data = syntheticBytes(tb::tableInfo[Kqk].count[0]);
    std::vector<uint8_t> image = tb::encodeCompressed(data.data(), data.size());
    const uint32_t headerSize = compressedHeaderSize(image);
    ASSERT_LT(headerSize, image.size());
    image[headerSize - 1] ^= 0x5a;
    ASSERT_TRUE(writeBytes(dir.file("kqk.nbw.emd"), image));
    const ChildRun r = initialiseIn(dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.output, "*** Unable to read " + dir.file("kqk.nbw.emd") + " - file broken\n");
  }
  {
    // A file too short for its banner.
    TempDir d;
    ASSERT_TRUE(writeBytes(d.file("kqknbb.emd"), std::vector<uint8_t>(40, 'x')));
    const ChildRun r = initialiseIn(d);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.output, "*** Unable to read " + d.file("kqknbb.emd") + " - read error\n");
  }
  {
    // A sound file that holds fewer positions than the table.
    TempDir d;
    const std::vector<uint8_t> data(20000, 7);
    ASSERT_TRUE(tb::writeCompressedFile(d.file("krk.nbb.emd").c_str(), data.data(), data.size()));
    const ChildRun r = initialiseIn(d);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.output, "*** " + d.file("krk.nbb.emd") + " corrupted\n");
  }
}

}  // namespace
}  // namespace orv::test

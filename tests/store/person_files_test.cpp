#include "store/person_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "store/text.h"
#include "tests/support/store_fixture.h"

namespace kx {
namespace {

namespace fs = std::filesystem;
using fixture::TempDir;

TEST(PersonFiles, NamesFollowTheStoredNumber) {
  auto s = makeStore();
  s->lastIndex = 0;
  paddedCopy(s->field(0, PersonalNumber), "0012", 4);
  const std::string n = personalNumber(*s, 0);
  EXPECT_EQ(n, "0012");
  EXPECT_TRUE(hasPersonalNumber(n));
  EXPECT_FALSE(hasPersonalNumber("0000"));
  EXPECT_TRUE(hasPersonalNumber("    "));
  EXPECT_EQ(photoFileName(n), "PSNL0012.JPG");
  EXPECT_EQ(textFileName(n), "PSNL0012.TXT");
  EXPECT_EQ(descFileName(n), "DESC0012.TXT");
  EXPECT_EQ(personFolderName(n), "PSNL0012");
}

TEST(FileNames, JoinedWithOneSeparator) {
  EXPECT_EQ(joinPath("", "KORVELIX.DAT"), "KORVELIX.DAT");
  EXPECT_EQ(joinPath(".", "KORVELIX.DAT"), "./KORVELIX.DAT");
  EXPECT_EQ(joinPath("/tmp/store", "PSNL0001.JPG"), "/tmp/store/PSNL0001.JPG");
  EXPECT_EQ(joinPath("/tmp/store/", "PSNL0001.JPG"), "/tmp/store/PSNL0001.JPG");
  EXPECT_EQ(joinPath("/", "KORVELIX.k1"), "/KORVELIX.k1");
  EXPECT_EQ(temporaryName(kNameKeyFile), "KORVELIX.k1.kxtmp");
  EXPECT_FALSE(isPlainFileName("DESC1/23.TXT"));
  EXPECT_FALSE(isPlainFileName(".."));
  EXPECT_TRUE(isPlainFileName("DESC0012.TXT"));
}

TEST(PersonFiles, DescFileIsCreatedEmptyOnlyWhenMissing) {
  TempDir d;
  ASSERT_TRUE(ensureDescFile(d.path, "DESC0012.TXT"));
  EXPECT_TRUE(fs::exists(d.file("DESC0012.TXT")));
  EXPECT_EQ(fs::file_size(d.file("DESC0012.TXT")), 0u);

  std::ofstream(d.file("DESC0013.TXT")) << "kept";
  ASSERT_TRUE(ensureDescFile(d.path, "DESC0013.TXT"));
  EXPECT_EQ(fs::file_size(d.file("DESC0013.TXT")), 4u);
}

TEST(PersonFiles, DescFileRefusedWhenItCannotBeMade) {
  TempDir d;
  EXPECT_FALSE(ensureDescFile(d.file("missing"), "DESC0012.TXT"));
  // A number typed with a separator must not reach into another folder.
  fs::create_directory(d.file("DESC1"));
  EXPECT_FALSE(ensureDescFile(d.path, "DESC1/23.TXT"));
  EXPECT_FALSE(fs::exists(d.file("DESC1/23.TXT")));
  // Nor may a folder of the same name pass for the file.
  fs::create_directory(d.file("DESC0014.TXT"));
  EXPECT_FALSE(ensureDescFile(d.path, "DESC0014.TXT"));
}

}  // namespace
}  // namespace kx

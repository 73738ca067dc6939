#include "store/person_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "store/text.h"

namespace kx {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  fs::path path;
  TempDir() {
    char tmpl[] = "/tmp/kx_person_XXXXXX";
    path = mkdtemp(tmpl);
  }
  ~TempDir() { fs::remove_all(path); }
};

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

TEST(PersonFiles, DescFileIsCreatedEmptyOnlyWhenMissing) {
  TempDir d;
  ASSERT_TRUE(ensureDescFile(d.path, "DESC0012.TXT"));
  EXPECT_TRUE(fs::exists(d.path / "DESC0012.TXT"));
  EXPECT_EQ(fs::file_size(d.path / "DESC0012.TXT"), 0u);

  std::ofstream(d.path / "DESC0013.TXT") << "kept";
  ASSERT_TRUE(ensureDescFile(d.path, "DESC0013.TXT"));
  EXPECT_EQ(fs::file_size(d.path / "DESC0013.TXT"), 4u);
}

TEST(PersonFiles, DescFileRefusedWhenItCannotBeMade) {
  TempDir d;
  EXPECT_FALSE(ensureDescFile((d.path / "missing").string(), "DESC0012.TXT"));
  // A number typed with a separator must not reach into another folder.
  fs::create_directory(d.path / "DESC1");
  EXPECT_FALSE(ensureDescFile(d.path, "DESC1/23.TXT"));
  EXPECT_FALSE(fs::exists(d.path / "DESC1" / "23.TXT"));
  // Nor may a folder of the same name pass for the file.
  fs::create_directory(d.path / "DESC0014.TXT");
  EXPECT_FALSE(ensureDescFile(d.path, "DESC0014.TXT"));
}

}  // namespace
}  // namespace kx

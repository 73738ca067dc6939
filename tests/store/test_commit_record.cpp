// The commit record read whole whatever its size, or refused as damaged
// with every temporary kept: acting on part of it would lose files.
#include <gtest/gtest.h>

#include <stdexcept>

#include "store/atomic_files.h"
#include "store_test_support.h"
#include "tests/support/failing_file_system.h"

namespace kx {
namespace {

using namespace storetest;
using fixture::FailingFileSystem;

struct Crash : std::runtime_error {
  Crash() : std::runtime_error("stopped") {}
};

// Long names: a few hundred of them make a record of more than 64 KiB.
std::string cardName(int i) { return std::string(200, 'c') + num4(i) + ".vcf"; }

// A folder of n old files, replaced by new ones up to the commit record and
// stopped there as a kill would.
void rewriteKilledAfterCommit(const TempDir& d, int n) {
  std::vector<NewFile> files;
  for (int i = 0; i < n; ++i) {
    writeBytes(d.file(cardName(i)), "old");
    files.push_back({cardName(i), "new " + std::to_string(i)});
  }
  FailingFileSystem fs;
  fs.hook = [](FailingFileSystem::Call c, const std::string& path) {
    if (c == FailingFileSystem::Rename && !fixture::endsWith(path, kCommitRecordName))
      throw Crash();
    return 0;
  };
  EXPECT_THROW(replaceFiles(fs, d.path, files), Crash);
  ASSERT_GT(readBytes(d.file(kCommitRecordName)).size(), 65536u);
}

TEST(CommitRecord, ARecordPast64KiBIsFinishedWhole) {
  TempDir d;
  rewriteKilledAfterCommit(d, 400);
  const Recovery r = finishInterruptedRewrite(realFileSystem(), d.path);
  EXPECT_TRUE(r.finished);
  for (int i = 0; i < 400; ++i)
    ASSERT_EQ(readBytes(d.file(cardName(i))), "new " + std::to_string(i)) << i;
  EXPECT_EQ(listDir(d).size(), 400u);
}

// Reads of the commit record fail; everything else is the real file system.
class UnreadableRecord : public RealFileSystem {
 public:
  int openRead(const std::string& path, ReadOpen* why) override {
    const int fd = RealFileSystem::openRead(path, why);
    if (fixture::endsWith(path, kCommitRecordName)) record = fd;
    return fd;
  }
  ssize_t read(int fd, char* bytes, std::size_t size) override {
    if (fd != record) return RealFileSystem::read(fd, bytes, size);
    errno = EIO;
    return -1;
  }
  int record = -1;
};

TEST(CommitRecord, OneThatCannotBeReadWholeKeepsEveryTemporary) {
  TempDir d;
  rewriteKilledAfterCommit(d, 400);
  const std::vector<std::string> before = listDir(d);
  UnreadableRecord fs;
  const Recovery r = finishInterruptedRewrite(fs, d.path);
  EXPECT_FALSE(r.finished);
  EXPECT_EQ(r.error, EIO);
  EXPECT_EQ(listDir(d), before);

  // Cut short, as no writer leaves it: refused the same way.
  const std::string record = readBytes(d.file(kCommitRecordName));
  writeBytes(d.file(kCommitRecordName), record.substr(0, record.size() - 3));
  EXPECT_FALSE(finishInterruptedRewrite(realFileSystem(), d.path).finished);
  EXPECT_EQ(listDir(d), before);
}

}  // namespace
}  // namespace kx

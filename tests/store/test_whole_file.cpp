// Files read whole with plain reads: another program truncating a file
// being read never kills the reader, and a file that changes while it is
// read is refused with a message, never half-read.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "store/line_reader.h"
#include "store/whole_file.h"
#include "store_test_support.h"

namespace kx {
namespace {

using namespace storetest;

// Truncates path to nothing from another process and waits for it.
void truncateFromAnotherProcess(const std::string& path) {
  const pid_t child = ::fork();
  if (child == 0) _exit(::truncate(path.c_str(), 0) == 0 ? 0 : 1);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(WholeFile, TruncatedAfterOpeningIsStillReadWhole) {
  TempDir d;
  const std::string path = d.file("big.txt");
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "line " + std::to_string(i) + "\n";
  writeBytes(path, text);
  // Run apart: a reader that faults dies of its signal, which the check sees.
  EXPECT_EXIT(
      {
        LineReader in(path);
        truncateFromAnotherProcess(path);
        int n = 0;
        const char* t = nullptr;
        std::size_t len = 0;
        while (in.next(&t, &len)) ++n;
        std::exit(n == 100000 && !in.failed() ? 0 : 2);
      },
      ::testing::ExitedWithCode(0), "");
}

// The real file system, but the file grows by a line after its first read,
// as when another program appends to it meanwhile.
class GrowingFile : public RealFileSystem {
 public:
  int openRead(const std::string& p, ReadOpen* why) override {
    const int fd = RealFileSystem::openRead(p, why);
    if (p == path) watched = fd;
    return fd;
  }
  ssize_t read(int fd, char* bytes, std::size_t size) override {
    const ssize_t r = RealFileSystem::read(fd, bytes, std::min<std::size_t>(size, 4096));
    if (fd == watched && reads++ == 0) writeBytes(path, readBytes(path) + "more\r\n");
    return r;
  }
  std::string path;
  int watched = -1;
  int reads = 0;
};

TEST(WholeFile, ChangedWhileReadIsRefused) {
  TempDir d;
  GrowingFile fs;
  fs.path = d.file("f.txt");
  writeBytes(fs.path, std::string(10000, 'a'));
  std::string out = "old";
  EXPECT_EQ(readWholeFile(fs, fs.path, 1 << 20, out), WholeFile::Changed);
  EXPECT_EQ(out, "");
  fs.reads = 0;
  EXPECT_EQ(readWholeFile(fs, fs.path, 100, out), WholeFile::TooLarge);
  EXPECT_EQ(fs.reads, 0);
  EXPECT_EQ(readWholeFile(fs, d.file("none"), 100, out), WholeFile::Missing);
  EXPECT_EQ(readWholeFile(fs, d.path, 100, out), WholeFile::NotRegular);
}

TEST(WholeFile, StoreChangedWhileLoadedOpensReadOnlyWithTheReason) {
  TempDir d;
  std::mt19937 rng(3);
  writeFiles(d, randomStore(40, rng));
  GrowingFile fs;
  fs.path = d.file(kDataFile);
  auto s = makeStore();
  s->fs = &fs;
  VectorSink sink;
  EXPECT_FALSE(loadStore(*s, d.path, sink));
  EXPECT_TRUE(s->readOnly);
  const std::string expected = std::string("KORVELIX.DAT open error\nKORVELIX.DAT: ") +
                               readFailureReason(WholeFile::Changed, 0);
  EXPECT_NE(std::find(sink.messages.begin(), sink.messages.end(), expected), sink.messages.end())
      << ::testing::PrintToString(sink.messages);
}

}  // namespace
}  // namespace kx

// One writer per store: a second copy on the folder loads read-only, writes
// nothing and leaves the first copy's rewrite alone.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "store/atomic_files.h"
#include "store/entry_edit.h"
#include "store/store_files.h"
#include "store/store_lock.h"
#include "store_test_support.h"
#include "tests/support/failing_file_system.h"

namespace kx {
namespace {

using namespace storetest;
using fixture::endsWith;
using fixture::FailingFileSystem;
using Messages = std::vector<std::string>;

// The temporaries and record of a rewrite that has committed but not yet
// put anything in place, as a first copy in the middle of it leaves them.
void writeRewriteInProgress(const TempDir& d, const Files& fresh) {
  writeBytes(d.file(temporaryName(kNameKeyFile)), fresh.k1);
  writeBytes(d.file(temporaryName(kCompanyKeyFile)), fresh.k2);
  writeBytes(d.file(temporaryName(kDataFile)), fresh.dat);
  writeBytes(d.file(kCommitRecordName), "KORVELIX.k1\nKORVELIX.k2\nKORVELIX.DAT\n");
}

TEST(StoreLock, ASecondCopyIsReadOnlyAndTouchesNothingUntilTheFirstIsGone) {
  std::mt19937 rng(9);
  const Files old = randomStore(4, rng), fresh = randomStore(5, rng);
  TempDir d;
  writeFiles(d, old);
  auto first = std::make_unique<StoreLock>();
  auto a = makeStore();
  VectorSink sinkA;
  ASSERT_TRUE(openStore(*a, d.path, sinkA, *first));
  EXPECT_TRUE(sinkA.messages.empty());
  writeRewriteInProgress(d, fresh);
  const std::vector<std::string> during = listDir(d);

  StoreLock second;
  auto b = makeStore();
  VectorSink sinkB;
  EXPECT_FALSE(openStore(*b, d.path, sinkB, second));
  EXPECT_EQ(second.state(), StoreLock::State::HeldElsewhere);
  EXPECT_EQ(sinkB.messages, Messages{kOtherCopyLoadMessage});
  EXPECT_EQ(b->count(), 4);  // what is on disk, shown as it is

  sinkB.messages.clear();
  EntryForm f;
  EXPECT_FALSE(saveStore(*b, d.path, sinkB));
  EXPECT_FALSE(saveData(*b, d.path, sinkB));
  EXPECT_FALSE(updateEntry(*b, 1, f, 0, d.path, sinkB));
  EXPECT_FALSE(addEntry(*b, f, d.path, sinkB));
  EXPECT_FALSE(deleteEntry(*b, 1, d.path, sinkB));
  EXPECT_EQ(sinkB.messages, Messages(5, kOtherCopyRefusalMessage));
  EXPECT_FALSE(loadStore(*b, d.path, sinkB));  // a reload stays read-only, quietly
  EXPECT_EQ(sinkB.messages.size(), 5u);
  EXPECT_TRUE(readFiles(d) == old);
  EXPECT_EQ(listDir(d), during);

  // The first copy ends (a crash releases its lock the same way): the next
  // start finishes the rewrite and may write.
  first.reset();
  StoreLock third;
  auto s = makeStore();
  VectorSink sink;
  EXPECT_TRUE(openStore(*s, d.path, sink, third));
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_TRUE(readFiles(d) == fresh);
  EXPECT_TRUE(saveData(*s, d.path, sink));
  // The three files, the UID file, the lock file and the history record of the save.
  EXPECT_EQ(listDir(d).size(), 6u);
}

TEST(StoreLock, AFolderThatCannotBeLockedIsReadOnlyWithTheReason) {
  TempDir d;
  writeFiles(d, storeFiles({named("\xB1", "\xB6", "\x96\xBC\x91\x4F")}));  // "ｱ" "ｶ" "名前"
  std::filesystem::create_directory(d.file(kLockFileName));
  StoreLock lock;
  auto s = makeStore();
  VectorSink sink;
  EXPECT_FALSE(openStore(*s, d.path, sink, lock));
  EXPECT_EQ(lock.state(), StoreLock::State::Failed);
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_NE(sink.messages[0].find("KORVELIX.lock"), std::string::npos);
  EXPECT_EQ(s->count(), 1);
  sink.messages.clear();
  EXPECT_FALSE(saveStore(*s, d.path, sink));
  EXPECT_EQ(sink.messages, Messages{readOnlyRefusal(*s)});
}

#ifdef KX_DRIVE_PATH
// What the program prints when it starts in dir and is given no command.
std::string startProgram(const std::string& dir) {
  const std::string command = "cd '" + dir + "' && ASAN_OPTIONS=detect_leaks=0 '" +
                              std::string(KX_DRIVE_PATH) + "' </dev/null";
  FILE* p = ::popen(command.c_str(), "r");
  if (p == nullptr) return "popen failed";
  std::string out;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  const int status = ::pclose(p);
  return status == 0 ? out : "exit status " + std::to_string(status) + ": " + out;
}

TEST(StoreLock, TheProgramStartedDuringARewriteLeavesItToFinishAllNew) {
  TempDir d;
  std::mt19937 rng(10);
  writeFiles(d, randomStore(4, rng));
  StoreLock lock;
  auto s = makeStore();
  VectorSink sink;
  ASSERT_TRUE(openStore(*s, d.path, sink, lock));

  // Held just after the commit, before any file is put in place.
  FailingFileSystem fs;
  std::string printed;
  std::vector<std::string> inside, after;
  fs.hook = [&](FailingFileSystem::Call c, const std::string& path) {
    if (c == FailingFileSystem::Rename && endsWith(path, kNameKeyFile) && printed.empty()) {
      inside = listDir(d);
      printed = startProgram(d.path);
      after = listDir(d);
    }
    return 0;
  };
  s->fs = &fs;
  std::memcpy(s->field(2, Address), "NEW", 3);
  ASSERT_TRUE(saveStore(*s, d.path, sink));
  EXPECT_TRUE(sink.messages.empty());

  // One message box, the other copy's (its text is the end-to-end tests' to check).
  EXPECT_EQ(printed.rfind("MSG ", 0), 0u) << printed;
  EXPECT_EQ(printed.find('\n'), printed.size() - 1) << printed;
  // Three files, five temporaries (UIDs and the history record too), record, lock file.
  EXPECT_EQ(inside.size(), 10u);
  EXPECT_EQ(after, inside);
  const Files expected{nameKeyFileBytes(*s), companyKeyFileBytes(*s), dataFileBytes(*s)};
  EXPECT_TRUE(readFiles(d) == expected);
  EXPECT_EQ(listDir(d).size(), 6u);  // and the UID file, the history record
}
#endif

}  // namespace
}  // namespace kx

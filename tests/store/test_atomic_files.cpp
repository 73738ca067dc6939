#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "store/atomic_files.h"
#include "store_test_support.h"

namespace kx {
namespace {

using storetest::Files;
using storetest::listDir;
using storetest::readBytes;
using storetest::readFiles;
using storetest::TempDir;
using storetest::writeBytes;
using storetest::writeFiles;

struct Crash : std::runtime_error {
  Crash() : std::runtime_error("stopped") {}
};

int g_stopAt = -1;
void stopAtStep(int step) {
  if (step == g_stopAt) throw Crash();
}

// Resets the seam whatever the test's outcome.
struct HookGuard {
  HookGuard() { g_replaceStepHook = stopAtStep; }
  ~HookGuard() {
    g_replaceStepHook = nullptr;
    g_stopAt = -1;
  }
};

std::vector<NewFile> asNewFiles(const Files& f) {
  return {{kNameKeyFile, f.k1}, {kCompanyKeyFile, f.k2}, {kDataFile, f.dat}};
}

TEST(ReplaceFiles, WritesEveryFileAndLeavesNothingElse) {
  TempDir d;
  writeBytes(d.file("a.txt"), "old a");
  std::string failed = "x";
  ASSERT_TRUE(replaceFiles(d.path, {{"a.txt", "new a"}, {"b.txt", std::string(100000, 'b')}},
                           &failed));
  EXPECT_EQ(failed, "");
  EXPECT_EQ(readBytes(d.file("a.txt")), "new a");
  EXPECT_EQ(readBytes(d.file("b.txt")), std::string(100000, 'b'));
  EXPECT_EQ(listDir(d), (std::vector<std::string>{"a.txt", "b.txt"}));

  ASSERT_TRUE(replaceFiles(d.path, {{"a.txt", ""}}, nullptr));
  EXPECT_EQ(readBytes(d.file("a.txt")), "");
  EXPECT_EQ(listDir(d), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST(ReplaceFiles, AFileThatCannotBePreparedChangesNothing) {
  std::mt19937 rng(7);
  const Files old = storetest::randomStore(3, rng);
  const Files fresh = storetest::randomStore(4, rng);
  const char* names[] = {kNameKeyFile, kCompanyKeyFile, kDataFile};
  for (const char* blocked : names) {
    for (bool blockTarget : {false, true}) {
      TempDir d;
      writeFiles(d, old);
      // A directory where the temporary (or the file itself) would go:
      // writing fails for root too.
      const std::string obstacle =
          blockTarget ? d.file(blocked) : d.file(std::string(blocked) + kTemporarySuffix);
      std::filesystem::remove(obstacle);
      std::filesystem::create_directories(obstacle + "/inside");
      std::string failed;
      EXPECT_FALSE(replaceFiles(d.path, asNewFiles(fresh), &failed));
      EXPECT_EQ(failed, blocked);
      std::filesystem::remove_all(obstacle);
      if (blockTarget) {
        writeBytes(d.file(blocked), blocked == std::string(kNameKeyFile)     ? old.k1
                                    : blocked == std::string(kCompanyKeyFile) ? old.k2
                                                                              : old.dat);
      }
      EXPECT_TRUE(readFiles(d) == old) << blocked;
      EXPECT_EQ(listDir(d).size(), 3u) << "temporaries left behind";
    }
  }
}

TEST(ReplaceFiles, ProducedContentIsWrittenWholeOrNotAtAll) {
  TempDir d;
  writeBytes(d.file("a.txt"), "old a");
  writeBytes(d.file("b.txt"), "old b");
  auto pieces = [](std::vector<std::string> parts, bool fail) {
    return [parts, fail](const PutBytes& put) {
      for (const std::string& p : parts)
        if (!put(p.data(), p.size())) return false;
      return !fail;
    };
  };
  std::vector<NewFile> files(2);
  files[0] = {"a.txt", "new a"};
  files[1] = {"b.txt", {}, pieces({"new ", "", std::string(70000, 'b')}, false)};
  ASSERT_TRUE(replaceFiles(d.path, files, nullptr));
  EXPECT_EQ(readBytes(d.file("a.txt")), "new a");
  EXPECT_EQ(readBytes(d.file("b.txt")), "new " + std::string(70000, 'b'));

  // A producer that gives up after writing part of its file: that file is
  // named, and neither file changes.
  files[0] = {"a.txt", "newer a"};
  files[1] = {"b.txt", {}, pieces({"half of it"}, true)};
  std::string failed;
  EXPECT_FALSE(replaceFiles(d.path, files, &failed));
  EXPECT_EQ(failed, "b.txt");
  EXPECT_EQ(readBytes(d.file("a.txt")), "new a");
  EXPECT_EQ(readBytes(d.file("b.txt")), "new " + std::string(70000, 'b'));
  EXPECT_EQ(listDir(d), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST(ReplaceFiles, RefusesNamesOutsideTheDirectory) {
  TempDir d;
  for (const char* bad : {"", "..", "../escape", "sub/file", "KORVELIX.commit"}) {
    std::string failed;
    EXPECT_FALSE(replaceFiles(d.path, {{"ok.txt", "x"}, {bad, "y"}}, &failed)) << bad;
    EXPECT_EQ(failed, bad);
  }
  std::string failed;
  EXPECT_FALSE(replaceFiles(d.path, {{"same", "x"}, {"same", "y"}}, &failed));
  EXPECT_TRUE(listDir(d).empty());
  EXPECT_FALSE(replaceFiles(d.file("missing-dir"), {{"a", "x"}}, &failed));
  EXPECT_EQ(failed, "a");
}

// Stops a rewrite at every one of its steps, as a crash would, and checks
// that the next load sees either every old file or every new one, silently.
void stopAtEveryStep(const Files& old, const Files& fresh, bool dataOnly) {
  HookGuard hook;
  bool sawOld = false, sawNew = false;
  for (int step = 0;; ++step) {
    TempDir d;
    writeFiles(d, old);
    g_stopAt = step;
    std::vector<NewFile> files = asNewFiles(fresh);
    if (dataOnly) files = {{kDataFile, fresh.dat}};
    bool finished = false;
    try {
      finished = replaceFiles(d.path, files, nullptr);
    } catch (const Crash&) {
    }
    g_stopAt = -1;

    auto s = makeStore();
    VectorSink sink;
    loadStore(*s, d.path, sink);
    EXPECT_TRUE(sink.messages.empty()) << "step " << step << ": " << sink.messages.front();
    const Files now = readFiles(d);
    const Files expectedNew = dataOnly ? Files{old.k1, old.k2, fresh.dat} : fresh;
    const bool isOld = now == old, isNew = now == expectedNew;
    EXPECT_TRUE(isOld || isNew) << "a mix of old and new files after step " << step;
    sawOld = sawOld || isOld;
    sawNew = sawNew || isNew;
    EXPECT_EQ(listDir(d).size(), 3u) << "left over after step " << step;
    if (finished) {
      EXPECT_TRUE(isNew);
      break;
    }
    ASSERT_LT(step, 50);
  }
  EXPECT_TRUE(sawOld);
  EXPECT_TRUE(sawNew);
}

TEST(ReplaceFiles, ACrashAtAnyStepLeavesAllOldOrAllNew) {
  std::mt19937 rng(11);
  // Both stores sound with the same entry count, so that even data alone
  // replaced loads without a message.
  const Files old = storetest::randomStore(5, rng);
  const Files fresh = storetest::randomStore(5, rng);
  ASSERT_FALSE(old == fresh);
  stopAtEveryStep(old, fresh, false);
  stopAtEveryStep(old, fresh, true);
}

TEST(FinishInterruptedRewrite, RollsForwardACommittedRewrite) {
  TempDir d;
  writeBytes(d.file("a"), "old a");
  writeBytes(d.file("b"), "new b");  // already renamed before the stop
  writeBytes(d.file(std::string("a") + kTemporarySuffix), "new a");
  writeBytes(d.file(kCommitRecordName), "a\nb\n../outside\n/abs\n");
  writeBytes(d.file(std::string("stray") + kTemporarySuffix), "half written");
  writeBytes(d.file(std::string(kCommitRecordName) + kTemporarySuffix), "a\n");
  finishInterruptedRewrite(d.path);
  EXPECT_EQ(readBytes(d.file("a")), "new a");
  EXPECT_EQ(readBytes(d.file("b")), "new b");
  EXPECT_EQ(listDir(d), (std::vector<std::string>{"a", "b"}));
}

TEST(FinishInterruptedRewrite, WithoutARecordRemovesOnlyRegularTemporaries) {
  TempDir d;
  writeBytes(d.file("a"), "old a");
  writeBytes(d.file(std::string("a") + kTemporarySuffix), "never committed");
  std::filesystem::create_directory(d.file(std::string("dir") + kTemporarySuffix));
  finishInterruptedRewrite(d.path);
  EXPECT_EQ(readBytes(d.file("a")), "old a");
  EXPECT_EQ(listDir(d), (std::vector<std::string>{"a", std::string("dir") + kTemporarySuffix}));
}

TEST(ReplaceFiles, RefusesWhileAnEarlierRewriteCannotBeFinished) {
  TempDir d;
  // The record names a file whose place is taken by a directory, so the
  // roll-forward cannot complete; a new rewrite must not start over it.
  std::filesystem::create_directories(d.file("a") + "/inside");
  writeBytes(d.file(std::string("a") + kTemporarySuffix), "new a");
  writeBytes(d.file(kCommitRecordName), "a\n");
  std::string failed = "x";
  EXPECT_FALSE(replaceFiles(d.path, {{"b", "1"}, {"c", "2"}}, &failed));
  EXPECT_EQ(failed, "");
  EXPECT_FALSE(std::filesystem::exists(d.file("b")));
  EXPECT_EQ(readBytes(d.file(std::string("a") + kTemporarySuffix)), "new a");
  EXPECT_TRUE(std::filesystem::exists(d.file(kCommitRecordName)));
}

}  // namespace
}  // namespace kx

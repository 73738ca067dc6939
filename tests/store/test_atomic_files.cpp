#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "store/atomic_files.h"
#include "store/store_files.h"
#include "tests/support/failing_file_system.h"
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

using fixture::FailingFileSystem;

struct Crash : std::runtime_error {
  Crash() : std::runtime_error("stopped") {}
};

FileSystem& real() { return realFileSystem(); }

std::vector<NewFile> asNewFiles(const Files& f) {
  return {{kNameKeyFile, f.k1}, {kCompanyKeyFile, f.k2}, {kDataFile, f.dat}};
}

TEST(ReplaceFiles, WritesEveryFileAndLeavesNothingElse) {
  TempDir d;
  writeBytes(d.file("a.txt"), "old a");
  const ReplaceResult r =
      replaceFiles(real(), d.path, {{"a.txt", "new a"}, {"b.txt", std::string(100000, 'b')}});
  EXPECT_EQ(r.state, Replaced::Done);
  EXPECT_EQ(r.name, "");
  EXPECT_EQ(readBytes(d.file("a.txt")), "new a");
  EXPECT_EQ(readBytes(d.file("b.txt")), std::string(100000, 'b'));
  EXPECT_EQ(listDir(d), (std::vector<std::string>{"a.txt", "b.txt"}));

  ASSERT_EQ(replaceFiles(real(), d.path, {{"a.txt", ""}}).state, Replaced::Done);
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
      const ReplaceResult r = replaceFiles(real(), d.path, asNewFiles(fresh));
      EXPECT_EQ(r.state, Replaced::NotDone);
      EXPECT_EQ(r.name, blocked);
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
  ASSERT_EQ(replaceFiles(real(), d.path, files).state, Replaced::Done);
  EXPECT_EQ(readBytes(d.file("a.txt")), "new a");
  EXPECT_EQ(readBytes(d.file("b.txt")), "new " + std::string(70000, 'b'));

  // A producer that gives up after writing part of its file: that file is
  // named, and neither file changes.
  files[0] = {"a.txt", "newer a"};
  files[1] = {"b.txt", {}, pieces({"half of it"}, true)};
  const ReplaceResult r = replaceFiles(real(), d.path, files);
  EXPECT_EQ(r.state, Replaced::NotDone);
  EXPECT_EQ(r.name, "b.txt");
  EXPECT_EQ(readBytes(d.file("a.txt")), "new a");
  EXPECT_EQ(readBytes(d.file("b.txt")), "new " + std::string(70000, 'b'));
  EXPECT_EQ(listDir(d), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST(ReplaceFiles, RefusesNamesOutsideTheDirectory) {
  TempDir d;
  for (const char* bad : {"", "..", "../escape", "sub/file", "KORVELIX.commit"}) {
    const ReplaceResult r = replaceFiles(real(), d.path, {{"ok.txt", "x"}, {bad, "y"}});
    EXPECT_EQ(r.state, Replaced::NotDone) << bad;
    EXPECT_EQ(r.name, bad);
  }
  EXPECT_FALSE(replaceFiles(real(), d.path, {{"same", "x"}, {"same", "y"}}).happened());
  EXPECT_TRUE(listDir(d).empty());
  const ReplaceResult r = replaceFiles(real(), d.file("missing-dir"), {{"a", "x"}});
  EXPECT_EQ(r.state, Replaced::NotDone);
  EXPECT_EQ(r.name, "a");
}

// What a store directory holds after a rewrite met trouble at file system
// call number `at` and the program started again (taking the lock, then
// finishing what was committed): every old file or every
// new one, silently, and nothing else; new exactly when the rewrite said it
// had happened.
struct Trouble {
  enum Kind { CrashAt, FailAt, FailFrom } kind;
  int at;
};

// Returns false once the rewrite runs to its end before call `at`.
bool rewriteMeeting(Trouble t, const Files& old, const Files& fresh, bool dataOnly,
                    bool* sawOld, bool* sawCommitted) {
  TempDir d;
  writeFiles(d, old);
  FailingFileSystem fs;
  fs.hook = [&](FailingFileSystem::Call, const std::string&) {
    const bool hit = t.kind == Trouble::FailFrom ? fs.calls >= t.at : fs.calls == t.at;
    if (hit && t.kind == Trouble::CrashAt) throw Crash();
    return hit ? EIO : 0;
  };
  std::vector<NewFile> files = asNewFiles(fresh);
  if (dataOnly) files = {{kDataFile, fresh.dat}};
  ReplaceResult r;
  bool crashed = false;
  try {
    r = replaceFiles(fs, d.path, files);
  } catch (const Crash&) {
    crashed = true;
  }
  const bool reached = fs.calls >= t.at;
  const std::string what = "trouble " + std::to_string(t.kind) + " at call " +
                           std::to_string(t.at) + (dataOnly ? ", data only" : "");

  StoreLock lock;
  auto s = makeStore();
  VectorSink sink;
  openStore(*s, d.path, sink, lock);
  EXPECT_TRUE(sink.messages.empty()) << what << ": " << sink.messages.front();
  const Files now = readFiles(d);
  const Files expectedNew = dataOnly ? Files{old.k1, old.k2, fresh.dat} : fresh;
  EXPECT_TRUE(now == old || now == expectedNew) << "a mix of old and new files, " << what;
  if (!crashed) {
    EXPECT_EQ(now == expectedNew, r.happened()) << what;
  }
  *sawOld = *sawOld || now == old;
  *sawCommitted = *sawCommitted || r.state == Replaced::Committed;
  EXPECT_EQ(listDir(d).size(), 4u) << "left over, " << what;  // and the lock file
  return reached;
}

TEST(ReplaceFiles, TroubleAtAnyCallLeavesAllOldOrAllNew) {
  std::mt19937 rng(11);
  // Both stores sound with the same entry count, so that even data alone
  // replaced loads without a message.
  const Files old = storetest::randomStore(5, rng);
  const Files fresh = storetest::randomStore(5, rng);
  ASSERT_FALSE(old == fresh);
  for (bool dataOnly : {false, true}) {
    for (auto kind : {Trouble::CrashAt, Trouble::FailAt, Trouble::FailFrom}) {
      bool sawOld = false, sawCommitted = false;
      int at = 1;
      while (rewriteMeeting({kind, at}, old, fresh, dataOnly, &sawOld, &sawCommitted)) {
        ASSERT_LT(++at, 200);
      }
      EXPECT_TRUE(sawOld);
      // Failures that last past the commit leave the rest to the next start.
      if (kind == Trouble::FailFrom) {
        EXPECT_TRUE(sawCommitted) << dataOnly;
      }
    }
  }
}

TEST(ReplaceFiles, KeepsTheModeGroupAndOwnerOfTheFileItReplaces) {
  TempDir d;
  writeBytes(d.file("a"), "old a");
  writeBytes(d.file("b"), "old b");
  ASSERT_EQ(::chmod(d.file("a").c_str(), 0640), 0);
  ASSERT_EQ(::chmod(d.file("b").c_str(), 0444), 0);
  // Root may give files away; anyone else keeps what it may.
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(d.file("a").c_str(), 1, 1), 0);
  }
  struct stat before {};
  ASSERT_EQ(::stat(d.file("a").c_str(), &before), 0);
  ASSERT_EQ(replaceFiles(real(), d.path, {{"a", "new a"}, {"b", "new b"}, {"c", "new c"}}).state,
            Replaced::Done);
  struct stat a {}, b {}, c {};
  ASSERT_EQ(::stat(d.file("a").c_str(), &a), 0);
  ASSERT_EQ(::stat(d.file("b").c_str(), &b), 0);
  ASSERT_EQ(::stat(d.file("c").c_str(), &c), 0);
  EXPECT_EQ(readBytes(d.file("a")), "new a");
  EXPECT_EQ(a.st_mode & 07777, 0640u);
  EXPECT_EQ(b.st_mode & 07777, 0444u);
  EXPECT_EQ(a.st_uid, before.st_uid);
  EXPECT_EQ(a.st_gid, before.st_gid);
  EXPECT_EQ(c.st_mode & 0111, 0u);  // a new file gets the usual mode

  // A process that may not set the owner still writes, and keeps the mode.
  FailingFileSystem fs;
  fs.hook = [](FailingFileSystem::Call call, const std::string&) {
    return call == FailingFileSystem::ChangeOwner ? EPERM : 0;
  };
  ASSERT_EQ(replaceFiles(fs, d.path, {{"a", "newer a"}}).state, Replaced::Done);
  ASSERT_EQ(::stat(d.file("a").c_str(), &a), 0);
  EXPECT_EQ(readBytes(d.file("a")), "newer a");
  EXPECT_EQ(a.st_mode & 07777, 0640u);
  // Any other failure to keep them fails the rewrite before it happens.
  fs.hook = [](FailingFileSystem::Call call, const std::string&) {
    return call == FailingFileSystem::ChangeMode ? EIO : 0;
  };
  EXPECT_EQ(replaceFiles(fs, d.path, {{"a", "newest a"}}).state, Replaced::NotDone);
  EXPECT_EQ(readBytes(d.file("a")), "newer a");
}

TEST(FinishInterruptedRewrite, RollsForwardACommittedRewrite) {
  TempDir d;
  writeBytes(d.file("a"), "old a");
  writeBytes(d.file("b"), "new b");  // already renamed before the stop
  writeBytes(d.file(std::string("a") + kTemporarySuffix), "new a");
  writeBytes(d.file(kCommitRecordName), "a\nb\n../outside\n/abs\n");
  writeBytes(d.file(std::string("stray") + kTemporarySuffix), "half written");
  writeBytes(d.file(std::string(kCommitRecordName) + kTemporarySuffix), "a\n");
  EXPECT_TRUE(finishInterruptedRewrite(real(), d.path).finished);
  EXPECT_EQ(readBytes(d.file("a")), "new a");
  EXPECT_EQ(readBytes(d.file("b")), "new b");
  EXPECT_EQ(listDir(d), (std::vector<std::string>{"a", "b"}));
}

TEST(FinishInterruptedRewrite, WithoutARecordRemovesOnlyRegularTemporaries) {
  TempDir d;
  writeBytes(d.file("a"), "old a");
  writeBytes(d.file(std::string("a") + kTemporarySuffix), "never committed");
  std::filesystem::create_directory(d.file(std::string("dir") + kTemporarySuffix));
  EXPECT_TRUE(finishInterruptedRewrite(real(), d.path).finished);
  EXPECT_EQ(readBytes(d.file("a")), "old a");
  EXPECT_EQ(listDir(d), (std::vector<std::string>{"a", std::string("dir") + kTemporarySuffix}));
}

// A record names a file whose place is taken by a directory, so the
// roll-forward cannot complete.
TEST(FinishInterruptedRewrite, ARecordThatCannotBeFinishedStopsRewritesAndIsReported) {
  TempDir d;
  std::mt19937 rng(5);
  const Files old = storetest::randomStore(3, rng), fresh = storetest::randomStore(4, rng);
  writeFiles(d, old);
  writeBytes(d.file(std::string(kNameKeyFile) + kTemporarySuffix), fresh.k1);
  writeBytes(d.file(std::string(kCompanyKeyFile) + kTemporarySuffix), fresh.k2);
  writeBytes(d.file(std::string(kDataFile) + kTemporarySuffix), fresh.dat);
  writeBytes(d.file(kCommitRecordName), "KORVELIX.k1\nKORVELIX.k2\nKORVELIX.DAT\n");
  std::filesystem::remove(d.file(kCompanyKeyFile));
  std::filesystem::create_directories(d.file(kCompanyKeyFile) + "/inside");

  const ReplaceResult r = replaceFiles(real(), d.path, {{"b", "1"}, {"c", "2"}});
  EXPECT_EQ(r.state, Replaced::NotDone);
  EXPECT_EQ(r.name, "");
  EXPECT_FALSE(std::filesystem::exists(d.file("b")));
  EXPECT_TRUE(std::filesystem::exists(d.file(kCommitRecordName)));

  // The start says why, shows what was saved, and writes nothing more.
  auto s = makeStore();
  VectorSink sink;
  EXPECT_FALSE(loadStore(*s, d.path, sink));
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_NE(sink.messages[0].find("KORVELIX.k2: Is a directory"), std::string::npos)
      << sink.messages[0];
  EXPECT_EQ(s->count(), 4);
  EXPECT_EQ(nameKeyFileBytes(*s), fresh.k1);
  EXPECT_EQ(companyKeyFileBytes(*s), fresh.k2);
  EXPECT_EQ(dataFileBytes(*s), fresh.dat);
  sink.messages.clear();
  EXPECT_FALSE(saveStore(*s, d.path, sink));
  EXPECT_EQ(sink.messages, std::vector<std::string>{readOnlyRefusal(*s)});
  EXPECT_EQ(readBytes(d.file(std::string(kCompanyKeyFile) + kTemporarySuffix)), fresh.k2);

  // Once the obstacle is gone the next load finishes the rewrite.
  std::filesystem::remove_all(d.file(kCompanyKeyFile));
  sink.messages.clear();
  EXPECT_TRUE(loadStore(*s, d.path, sink));
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_TRUE(readFiles(d) == fresh);
}

}  // namespace
}  // namespace kx

// Every kind of store rewrite, against the same rewrite done cleanly: a
// failure after the commit still counts as saved, and files keep their mode
// and owner.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "store/atomic_files.h"
#include "store/entry_edit.h"
#include "store/store_files.h"
#include "store_test_support.h"
#include "tests/support/failing_file_system.h"

namespace kx {
namespace {

using namespace storetest;
using fixture::endsWith;
using fixture::FailingFileSystem;

struct Rewrite {
  const char* name;
  std::function<bool(Store&, const std::string& dir, MessageSink&)> run;
  bool dataOnly;
};

EntryForm formFor(const Store& s, int e, const std::string& kana) {
  EntryForm f;
  f.nameKey = kana;
  f.companyKey = s.companies.key[s.companies.posMap[e]];
  for (int k = 0; k < kFieldCount; ++k) f.fields[k] = s.field(e, k);
  f.fields[KanjiName] = "\x90\x56\x82\xB5\x82\xA2\x96\xBC\x91\x4F";  // "新しい名前"
  return f;
}

std::vector<Rewrite> everyRewrite() {
  return {
      {"update",
       [](Store& s, const std::string& dir, MessageSink& sink) {
         // "ｱ"
         return updateEntry(s, 2, formFor(s, 2, "\xB1"), s.highestNumber, dir, sink).has_value();
       },
       false},
      {"add",
       [](Store& s, const std::string& dir, MessageSink& sink) {
         return addEntry(s, formFor(s, 1, "\xDD"), dir, sink).has_value();  // "ﾝ"
       },
       false},
      {"delete", [](Store& s, const std::string& dir, MessageSink& sink) {
         return deleteEntry(s, 3, dir, sink);
       },
       false},
      {"save (imports)",
       [](Store& s, const std::string& dir, MessageSink& sink) {
         std::memcpy(s.field(1, Address), "ADDRESS", 7);
         return saveStore(s, dir, sink);
       },
       false},
      {"save data (selection)",
       [](Store& s, const std::string& dir, MessageSink& sink) {
         s.field(0, SelectFlag)[0] = '1';
         return saveData(s, dir, sink);
       },
       true},
  };
}

struct Loaded {
  TempDir dir;
  std::unique_ptr<Store> store = makeStore();
  explicit Loaded(const Files& f) {
    writeFiles(dir, f);
    VectorSink sink;
    EXPECT_TRUE(loadStore(*store, dir.path, sink));
  }
};

Files memoryImage(Store& s) { return {nameKeyFileBytes(s), companyKeyFileBytes(s), dataFileBytes(s)}; }

TEST(StoreRewrite, AFailureAfterTheCommitIsReportedAsSavedAndFinishedByTheNextStart) {
  std::mt19937 rng(3);
  const Files start = randomStore(6, rng);
  for (const Rewrite& w : everyRewrite()) {
    // The clean run says what every file and table must hold afterwards.
    Loaded clean(start);
    VectorSink cleanSink;
    ASSERT_TRUE(w.run(*clean.store, clean.dir.path, cleanSink)) << w.name;
    ASSERT_TRUE(cleanSink.messages.empty()) << w.name;
    const Files expected = readFiles(clean.dir);
    // The tables as a save would write them (an update or add writes its
    // entry's key line as typed, the tables hold it filled out).
    const Files expectedTables = memoryImage(*clean.store);

    // A rename of a store file, or the directory flush after the renames
    // (one file's rename being its commit, only the flush comes after it).
    for (const char* fault : {"rename", "flush"}) {
      if (w.dataOnly && fault == std::string("rename")) continue;
      SCOPED_TRACE(std::string(w.name) + ", " + fault);
      Loaded l(start);
      FailingFileSystem fs;
      bool renamed = false;
      fs.hook = [&](FailingFileSystem::Call c, const std::string& path) {
        if (c == FailingFileSystem::Rename && endsWith(path, kDataFile)) renamed = true;
        if (fault == std::string("rename"))
          return c == FailingFileSystem::Rename && endsWith(path, kCompanyKeyFile) ? EIO : 0;
        return c == FailingFileSystem::SyncDirectory && renamed ? EIO : 0;
      };
      l.store->fs = &fs;
      VectorSink sink;
      EXPECT_TRUE(w.run(*l.store, l.dir.path, sink));
      EXPECT_EQ(sink.messages, std::vector<std::string>{kRewriteCommittedMessage});
      EXPECT_TRUE(memoryImage(*l.store) == expectedTables);
      EXPECT_EQ(l.store->highestNumber, clean.store->highestNumber);
      expectConsistent(*l.store);
      if (fault == std::string("rename")) {
        EXPECT_TRUE(std::filesystem::exists(l.dir.file(temporaryName(kCompanyKeyFile))));
      }

      auto restarted = makeStore();
      VectorSink startSink;
      EXPECT_TRUE(loadStore(*restarted, l.dir.path, startSink));
      EXPECT_TRUE(startSink.messages.empty());
      EXPECT_TRUE(readFiles(l.dir) == expected);
      EXPECT_EQ(listDir(l.dir).size(), 4u);  // the three store files and the UID file
    }
  }
}

TEST(StoreRewrite, EveryKindKeepsTheFilesModeAndGroup) {
  const group* daemon = ::getgrnam("daemon");
  ASSERT_NE(daemon, nullptr);
  // Only root may hand a file to a group it is not in.
  const bool root = ::geteuid() == 0;
  std::mt19937 rng(4);
  const Files start = randomStore(6, rng);
  for (const Rewrite& w : everyRewrite()) {
    SCOPED_TRACE(w.name);
    Loaded l(start);
    for (const char* f : {kNameKeyFile, kCompanyKeyFile, kDataFile}) {
      ASSERT_EQ(::chmod(l.dir.file(f).c_str(), 0640), 0);
      if (root) {
        ASSERT_EQ(::chown(l.dir.file(f).c_str(), 0, daemon->gr_gid), 0);
      }
    }
    VectorSink sink;
    ASSERT_TRUE(w.run(*l.store, l.dir.path, sink));
    EXPECT_FALSE(readFiles(l.dir) == start);
    for (const char* f : {kNameKeyFile, kCompanyKeyFile, kDataFile}) {
      struct stat st {};
      ASSERT_EQ(::stat(l.dir.file(f).c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 07777, 0640u) << f;
      if (root) {
        EXPECT_EQ(st.st_gid, daemon->gr_gid) << f;
      }
    }
  }
}

}  // namespace
}  // namespace kx

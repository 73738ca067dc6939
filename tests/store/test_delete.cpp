#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "store/atomic_files.h"
#include "store/store_files.h"
#include "store_test_support.h"

namespace kx {
namespace {

using namespace storetest;
using Messages = std::vector<std::string>;

const char* const kEntryZeroMessage =
    // "最後のﾃﾞｰﾀは消去できません\nすべてのﾃﾞｰﾀを消去するには\n"
    "\x8D\xC5\x8C\xE3\x82\xCC\xC3\xDE\xB0\xC0\x82\xCD\x8F\xC1\x8B\x8E\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\n\x82\xB7\x82\xD7\x82\xC4\x82\xCC\xC3\xDE\xB0\xC0\x82\xF0\x8F\xC1\x8B\x8E\x82\xB7\x82\xE9\x82\xC9\x82\xCD\n"
    // "KORVELIX.K1とKORVELIX.K2を削除してください\n"
    "KORVELIX.K1\x82\xC6KORVELIX.K2\x82\xF0\x8D\xED\x8F\x9C\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\n";

std::vector<TestEntry> tenEntries() {
  std::vector<TestEntry> es;
  // "ｶ" "ｱ" "ｻ" "ｱ" "ﾀ" "ｶ" "ﾅ" "ｱ" "ﾊ" "ｶ"
  const char* kana[] = {"\xB6", "\xB1", "\xBB", "\xB1", "\xC0", "\xB6", "\xC5", "\xB1", "\xCA", "\xB6"};
  for (int i = 0; i < 10; ++i)
    // "氏名"
    es.push_back(named(kana[i], kana[9 - i], "\x8E\x81\x96\xBC" + std::to_string(i), num4(100 + i)));
  return es;
}

struct Loaded {
  TempDir dir;
  std::unique_ptr<Store> store = makeStore();
  VectorSink sink;
  explicit Loaded(const std::vector<TestEntry>& entries) {
    writeFiles(dir, storeFiles(entries));
    EXPECT_TRUE(loadStore(*store, dir.path, sink));
  }
};

TEST(DeleteEntry, RemovesTheEntryAndRenumbersTheLaterOnes) {
  for (int e : {1, 5, 9}) {
    SCOPED_TRACE(e);
    std::vector<TestEntry> entries = tenEntries();
    Loaded l(entries);
    ASSERT_TRUE(deleteEntry(*l.store, e, l.dir.path, l.sink));
    EXPECT_TRUE(l.sink.messages.empty());
    entries.erase(entries.begin() + e);
    // The files are exactly those of the store without the entry, whose
    // order among equal keys is the old one.
    EXPECT_TRUE(readFiles(l.dir) == storeFiles(entries));
    EXPECT_EQ(l.store->lastIndex, 8);
    EXPECT_EQ(l.store->count(), 9);
    if (e < 9) {
      // "氏名"
      EXPECT_EQ(std::string(l.store->field(e, KanjiName)), pad("\x8E\x81\x96\xBC" + std::to_string(e + 1), 42));
    }
    expectConsistent(*l.store);
  }
}

// A full store's data file is far larger than the buffer it is written
// through: the entry must be missing wherever it falls, and nothing else.
TEST(DeleteEntry, AFullStoreLosesExactlyTheEntry) {
  std::vector<TestEntry> entries;
  const char* kana[] = {"\xB1", "\xB6", "\xBB", "\xC0"};  // "ｱ" "ｶ" "ｻ" "ﾀ"
  for (int i = 0; i < kCapacity; ++i)
    // "氏名"
    entries.push_back(named(kana[i % 4], kana[i % 3], "\x8E\x81\x96\xBC" + std::to_string(i), num4(i % 10000)));
  Loaded l(entries);
  // The middle, the line that straddles the first 512 KB, the last.
  for (int e : {2500, 465, -1}) {
    if (e < 0) e = l.store->lastIndex;
    SCOPED_TRACE(e);
    ASSERT_TRUE(deleteEntry(*l.store, e, l.dir.path, l.sink));
    entries.erase(entries.begin() + e);
    EXPECT_TRUE(readFiles(l.dir) == storeFiles(entries));
    EXPECT_EQ(l.store->count(), static_cast<int>(entries.size()));
  }
  EXPECT_TRUE(l.sink.messages.empty());
  expectConsistent(*l.store);
}

TEST(DeleteEntry, EntryZeroIsRefusedWhateverTheSize) {
  for (int n : {1, 3}) {
    const std::vector<TestEntry> all = tenEntries();
    std::vector<TestEntry> entries(all.begin(), all.begin() + n);
    Loaded l(entries);
    const Files before = readFiles(l.dir);
    EXPECT_FALSE(deleteEntry(*l.store, 0, l.dir.path, l.sink));
    EXPECT_EQ(l.sink.messages, Messages{kEntryZeroMessage});
    EXPECT_TRUE(readFiles(l.dir) == before);
    EXPECT_EQ(l.store->lastIndex, n - 1);
  }
}

TEST(DeleteEntry, NoSuchEntryChangesNothing) {
  Loaded l(tenEntries());
  const Files before = readFiles(l.dir);
  EXPECT_FALSE(deleteEntry(*l.store, 10, l.dir.path, l.sink));
  EXPECT_FALSE(deleteEntry(*l.store, -1, l.dir.path, l.sink));
  EXPECT_TRUE(readFiles(l.dir) == before);
  EXPECT_EQ(l.store->lastIndex, 9);
}

TEST(DeleteEntry, AFileThatCannotBeWrittenLeavesFilesAndTablesAsTheyWere) {
  struct Case {
    std::string blocked, message;
  };
  const std::vector<Case> cases = {
      {kNameKeyFile, "DELETE K1 open error"},
      {kCompanyKeyFile, "DELETE K2 open error"},
      {kDataFile, "DELETE KORVELIX.DAT open error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.blocked);
    Loaded l(tenEntries());
    const Files before = readFiles(l.dir);
    auto snapshot = std::make_unique<Store>(*l.store);
    std::filesystem::create_directories(l.dir.file(c.blocked + kTemporarySuffix) + "/x");
    EXPECT_FALSE(deleteEntry(*l.store, 4, l.dir.path, l.sink));
    EXPECT_EQ(l.sink.messages, Messages{c.message});
    EXPECT_TRUE(readFiles(l.dir) == before);
    EXPECT_TRUE(sameStore(*l.store, *snapshot));
  }
}

TEST(DeleteEntry, DownToOneEntry) {
  const std::vector<TestEntry> all = tenEntries();
  std::vector<TestEntry> entries(all.begin(), all.begin() + 3);
  Loaded l(entries);
  ASSERT_TRUE(deleteEntry(*l.store, 2, l.dir.path, l.sink));
  ASSERT_TRUE(deleteEntry(*l.store, 1, l.dir.path, l.sink));
  EXPECT_EQ(l.store->lastIndex, 0);
  EXPECT_TRUE(readFiles(l.dir) == storeFiles({entries[0]}));
  EXPECT_FALSE(deleteEntry(*l.store, 0, l.dir.path, l.sink));
  EXPECT_EQ(l.sink.messages, Messages{kEntryZeroMessage});
}

}  // namespace
}  // namespace kx

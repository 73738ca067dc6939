// The history of changes: every kind of store rewrite taken back byte for
// byte, a restore to before any change, the limit of kept changes, a
// damaged history set aside, and a crash or failure at every file call of
// an update and of an undo leaving the store old or new with its history.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "store/entry_edit.h"
#include "store/file_names.h"
#include "store/history/change_note.h"
#include "store/history/journal.h"
#include "store/history/undo.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "store/uids.h"
#include "tests/store/store_test_support.h"
#include "tests/support/failing_file_system.h"

namespace kx::history {
namespace {

using namespace fixture;
using storetest::listDir;

std::string sj(std::u8string_view t) { return sjisText(t); }

TestEntry person(const std::string& kana, const std::string& kanji, const std::string& number) {
  return withDefaults({kana, sj(u8"ｶｲｼｬ"), {{KanjiName, kanji}, {PersonalNumber, number}}}, "M",
                      "20240101");
}

EntryForm formOf(const Store& s, int e, const std::string& kana) {
  EntryForm f;
  f.nameKey = kana;
  f.companyKey = sj(u8"ｶｲｼｬ");
  for (int k = 0; k < kFieldCount; ++k) f.fields[k] = std::string(s.field(e, k), kFieldWidth[k]);
  return f;
}

struct Crash : std::runtime_error {
  Crash() : std::runtime_error("crash") {}
};

// The store files and the UID file kept line for line with them.
struct AllFiles {
  Files f;
  std::string uid;
  bool operator==(const AllFiles&) const = default;
};
AllFiles readAll(const TempDir& d) { return {readFiles(d), readBytes(d.file(kUidFile))}; }

class History : public ::testing::Test {
 public:
  void SetUp() override {
    writeFiles(dir, storeFiles({person(sj(u8"ﾔﾏﾀﾞ ﾀﾛｳ"), sj(u8"山田 太郎"), "0012"),
                                person(sj(u8"ｻﾄｳ ﾐｻｷ"), sj(u8"佐藤 美咲"), "0000"),
                                person(sj(u8"ｲﾄｳ ｼﾞﾛｳ"), sj(u8"伊藤 次郎"), "0003")}));
    // Random UIDs, which no rebuilt UID file could give back.
    open();
    for (int e = 0; e <= store->lastIndex; ++e) setUid(*store, e, randomUid());
    writeBytes(dir.file(kUidFile), uidFileBytes(*store, store->lastIndex, -1));
    open();
  }
  // As the writer opens it at start-up.
  void open() {
    store = makeStore();
    store->fs = &quiet;
    ASSERT_TRUE(loadStore(*store, dir.path, sink));
    store->keepHistory = true;
    checkHistory(*store, dir.path, sink);
  }
  bool update(int e, const std::string& kana) {
    return updateEntry(*store, e, formOf(*store, e, kana), store->highestNumber, dir.path, sink)
        .has_value();
  }
  TempDir dir;
  FailingFileSystem quiet;  // no flushes: the tests need no disk
  std::unique_ptr<Store> store;
  VectorSink sink;
};

TEST_F(History, EveryKindOfChangeIsTakenBackByteForByte) {
  using Change = std::function<bool(History&)>;
  const std::pair<const char*, Change> changes[] = {
      {"update moving the key", [](History& t) { return t.update(1, sj(u8"ｱｱｱ")); }},
      {"renumbering",
       [](History& t) {
         EntryForm f = formOf(*t.store, 1, sj(u8"ｻﾄｳ ﾐｻｷ"));
         f.fields[PersonalNumber] = "0044";
         return updateEntry(*t.store, 1, f, 0, t.dir.path, t.sink).has_value();
       }},
      {"add",
       [](History& t) {
         return addEntry(*t.store, formOf(*t.store, 0, sj(u8"ﾝﾝ")), t.dir.path, t.sink).has_value();
       }},
      {"delete", [](History& t) { return deleteEntry(*t.store, 1, t.dir.path, t.sink); }},
      {"data file only",
       [](History& t) {
         t.store->field(2, SelectFlag)[0] = '1';
         return saveData(*t.store, t.dir.path, t.sink);
       }},
  };
  for (const auto& [what, change] : changes) {
    const AllFiles before = readAll(dir);
    ASSERT_TRUE(change(*this)) << what;
    ASSERT_NE(readAll(dir), before) << what;
    const Undone u = undoLast(*store, dir.path, sink);
    EXPECT_TRUE(u.done) << what;
    EXPECT_EQ(readAll(dir), before) << what;
    EXPECT_EQ(recordNumbers(dir.path).size(), 0u) << what;
  }
  std::vector<std::string> files{kDataFile, kNameKeyFile, kCompanyKeyFile, kUidFile};
  std::sort(files.begin(), files.end());
  EXPECT_EQ(listDir(dir), files);
}

TEST_F(History, ChangesAreListedNewestFirstWithWhatTheyWere) {
  ASSERT_TRUE(update(0, sj(u8"ﾔﾏﾀﾞ")));
  ASSERT_TRUE(deleteEntry(*store, 1, dir.path, sink));
  const auto list = listChanges(dir.path);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].kind, "delete");
  EXPECT_EQ(list[0].summary, sj(u8"削除: 佐藤 美咲"));
  EXPECT_EQ(list[1].summary, sj(u8"更新: 山田 太郎"));
  EXPECT_EQ(list[0].time.size(), 19u);
}

TEST_F(History, UndoWalksBackOneChangeAtATimeThenSaysNothingIsLeft) {
  const AllFiles first = readAll(dir);
  ASSERT_TRUE(update(0, sj(u8"ｱ")));
  const AllFiles second = readAll(dir);
  ASSERT_TRUE(update(2, sj(u8"ﾝ")));
  EXPECT_EQ(undoLast(*store, dir.path, sink).summary, sj(u8"更新: 伊藤 次郎"));
  EXPECT_EQ(readAll(dir), second);
  EXPECT_TRUE(undoLast(*store, dir.path, sink).done);
  EXPECT_EQ(readAll(dir), first);
  sink.messages.clear();
  EXPECT_FALSE(undoLast(*store, dir.path, sink).done);
  EXPECT_EQ(sink.messages, std::vector<std::string>{nothingToUndoMessage()});
  EXPECT_EQ(readAll(dir), first);
  // The tables follow the files.
  EXPECT_EQ(std::string(store->names.key[0], 8), sj(u8"ｲﾄｳ ｼﾞﾛｳ"));
}

TEST_F(History, RestoreGivesTheBytesOfThatMomentAndCanBeUndone) {
  std::vector<AllFiles> states;
  for (int i = 0; i < 14; ++i) {
    states.push_back(readAll(dir));
    ASSERT_TRUE(
        update(i % 3, i % 2 ? sj(u8"ｱ") + std::to_string(i) : sj(u8"ﾝ") + std::to_string(i)));
  }
  const AllFiles latest = readAll(dir);
  const auto numbers = recordNumbers(dir.path);
  ASSERT_EQ(numbers.size(), 14u);
  ASSERT_TRUE(restoreBefore(*store, dir.path, numbers[numbers.size() - 10], sink));
  EXPECT_EQ(readAll(dir), states[4]);
  EXPECT_EQ(listChanges(dir.path)[0].summary, sj(u8"復元: 10件の変更を取り消し"));
  ASSERT_TRUE(undoLast(*store, dir.path, sink).done);
  EXPECT_EQ(readAll(dir), latest);
  ASSERT_TRUE(undoLast(*store, dir.path, sink).done);
  EXPECT_EQ(readAll(dir), states[13]);
}

TEST_F(History, KeepsTheLastHundredChangesDroppingTheOldest) {
  for (int i = 0; i < kKeptChanges + 5; ++i) ASSERT_TRUE(update(0, i % 2 ? sj(u8"ｱ") : sj(u8"ﾝ")));
  const auto numbers = recordNumbers(dir.path);
  ASSERT_EQ(numbers.size(), static_cast<std::size_t>(kKeptChanges));
  EXPECT_EQ(numbers.front(), 6);
  EXPECT_EQ(numbers.back(), kKeptChanges + 5);
}

TEST_F(History, AHistoryThatNoLongerFitsIsSetAsideWithOneMessage) {
  ASSERT_TRUE(update(0, sj(u8"ｱ")));
  ASSERT_TRUE(update(1, sj(u8"ｱ")));
  // Another program changed the data file behind the history's back.
  AllFiles f = readAll(dir);
  f.f.dat[5] = 'X';
  writeFiles(dir, f.f);
  sink.messages.clear();
  open();
  EXPECT_EQ(sink.messages, std::vector<std::string>{setAsideMessage()});
  EXPECT_TRUE(recordNumbers(dir.path).empty());
  EXPECT_TRUE(std::filesystem::exists(dir.file(recordName(2) + ".old")));
  EXPECT_FALSE(store->readOnly);
  EXPECT_EQ(readAll(dir), f);
}

TEST_F(History, ADamagedRecordIsSetAsideWhenUndoMeetsIt) {
  ASSERT_TRUE(update(0, sj(u8"ｱ")));
  const AllFiles now = readAll(dir);
  writeBytes(dir.file(recordName(1)), "KXHIST 1\nnumber 1\n");
  sink.messages.clear();
  EXPECT_FALSE(undoLast(*store, dir.path, sink).done);
  EXPECT_EQ(sink.messages, std::vector<std::string>{setAsideMessage()});
  EXPECT_EQ(readAll(dir), now);
  // The store goes on, with a new history.
  ASSERT_TRUE(update(2, sj(u8"ｱ")));
  EXPECT_EQ(recordNumbers(dir.path).size(), 1u);
}

TEST_F(History, AReadOnlyStoreIsNotTakenBack) {
  ASSERT_TRUE(update(0, sj(u8"ｱ")));
  const AllFiles now = readAll(dir);
  store->readOnly = true;
  EXPECT_FALSE(undoLast(*store, dir.path, sink).done);
  EXPECT_EQ(readAll(dir), now);
  EXPECT_EQ(recordNumbers(dir.path).size(), 1u);
}

TEST_F(History, RestoringAStoreThatHadNoUidFileLeavesNone) {
  std::filesystem::remove(dir.file(kUidFile));
  open();
  const AllFiles first = readAll(dir);
  ASSERT_EQ(first.uid, "<missing>");
  ASSERT_TRUE(update(0, sj(u8"ｱ")));
  const AllFiles updated = readAll(dir);
  sink.messages.clear();
  ASSERT_TRUE(restoreBefore(*store, dir.path, 1, sink));
  EXPECT_EQ(readAll(dir), first);
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
  ASSERT_TRUE(undoLast(*store, dir.path, sink).done);  // the restore itself
  EXPECT_EQ(readAll(dir), updated);
}

TEST(ChangeNote, ALongSummaryIsCutAtACharactersEnd) {
  auto s = makeStore();
  std::string many;
  for (int i = 0; i < 200; ++i) many += sj(u8"亜");
  setNote(*s, "update", "ab" + many);
  EXPECT_STREQ(s->change.kind, "update");
  const std::string kept(s->change.summary);
  ASSERT_EQ(kept.size(), 254u);  // the 255th byte would split a character
  EXPECT_EQ(kept, "ab" + many.substr(0, 252));
  setNote(*s, "save", "x");
  EXPECT_STREQ(s->change.summary, "x");
}

// A crash (the hook throws) or a failure (an errno) at call n of op; after
// a new start the files are those before or after op, and the history
// agrees: taking its newest change back gives the files before `earlier`.
class HistoryFaults : public History {
 protected:
  void runEveryCall(const std::function<bool()>& op, const AllFiles& before, const AllFiles& after,
                    std::size_t recordsBefore, std::size_t recordsAfter) {
    for (int n = 1;; ++n) {
      for (const bool crash : {true, false}) {
        FailingFileSystem fs;
        fs.hook = [&](FailingFileSystem::Call, const std::string&) {
          if (fs.calls != n) return 0;
          if (crash) throw Crash();
          return EIO;
        };
        store->fs = &fs;
        try {
          op();
        } catch (const Crash&) {
        }
        store->fs = &quiet;
        sink.messages.clear();
        open();  // finishes a committed rewrite, checks the history
        const AllFiles now = readAll(dir);
        ASSERT_TRUE(now == before || now == after) << n << crash;
        EXPECT_EQ(recordNumbers(dir.path).size(), now == after ? recordsAfter : recordsBefore)
            << n << crash;
        for (const std::string& m : sink.messages) EXPECT_NE(m, setAsideMessage()) << n << crash;
        if (now == after) restore_(before, after);
        if (fs.calls < n) return;  // op made fewer calls: every one was tried
      }
    }
  }
  std::function<void(const AllFiles&, const AllFiles&)> restore_;
};

TEST_F(HistoryFaults, AnUpdateWithItsRecordIsWholeOrNotAtAll) {
  ASSERT_TRUE(update(2, sj(u8"ｱ")));
  const AllFiles before = readAll(dir);
  ASSERT_TRUE(update(1, sj(u8"ｱｲ")));
  const AllFiles after = readAll(dir);
  ASSERT_TRUE(undoLast(*store, dir.path, sink).done);
  ASSERT_EQ(readAll(dir), before);
  // After each success the update is taken back again, proving the record.
  restore_ = [this](const AllFiles& b, const AllFiles&) {
    ASSERT_TRUE(undoLast(*store, dir.path, sink).done);
    ASSERT_EQ(readAll(dir), b);
  };
  runEveryCall([this] { return update(1, sj(u8"ｱｲ")); }, before, after, 1, 2);
}

TEST_F(HistoryFaults, AnUndoIsWholeOrNotAtAll) {
  const AllFiles before = readAll(dir);
  ASSERT_TRUE(update(1, sj(u8"ｱｲ")));
  const AllFiles after = readAll(dir);
  // Here "after" is the state the undo leaves: the files before the update.
  restore_ = [this](const AllFiles&, const AllFiles&) { ASSERT_TRUE(update(1, sj(u8"ｱｲ"))); };
  runEveryCall([this] { return undoLast(*store, dir.path, sink).done; }, after, before, 1, 0);
}

}  // namespace
}  // namespace kx::history

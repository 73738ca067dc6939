// Merging two entries: the proposal takes the newer non-blank value of each
// field, the merge is one change of the history and undoing it gives the
// store files back byte for byte, and files that lose their entry are named.
#include <gtest/gtest.h>

#include "search/merge.h"
#include "store/history/journal.h"
#include "store/history/undo.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "store/uids.h"
#include "tests/support/store_fixture.h"

namespace kx {
namespace {

using namespace fixture;

std::string sj(std::u8string_view t) { return sjisText(t); }

class Merge : public ::testing::Test {
 protected:
  void SetUp() override {
    // Entries 1 and 3 are one person: 3 is the newer card, without a phone.
    writeFiles(
        dir,
        storeFiles({
            {sj(u8"ｱｵｷ"), sj(u8"ｶｲｼｬ"), {{KanjiName, sj(u8"青木")}, {PersonalNumber, "0000"}}},
            {sj(u8"ﾀｶﾊｼ ｲﾁﾛｳ"),
             sj(u8"ｷｭｳｼｬ"),
             {{KanjiName, sj(u8"高橋 一郎")},
              {OfficePhone, "03-1111-2222"},
              {Email, "old@example.jp"},
              {UpdateDate, "20200101"},
              {PersonalNumber, "0007"}}},
            {sj(u8"ﾂﾂﾞｷ"), sj(u8"ｶｲｼｬ"), {{KanjiName, sj(u8"都築")}, {PersonalNumber, "0000"}}},
            {sj(u8"ﾀｶﾊｼ ｲﾁﾛｳ"),
             sj(u8"ｼﾝｼｬ"),
             {{KanjiName, sj(u8"髙橋 一郎")},
              {Email, "new@example.jp"},
              {UpdateDate, "20240101"},
              {PersonalNumber, "0009"}}},
        }));
    store = makeStore();
    ASSERT_TRUE(loadStore(*store, dir.path, sink));
    store->keepHistory = true;
  }
  TempDir dir;
  std::unique_ptr<Store> store;
  VectorSink sink;
};

TEST_F(Merge, ProposesTheNewerNonBlankValueOfEachField) {
  const MergeChoice m = proposeMerge(*store, 1, 3);
  EXPECT_TRUE(m.fromOther[KanjiName]);     // newer
  EXPECT_TRUE(m.fromOther[Email]);         // newer
  EXPECT_FALSE(m.fromOther[OfficePhone]);  // the newer is blank
  EXPECT_TRUE(m.fromOther[PersonalNumber]);
  EXPECT_TRUE(m.companyKeyFromOther);
  // Seen from the newer entry, the older one gives only what it lacks.
  const MergeChoice back = proposeMerge(*store, 3, 1);
  EXPECT_FALSE(back.fromOther[KanjiName]);
  EXPECT_TRUE(back.fromOther[OfficePhone]);
  EXPECT_FALSE(back.companyKeyFromOther);
}

TEST_F(Merge, KeepsOneEntryWithThePickedFieldsAsOneChangeThatUndoes) {
  const Files before = readFiles(dir);
  MergeChoice m = proposeMerge(*store, 1, 3);
  m.fromOther[KanjiName] = false;  // the user keeps the plain spelling
  ASSERT_EQ(mergeEntries(*store, m, dir.path, sink), std::optional<int>(1));
  ASSERT_EQ(store->count(), 3);
  EXPECT_EQ(fieldText(*store, 1, KanjiName), sj(u8"高橋 一郎"));
  EXPECT_EQ(fieldText(*store, 1, Email), "new@example.jp");
  EXPECT_EQ(fieldText(*store, 1, OfficePhone), "03-1111-2222");
  EXPECT_EQ(companyKeyText(*store, 1), sj(u8"ｼﾝｼｬ"));
  EXPECT_EQ(fieldText(*store, 2, KanjiName), sj(u8"都築"));
  // The files are those a store of the three entries has.
  const Files merged = readFiles(dir);
  Store& s = *store;
  EXPECT_EQ(merged, (Files{nameKeyFileBytes(s), companyKeyFileBytes(s), dataFileBytes(s)}));
  const auto changes = history::listChanges(dir.path);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].summary, sj(u8"統合: 高橋 一郎 / 髙橋 一郎"));
  ASSERT_TRUE(history::undoLast(*store, dir.path, sink).done);
  EXPECT_EQ(readFiles(dir), before);
}

TEST_F(Merge, KeepsTheKeptEntrysUidAndDropsTheOthers) {
  const std::string kept(uidOf(*store, 3)), dropped(uidOf(*store, 1));
  const std::string last(uidOf(*store, 2));
  const std::string uidsBefore = readBytes(dir.file(kUidFile));
  ASSERT_EQ(mergeEntries(*store, proposeMerge(*store, 3, 1), dir.path, sink),
            std::optional<int>(2));
  EXPECT_EQ(uidOf(*store, 2), kept);
  EXPECT_EQ(uidOf(*store, 1), last);
  for (int e = 0; e <= store->lastIndex; ++e) EXPECT_NE(uidOf(*store, e), dropped) << e;
  EXPECT_EQ(readBytes(dir.file(kUidFile)), uidFileBytes(*store, store->lastIndex, -1));
  ASSERT_TRUE(history::undoLast(*store, dir.path, sink).done);
  EXPECT_EQ(readBytes(dir.file(kUidFile)), uidsBefore);
  EXPECT_EQ(uidOf(*store, 1), dropped);
}

TEST_F(Merge, NamesTheFilesThatLoseTheirEntry) {
  writeBytes(dir.file(photoFileName("0007")), "jpeg");
  writeBytes(dir.file(textFileName("0007")), "text");
  const MergeChoice m = proposeMerge(*store, 3, 1);  // keeps 0009
  EXPECT_EQ(strandedFiles(*store, m, dir.path),
            (std::vector<std::string>{photoFileName("0007"), textFileName("0007")}));
  ASSERT_TRUE(mergeEntries(*store, m, dir.path, sink).has_value());
  ASSERT_FALSE(sink.messages.empty());
  EXPECT_NE(sink.messages.back().find(photoFileName("0007")), std::string::npos);
  EXPECT_EQ(readBytes(dir.file(photoFileName("0007"))), "jpeg");  // kept where it is
  // Merged into 青木 (no number), the merged entry's files go with the
  // number only when it is taken over.
  writeBytes(dir.file(photoFileName("0009")), "jpeg");
  MergeChoice next = proposeMerge(*store, 0, 2);
  next.fromOther[PersonalNumber] = false;
  EXPECT_EQ(strandedFiles(*store, next, dir.path), std::vector<std::string>{photoFileName("0009")});
  next.fromOther[PersonalNumber] = true;
  EXPECT_TRUE(strandedFiles(*store, next, dir.path).empty());
}

TEST_F(Merge, AReadOnlyStoreIsNotMerged) {
  const Files before = readFiles(dir);
  store->readOnly = true;
  EXPECT_FALSE(mergeEntries(*store, proposeMerge(*store, 1, 3), dir.path, sink).has_value());
  EXPECT_EQ(readFiles(dir), before);
}

}  // namespace
}  // namespace kx

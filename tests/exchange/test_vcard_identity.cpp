// Import by identity: a card whose UID an entry holds is that entry; and
// the UIDs every other way of adding entries gives.
#include <cstring>

#include "exchange/exchange_file.h"
#include "exchange/vcard/vcard.h"
#include "store/sjis_unicode.h"
#include "store/uids.h"
#include "vcard_test_support.h"

namespace kx {
namespace {

using namespace vctest;

std::string card(const std::string& uid, const std::string& fn, const std::string& tel) {
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + fn + "\r\nN:" + fn +
         ";;;;\r\nTEL;TYPE=CELL:" + tel + "\r\nREV:20240102T000000Z\r\nEND:VCARD\r\n";
}

class Identity : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFiles(d, storeFiles({named("\xB1", "\xB1", "A"), named("\xB6", "\xB6", "K", "0003")}));  // "ｱ" "ｱ" "ｶ" "ｶ"
    s = loaded(d);
  }
  int importText(const std::string& text) {
    writeBytes(cardDir.file("in.vcf"), text);
    sink.messages.clear();
    return importVcards(*s, d.path, cardDir.file("in.vcf"), sink);
  }
  std::string uid(int e) const { return std::string(uidOf(*s, e)); }
  TempDir d, cardDir;
  std::unique_ptr<Store> s;
  VectorSink sink;
};

TEST_F(Identity, TheSameFileTwiceAddsNothingTheSecondTime) {
  ASSERT_EQ(importText(card("x-1", "Ito", "090") + card("x-2", "Ueda", "080")), 0);
  ASSERT_EQ(s->count(), 4);
  EXPECT_EQ(uid(2), "x-1");  // a card's own UID is kept
  const Files files = readFiles(d);
  const std::string uids = readBytes(d.file(kUidFile));
  ASSERT_EQ(importText(card("x-1", "Ito", "090") + card("x-2", "Ueda", "080")), 0);
  EXPECT_EQ(s->count(), 4);
  EXPECT_EQ(readFiles(d), files);
  EXPECT_EQ(readBytes(d.file(kUidFile)), uids);
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_NE(sink.messages[0].find(sjisText(u8"追加0件、更新0件、変更なし2件")), std::string::npos);
}

TEST_F(Identity, AChangedCardUpdatesItsEntryInPlaceKeepingWhatItLacks) {
  std::memcpy(s->field(1, Secret1), "secret", 6);
  ASSERT_TRUE(saveStore(*s, d.path, sink));
  const std::string kUid = uid(1);
  ASSERT_EQ(importText(card(kUid, "Kato", "070") + card("new-1", "Ota", "060")), 0);
  ASSERT_EQ(s->count(), 3);
  EXPECT_EQ(uid(1), kUid);
  EXPECT_EQ(field(*s, 1, MobilePhone), pad("070", 20));
  EXPECT_EQ(field(*s, 1, KanjiName).substr(0, 4), "Kato");
  EXPECT_EQ(field(*s, 1, Secret1).substr(0, 6), "secret");
  EXPECT_EQ(field(*s, 1, PersonalNumber), "0003");
  EXPECT_EQ(uid(2), "new-1");
  EXPECT_NE(sink.messages.back().find(sjisText(u8"追加1件、更新1件、変更なし0件")), std::string::npos);
  EXPECT_EQ(tablesImage(*loaded(d)), tablesImage(*s));
}

TEST_F(Identity, ACardWithoutAReadingIsUnchangedTheSecondTime) {
  const std::string bare = "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:bare-1\r\nFN:" +
                           std::string(reinterpret_cast<const char*>(u8"山田 太郎")) + "\r\nEND:VCARD\r\n";
  ASSERT_EQ(importText(bare), 0);
  const std::string key = nameKeyOf(*s, 2);
  EXPECT_NE(key, pad("", 42));  // a reading proposed
  ASSERT_EQ(importText(bare), 0);
  EXPECT_NE(sink.messages.back().find(sjisText(u8"更新0件、変更なし1件")), std::string::npos);
  EXPECT_EQ(nameKeyOf(*s, 2), key);
}

TEST_F(Identity, UnchangedEntryKeepsItsUpdateDate) {
  ASSERT_EQ(importText(card("x-9", "Ito", "090")), 0);
  std::memcpy(s->field(2, UpdateDate), "20200101", 8);
  ASSERT_TRUE(saveStore(*s, d.path, sink));
  ASSERT_EQ(importText(card("x-9", "Ito", "090")), 0);
  EXPECT_EQ(field(*s, 2, UpdateDate), "20200101");
}

TEST_F(Identity, CardsWithoutAStorableUidGetNewOnes) {
  ASSERT_EQ(importText(card(std::string(200, 'u'), "Ito", "090") + card("a b", "Ueda", "080")), 0);
  ASSERT_EQ(s->count(), 4);
  EXPECT_EQ(uid(2).substr(0, 9), "urn:uuid:");
  EXPECT_EQ(uid(3).substr(0, 9), "urn:uuid:");
  EXPECT_NE(uid(2), uid(3));
}

TEST_F(Identity, ExchangeImportsAndCsvGiveNewUids) {
  const std::string a = uid(0), k = uid(1);
  writeBytes(d.file(kAppendFile), exchangeFile({named("\xBB", "\xBB", "S")}));  // "ｻ" "ｻ"
  ASSERT_EQ(importExchange(*s, d.path, ImportMode::Append, sink), 0);
  EXPECT_EQ(uid(0), a);
  EXPECT_EQ(uid(1), k);
  const std::string appended = uid(2);
  EXPECT_FALSE(appended.empty());
  // Overwrite: every entry new, even one like an old one.
  writeBytes(d.file(kExchangeFile), exchangeFile({named("\xB1", "\xB1", "A")}));  // "ｱ" "ｱ"
  ASSERT_EQ(importExchange(*s, d.path, ImportMode::Overwrite, sink), 0);
  ASSERT_EQ(s->count(), 1);
  EXPECT_NE(uid(0), a);
  EXPECT_NE(uid(0), derivedUids(*s)[0]);
  EXPECT_EQ(readBytes(d.file(kUidFile)), uid(0) + "\r\n");
}

TEST_F(Identity, ExportWritesTheStoredUids) {
  ASSERT_EQ(importText(card("keep-me", "Ito", "090")), 0);
  VcardExportOptions o;
  o.folder = true;
  ASSERT_EQ(exportVcards(*s, d.path, cardDir.file("out"), o, sink), 0);
  const std::string out = readBytes(cardDir.file("out/keep-me.vcf"));
  EXPECT_NE(out.find("UID:keep-me\r\n"), std::string::npos);
  EXPECT_NE(readBytes(cardDir.file("out/" + uid(0).substr(9) + ".vcf")), "<missing>");
}

}  // namespace
}  // namespace kx

// Two-way sync with a folder of cards: every rule on real files.
#include "search/merge.h"
#include "store/history/journal.h"
#include "store/history/undo.h"
#include "store/sjis_unicode.h"
#include "sync_test_support.h"

namespace kx {
namespace {

using namespace synctest;

using Sync = SyncFixture;

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
}

std::string cardLine(const std::string& card, const std::string& head) {
  const std::size_t at = card.find("\r\n" + head);
  if (at == std::string::npos) return "";
  return card.substr(at + 2, card.find("\r\n", at + 2) - at - 2);
}

TEST_F(Sync, FirstSyncWritesEveryEntryAndASecondWritesNothing) {
  ASSERT_EQ(sync(), SyncResult::Done) << sink.messages.at(0);
  EXPECT_EQ(summary.cardsWritten, 3);
  EXPECT_NE(cardOf(0).find("FN:Aoki"), std::string::npos);
  EXPECT_NE(cardOf(0).find("UID:" + uid(0)), std::string::npos);
  const auto store = folderImage(d), cards = folderImage(f);
  const auto times = mtimes(d.path), cardTimes = mtimes(f.path);
  ASSERT_EQ(sync(), SyncResult::Done);
  EXPECT_EQ(summary.cardsWritten + summary.added + summary.updated, 0);
  EXPECT_EQ(folderImage(d), store);
  EXPECT_EQ(folderImage(f), cards);
  EXPECT_EQ(mtimes(d.path), times);
  EXPECT_EQ(mtimes(f.path), cardTimes);
}

TEST_F(Sync, NewCardInTheFolderBecomesAnEntryWithItsUid) {
  ASSERT_EQ(sync(), SyncResult::Done);
  writeBytes(f.file("phone-1.vcf"), foreignCard("phone-1", "Ueda", "TEL;TYPE=CELL:090\r\n"));
  ASSERT_EQ(sync(), SyncResult::Done);
  EXPECT_EQ(summary.added, 1);
  const int e = entryNamed("Ueda");
  ASSERT_GE(e, 0);
  EXPECT_EQ(uid(e), "phone-1");
  EXPECT_EQ(field(*loaded(d), e, MobilePhone), pad("090", 20));
  EXPECT_EQ(summary.cardsWritten, 0);  // the card is left as it is
}

TEST_F(Sync, AChangeOnOneSideReachesTheOther) {
  ASSERT_EQ(sync(), SyncResult::Done);
  setField(1, OfficePhone, "03-1111");
  ASSERT_EQ(sync(), SyncResult::Done);
  EXPECT_EQ(summary.cardsWritten, 1);
  EXPECT_EQ(cardLine(cardOf(1), "TEL;TYPE=work,voice"), "TEL;TYPE=work,voice:03-1111");

  const std::string path = f.file(vcard::cardFileName(uid(2)));
  std::string card = readBytes(path);
  replaceAll(card, "Sato", "Saito");
  writeBytes(path, card);
  ASSERT_EQ(sync(), SyncResult::Done);
  EXPECT_EQ(summary.updated, 1);
  EXPECT_EQ(entryNamed("Saito"), 2);
  EXPECT_EQ(field(*loaded(d), 2, PersonalNumber), "0003");
}

TEST_F(Sync, AConflictKeepsTheStoresVersionAndTheOtherWhole) {
  ASSERT_EQ(sync(), SyncResult::Done);
  setField(0, OfficePhone, "03-STORE");
  const std::string path = f.file(vcard::cardFileName(uid(0)));
  std::string theirs = readBytes(path);
  replaceAll(theirs, "Aoki", "Aoyama");
  writeBytes(path, theirs);
  ASSERT_EQ(sync(), SyncResult::Done);
  ASSERT_EQ(summary.conflicts, std::vector<std::string>{"Aoki"});
  EXPECT_NE(sink.messages.back().find("Aoki"), std::string::npos);
  EXPECT_EQ(cardLine(readBytes(path), "FN"), "FN:Aoki");
  EXPECT_NE(readBytes(path).find("03-STORE"), std::string::npos);
  EXPECT_EQ(field(*loaded(d), 0, KanjiName), pad("Aoki", 42));
  std::vector<std::string> kept;
  for (const auto& c : std::filesystem::directory_iterator(d.file(kConflictsFolder)))
    kept.push_back(readBytes(c.path().string()));
  EXPECT_EQ(kept, std::vector<std::string>{theirs});
  ASSERT_EQ(sync(), SyncResult::Done);  // agreed from now on
  EXPECT_TRUE(summary.conflicts.empty());
}

TEST_F(Sync, DeletedOnOneSideAndUnchangedOnTheOtherIsDeletedThere) {
  ASSERT_EQ(sync(), SyncResult::Done);
  const std::string sato = uid(2);
  std::filesystem::remove(f.file(vcard::cardFileName(uid(1))));
  ASSERT_EQ(sync(), SyncResult::Done);
  EXPECT_EQ(summary.deleted, 1);
  EXPECT_EQ(entryNamed("Kato"), -1);
  EXPECT_EQ(uid(1), sato);  // renumbered, same identity

  s = loaded(d);
  VectorSink quiet;
  ASSERT_TRUE(deleteEntry(*s, 1, d.path, quiet));
  ASSERT_EQ(sync(), SyncResult::Done);
  EXPECT_EQ(summary.cardsDeleted, 1);
  EXPECT_EQ(readBytes(f.file(vcard::cardFileName(sato))), "<missing>");
  EXPECT_EQ(folderImage(f).size(), 1u);
}

TEST_F(Sync, DeletedOnOneSideAndChangedOnTheOtherIsRestored) {
  ASSERT_EQ(sync(), SyncResult::Done);
  const std::string kato = uid(1);
  std::filesystem::remove(f.file(vcard::cardFileName(kato)));
  setField(1, Email, "k@example.jp");
  ASSERT_EQ(sync(), SyncResult::Done);
  EXPECT_NE(cardOf(1).find("k@example.jp"), std::string::npos);

  const std::string sato = uid(2);
  const std::string path = f.file(vcard::cardFileName(sato));
  std::string card = readBytes(path);
  replaceAll(card, "Sato", "Sato2");
  writeBytes(path, card);
  s = loaded(d);
  VectorSink quiet;
  ASSERT_TRUE(deleteEntry(*s, 2, d.path, quiet));
  ASSERT_EQ(sync(), SyncResult::Done);
  EXPECT_EQ(summary.added, 1);
  EXPECT_EQ(uid(2), sato);
  EXPECT_EQ(readBytes(path), card);
}

TEST_F(Sync, AnEntryKeepsItsCardFileThroughRenumberingAndNewNames) {
  ASSERT_EQ(sync(), SyncResult::Done);
  const std::string sato = uid(2);
  const std::string file = f.file(vcard::cardFileName(sato));
  s = loaded(d);
  s->fs = fs;
  VectorSink quiet;
  ASSERT_TRUE(deleteEntry(*s, 1, d.path, quiet));
  editEntry(1, [](Store& st, int n) {
    paddedCopy(st.field(n, KanjiName), "Suzuki", kFieldWidth[KanjiName]);
    replaceKeys(st, n, "\xBD\xBD\xDE\xB7", "\xBD\xB2");  // "ｽｽﾞｷ" "ｽｲ"
  });
  ASSERT_EQ(sync(), SyncResult::Done);
  EXPECT_EQ(uid(1), sato);
  EXPECT_EQ(summary.cardsWritten, 1);
  EXPECT_NE(readBytes(file).find("FN:Suzuki"), std::string::npos);
  EXPECT_EQ(folderImage(f).size(), 2u);
}

TEST_F(Sync, WhatTheProgramDoesNotMapStaysInTheCard) {
  const std::string extra =
      "BDAY:1980-04-01\r\nTEL;TYPE=WORK:03-0000\r\nTEL;TYPE=CELL:090-1\r\nTEL;TYPE=HOME:045-1\r\n"
      "TEL;TYPE=FAX:03-9\r\nitem1.TEL:050-5555\r\nIMPP:xmpp:a@b\r\nCATEGORIES:work,golf\r\n"
      "X-OTHER-THING:kept\r\nNOTE:old\r\n";
  writeBytes(f.file("x.vcf"), foreignCard("x-1", "Ono", extra));
  ASSERT_EQ(sync(), SyncResult::Done);
  const int e = entryNamed("Ono");
  ASSERT_GE(e, 0);
  setField(e, OfficePhone, "03-1234");
  ASSERT_EQ(sync(), SyncResult::Done);
  const std::string card = readBytes(f.file("x.vcf"));
  for (const char* line : {"PRODID:-//Other//EN", "VERSION:3.0", "BDAY:1980-04-01", "item1.TEL:050-5555",
                           "IMPP:xmpp:a@b", "CATEGORIES:work,golf", "X-OTHER-THING:kept",
                           "UID:x-1"})
    EXPECT_NE(card.find(std::string("\r\n") + line + "\r\n"), std::string::npos) << line;
  EXPECT_EQ(card.find("03-0000"), std::string::npos);
  EXPECT_NE(card.find(":090-1\r\n"), std::string::npos);  // the mapped ones rewritten, not lost
  EXPECT_NE(card.find("03-1234"), std::string::npos);
  EXPECT_LT(card.find("BDAY"), card.find("03-1234"));  // replaced where the old one stood
  EXPECT_LT(card.find("03-1234"), card.find("IMPP"));
}

TEST_F(Sync, ANumberKeptInTheRemarksComesBackOnce) {
  writeBytes(f.file("p.vcf"), foreignCard("p-1", "Ogawa", "TEL;TYPE=PAGER:050-1\r\n"));
  ASSERT_EQ(sync(), SyncResult::Done);
  const int e = entryNamed("Ogawa");
  ASSERT_GE(e, 0);
  const std::string remark = field(*loaded(d), e, Remarks1);
  EXPECT_NE(remark.find("050-1"), std::string::npos);
  setField(e, OfficePhone, "03-1");
  ASSERT_EQ(sync(), SyncResult::Done);  // the card now carries the remark in its note
  std::string card = readBytes(f.file("p.vcf"));
  EXPECT_NE(card.find("TEL;TYPE=PAGER:050-1\r\n"), std::string::npos);
  replaceAll(card, "Ogawa", "Ogawa2");
  writeBytes(f.file("p.vcf"), card);
  ASSERT_EQ(sync(), SyncResult::Done);
  EXPECT_EQ(summary.updated, 1);
  EXPECT_EQ(field(*loaded(d), e, Remarks1), remark);
  EXPECT_EQ(field(*loaded(d), e, Remarks2), std::string(74, ' '));
}

TEST_F(Sync, AMassDeleteStopsBeforeWritingUnlessConfirmed) {
  ASSERT_EQ(sync(), SyncResult::Done);
  std::filesystem::remove(f.file(vcard::cardFileName(uid(0))));
  std::filesystem::remove(f.file(vcard::cardFileName(uid(1))));
  const auto store = folderImage(d);
  ASSERT_EQ(sync(), SyncResult::MassDelete);
  EXPECT_EQ(folderImage(d), store);
  SyncOptions o;
  o.allowMassDelete = true;
  ASSERT_EQ(sync(o), SyncResult::Done);
  EXPECT_EQ(loaded(d)->count(), 1);
}

TEST_F(Sync, AnEmptyOrMissingFolderIsNeverReadAsEverythingDeleted) {
  ASSERT_EQ(sync(), SyncResult::Done);
  for (const auto& c : std::filesystem::directory_iterator(f.path)) std::filesystem::remove(c.path());
  const auto store = folderImage(d);
  SyncOptions o;
  o.allowMassDelete = true;
  EXPECT_EQ(sync(o), SyncResult::Failed);
  std::filesystem::remove(f.path);
  EXPECT_EQ(sync(o), SyncResult::Failed);
  EXPECT_EQ(folderImage(d), store);
}

TEST_F(Sync, AReadOnlyCopyRefusesAndTheLimitHolds) {
  s = loaded(d);
  s->readOnly = true;
  EXPECT_EQ(syncFolder(*s, d.path, f.path, sink), SyncResult::Failed);
  EXPECT_TRUE(folderImage(f).empty());

  writeFiles(d, storeFiles(manyEntries(kCapacity, "x")));
  ASSERT_EQ(sync(), SyncResult::Done);
  const auto store = folderImage(d);
  writeBytes(f.file("one-more.vcf"), foreignCard("one-more", "Over"));
  EXPECT_EQ(sync(), SyncResult::Failed);
  EXPECT_EQ(folderImage(d), store);
}

// The store files and the UID file, as a history record must give them back.
std::vector<std::string> storeImage(const TempDir& d) {
  std::vector<std::string> out;
  for (const char* name : {kNameKeyFile, kCompanyKeyFile, kDataFile, kUidFile})
    out.push_back(readBytes(d.file(name)));
  return out;
}

TEST_F(Sync, ASyncIsOneChangeOfTheHistoryThatUndoesWithItsUids) {
  editEntry(0, [](Store& st, int) { setUid(st, 0, randomUid()); });
  ASSERT_EQ(sync(), SyncResult::Done);
  const auto before = storeImage(d);
  writeBytes(f.file("x1.vcf"), foreignCard("x-1", "Ueda"));
  writeBytes(f.file("x2.vcf"), foreignCard("x-2", "Ono"));
  std::filesystem::remove(f.file(vcard::cardFileName(uid(1))));
  s = loaded(d);
  s->fs = fs;
  s->keepHistory = true;
  ASSERT_EQ(syncFolder(*s, d.path, f.path, sink, {}, &summary), SyncResult::Done);
  const auto changes = history::listChanges(d.path);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].summary, sjisText(u8"同期: 追加2 更新0 削除1"));
  ASSERT_NE(storeImage(d), before);
  ASSERT_TRUE(history::undoLast(*s, d.path, sink).done);
  EXPECT_EQ(storeImage(d), before);
}

TEST_F(Sync, AMergeDeletesTheDroppedEntrysCardAtTheNextSync) {
  // Random UIDs, which a rebuilt UID file would not give back.
  editEntry(0, [](Store& st, int) {
    for (int e = 0; e <= st.lastIndex; ++e) setUid(st, e, randomUid());
  });
  ASSERT_EQ(sync(), SyncResult::Done);
  const std::string kato = uid(1), sato = uid(2);
  s = loaded(d);
  s->fs = fs;
  ASSERT_EQ(mergeEntries(*s, proposeMerge(*s, 2, 1), d.path, sink), std::optional<int>(1));
  EXPECT_EQ(uid(1), sato);
  ASSERT_EQ(sync(), SyncResult::Done);
  EXPECT_EQ(summary.cardsDeleted, 1);
  EXPECT_EQ(summary.added, 0);
  EXPECT_EQ(readBytes(f.file(vcard::cardFileName(kato))), "<missing>");
  EXPECT_NE(readBytes(f.file(vcard::cardFileName(sato))), "<missing>");
  EXPECT_EQ(loaded(d)->count(), 2);
}

}  // namespace
}  // namespace kx

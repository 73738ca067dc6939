// The session's operations that no window test reaches on its own: where the
// entry on show stands after imports, searches and list clicks, the secret
// mode switches and what the listeners hear.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/exchange_file.h"
#include "session/session.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "tests/exchange/exchange_test_support.h"

namespace kx::test {
namespace {

using namespace fixture;
using extest::exchangeFile;

struct Heard : SessionListener {
  int entriesChanged_ = 0;
  std::vector<std::pair<bool, SecretSwitch>> secret;
  void entriesChanged() override { ++entriesChanged_; }
  void secretModeChanged(bool on, SecretSwitch by) override { secret.push_back({on, by}); }
};

class SessionTest : public ::testing::Test {
 protected:
  // Entries 0 .. 2 named C, A, B: name order A, B, C.
  void SetUp() override {
    writeFiles(dir, storeFiles({named("C", "Z", "c"), named("A", "Y", "a"), named("B", "X", "b")}));
    session.listen(&heard);
    session.setBusyNotice([this](bool shown) { busy.push_back(shown); });
    session.openStore();
  }
  TempDir dir;
  VectorSink messages;
  Session session{dir.path, messages};
  Heard heard;
  std::vector<bool> busy;
};

TEST_F(SessionTest, AListClickViewsTheEntryThereAndPastTheEndOnlyMovesTheList) {
  session.openList(ListOrder::Name);
  ASSERT_TRUE(session.viewFromList(ListOrder::Name, 2));  // the second line: B
  EXPECT_EQ(session.currentEntry(), 2);
  EXPECT_EQ(session.currentNamePosition(), 1);
  EXPECT_EQ(session.currentCompanyPosition(), 0);
  EXPECT_FALSE(session.viewFromList(ListOrder::Name, 20));
  EXPECT_EQ(session.listPosition(), 20);
  EXPECT_EQ(session.currentEntry(), 2);
}

TEST_F(SessionTest, SkipGoesOnAfterTheEntryOnShowAndAMissKeepsIt) {
  session.chooseSearchMode(kModeKanjiName);
  ASSERT_TRUE(session.searchFirst(""));
  EXPECT_EQ(session.currentEntry(), 1);  // A, first by name
  session.openList(ListOrder::Name);
  ASSERT_TRUE(session.viewFromList(ListOrder::Name, 3));  // C viewed in between
  EXPECT_FALSE(session.searchNext(""));
  EXPECT_EQ(session.currentEntry(), 0);
  EXPECT_EQ(session.currentNamePosition(), 2);
}

TEST_F(SessionTest, SelLeavesTheLastMatchOnShow) {
  session.chooseSearchMode(kModeKanjiName);
  const SelResult r = session.selectAllMatches("");
  EXPECT_EQ(r.outcome, SelOutcome::Saved);
  EXPECT_EQ(r.count, 3);
  EXPECT_EQ(session.currentEntry(), 0);  // C, last by name
  EXPECT_EQ(session.currentCompanyPosition(), 2);
}

TEST_F(SessionTest, AnImportThatWentThroughShowsEntryZeroAndAFailedOneKeepsTheEntry) {
  session.openList(ListOrder::Name);
  ASSERT_TRUE(session.viewFromList(ListOrder::Name, 2));
  const int heardBefore = heard.entriesChanged_;
  // No IMPORT.SDX: refused, the entry on show stays.
  EXPECT_EQ(session.importExchangeFile(ImportMode::Append, nullptr), 1);
  EXPECT_EQ(session.currentEntry(), 2);
  writeBytes(dir.file(kAppendFile), exchangeFile({named("D", "W", "d")}));
  EXPECT_EQ(session.importExchangeFile(ImportMode::Append, nullptr), 0);
  EXPECT_EQ(session.store().count(), 4);
  EXPECT_EQ(session.currentEntry(), 0);
  EXPECT_EQ(session.currentNamePosition(), 0);
  EXPECT_EQ(session.currentCompanyPosition(), 0);
  EXPECT_EQ(heard.entriesChanged_, heardBefore + 2);
  EXPECT_EQ(busy.back(), false);
}

// What the user sees when each message of a card import comes: the busy
// notice and the count the listeners were last told of.
struct Witness : MessageSink {
  const std::vector<bool>* busy = nullptr;
  const Session* session = nullptr;
  struct Seen { std::string text; bool busy; int count; };
  std::vector<Seen> seen;
  void show(const std::string& text) override {
    seen.push_back({text, !busy->empty() && busy->back(), session->store().count()});
  }
};

TEST(SessionVcardImport, OneSummaryAfterTheNoticeHasGoneAndTheCountIsNew) {
  TempDir dir;
  writeFiles(dir, storeFiles({named("A", "Y", "a")}));
  writeBytes(dir.file("new.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:B\r\nN:B;;;;\r\n"
                                  "END:VCARD\r\n");
  Witness witness;
  Session session{dir.path, witness};
  std::vector<bool> busy;
  witness.busy = &busy;
  witness.session = &session;
  session.setBusyNotice([&busy](bool shown) { busy.push_back(shown); });
  session.openStore();
  ASSERT_EQ(session.importVcards("new.vcf"), 0);
  ASSERT_EQ(witness.seen.size(), 1u);
  EXPECT_EQ(witness.seen[0].text.rfind("vCard", 0), 0u);
  EXPECT_FALSE(witness.seen[0].busy);
  EXPECT_EQ(witness.seen[0].count, 2);
  // A refused import tells why, after its notice too.
  ASSERT_EQ(session.importVcards("missing.vcf"), 1);
  ASSERT_EQ(witness.seen.size(), 2u);
  EXPECT_FALSE(witness.seen[1].busy);
}

TEST_F(SessionTest, OnlyTheBrowserSwitchTurnsTheSecretModeOn) {
  session.switchSecretModeFromView();
  EXPECT_FALSE(session.secretMode());
  session.switchSecretModeFromBrowser();
  EXPECT_TRUE(session.secretMode());
  session.switchSecretModeFromView();
  EXPECT_FALSE(session.secretMode());
  EXPECT_EQ(heard.secret, (std::vector<std::pair<bool, SecretSwitch>>{
                              {false, SecretSwitch::View},
                              {true, SecretSwitch::Browser},
                              {false, SecretSwitch::View}}));
}

TEST_F(SessionTest, ANumberIsProposedAfterTheHighestUntilNoneIsLeft) {
  EXPECT_EQ(session.proposeNumber(), "0001");
  writeFiles(dir, storeFiles({named("A", "A", "a", "9999")}));
  ASSERT_EQ(session.exportExchangeFile(), 0);  // reads the files again
  EXPECT_EQ(session.proposeNumber(), std::nullopt);
  ASSERT_EQ(messages.messages.size(), 1u);
}

TEST_F(SessionTest, AChangeArmedOnAStoreThatChangedSinceIsRefused) {
  session.openList(ListOrder::Name);
  ASSERT_TRUE(session.viewFromList(ListOrder::Name, 1));
  ASSERT_TRUE(session.beginEdit());
  const EntryTicket filled = ticketFor(session.store(), session.currentEntry());
  session.armChange(PendingChange::Delete);
  EXPECT_TRUE(session.pendingChangeAllowed(filled, ""));
  ASSERT_EQ(session.exportExchangeFile(), 0);  // loads the store again
  EXPECT_FALSE(session.pendingChangeAllowed(filled, ""));
  EXPECT_EQ(messages.messages.back(), kReopenEntryMessage);
}

TEST_F(SessionTest, AKanjiInAReadingBoxIsRefusedAndReadingsAreProposed) {
  EXPECT_TRUE(session.readingsAllowed(sjisText(u8"ﾓﾘﾀ ｹﾝ"), sjisText(u8"ＮＴＴ")));
  EXPECT_FALSE(session.readingsAllowed(sjisText(u8"ﾓﾘﾀ"), sjisText(u8"ｱｵ々")));
  EXPECT_EQ(session.proposeReading(sjisText(u8"田中 一郎"), false), sjisText(u8"ﾀﾅｶ ｲﾁﾛｳ"));
  EXPECT_EQ(session.proposeReading(sjisText(u8"(株)青葉商事"), true), sjisText(u8"ｱｵﾊﾞｼｮｳｼﾞ"));
  EXPECT_FALSE(session.proposeReading(sjisText(u8"彁"), false));
  EXPECT_EQ(messages.messages,
            (std::vector<std::string>{
                sjisText(u8"会社名のﾌﾘｶﾞﾅに漢字があります。読みをかなで入れてください"),
                sjisText(u8"読みを推測できませんでした。かなで入れてください")}));
}

}  // namespace
}  // namespace kx::test

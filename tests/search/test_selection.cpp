// SEL, SELECT and SEL-RESET: the flags they set, the counts, the data file
// they rewrite, and a read-only store that refuses them.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "search/search.h"
#include "search/selection.h"
#include "store/store_files.h"
#include "tests/search/search_fixture.h"

namespace kx::test {
namespace {

// The data file as it must read: each entry's 28 fields side by side, CR LF.
std::string expectedDataFile(const Store& s) {
  std::string out;
  for (int e = 0; e <= s.lastIndex; ++e) {
    for (int f = 0; f < kFieldCount; ++f) out.append(s.field(e, f), kFieldWidth[f]);
    out += "\r\n";
  }
  return out;
}

std::string flags(const SearchStore& t) {
  std::string out;
  for (int e = 0; e <= t.s.lastIndex; ++e) out += t.get(e, SelectFlag);
  return out;
}

class Selection : public ::testing::Test {
 protected:
  void SetUp() override {
    // "ｻﾄｳ ｲﾁﾛｳ" "ｱ"
    sato1 = t.add("\xBB\xC4\xB3 \xB2\xC1\xDB\xB3", "\xB1", {{UpdateDate, "20240315"}});
    t.add("\xBD\xBD\xDE\xB7", "\xB2", {{UpdateDate, "20240314"}, {SelectFlag, " "}});  // "ｽｽﾞｷ" "ｲ"
    // "ｻﾄｳ ｼﾞﾛｳ" "ｳ"
    sato2 = t.add("\xBB\xC4\xB3 \xBC\xDE\xDB\xB3", "\xB3", {{UpdateDate, "20240310"}, {SelectFlag, "X"}});
    t.add("\xC0\xC5\xB6", "\xB4", {{UpdateDate, "20240315"}, {SelectFlag, "1"}});  // "ﾀﾅｶ" "ｴ"
  }
  SelResult sel(SearchMode mode, const std::string& text) {
    t.st.mode = mode;
    const SelResult r = selectAll(t.s, t.st, text, 20240315, dir.path, sink);
    if (r.lastMatch) t.cur = *r.lastMatch;
    return r;
  }
  SearchStore t;
  TempDir dir;
  VectorSink sink;
  int sato1 = 0, sato2 = 0;
};

TEST_F(Selection, SelMarksEveryMatchAndRewritesTheDataFile) {
  const SelResult r = sel(kModeKanaName, "\xBB\xC4\xB3");  // "ｻﾄｳ"
  EXPECT_EQ(r.outcome, SelOutcome::Saved);
  EXPECT_EQ(r.count, 2);
  EXPECT_EQ(flags(t), "1 11");
  const std::string file = dir.read(kDataFile);
  EXPECT_EQ(file, expectedDataFile(t.s));
  EXPECT_EQ(file.size(), 4u * (kDataLineWidth + 2));
  EXPECT_EQ(file[569], '1');
  EXPECT_EQ(file[kDataLineWidth + 2 + 569], ' ');
  EXPECT_TRUE(sink.messages.empty());
  // The last match and where it stands in both orders.
  EXPECT_EQ(t.cur.entry, sato2);
  EXPECT_EQ(t.cur.namePos, t.s.names.posMap[sato2]);
  EXPECT_EQ(t.cur.companyPos, t.s.companies.posMap[sato2]);
  EXPECT_EQ(selectedMessage(r.count), "2 RECORD SELECTED");

  // The same search again: the same count, nothing else changes.
  const SelResult again = sel(kModeKanaName, "\xBB\xC4\xB3");  // "ｻﾄｳ"
  EXPECT_EQ(again.count, 2);
  EXPECT_EQ(dir.read(kDataFile), file);
}

TEST_F(Selection, SelCountsAlreadyMarkedEntriesAndNeverClears) {
  EXPECT_EQ(sel(kModeKanaName, "").count, 4);
  EXPECT_EQ(flags(t), "1111");
  EXPECT_EQ(sel(kModeKanaName, "\xC0\xC5\xB6").count, 1);  // "ﾀﾅｶ"
  EXPECT_EQ(flags(t), "1111");
}

TEST_F(Selection, SelWithoutAMatchStillRewritesTheFile) {
  t.cur.entry = 2;
  const SelResult r = sel(kModeKanjiName, "no such name");
  EXPECT_EQ(r.outcome, SelOutcome::Saved);
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(flags(t), "0 X1");
  EXPECT_EQ(dir.read(kDataFile), expectedDataFile(t.s));
  EXPECT_EQ(t.cur.entry, 2);
  EXPECT_EQ(t.cur.namePos, 0);
  EXPECT_EQ(t.cur.companyPos, 0);
  EXPECT_EQ(selectedMessage(0), "0 RECORD SELECTED");
}

TEST_F(Selection, SelOfTheChangeDateSearchMarksTheDaysAskedFor) {
  EXPECT_EQ(sel(kModeChangeDate, "0").count, 2);
  EXPECT_EQ(flags(t), "1 X1");
  EXPECT_EQ(sel(kModeChangeDate, "1").count, 3);
  EXPECT_EQ(flags(t), "11X1");
  EXPECT_EQ(sel(kModeChangeDate, "-1").count, 0);
}

// SEL of a change-date search marks what the steps one by one would find, in
// the same number, and leaves the cursor and the walk where they would.
TEST(SelectionChangeDate, MarksWhatTheStepsFindAndEndsWhereTheyEnd) {
  auto build = [](SearchStore& t) {
    std::mt19937 rng(9);
    static const char* const kOdd[] = {"20240230", "2024031 ", "        ", "18991231", "20240316"};
    for (int e = 0; e < 300; ++e) {
      char date[16];
      const unsigned r = rng() % 40;
      std::snprintf(date, sizeof date, "202403%02u", 1 + r % 16);
      t.add(std::string(1, static_cast<char>('A' + rng() % 26)), "B",
            {{UpdateDate, r < 35 ? date : kOdd[r % 5]}, {SelectFlag, r % 3 ? "0" : "1"}});
    }
  };
  for (const char* days : {"0", "3", "10", "99999", "-1", "2.9"}) {
    SearchStore stepped, marked;
    build(stepped);
    build(marked);
    stepped.st.mode = marked.st.mode = kModeChangeDate;
    int count = 0;
    Found last;
    for (Found f = searchFirst(stepped.s, stepped.st, days, 20240315); f;
         f = searchNext(stepped.s, f->entry, stepped.st, days, 20240315)) {
      stepped.set(f->entry, SelectFlag, "1");
      ++count;
      last = f;
    }
    TempDir dir;
    VectorSink sink;
    const SelResult r = selectAll(marked.s, marked.st, days, 20240315, dir.path, sink);
    EXPECT_EQ(r.count, count) << days;
    EXPECT_EQ(flags(marked), flags(stepped)) << days;
    ASSERT_EQ(r.lastMatch.has_value(), last.has_value()) << days;
    if (last) {
      EXPECT_EQ(r.lastMatch->entry, last->entry) << days;
      EXPECT_EQ(r.lastMatch->namePos, last->namePos) << days;
      EXPECT_EQ(r.lastMatch->companyPos, last->companyPos) << days;
    }
    EXPECT_EQ(marked.st.dayCounter, stepped.st.dayCounter) << days;
    EXPECT_EQ(marked.st.targetDate, stepped.st.targetDate) << days;
    EXPECT_EQ(marked.st.nextEntry, stepped.st.nextEntry) << days;
  }
}

TEST_F(Selection, SelectMarksTheCurrentEntryAndSaves) {
  t.cur.entry = sato2;
  EXPECT_EQ(selectCurrent(t.s, t.cur.entry, dir.path, sink), SelOutcome::Saved);
  EXPECT_EQ(flags(t), "0 11");
  EXPECT_EQ(dir.read(kDataFile), expectedDataFile(t.s));
  // Already marked: still rewritten.
  dir.write(kDataFile, "stale");
  EXPECT_EQ(selectCurrent(t.s, t.cur.entry, dir.path, sink), SelOutcome::Saved);
  EXPECT_EQ(dir.read(kDataFile), expectedDataFile(t.s));
}

TEST_F(Selection, SelResetWritesZeroOverEveryFlag) {
  EXPECT_EQ(resetFlags(t.s, dir.path, sink), SelOutcome::Saved);
  EXPECT_EQ(flags(t), "0000");
  EXPECT_EQ(dir.read(kDataFile), expectedDataFile(t.s));
  EXPECT_EQ(std::string(kFlagResetMessage), "SEL-FLAG RESET");
  EXPECT_TRUE(sink.messages.empty());
}

TEST(SelectionEmpty, OnAnEmptyStoreOnlyTheFileIsRewritten) {
  SearchStore t;
  TempDir dir;
  VectorSink sink;
  dir.write(kDataFile, "old");
  EXPECT_EQ(resetFlags(t.s, dir.path, sink), SelOutcome::Saved);
  EXPECT_EQ(dir.read(kDataFile), "");
  t.st.mode = kModeKanaName;
  const SelResult r = selectAll(t.s, t.st, "", 20240315, dir.path, sink);
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(r.outcome, SelOutcome::Saved);
}

TEST_F(Selection, AReadOnlyStoreRefusesAndChangesNothing) {
  const std::string before = "the files on disk\r\n";
  dir.write(kDataFile, before);
  t.s.readOnly = true;
  t.cur.entry = 0;
  t.cur.namePos = 3;
  EXPECT_EQ(sel(kModeKanaName, "").outcome, SelOutcome::Refused);
  EXPECT_EQ(selectCurrent(t.s, t.cur.entry, dir.path, sink), SelOutcome::Refused);
  EXPECT_EQ(resetFlags(t.s, dir.path, sink), SelOutcome::Refused);
  EXPECT_EQ(flags(t), "0 X1");
  EXPECT_EQ(dir.read(kDataFile), before);
  EXPECT_EQ(sink.messages, std::vector<std::string>(3, kReadOnlyRefusalMessage));
  EXPECT_EQ(t.cur.namePos, 3);  // no search was run
}

TEST_F(Selection, AFailedSaveKeepsTheFlagsInMemoryAndSaysSo) {
  t.st.mode = kModeKanaName;
  const SelResult r =
      selectAll(t.s, t.st, "\xBD\xBD\xDE\xB7", 20240315, dir.path + "/missing", sink);  // "ｽｽﾞｷ"
  EXPECT_EQ(r.outcome, SelOutcome::SaveFailed);
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(flags(t), "01X1");
  EXPECT_FALSE(sink.messages.empty());
}

}  // namespace
}  // namespace kx::test

// Update and add of one entry: key placement as typed, the stored fields,
// the personal data number rules, and all-or-nothing failure.
#include <gtest/gtest.h>

#include <cstring>

#include "store/atomic_files.h"
#include "store/entry_edit.h"
#include "store/store_files.h"
#include "tests/support/store_fixture.h"

namespace kx {
namespace {

using namespace fixture;

// An entry as the forms store one; the code fields "G", "0", "0", "0".
TestEntry person(const std::string& kana, const std::string& company, const std::string& kanji,
                 const std::string& number = "0000", const std::string& date = "20240101") {
  return withDefaults(
      {kana, company, {{KanjiName, kanji}, {PersonalNumber, number}, {UpdateDate, date}}}, "G",
      date);
}

// A form holding what an entry holds, keys as given.
EntryForm formOf(const TestEntry& p) {
  EntryForm f;
  f.nameKey = p.kana;
  f.companyKey = p.company;
  f.fields = fieldsOf(p);
  return f;
}

// ｲﾄｳ < ｻﾄｳ < ﾔﾏﾀﾞ (twice) in name order; two equal companies.
std::vector<TestEntry> fourPeople() {
  return {
      // "ﾔﾏﾀﾞ ﾀﾛｳ" "ﾔﾏﾀﾞｼｮｳｼﾞ" "山田 太郎"
      person("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE", "\x8E\x52\x93\x63 \x91\xBE\x98\x59", "0012"),
      // "ﾔﾏﾀﾞ ﾀﾛｳ" "ｶﾄｳｻﾝｷﾞｮｳ" "山田 太郎"
      person("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\xB6\xC4\xB3\xBB\xDD\xB7\xDE\xAE\xB3", "\x8E\x52\x93\x63 \x91\xBE\x98\x59", "0000"),
      // "ｻﾄｳ ﾊﾅｺ" "ﾔﾏﾀﾞｼｮｳｼﾞ" "佐藤 花子"
      person("\xBB\xC4\xB3 \xCA\xC5\xBA", "\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE", "\x8D\xB2\x93\xA1 \x89\xD4\x8E\x71", "0005"),
      // "ｲﾄｳ ｼﾞﾛｳ" "ｱｵｿﾞﾗ" "伊藤 次郎"
      person("\xB2\xC4\xB3 \xBC\xDE\xDB\xB3", "\xB1\xB5\xBF\xDE\xD7", "\x88\xC9\x93\xA1 \x8E\x9F\x98\x59", "0000"),
  };
}

class EntryEdit : public ::testing::Test {
 protected:
  void load(const std::vector<TestEntry>& people) {
    people_ = people;
    writeFiles(dir, storeFiles(people));
    ASSERT_TRUE(loadStore(*store, dir.path, sink));
    sink.messages.clear();
  }
  // The tables must say what a fresh load of the files says.
  void expectTablesMatchFiles() {
    auto fresh = makeStore();
    VectorSink quiet;
    ASSERT_TRUE(loadStore(*fresh, dir.path, quiet));
    ASSERT_EQ(fresh->lastIndex, store->lastIndex);
    for (int p = 0; p <= store->lastIndex; ++p) {
      EXPECT_STREQ(fresh->names.key[p], store->names.key[p]) << p;
      EXPECT_EQ(fresh->names.index[p], store->names.index[p]) << p;
      EXPECT_EQ(fresh->companies.index[p], store->companies.index[p]) << p;
      EXPECT_EQ(store->names.posMap[store->names.index[p]], p);
      EXPECT_EQ(store->companies.posMap[store->companies.index[p]], p);
      for (int f = 0; f < kFieldCount; ++f)
        EXPECT_STREQ(fresh->field(p, f), store->field(p, f)) << p << " field " << f;
    }
  }
  std::string k1Of(std::initializer_list<std::pair<int, std::string>> lines) {
    std::string out;
    for (auto& [e, key] : lines) out += keyLine(e, key, kNameKeyWidth);
    return out;
  }
  std::string k2Of(std::initializer_list<std::pair<int, std::string>> lines) {
    std::string out;
    for (auto& [e, key] : lines) out += keyLine(e, key, kCompanyKeyWidth);
    return out;
  }
  // The line an update or add writes for its entry: the key as typed.
  static std::string typed(int e, const std::string& key) { return num4(e) + key + "\r\n"; }

  TempDir dir;
  std::unique_ptr<Store> store = makeStore();
  EntryPlace cur;  // where the last stored entry stands
  VectorSink sink;

  // An update or add as the session runs it: a stored entry's place is kept.
  bool update(int e, const EntryForm& f, int highest, const std::string& d, MessageSink& out) {
    return keep(updateEntry(*store, e, f, highest, d, out));
  }
  bool add(const EntryForm& f, const std::string& d, MessageSink& out) {
    return keep(addEntry(*store, f, d, out));
  }
  bool keep(const std::optional<EntryPlace>& place) {
    if (place) cur = *place;
    return place.has_value();
  }
  std::vector<TestEntry> people_;
};

TEST_F(EntryEdit, KeyBoxLeftAsFilledPlacesTheEntryAfterEqualKeys) {
  load(fourPeople());
  TestEntry p = people_[0];
  EntryForm f = formOf(p);
  f.nameKey = pad(p.kana, kNameKeyWidth);  // the box holds the stored key at full width
  f.companyKey = pad(p.company, kCompanyKeyWidth);
  f.fields[UpdateDate] = "20240315";
  ASSERT_TRUE(update(0, f, store->highestNumber, dir.path, sink));
  EXPECT_TRUE(sink.messages.empty());

  Files now = readFiles(dir);
  // "ｲﾄｳ ｼﾞﾛｳ" "ｻﾄｳ ﾊﾅｺ" "ﾔﾏﾀﾞ ﾀﾛｳ" "ﾔﾏﾀﾞ ﾀﾛｳ"
  EXPECT_EQ(now.k1, k1Of({{3, "\xB2\xC4\xB3 \xBC\xDE\xDB\xB3"}, {2, "\xBB\xC4\xB3 \xCA\xC5\xBA"}, {1, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"}, {0, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"}}));
  // "ｱｵｿﾞﾗ" "ｶﾄｳｻﾝｷﾞｮｳ" "ﾔﾏﾀﾞｼｮｳｼﾞ" "ﾔﾏﾀﾞｼｮｳｼﾞ"
  EXPECT_EQ(now.k2, k2Of({{3, "\xB1\xB5\xBF\xDE\xD7"}, {1, "\xB6\xC4\xB3\xBB\xDD\xB7\xDE\xAE\xB3"}, {2, "\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE"}, {0, "\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE"}}));
  p.fields[UpdateDate] = "20240315";
  std::vector<TestEntry> expected = people_;
  expected[0] = p;
  EXPECT_EQ(now.dat, storeFiles(expected).dat);
  EXPECT_EQ(cur.namePos, 3);
  EXPECT_EQ(cur.companyPos, 3);
  expectTablesMatchFiles();
}

TEST_F(EntryEdit, KeyTypedWithoutTrailingSpacesGoesBeforeEqualKeys) {
  load(fourPeople());
  EntryForm f = formOf(people_[1]);  // keys as typed, short
  ASSERT_TRUE(update(1, f, store->highestNumber, dir.path, sink));
  Files now = readFiles(dir);
  // "ｲﾄｳ ｼﾞﾛｳ" "ｻﾄｳ ﾊﾅｺ" "ﾔﾏﾀﾞ ﾀﾛｳ"
  EXPECT_EQ(now.k1, k1Of({{3, "\xB2\xC4\xB3 \xBC\xDE\xDB\xB3"}, {2, "\xBB\xC4\xB3 \xCA\xC5\xBA"}}) + typed(1, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3") +
                        k1Of({{0, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"}}));  // "ﾔﾏﾀﾞ ﾀﾛｳ"
  // "ｱｵｿﾞﾗ" "ｶﾄｳｻﾝｷﾞｮｳ"
  EXPECT_EQ(now.k2, k2Of({{3, "\xB1\xB5\xBF\xDE\xD7"}}) + typed(1, "\xB6\xC4\xB3\xBB\xDD\xB7\xDE\xAE\xB3") +
                        // "ﾔﾏﾀﾞｼｮｳｼﾞ" "ﾔﾏﾀﾞｼｮｳｼﾞ"
                        k2Of({{0, "\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE"}, {2, "\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE"}}));
  EXPECT_EQ(cur.namePos, 2);
  EXPECT_EQ(store->names.posMap[1], 2);
  // Loaded again, the typed key is filled out like every other.
  // "ﾔﾏﾀﾞ ﾀﾛｳ"
  EXPECT_EQ(std::string(store->names.key[2]), pad("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", kNameKeyWidth));

  // Entry 2's company equals entry 0's; typed short it moves in front.
  EntryForm g = formOf(people_[2]);
  ASSERT_TRUE(update(2, g, store->highestNumber, dir.path, sink));
  // "ｱｵｿﾞﾗ" "ｶﾄｳｻﾝｷﾞｮｳ" "ﾔﾏﾀﾞｼｮｳｼﾞ"
  EXPECT_EQ(readFiles(dir).k2, k2Of({{3, "\xB1\xB5\xBF\xDE\xD7"}, {1, "\xB6\xC4\xB3\xBB\xDD\xB7\xDE\xAE\xB3"}}) + typed(2, "\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE") +
                                   // "ﾔﾏﾀﾞｼｮｳｼﾞ"
                                   k2Of({{0, "\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE"}}));
  EXPECT_EQ(cur.companyPos, 2);
  expectTablesMatchFiles();

  // The next full save writes every key at its full width.
  ASSERT_TRUE(saveStore(*store, dir.path, sink));
  EXPECT_EQ(readFiles(dir).k1,
            // "ｲﾄｳ ｼﾞﾛｳ" "ｻﾄｳ ﾊﾅｺ" "ﾔﾏﾀﾞ ﾀﾛｳ" "ﾔﾏﾀﾞ ﾀﾛｳ"
            k1Of({{3, "\xB2\xC4\xB3 \xBC\xDE\xDB\xB3"}, {2, "\xBB\xC4\xB3 \xCA\xC5\xBA"}, {1, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"}, {0, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"}}));
  EXPECT_EQ(readFiles(dir).k2,
            // "ｱｵｿﾞﾗ" "ｶﾄｳｻﾝｷﾞｮｳ" "ﾔﾏﾀﾞｼｮｳｼﾞ" "ﾔﾏﾀﾞｼｮｳｼﾞ"
            k2Of({{3, "\xB1\xB5\xBF\xDE\xD7"}, {1, "\xB6\xC4\xB3\xBB\xDD\xB7\xDE\xAE\xB3"}, {2, "\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE"}, {0, "\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE"}}));
}

TEST_F(EntryEdit, NewKeysSmallerAndLargerThanAll) {
  load(fourPeople());
  EntryForm f = formOf(people_[2]);
  f.nameKey = "\xB1";  // "ｱ"
  f.companyKey = "\xDD";  // "ﾝ"
  ASSERT_TRUE(update(2, f, store->highestNumber, dir.path, sink));
  EXPECT_EQ(readFiles(dir).k1,
            // "ｱ" "ｲﾄｳ ｼﾞﾛｳ" "ﾔﾏﾀﾞ ﾀﾛｳ" "ﾔﾏﾀﾞ ﾀﾛｳ"
            typed(2, "\xB1") + k1Of({{3, "\xB2\xC4\xB3 \xBC\xDE\xDB\xB3"}, {0, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"}, {1, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"}}));
  EXPECT_EQ(readFiles(dir).k2,
            // "ｱｵｿﾞﾗ" "ｶﾄｳｻﾝｷﾞｮｳ" "ﾔﾏﾀﾞｼｮｳｼﾞ" "ﾝ"
            k2Of({{3, "\xB1\xB5\xBF\xDE\xD7"}, {1, "\xB6\xC4\xB3\xBB\xDD\xB7\xDE\xAE\xB3"}, {0, "\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE"}}) + typed(2, "\xDD"));
  EXPECT_EQ(cur.namePos, 0);
  EXPECT_EQ(cur.companyPos, 3);
  expectTablesMatchFiles();

  // A key longer than its width is cut; blank keys sort first.
  EntryForm g = formOf(people_[0]);
  g.nameKey = std::string(60, '\xB1');
  g.companyKey = "";
  ASSERT_TRUE(update(0, g, store->highestNumber, dir.path, sink));
  EXPECT_EQ(store->names.key[store->names.posMap[0]], std::string(42, '\xB1'));
  EXPECT_EQ(cur.companyPos, 0);
  EXPECT_EQ(readFiles(dir).k2.substr(0, 6), "0000\r\n");
  EXPECT_EQ(std::string(store->companies.key[0]), std::string(kCompanyKeyWidth, ' '));
  expectTablesMatchFiles();
}

TEST_F(EntryEdit, FieldsAreStoredPaddedAndCutToTheirWidths) {
  load(fourPeople());
  EntryForm f = formOf(people_[3]);
  f.fields[KanjiCompany] = std::string(30, '\x88') + "\x88\x9F" + std::string(30, 'x');  // cut by bytes
  f.fields[Sex] = "F";
  f.fields[Occupation] = "A";
  f.fields[Actuary] = "2";
  f.fields[PensionActuary] = "0";
  f.fields[Remarks1] = "line\r\nend";  // a line end must not split the data line
  f.fields[SelectFlag] = "";
  ASSERT_TRUE(update(3, f, store->highestNumber, dir.path, sink));
  std::string line = readFiles(dir).dat.substr(3 * 1126, 1126);
  EXPECT_EQ(line.substr(kFieldOffset[KanjiCompany], 50), f.fields[KanjiCompany].substr(0, 50));
  EXPECT_EQ(line.substr(kFieldOffset[Sex], 1), "F");
  EXPECT_EQ(line.substr(kFieldOffset[Occupation], 3), "A20");
  EXPECT_EQ(line.substr(kFieldOffset[Remarks1], 74), pad("line  end", 74));
  EXPECT_EQ(line.substr(kFieldOffset[SelectFlag], 1), " ");
  EXPECT_EQ(line.substr(1124), "\r\n");
  EXPECT_EQ(readFiles(dir).dat.size(), 4u * 1126);
  expectTablesMatchFiles();
}

TEST_F(EntryEdit, PersonalNumberRules) {
  load(fourPeople());
  // The entry's own number, however it is typed around it, passes.
  EXPECT_TRUE(checkPersonalNumber(*store, 0, "0012", sink));
  EXPECT_TRUE(checkPersonalNumber(*store, 0, " 0012  ", sink));
  EXPECT_TRUE(checkPersonalNumber(*store, 0, "0000", sink));
  EXPECT_TRUE(checkPersonalNumber(*store, 1, "0013", sink));
  EXPECT_TRUE(sink.messages.empty());

  // "１２３４"
  for (const char* bad : {"12", "00123", "0a12", "", "\x82\x50\x82\x51\x82\x52\x82\x53", "12 3"}) {
    sink.messages.clear();
    EXPECT_FALSE(checkPersonalNumber(*store, 1, bad, sink)) << bad;
    ASSERT_EQ(sink.messages.size(), 1u) << bad;
    EXPECT_EQ(sink.messages[0], kNumberFormatMessage);
  }
  sink.messages.clear();
  EXPECT_FALSE(checkPersonalNumber(*store, 1, "0005", sink));
  ASSERT_EQ(sink.messages.size(), 1u);
  // "個人ﾃﾞｰﾀ番号0005はENTRY#3で使われています"
  EXPECT_EQ(sink.messages[0], "\x8C\xC2\x90\x6C\xC3\xDE\xB0\xC0\x94\xD4\x8D\x86" "0005\x82\xCD" "ENTRY#3\x82\xC5\x8E\x67\x82\xED\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7");

  // A refused number stops the update before anything is written.
  Files before = readFiles(dir);
  EntryForm f = formOf(people_[1]);
  f.fields[PersonalNumber] = "0012";
  f.nameKey = "\xB1";  // "ｱ"
  EXPECT_FALSE(update(1, f, store->highestNumber, dir.path, sink));
  Files after = readFiles(dir);
  EXPECT_EQ(after.k1, before.k1);
  EXPECT_EQ(after.dat, before.dat);
  expectTablesMatchFiles();
}

TEST_F(EntryEdit, HighestNumberFollowsAssignmentAndTypedNumbers) {
  load(fourPeople());
  ASSERT_EQ(store->highestNumber, 12);
  EntryForm f = formOf(people_[1]);
  f.fields[PersonalNumber] = "0013";  // what the assignment proposes
  ASSERT_TRUE(update(1, f, 13, dir.path, sink));
  EXPECT_EQ(store->highestNumber, 13);
  EXPECT_EQ(std::string(store->field(1, PersonalNumber)), "0013");

  EntryForm g = formOf(people_[3]);
  g.fields[PersonalNumber] = " 0040 ";  // typed above the highest
  ASSERT_TRUE(update(3, g, store->highestNumber, dir.path, sink));
  EXPECT_EQ(std::string(store->field(3, PersonalNumber)), "0040");
  EXPECT_EQ(store->highestNumber, 40);

  // Erasing keeps the highest: a later assignment must not reuse it.
  EntryForm h = g;
  h.fields[PersonalNumber] = "0000";
  ASSERT_TRUE(update(3, h, store->highestNumber, dir.path, sink));
  EXPECT_EQ(std::string(store->field(3, PersonalNumber)), "0000");
  EXPECT_EQ(store->highestNumber, 40);
  expectTablesMatchFiles();
}

TEST_F(EntryEdit, AddIntoAnEmptyStore) {
  load({});
  ASSERT_EQ(store->lastIndex, -1);
  // "ﾀﾅｶ ｲﾁﾛｳ" "ﾀﾅｶｺｳｷﾞｮｳ" "田中 一郎"
  TestEntry p = person("\xC0\xC5\xB6 \xB2\xC1\xDB\xB3", "\xC0\xC5\xB6\xBA\xB3\xB7\xDE\xAE\xB3", "\x93\x63\x92\x86 \x88\xEA\x98\x59", "0000", "20240315");
  EntryForm f = formOf(p);
  f.fields[PersonalNumber] = "9999";  // never taken: a new entry has no number
  ASSERT_TRUE(add(f, dir.path, sink));
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_EQ(store->lastIndex, 0);
  EXPECT_EQ(cur.entry, 0);
  Files now = readFiles(dir);
  EXPECT_EQ(now.k1, typed(0, p.kana));
  EXPECT_EQ(now.k2, typed(0, p.company));
  EXPECT_EQ(now.dat, dataLine(fieldsOf(p)));
  expectTablesMatchFiles();
}

TEST_F(EntryEdit, AddPlacesEqualKeysByHowTheyWereTyped) {
  load(fourPeople());
  // "ﾔﾏﾀﾞ ﾀﾛｳ" "ﾔﾏﾀﾞｼｮｳｼﾞ" "山田 太郎"
  EntryForm shortKey = formOf(person("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\xD4\xCF\xC0\xDE\xBC\xAE\xB3\xBC\xDE", "\x8E\x52\x93\x63 \x91\xBE\x98\x59"));
  ASSERT_TRUE(add(shortKey, dir.path, sink));
  EXPECT_EQ(cur.entry, 4);
  EXPECT_EQ(cur.namePos, 2);
  EXPECT_EQ(cur.companyPos, 2);
  // "ｲﾄｳ ｼﾞﾛｳ" "ｻﾄｳ ﾊﾅｺ" "ﾔﾏﾀﾞ ﾀﾛｳ"
  EXPECT_EQ(readFiles(dir).k1, k1Of({{3, "\xB2\xC4\xB3 \xBC\xDE\xDB\xB3"}, {2, "\xBB\xC4\xB3 \xCA\xC5\xBA"}}) + typed(4, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3") +
                                   // "ﾔﾏﾀﾞ ﾀﾛｳ" "ﾔﾏﾀﾞ ﾀﾛｳ"
                                   k1Of({{0, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"}, {1, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"}}));
  EntryForm fullKey = shortKey;
  fullKey.nameKey = pad(shortKey.nameKey, 42);
  fullKey.companyKey = pad(shortKey.companyKey, 50);
  ASSERT_TRUE(add(fullKey, dir.path, sink));
  EXPECT_EQ(cur.entry, 5);
  EXPECT_EQ(cur.namePos, 5);
  EXPECT_EQ(cur.companyPos, 5);
  EXPECT_EQ(readFiles(dir).k1, k1Of({{3, "\xB2\xC4\xB3 \xBC\xDE\xDB\xB3"},  // "ｲﾄｳ ｼﾞﾛｳ"
                                     {2, "\xBB\xC4\xB3 \xCA\xC5\xBA"},  // "ｻﾄｳ ﾊﾅｺ"
                                     {4, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"},  // "ﾔﾏﾀﾞ ﾀﾛｳ"
                                     {0, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"},  // "ﾔﾏﾀﾞ ﾀﾛｳ"
                                     {1, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"},  // "ﾔﾏﾀﾞ ﾀﾛｳ"
                                     {5, "\xD4\xCF\xC0\xDE \xC0\xDB\xB3"}}));  // "ﾔﾏﾀﾞ ﾀﾛｳ"
  EXPECT_EQ(store->count(), 6);
  EXPECT_EQ(std::string(store->field(5, PersonalNumber)), "0000");
  expectTablesMatchFiles();
}

TEST_F(EntryEdit, AddRefusedWhenTheStoreIsFull) {
  std::vector<TestEntry> many(kCapacity);
  // "ｶﾅ" "ｶｲｼｬ" "名前"
  for (int i = 0; i < kCapacity; ++i) many[i] = person("\xB6\xC5" + num4(i), "\xB6\xB2\xBC\xAC", "\x96\xBC\x91\x4F");
  load(many);
  ASSERT_EQ(store->count(), kCapacity);
  Files before = readFiles(dir);
  EXPECT_FALSE(add(formOf(person("\xB1", "\xB1", "x")), dir.path, sink));  // "ｱ" "ｱ"
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0], kStoreFullMessage);
  EXPECT_EQ(store->count(), kCapacity);
  Files after = readFiles(dir);
  EXPECT_EQ(after.k1, before.k1);
  EXPECT_EQ(after.k2, before.k2);
  EXPECT_EQ(after.dat, before.dat);
}

// A directory where the temporary file would go makes that file unwritable,
// whoever runs the test.
void blockTemporaryOf(const TempDir& d, const std::string& name) {
  std::filesystem::create_directory(d.file(name + kTemporarySuffix));
}

TEST_F(EntryEdit, UnwritableKeyFileLeavesFilesAndTablesUnchanged) {
  const std::pair<const char*, const char*> cases[] = {
      {"KORVELIX.k1", "KORVELIX.k1 open error"},
      {"KORVELIX.k2", "KORVELIX.k2  open error"},
      {"KORVELIX.DAT", "KORVELIX.DAT open error"},
  };
  for (auto [file, message] : cases) {
    SCOPED_TRACE(file);
    TempDir fresh;
    std::swap(dir.path, fresh.path);  // each case in its own directory
    load(fourPeople());
    Files before = readFiles(dir);
    blockTemporaryOf(dir, file);

    EntryForm f = formOf(people_[0]);
    f.nameKey = "\xB1";  // "ｱ"
    f.companyKey = "\xB1";  // "ｱ"
    f.fields[KanjiName] = "changed";
    f.fields[PersonalNumber] = "0077";
    EXPECT_FALSE(update(0, f, 12, dir.path, sink));
    EXPECT_FALSE(add(f, dir.path, sink));
    EXPECT_EQ(sink.messages, (std::vector<std::string>{message, message}));
    sink.messages.clear();

    Files after = readFiles(dir);
    EXPECT_EQ(after.k1, before.k1);
    EXPECT_EQ(after.k2, before.k2);
    EXPECT_EQ(after.dat, before.dat);
    EXPECT_EQ(store->highestNumber, 12);
    EXPECT_EQ(store->count(), 4);
    std::filesystem::remove(dir.file(std::string(file) + kTemporarySuffix));
    expectTablesMatchFiles();
    std::swap(dir.path, fresh.path);
  }
}

TEST_F(EntryEdit, ReadOnlyStoreRefusesUpdateAndAdd) {
  load(fourPeople());
  store->readOnly = true;
  Files before = readFiles(dir);
  EXPECT_FALSE(update(1, formOf(people_[1]), 12, dir.path, sink));
  EXPECT_FALSE(add(formOf(people_[1]), dir.path, sink));
  EXPECT_EQ(sink.messages.size(), 2u);
  Files after = readFiles(dir);
  EXPECT_EQ(after.k1, before.k1);
  EXPECT_EQ(after.k2, before.k2);
  EXPECT_EQ(after.dat, before.dat);
  EXPECT_EQ(store->lastIndex, 3);
}

TEST(EntryEditTidy, AddFormBoxes) {
  // Leading spaces move to the end of the kana name.
  EXPECT_EQ(tidyKanaName("   \xC0\xC5\xB6  "), "\xC0\xC5\xB6     ");  // "   ﾀﾅｶ  " "ﾀﾅｶ     "
  EXPECT_EQ(tidyKanaName(std::string(50, '\xB1')), std::string(42, '\xB1'));
  // A full-width space between family and given name becomes half-width.
  // "田中　一郎" "田中 一郎    "
  EXPECT_EQ(tidyKanjiName("\x93\x63\x92\x86\x81\x40\x88\xEA\x98\x59"), "\x93\x63\x92\x86 \x88\xEA\x98\x59    ");
  EXPECT_EQ(tidyKanjiName("\x81\x40\x93\x63\x92\x86"), "\x93\x63\x92\x86     ");  // "　田中" "田中     "
  // Company fields are cut to 42, not 50, before the five spaces.
  EXPECT_EQ(tidyKanaCompany(std::string(45, '\xB6')), std::string(42, '\xB6') + "     ");
  EXPECT_EQ(tidyKanjiCompany(std::string(44, 'x')), std::string(42, 'x') + "     ");
  // " 株式会社　ｱ" "株式会社 ｱ      "
  EXPECT_EQ(tidyKanjiCompany(" \x8A\x94\x8E\xAE\x89\xEF\x8E\xD0\x81\x40\xB1"), "\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0 \xB1      ");
  // Spaces alone stay spaces.
  EXPECT_EQ(tidyKanaName(std::string(24, ' ')), std::string(24, ' '));
  EXPECT_EQ(cutTo("abcdef", 4), "abcd");
  EXPECT_EQ(cutTo("ab", 4), "ab");
}

}  // namespace
}  // namespace kx

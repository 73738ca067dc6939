// The search step of every mode except the change date: what each mode
// tests, the term rules, the order of visit and the cursor.
#include <gtest/gtest.h>

#include <set>

#include "search/search.h"
#include "tests/search/search_fixture.h"

namespace kx::test {
namespace {

using Found = std::vector<int>;

TEST(SearchModes, KanaNameWalksNameOrderWithTheWholeText) {
  SearchStore t;
  const int c = t.add("ﾔﾏﾀﾞ ﾀﾛｳ", "ｶﾌﾞｼｷｶﾞｲｼｬ ｱ");
  const int a = t.add("ｱｵｷ ﾀﾛｳ", "ｺﾞｳﾄﾞｳｶﾞｲｼｬ");
  const int b = t.add("ｲﾄｳ ｼﾞﾛｳ", "ｶﾌﾞｼｷｶﾞｲｼｬ ｲ");
  const int comma = t.add("ｳｴﾀﾞ,ﾀﾛｳ", "");
  EXPECT_EQ(t.walk(kModeKanaName, "ﾀﾛｳ"), (Found{a, comma, c}));
  EXPECT_EQ(t.walk(kModeKanaName, ""), (Found{a, b, comma, c}));
  // No splitting: the comma is part of the text.
  EXPECT_EQ(t.walk(kModeKanaName, "ﾀﾞ,ﾀ"), (Found{comma}));
  // A trailing blank matches the padding after the text, not another byte.
  EXPECT_EQ(t.walk(kModeKanaName, "ﾀﾛｳ "), (Found{a, comma, c}));
  EXPECT_EQ(t.walk(kModeKanaName, "ｼﾞﾛｳ "), (Found{b}));
  EXPECT_EQ(t.walk(kModeKanaName, "ｱｵｷ  "), Found{});
  // Full-width kana never match half-width keys; case matters.
  EXPECT_EQ(t.walk(kModeKanaName, "タロウ"), Found{});
  // The company key is not tested in mode 1.
  EXPECT_EQ(t.walk(kModeKanaName, "ｶﾞｲｼｬ"), Found{});
}

TEST(SearchModes, KanaCompanyWalksCompanyOrderAndSetsBothPositions) {
  SearchStore t;
  const int x = t.add("ｱ", "ﾜﾀﾞｼｮｳｼﾞ");
  const int y = t.add("ｲ", "ｱｻﾋｼｮｳｼﾞ");
  const int z = t.add("ｳ", "ﾏﾙｲ");
  EXPECT_EQ(t.walk(kModeKanaCompany, "ｼｮｳｼﾞ"), (Found{y, x}));
  EXPECT_EQ(t.walk(kModeKanaCompany, ""), (Found{y, z, x}));

  t.st.mode = kModeKanaCompany;
  ASSERT_TRUE(t.first("ﾜﾀﾞ", 20240315));
  EXPECT_EQ(t.cur.entry, x);
  EXPECT_EQ(t.cur.namePos, 0);     // ｱ is first in name order
  EXPECT_EQ(t.cur.companyPos, 2);  // ﾜﾀﾞ is last in company order
  // Mode 2 resumes from the company position, whatever the name position.
  t.cur.namePos = 2;
  t.cur.companyPos = 1;
  ASSERT_TRUE(t.step("", 20240315));
  EXPECT_EQ(t.cur.entry, z);
}

TEST(SearchModes, EachModeTestsExactlyItsFields) {
  const std::set<int> kFields[] = {
      {},
      {},
      {},
      {KanjiName},
      {KanjiCompany},
      {},
      {Alias},
      {Remarks1, Remarks2, Remarks3, Division, Title, Address, KanjiName, KanjiCompany},
      {SearchKeys},
      {},
      {Remarks1, Remarks2, Remarks3, Secret1, Secret2, Secret3, Secret4, Secret5, SearchKeys},
      {},
      {Remarks1, Remarks2, Remarks3, Secret1, Secret2, Secret3, Secret4, Secret5, SearchKeys,
       Division, Title, Address, KanjiName, KanjiCompany},
  };
  SearchStore t;
  // Entry f holds the word only in field f (wide enough fields only).
  std::vector<int> holder(kFieldCount, -1);
  for (int f = 0; f < kFieldCount; ++f) {
    if (kFieldWidth[f] < 8) continue;
    holder[f] = t.add("ｱ", "ｱ", {{f, "ﾒﾓ"}});
  }
  for (int mode : {3, 4, 6, 7, 8, 10, 12}) {
    Found expected;
    for (int f = 0; f < kFieldCount; ++f)
      if (holder[f] >= 0 && kFields[mode].count(f)) expected.push_back(holder[f]);
    EXPECT_EQ(t.walk(static_cast<SearchMode>(mode), "ﾒﾓ"), expected) << "mode " << mode;
  }
}

TEST(SearchModes, TermsAreAndedAndEachMayMatchAnyOfTheFields) {
  SearchStore t;
  const int both = t.add("ｱ", "", {{Remarks2, "営業部長"}, {KanjiCompany, "東京商事"}});
  const int one = t.add("ｲ", "", {{Remarks1, "営業部長"}});
  const int same = t.add("ｳ", "", {{Title, "営業 東京"}});
  EXPECT_EQ(t.walk(kModeCombined, "営業,東京"), (Found{both, same}));
  EXPECT_EQ(t.walk(kModeCombined, "東京,営業"), (Found{both, same}));
  EXPECT_EQ(t.walk(kModeCombined, "営業"), (Found{both, one, same}));
  // Mode 10 does not look at the company or title.
  EXPECT_EQ(t.walk(kModeSecret, "営業,東京"), Found{});
  EXPECT_EQ(t.walk(kModeAllFields, "営業,東京"), (Found{both, same}));
}

TEST(SearchModes, TermSplittingRules) {
  SearchStore t;
  const int ab = t.add("ｱ", "", {{SearchKeys, "alpha,beta"}});
  const int a = t.add("ｲ", "", {{SearchKeys, "alpha gamma"}});
  const int b = t.add("ｳ", "", {{SearchKeys, "beta"}});
  const Found all{ab, a, b};
  EXPECT_EQ(t.walk(kModeKeywords, "alpha"), (Found{ab, a}));
  // A trailing comma adds an empty term; an empty term matches everything.
  EXPECT_EQ(t.walk(kModeKeywords, "alpha,"), (Found{ab, a}));
  EXPECT_EQ(t.walk(kModeKeywords, "alpha,,beta"), (Found{ab}));
  EXPECT_EQ(t.walk(kModeKeywords, ","), all);
  // Empty or blank-only input has no terms: every entry matches.
  EXPECT_EQ(t.walk(kModeKeywords, ""), all);
  EXPECT_EQ(t.walk(kModeKeywords, "   "), all);
  // A comma inside quotes belongs to the term; the quotes are dropped.
  EXPECT_EQ(t.walk(kModeKeywords, "\"alpha,beta\""), (Found{ab}));
  EXPECT_EQ(t.walk(kModeKeywords, "al\"pha\""), (Found{ab, a}));
  // Blanks are kept: a leading blank must match a blank.
  EXPECT_EQ(t.walk(kModeKeywords, " gamma"), (Found{a}));
  EXPECT_EQ(t.walk(kModeKeywords, " beta"), Found{});
  // The eleventh term and everything after it are ignored.
  EXPECT_EQ(t.walk(kModeKeywords, "a,a,a,a,a,a,a,a,a,beta,zzz,yyy"), (Found{ab, b}));
  EXPECT_EQ(t.walk(kModeKeywords, "a,a,a,a,a,a,a,a,zzz,beta"), Found{});
}

TEST(SearchModes, LongTermsAndTextsAreCut) {
  SearchStore t;
  const std::string x(49, 'x'), y(49, 'y');
  const int e = t.add("ｱ", "", {{SearchKeys, x + y}});
  // A 60-byte term keeps its first 49 bytes.
  EXPECT_EQ(t.walk(kModeKeywords, x + "QQQQQQQQQQQ"), (Found{e}));
  // The text keeps its first 99 bytes: the third term lies beyond them.
  EXPECT_EQ(t.walk(kModeKeywords, x + "," + y + ",QQQ"), (Found{e}));
  EXPECT_EQ(t.walk(kModeKeywords, x + ",QQQ," + y), Found{});
  // A term longer than the field never matches.
  t.set(e, Alias, "ｱｲｳｴｵｶｷｸｹｺ");
  EXPECT_EQ(t.walk(kModeAlias, "ｱｲｳｴｵｶｷｸｹｺ"), (Found{e}));
  EXPECT_EQ(t.walk(kModeAlias, "ｱｲｳｴｵｶｷｸｹｺｻ"), Found{});
}

TEST(SearchModes, SubstringIsBytewiseAndSeesThePadding) {
  SearchStore t;
  // "ア" is 83 41 and "イ" is 83 43: the bytes 41 83 span the two characters.
  const int e = t.add("ｱ", "", {{KanjiName, "アイ"}});
  EXPECT_EQ(t.walk(kModeKanjiName, "A\x83"), (Found{e}));
  EXPECT_EQ(t.walk(kModeKanjiName, "アイ "), (Found{e}));
  EXPECT_EQ(t.walk(kModeKanjiName, "アイ　"), Found{});  // a full-width blank is no padding
  EXPECT_EQ(t.walk(kModeKanjiName, "ｱｲ"), Found{});
  // The whole width of the field, all padding: 42 blanks match, 43 do not.
  // (Quoted, since a text of blanks alone has no terms and matches all.)
  const int blank = t.add("ｲ", "");
  auto quoted = [](int n) { return "\"" + std::string(n, ' ') + "\""; };
  EXPECT_EQ(t.walk(kModeKanjiName, std::string(42, ' ')), (Found{e, blank}));
  EXPECT_EQ(t.walk(kModeKanjiName, quoted(42)), (Found{blank}));
  EXPECT_EQ(t.walk(kModeKanjiName, quoted(39)), (Found{blank}));
  EXPECT_EQ(t.walk(kModeKanjiName, quoted(38)), (Found{e, blank}));
  EXPECT_EQ(t.walk(kModeKanjiName, quoted(43)), Found{});
}

TEST(SearchModes, PhoneNumbersLoseDashesAndTheInputItsParentheses) {
  SearchStore t;
  const int dashed = t.add("ｱ", "", {{OfficePhone, "03-1234-5678"}});
  const int paren = t.add("ｲ", "", {{HomePhone, "03(1234)5678"}});
  const int mobile = t.add("ｳ", "", {{MobilePhone, "090-1234-0000"}});
  const int fax = t.add("ｴ", "", {{Fax, "0312345678"}});
  const int spaced = t.add("ｵ", "", {{OfficePhone, "03 1234 5678"}});
  EXPECT_EQ(t.walk(kModePhone, "03(1234)5678"), (Found{dashed, fax}));
  EXPECT_EQ(t.walk(kModePhone, "03-1234-5678"), (Found{dashed, fax}));
  EXPECT_EQ(t.walk(kModePhone, " 03 1234 5678 "), (Found{dashed, fax}));
  EXPECT_EQ(t.walk(kModePhone, "1234"), (Found{dashed, paren, mobile, fax, spaced}));
  EXPECT_EQ(t.walk(kModePhone, "(1234)"), (Found{dashed, paren, mobile, fax, spaced}));
  EXPECT_EQ(t.walk(kModePhone, "0901234"), (Found{mobile}));
  // The text becomes empty and so matches every entry.
  EXPECT_EQ(t.walk(kModePhone, "( - )").size(), 5u);
  // Other fields are not phones.
  t.set(dashed, Remarks1, "555-999");
  EXPECT_EQ(t.walk(kModePhone, "555999"), Found{});
}

TEST(SearchModes, PersonalNumberIsTheFourDigitForm) {
  SearchStore t;
  const int none = t.add("ｱ", "");
  const int n12 = t.add("ｲ", "", {{PersonalNumber, "0012"}});
  const int n2345 = t.add("ｳ", "", {{PersonalNumber, "2345"}});
  const int n7 = t.add("ｴ", "", {{PersonalNumber, "0007"}});
  const int odd = t.add("ｵ", "", {{PersonalNumber, "12"}});
  EXPECT_EQ(t.walk(kModePersonalNumber, "12"), (Found{n12}));
  EXPECT_EQ(t.walk(kModePersonalNumber, " 0012xyz"), (Found{n12}));
  EXPECT_EQ(t.walk(kModePersonalNumber, "12345"), (Found{n2345}));
  EXPECT_EQ(t.walk(kModePersonalNumber, "999912345"), (Found{n2345}));
  EXPECT_EQ(t.walk(kModePersonalNumber, "-7"), (Found{n7}));
  EXPECT_EQ(t.walk(kModePersonalNumber, ""), (Found{none}));
  EXPECT_EQ(t.walk(kModePersonalNumber, "abc"), (Found{none}));
  // Hundreds of digits: only the last four count.
  EXPECT_EQ(t.walk(kModePersonalNumber, std::string(90, '9') + "0007"), (Found{n7}));
  (void)odd;
}

TEST(SearchModes, EmptyStoreFindsNothingInAnyMode) {
  SearchStore t;
  for (int mode = 1; mode <= 12; ++mode) {
    for (const char* text : {"", "0", "99999", ","}) {
      t.st.mode = static_cast<SearchMode>(mode);
      t.cur.entry = 7;
      EXPECT_FALSE(t.first(text, 20240315)) << mode << " " << text;
      EXPECT_EQ(t.cur.entry, 7);
      EXPECT_EQ(t.cur.namePos, 0);
      EXPECT_EQ(t.cur.companyPos, 0);
    }
  }
}

TEST(SearchModes, AMissLeavesTheCursorAsTheCallerSetIt) {
  SearchStore t;
  const int a = t.add("ｱ", "ｲ");
  t.add("ｲ", "ｱ");
  t.st.mode = kModeKanaName;
  ASSERT_TRUE(t.first("ｱ", 20240315));
  EXPECT_EQ(t.cur.entry, a);
  EXPECT_FALSE(t.next("ｱ", 20240315));
  // a stays where it stands: first by name, second by company.
  EXPECT_EQ(t.cur.entry, a);
  EXPECT_EQ(t.cur.namePos, 0);
  EXPECT_EQ(t.cur.companyPos, 1);
  // A current entry that is no entry (the store shrank) finds nothing.
  t.cur.entry = 5;
  EXPECT_FALSE(t.next("", 20240315));
  // No mode chosen yet.
  t.st.mode = kModeNone;
  EXPECT_FALSE(t.first("", 20240315));
}

TEST(SearchModes, ChangingTheTextMidWalkSearchesOnFromTheEntryShown) {
  SearchStore t;
  const int a = t.add("ｱ", "", {{KanjiName, "佐藤"}});
  t.add("ｲ", "", {{KanjiName, "鈴木"}});
  const int c = t.add("ｳ", "", {{KanjiName, "佐藤"}});
  const int d = t.add("ｴ", "", {{KanjiName, "鈴木"}});
  t.st.mode = kModeKanjiName;
  ASSERT_TRUE(t.first("佐藤", 20240315));
  ASSERT_TRUE(t.next("佐藤", 20240315));
  EXPECT_EQ(t.cur.entry, c);
  ASSERT_TRUE(t.next("鈴木", 20240315));
  EXPECT_EQ(t.cur.entry, d);
  EXPECT_FALSE(t.next("鈴木", 20240315));
  (void)a;
}

TEST(SearchModes, EqualKeysKeepTheirPlaceInTheWalk) {
  SearchStore t;
  const int first = t.add("ﾀﾅｶ", "");
  const int blank = t.add("", "");
  const int second = t.add("ﾀﾅｶ", "");
  // A blank key sorts before every other.
  EXPECT_EQ(t.walk(kModeKanaName, ""), (Found{blank, first, second}));
  EXPECT_EQ(t.walk(kModeKanaName, "ﾀﾅｶ"), (Found{first, second}));
}

}  // namespace
}  // namespace kx::test

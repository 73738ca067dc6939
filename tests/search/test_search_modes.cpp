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
  // "ﾔﾏﾀﾞ ﾀﾛｳ" "ｶﾌﾞｼｷｶﾞｲｼｬ ｱ"
  const int c = t.add("\xD4\xCF\xC0\xDE \xC0\xDB\xB3", "\xB6\xCC\xDE\xBC\xB7\xB6\xDE\xB2\xBC\xAC \xB1");
  // "ｱｵｷ ﾀﾛｳ" "ｺﾞｳﾄﾞｳｶﾞｲｼｬ"
  const int a = t.add("\xB1\xB5\xB7 \xC0\xDB\xB3", "\xBA\xDE\xB3\xC4\xDE\xB3\xB6\xDE\xB2\xBC\xAC");
  // "ｲﾄｳ ｼﾞﾛｳ" "ｶﾌﾞｼｷｶﾞｲｼｬ ｲ"
  const int b = t.add("\xB2\xC4\xB3 \xBC\xDE\xDB\xB3", "\xB6\xCC\xDE\xBC\xB7\xB6\xDE\xB2\xBC\xAC \xB2");
  const int comma = t.add("\xB3\xB4\xC0\xDE,\xC0\xDB\xB3", "");  // "ｳｴﾀﾞ,ﾀﾛｳ"
  EXPECT_EQ(t.walk(kModeKanaName, "\xC0\xDB\xB3"), (Found{a, comma, c}));  // "ﾀﾛｳ"
  EXPECT_EQ(t.walk(kModeKanaName, ""), (Found{a, b, comma, c}));
  // No splitting: the comma is part of the text.
  EXPECT_EQ(t.walk(kModeKanaName, "\xC0\xDE,\xC0"), (Found{comma}));  // "ﾀﾞ,ﾀ"
  // A trailing blank matches the padding after the text, not another byte.
  EXPECT_EQ(t.walk(kModeKanaName, "\xC0\xDB\xB3 "), (Found{a, comma, c}));  // "ﾀﾛｳ "
  EXPECT_EQ(t.walk(kModeKanaName, "\xBC\xDE\xDB\xB3 "), (Found{b}));  // "ｼﾞﾛｳ "
  EXPECT_EQ(t.walk(kModeKanaName, "\xB1\xB5\xB7  "), Found{});  // "ｱｵｷ  "
  // Full-width kana never match half-width keys; case matters.
  EXPECT_EQ(t.walk(kModeKanaName, "\x83\x5E\x83\x8D\x83\x45"), Found{});  // "タロウ"
  // The company key is not tested in mode 1.
  EXPECT_EQ(t.walk(kModeKanaName, "\xB6\xDE\xB2\xBC\xAC"), Found{});  // "ｶﾞｲｼｬ"
}

TEST(SearchModes, KanaCompanyWalksCompanyOrderAndSetsBothPositions) {
  SearchStore t;
  const int x = t.add("\xB1", "\xDC\xC0\xDE\xBC\xAE\xB3\xBC\xDE");  // "ｱ" "ﾜﾀﾞｼｮｳｼﾞ"
  const int y = t.add("\xB2", "\xB1\xBB\xCB\xBC\xAE\xB3\xBC\xDE");  // "ｲ" "ｱｻﾋｼｮｳｼﾞ"
  const int z = t.add("\xB3", "\xCF\xD9\xB2");  // "ｳ" "ﾏﾙｲ"
  EXPECT_EQ(t.walk(kModeKanaCompany, "\xBC\xAE\xB3\xBC\xDE"), (Found{y, x}));  // "ｼｮｳｼﾞ"
  EXPECT_EQ(t.walk(kModeKanaCompany, ""), (Found{y, z, x}));

  t.st.mode = kModeKanaCompany;
  ASSERT_TRUE(t.first("\xDC\xC0\xDE", 20240315));  // "ﾜﾀﾞ"
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
    holder[f] = t.add("\xB1", "\xB1", {{f, "\xD2\xD3"}});  // "ｱ" "ｱ" "ﾒﾓ"
  }
  for (int mode : {3, 4, 6, 7, 8, 10, 12}) {
    Found expected;
    for (int f = 0; f < kFieldCount; ++f)
      if (holder[f] >= 0 && kFields[mode].count(f)) expected.push_back(holder[f]);
    // "ﾒﾓ"
    EXPECT_EQ(t.walk(static_cast<SearchMode>(mode), "\xD2\xD3"), expected) << "mode " << mode;
  }
}

TEST(SearchModes, TermsAreAndedAndEachMayMatchAnyOfTheFields) {
  SearchStore t;
  // "ｱ" "営業部長" "東京商事"
  const int both = t.add("\xB1", "", {{Remarks2, "\x89\x63\x8B\xC6\x95\x94\x92\xB7"}, {KanjiCompany, "\x93\x8C\x8B\x9E\x8F\xA4\x8E\x96"}});
  const int one = t.add("\xB2", "", {{Remarks1, "\x89\x63\x8B\xC6\x95\x94\x92\xB7"}});  // "ｲ" "営業部長"
  const int same = t.add("\xB3", "", {{Title, "\x89\x63\x8B\xC6 \x93\x8C\x8B\x9E"}});  // "ｳ" "営業 東京"
  // "営業,東京"
  EXPECT_EQ(t.walk(kModeCombined, "\x89\x63\x8B\xC6,\x93\x8C\x8B\x9E"), (Found{both, same}));
  // "東京,営業"
  EXPECT_EQ(t.walk(kModeCombined, "\x93\x8C\x8B\x9E,\x89\x63\x8B\xC6"), (Found{both, same}));
  EXPECT_EQ(t.walk(kModeCombined, "\x89\x63\x8B\xC6"), (Found{both, one, same}));  // "営業"
  // Mode 10 does not look at the company or title.
  EXPECT_EQ(t.walk(kModeSecret, "\x89\x63\x8B\xC6,\x93\x8C\x8B\x9E"), Found{});  // "営業,東京"
  // "営業,東京"
  EXPECT_EQ(t.walk(kModeAllFields, "\x89\x63\x8B\xC6,\x93\x8C\x8B\x9E"), (Found{both, same}));
}

TEST(SearchModes, TermSplittingRules) {
  SearchStore t;
  const int ab = t.add("\xB1", "", {{SearchKeys, "alpha,beta"}});  // "ｱ"
  const int a = t.add("\xB2", "", {{SearchKeys, "alpha gamma"}});  // "ｲ"
  const int b = t.add("\xB3", "", {{SearchKeys, "beta"}});  // "ｳ"
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
  const int e = t.add("\xB1", "", {{SearchKeys, x + y}});  // "ｱ"
  // A 60-byte term keeps its first 49 bytes.
  EXPECT_EQ(t.walk(kModeKeywords, x + "QQQQQQQQQQQ"), (Found{e}));
  // The text keeps its first 99 bytes: the third term lies beyond them.
  EXPECT_EQ(t.walk(kModeKeywords, x + "," + y + ",QQQ"), (Found{e}));
  EXPECT_EQ(t.walk(kModeKeywords, x + ",QQQ," + y), Found{});
  // A term longer than the field never matches.
  t.set(e, Alias, "\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA");  // "ｱｲｳｴｵｶｷｸｹｺ"
  // "ｱｲｳｴｵｶｷｸｹｺ"
  EXPECT_EQ(t.walk(kModeAlias, "\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA"), (Found{e}));
  // "ｱｲｳｴｵｶｷｸｹｺｻ"
  EXPECT_EQ(t.walk(kModeAlias, "\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA\xBB"), Found{});
}

TEST(SearchModes, SubstringIsBytewiseAndSeesThePadding) {
  SearchStore t;
  // "ア" is 83 41 and "イ" is 83 43: the bytes 41 83 span the two characters.
  const int e = t.add("\xB1", "", {{KanjiName, "\x83\x41\x83\x43"}});  // "ｱ" "アイ"
  EXPECT_EQ(t.walk(kModeKanjiName, "A\x83"), (Found{e}));
  EXPECT_EQ(t.walk(kModeKanjiName, "\x83\x41\x83\x43 "), (Found{e}));  // "アイ "
  // "アイ　"
  EXPECT_EQ(t.walk(kModeKanjiName, "\x83\x41\x83\x43\x81\x40"), Found{});  // a full-width blank is no padding
  EXPECT_EQ(t.walk(kModeKanjiName, "\xB1\xB2"), Found{});  // "ｱｲ"
  // The whole width of the field, all padding: 42 blanks match, 43 do not.
  // (Quoted, since a text of blanks alone has no terms and matches all.)
  const int blank = t.add("\xB2", "");  // "ｲ"
  auto quoted = [](int n) { return "\"" + std::string(n, ' ') + "\""; };
  EXPECT_EQ(t.walk(kModeKanjiName, std::string(42, ' ')), (Found{e, blank}));
  EXPECT_EQ(t.walk(kModeKanjiName, quoted(42)), (Found{blank}));
  EXPECT_EQ(t.walk(kModeKanjiName, quoted(39)), (Found{blank}));
  EXPECT_EQ(t.walk(kModeKanjiName, quoted(38)), (Found{e, blank}));
  EXPECT_EQ(t.walk(kModeKanjiName, quoted(43)), Found{});
}

TEST(SearchModes, PhoneNumbersLoseDashesAndTheInputItsParentheses) {
  SearchStore t;
  const int dashed = t.add("\xB1", "", {{OfficePhone, "03-1234-5678"}});  // "ｱ"
  const int paren = t.add("\xB2", "", {{HomePhone, "03(1234)5678"}});  // "ｲ"
  const int mobile = t.add("\xB3", "", {{MobilePhone, "090-1234-0000"}});  // "ｳ"
  const int fax = t.add("\xB4", "", {{Fax, "0312345678"}});  // "ｴ"
  const int spaced = t.add("\xB5", "", {{OfficePhone, "03 1234 5678"}});  // "ｵ"
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
  const int none = t.add("\xB1", "");  // "ｱ"
  const int n12 = t.add("\xB2", "", {{PersonalNumber, "0012"}});  // "ｲ"
  const int n2345 = t.add("\xB3", "", {{PersonalNumber, "2345"}});  // "ｳ"
  const int n7 = t.add("\xB4", "", {{PersonalNumber, "0007"}});  // "ｴ"
  const int odd = t.add("\xB5", "", {{PersonalNumber, "12"}});  // "ｵ"
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
  const int a = t.add("\xB1", "\xB2");  // "ｱ" "ｲ"
  t.add("\xB2", "\xB1");  // "ｲ" "ｱ"
  t.st.mode = kModeKanaName;
  ASSERT_TRUE(t.first("\xB1", 20240315));  // "ｱ"
  EXPECT_EQ(t.cur.entry, a);
  EXPECT_FALSE(t.next("\xB1", 20240315));  // "ｱ"
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
  const int a = t.add("\xB1", "", {{KanjiName, "\x8D\xB2\x93\xA1"}});  // "ｱ" "佐藤"
  t.add("\xB2", "", {{KanjiName, "\x97\xE9\x96\xD8"}});  // "ｲ" "鈴木"
  const int c = t.add("\xB3", "", {{KanjiName, "\x8D\xB2\x93\xA1"}});  // "ｳ" "佐藤"
  const int d = t.add("\xB4", "", {{KanjiName, "\x97\xE9\x96\xD8"}});  // "ｴ" "鈴木"
  t.st.mode = kModeKanjiName;
  ASSERT_TRUE(t.first("\x8D\xB2\x93\xA1", 20240315));  // "佐藤"
  ASSERT_TRUE(t.next("\x8D\xB2\x93\xA1", 20240315));  // "佐藤"
  EXPECT_EQ(t.cur.entry, c);
  ASSERT_TRUE(t.next("\x97\xE9\x96\xD8", 20240315));  // "鈴木"
  EXPECT_EQ(t.cur.entry, d);
  EXPECT_FALSE(t.next("\x97\xE9\x96\xD8", 20240315));  // "鈴木"
  (void)a;
}

TEST(SearchModes, EqualKeysKeepTheirPlaceInTheWalk) {
  SearchStore t;
  const int first = t.add("\xC0\xC5\xB6", "");  // "ﾀﾅｶ"
  const int blank = t.add("", "");
  const int second = t.add("\xC0\xC5\xB6", "");  // "ﾀﾅｶ"
  // A blank key sorts before every other.
  EXPECT_EQ(t.walk(kModeKanaName, ""), (Found{blank, first, second}));
  EXPECT_EQ(t.walk(kModeKanaName, "\xC0\xC5\xB6"), (Found{first, second}));  // "ﾀﾅｶ"
}

}  // namespace
}  // namespace kx::test

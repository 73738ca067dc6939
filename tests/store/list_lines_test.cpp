#include "store/list_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "store/sjis_unicode.h"
#include "store/text.h"
#include "tests/support/store_fixture.h"

namespace kx {
namespace {

using fixture::TestEntry;

TestEntry listed(std::string kana, std::string kanji, std::string kanaCompany, std::string company) {
  return {std::move(kana), std::move(kanaCompany),
          {{KanjiName, std::move(kanji)}, {KanjiCompany, std::move(company)}}};
}

// Puts entries into the store in the given name order; entry e has name
// position e and company position count-1-e, so the two orders differ.
std::unique_ptr<Store> storeOf(const std::vector<TestEntry>& es) {
  auto s = makeStore();
  const int n = static_cast<int>(es.size());
  s->lastIndex = n - 1;
  for (int e = 0; e < n; ++e) {
    for (int f = 0; f < kFieldCount; ++f) paddedCopy(s->field(e, f), "", kFieldWidth[f]);
    paddedCopy(s->field(e, KanjiName), es[e].get(KanjiName).c_str(), kFieldWidth[KanjiName]);
    paddedCopy(s->field(e, KanjiCompany), es[e].get(KanjiCompany).c_str(), kFieldWidth[KanjiCompany]);
    paddedCopy(s->names.key[e], es[e].kana.c_str(), kNameKeyWidth);
    s->names.index[e] = e;
    s->names.posMap[e] = e;
    const int cp = n - 1 - e;
    paddedCopy(s->companies.key[cp], es[e].company.c_str(), kCompanyKeyWidth);
    s->companies.index[cp] = e;
    s->companies.posMap[e] = cp;
  }
  return s;
}

TEST(ListLines, NameLineColumnsCutByBytes) {
  // 21 bytes of kanji name: the 20-byte cut splits the 11th character.
  // "ﾔﾏﾀﾞ ﾀﾛｳ ﾃﾞｽ ﾖﾛｼｸ" "山田太郎一二三四五六七" "ｶﾌﾞｼｷ" "株式会社"
  auto s = storeOf({listed("\xD4\xCF\xC0\xDE \xC0\xDB\xB3 \xC3\xDE\xBD \xD6\xDB\xBC\xB8", "\x8E\x52\x93\x63\x91\xBE\x98\x59\x88\xEA\x93\xF1\x8E\x4F\x8E\x6C\x8C\xDC\x98\x5A\x8E\xB5", "\xB6\xCC\xDE\xBC\xB7", "\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0")});
  const std::string line = nameLine(*s, 0);
  ASSERT_EQ(line.size(), 86u);
  // "ﾔﾏﾀﾞ ﾀﾛｳ ﾃﾞｽ ﾖ"
  EXPECT_EQ(line.substr(0, 14), std::string("\xD4\xCF\xC0\xDE \xC0\xDB\xB3 \xC3\xDE\xBD \xD6"));
  EXPECT_EQ(line[14], ' ');
  // "山田太郎一二三四五六七"
  const std::string kanji = "\x8E\x52\x93\x63\x91\xBE\x98\x59\x88\xEA\x93\xF1\x8E\x4F\x8E\x6C\x8C\xDC\x98\x5A\x8E\xB5";
  EXPECT_EQ(line.substr(15, 20), kanji.substr(0, 20));
  EXPECT_EQ(line[35], ' ');
  EXPECT_EQ(line.substr(36), std::string(s->field(0, KanjiCompany), 50));
  EXPECT_EQ(line.substr(36, 8), "\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0");  // "株式会社"
}

TEST(ListLines, CompanyLineColumnsCutByBytes) {
  // "東京海上日動火災保険株式会社本店営業部"
  const std::string longCompany = "\x93\x8C\x8B\x9E\x8A\x43\x8F\xE3\x93\xFA\x93\xAE\x89\xCE\x8D\xD0\x95\xDB\x8C\xAF\x8A\x94\x8E\xAE\x89\xEF\x8E\xD0\x96\x7B\x93\x58\x89\x63\x8B\xC6\x95\x94";  // 38 bytes
  // "ﾀﾅｶ" "田中 一郎" "ﾄｳｷｮｳｶｲｼﾞｮｳﾆﾁﾄﾞｳｶｻｲﾎｹﾝｶﾌﾞｼｷｶﾞｲｼｬ"
  auto s = storeOf({listed("\xC0\xC5\xB6", "\x93\x63\x92\x86 \x88\xEA\x98\x59", "\xC4\xB3\xB7\xAE\xB3\xB6\xB2\xBC\xDE\xAE\xB3\xC6\xC1\xC4\xDE\xB3\xB6\xBB\xB2\xCE\xB9\xDD\xB6\xCC\xDE\xBC\xB7\xB6\xDE\xB2\xBC\xAC", longCompany)});
  const std::string line = companyLine(*s, 0);
  ASSERT_EQ(line.size(), 99u);
  EXPECT_EQ(line.substr(0, 25), std::string(s->companies.key[0], 25));
  EXPECT_EQ(line[25], ' ');
  EXPECT_EQ(line.substr(26, 30), longCompany.substr(0, 30));
  EXPECT_EQ(line[56], ' ');
  EXPECT_EQ(line.substr(57), std::string(s->field(0, KanjiName), 42));
}

TEST(ListLines, ColumnThatWouldSplitACharacterEndsInASpace) {
  // One half-width letter first puts the column's last byte on a lead byte.
  const std::string name = sjisText(u8"A日本年金数理研究会事");
  const std::string company = sjisText(u8"B日本年金数理研究会事務局東京支部");
  auto s = storeOf({listed("\xC6\xCE\xDD", name, "\xC6\xCE\xDD", company)});  // "ﾆﾎﾝ" "ﾆﾎﾝ"
  const std::string nl = nameLine(*s, 0);
  ASSERT_EQ(nl.size(), 86u);
  EXPECT_EQ(nl.substr(15, 20), name.substr(0, 19) + " ");
  const std::string cl = companyLine(*s, 0);
  ASSERT_EQ(cl.size(), 99u);
  EXPECT_EQ(cl.substr(26, 30), company.substr(0, 29) + " ");
  // The stored bytes keep the cut character whole.
  EXPECT_EQ(std::string(s->field(0, KanjiName), 21), name.substr(0, 21));
}

TEST(ListLines, PastTheEndIsThirtySpaces) {
  auto s = storeOf({listed("\xB1", "a", "\xB1", "a")});  // "ｱ" "ｱ"
  EXPECT_EQ(nameLine(*s, 1), std::string(30, ' '));
  EXPECT_EQ(companyLine(*s, 5), std::string(30, ' '));
  EXPECT_EQ(nameLine(*s, -1), std::string(30, ' '));
  auto empty = storeOf({});
  EXPECT_EQ(nameLine(*empty, 0), std::string(30, ' '));
}

TEST(ListLines, FirstPositionSkipsBlankKeys) {
  // Three blank kana names sort first.
  std::vector<TestEntry> es;
  for (int i = 0; i < 3; ++i) es.push_back(listed("", "x", "\xB6", "y"));  // "ｶ"
  for (int i = 0; i < 2; ++i) es.push_back(listed("\xB1", "x", "\xB6", "y"));  // "ｱ" "ｶ"
  auto s = storeOf(es);
  EXPECT_EQ(firstListPosition(*s, ListOrder::Name), 3);
  EXPECT_EQ(firstListPosition(*s, ListOrder::Company), 0);

  // All blank and fewer than 21 entries: one past the last.
  auto allBlank = storeOf(std::vector<TestEntry>(4, listed("", "x", "", "y")));
  EXPECT_EQ(firstListPosition(*allBlank, ListOrder::Name), 4);
  EXPECT_EQ(firstListPosition(*storeOf({}), ListOrder::Name), 0);

  // 30 blank of 30 entries (last index 29): stops at last index - 20.
  auto many = storeOf(std::vector<TestEntry>(30, listed("", "x", "", "y")));
  EXPECT_EQ(firstListPosition(*many, ListOrder::Name), 9);
}

TEST(ListLines, PagingRules) {
  // 5 entries: NEXT and BOTTOM stay, BACK goes to 0.
  EXPECT_EQ(nextPagePosition(0, 4), 0);
  EXPECT_EQ(bottomPagePosition(0, 4), 0);
  EXPECT_EQ(backPagePosition(3, 4), 0);
  // 21 entries.
  EXPECT_EQ(nextPagePosition(0, 20), 20);
  EXPECT_EQ(nextPagePosition(20, 20), 1);
  EXPECT_EQ(bottomPagePosition(20, 20), 20);
  EXPECT_EQ(backPagePosition(20, 20), 0);
  // 45 entries.
  EXPECT_EQ(nextPagePosition(0, 44), 20);
  EXPECT_EQ(nextPagePosition(20, 44), 40);
  EXPECT_EQ(nextPagePosition(40, 44), 25);
  EXPECT_EQ(backPagePosition(25, 44), 5);
  EXPECT_EQ(backPagePosition(5, 44), 5);
  EXPECT_EQ(bottomPagePosition(0, 44), 25);
  // Empty store.
  EXPECT_EQ(nextPagePosition(0, -1), 0);
  EXPECT_EQ(backPagePosition(0, -1), 0);
  EXPECT_EQ(bottomPagePosition(0, -1), 0);
}

// The first key that begins with t, by a linear scan.
int linearFirst(const std::vector<std::string>& keys, const std::string& t) {
  for (size_t i = 0; i < keys.size(); ++i)
    if (keys[i].compare(0, t.size(), t) == 0 && keys[i].size() >= t.size())
      return static_cast<int>(i) + 1;
  return -1;
}

TEST(ListLines, PrefixSearchAgreesWithLinearScan) {
  std::mt19937 rng(7);
  const std::string alphabet = " \xb1\xb2\xb3";  // space and three kana bytes
  for (int round = 0; round < 300; ++round) {
    const int n = static_cast<int>(rng() % 40);
    std::vector<std::string> keys;
    for (int i = 0; i < n; ++i) {
      std::string k;
      const int len = 1 + static_cast<int>(rng() % 4);
      for (int j = 0; j < len; ++j) k += alphabet[rng() % alphabet.size()];
      k.resize(8, ' ');
      keys.push_back(k);
    }
    std::sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
      return std::memcmp(a.data(), b.data(), 8) < 0;  // unsigned bytes
    });
    std::vector<char> slots(static_cast<size_t>(n) * 9 + 9, 0);
    for (int i = 0; i < n; ++i) std::memcpy(&slots[static_cast<size_t>(i) * 9], keys[i].data(), 8);
    for (int q = 0; q < 20; ++q) {
      std::string t;
      const int len = static_cast<int>(rng() % 5);
      for (int j = 0; j < len; ++j) t += alphabet[1 + rng() % 3];
      EXPECT_EQ(prefixJumpSearch(t.c_str(), len, slots.data(), 8, n), linearFirst(keys, t))
          << "n=" << n << " t=" << t;
    }
  }
}

TEST(ListLines, JumpEdgeCases) {
  // "ｱｲ" "ｱ" "ｱｳ" "ｲ" "ｱｳ" "ｳ"
  auto s = storeOf({listed("\xB1\xB2", "", "\xB1", ""), listed("\xB1\xB3", "", "\xB2", ""), listed("\xB1\xB3", "", "\xB3", ""),
                    // "ｱｳｴ" "ｴ" "ｶ" "ｵ"
                    listed("\xB1\xB3\xB4", "", "\xB4", ""), listed("\xB6", "", "\xB5", "")});
  // "ｱｳ"
  EXPECT_EQ(jumpSearch(*s, ListOrder::Name, "\xB1\xB3"), 2);  // first of several
  EXPECT_EQ(jumpSearch(*s, ListOrder::Name, "\xB6"), 5);  // "ｶ"
  EXPECT_EQ(jumpSearch(*s, ListOrder::Name, "\xB7"), -1);  // "ｷ"
  EXPECT_EQ(jumpSearch(*s, ListOrder::Name, ""), 1);  // empty text matches all
  // Longer than the key width: never matches, even over a full key.
  EXPECT_EQ(jumpSearch(*s, ListOrder::Name, "\xB6" + std::string(41, ' ')), 5);  // "ｶ"
  EXPECT_EQ(jumpSearch(*s, ListOrder::Name, "\xB6" + std::string(42, ' ')), -1);  // "ｶ"
  EXPECT_EQ(jumpSearch(*s, ListOrder::Company, std::string(50, ' ') + "x"), -1);
  EXPECT_EQ(jumpSearch(*storeOf({}), ListOrder::Name, ""), -1);
  // A text as long as the key matches it whole.
  auto full = storeOf({listed(std::string(42, 'A'), "", std::string(50, 'B'), "")});
  EXPECT_EQ(jumpSearch(*full, ListOrder::Company, std::string(50, 'B')), 1);
}

}  // namespace
}  // namespace kx

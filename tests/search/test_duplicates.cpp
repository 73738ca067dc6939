// The duplicates finder: phone digits and folded names by table, and a full
// store of generated people with planted duplicates of every kind and near
// misses that are different people.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "search/duplicates.h"
#include "store/sjis_unicode.h"
#include "store/store_files.h"
#include "tests/support/store_fixture.h"

namespace kx {
namespace {

using namespace fixture;

std::string sj(std::u8string_view t) { return sjisText(t); }

TEST(Duplicates, PhoneNumbersCompareByDigits) {
  const std::string plain = "0312345678";
  const std::pair<std::string, std::string> cases[] = {
      {"03-1234-5678", plain},
      {sj(u8"０３－１２３４－５６７８"), plain},
      {"+81 3 1234 5678", plain},
      {"+81 (0)3-1234-5678", plain},
      {sj(u8"＋８１－３－１２３４－５６７８"), plain},
      {"090-1111-2222", "09011112222"},
      {"1234-5678", ""},  // too short to tell anyone apart
      {"", ""},
  };
  for (const auto& [typed, digits] : cases) EXPECT_EQ(phoneDigits(typed), digits) << typed;
}

TEST(Duplicates, VariantKanjiFoldToOneName) {
  const std::pair<std::u8string_view, std::u8string_view> same[] = {
      {u8"髙橋 一郎", u8"高橋一郎"}, {u8"山﨑　花子", u8"山崎 花子"},
      {u8"渡邊", u8"渡辺"},          {u8"渡邉", u8"渡辺"},
      {u8"齋藤", u8"斎藤"},          {u8"齊藤", u8"斎藤"},
      {u8"濵田", u8"浜田"},
  };
  for (const auto& [a, b] : same) EXPECT_EQ(foldedName(sj(a)), foldedName(sj(b)));
  EXPECT_NE(foldedName(sj(u8"高橋")), foldedName(sj(u8"高島")));
}

// People with unique names, e-mail addresses and mobile numbers; colleagues
// share their company's phone.
class GeneratedStore {
 public:
  GeneratedStore() : rng_(5000) {}
  int addPerson(int surname, std::string given, std::string givenKana) {
    const Name& s = surnames()[static_cast<std::size_t>(surname)];
    const int n = static_cast<int>(entries.size());
    TestEntry e{s.kana + " " + givenKana,
                sj(u8"ｶｲｼｬ") + std::to_string(n % 400),
                {{KanjiName, sj(s.kanji) + " " + given},
                 {OfficePhone, "03-5555-" + num4(n % 400)},
                 {MobilePhone, "090-" + num4(n) + "-" + num4(n * 7 % 10000)},
                 {Email, "p" + std::to_string(n) + "@example.jp"},
                 {PersonalNumber, "0000"}}};
    entries.push_back(e);
    return n;
  }
  struct Name {
    std::u8string_view kanji;
    std::string kana;
  };
  static const std::vector<Name>& surnames() {
    static const std::vector<Name> n = {
        {u8"高橋", sj(u8"ﾀｶﾊｼ")}, {u8"山崎", sj(u8"ﾔﾏｻﾞｷ")}, {u8"渡辺", sj(u8"ﾜﾀﾅﾍﾞ")},
        {u8"斎藤", sj(u8"ｻｲﾄｳ")}, {u8"浜田", sj(u8"ﾊﾏﾀﾞ")},  {u8"佐藤", sj(u8"ｻﾄｳ")},
        {u8"鈴木", sj(u8"ｽｽﾞｷ")}, {u8"田中", sj(u8"ﾀﾅｶ")},   {u8"伊藤", sj(u8"ｲﾄｳ")},
        {u8"中村", sj(u8"ﾅｶﾑﾗ")}, {u8"小林", sj(u8"ｺﾊﾞﾔｼ")}, {u8"加藤", sj(u8"ｶﾄｳ")}};
    return n;
  }
  // Given names from two parts, each with its reading: 24 * 24 of them.
  std::pair<std::string, std::string> given(int k) {
    static const std::u8string_view kanji[] = {u8"一", u8"二", u8"三", u8"四", u8"五", u8"六",
                                               u8"七", u8"八", u8"九", u8"十", u8"百", u8"千",
                                               u8"春", u8"夏", u8"秋", u8"冬", u8"花", u8"月",
                                               u8"雪", u8"風", u8"山", u8"川", u8"海", u8"空"};
    static const std::string kana[] = {sj(u8"ｲﾁ"), sj(u8"ﾆ"),  sj(u8"ｻﾝ"), sj(u8"ｼ"),  sj(u8"ｺﾞ"),
                                       sj(u8"ﾛｸ"), sj(u8"ﾅﾅ"), sj(u8"ﾊﾁ"), sj(u8"ｸ"),  sj(u8"ｼﾞｭｳ"),
                                       sj(u8"ﾓﾓ"), sj(u8"ﾁ"),  sj(u8"ﾊﾙ"), sj(u8"ﾅﾂ"), sj(u8"ｱｷ"),
                                       sj(u8"ﾌﾕ"), sj(u8"ﾊﾅ"), sj(u8"ﾂｷ"), sj(u8"ﾕｷ"), sj(u8"ｶｾﾞ"),
                                       sj(u8"ﾔﾏ"), sj(u8"ｶﾜ"), sj(u8"ｳﾐ"), sj(u8"ｿﾗ")};
    return {sj(kanji[k / 24 % 24]) + sj(kanji[k % 24]), kana[k / 24 % 24] + kana[k % 24]};
  }
  std::vector<TestEntry> entries;
  std::mt19937 rng_;
};

TEST(Duplicates, FindsPlantedPairsAndPassesNearMisses) {
  GeneratedStore g;
  // 12 surnames * 576 given names; every combination used at most once.
  std::vector<int> combos(12 * 576);
  for (int i = 0; i < static_cast<int>(combos.size()); ++i) combos[i] = i;
  std::shuffle(combos.begin(), combos.end(), g.rng_);
  std::size_t next = 0;
  auto person = [&] {
    const int c = combos[next++];
    const auto [given, kana] = g.given(c % 576);
    return g.addPerson(c / 576, given, kana);
  };
  for (int i = 0; i < 4600; ++i) person();

  std::set<std::pair<int, int>> planted;
  const std::u8string_view variants[] = {u8"髙橋", u8"山﨑", u8"渡邊", u8"齋藤", u8"濵田"};
  int variantFrom[5] = {200, 200, 200, 200, 200};
  for (int k = 0; k < 200; ++k) {
    int original = k;
    TestEntry d = g.entries[static_cast<std::size_t>(original)];
    d.fields[Email] = "other" + std::to_string(k) + "@example.com";
    d.fields[MobilePhone] = "";
    switch (k % 4) {
      case 0:
        break;  // the same kanji name and reading
      case 1:   // the same address in capitals, the name given in kana only
        d.fields[KanjiName] = "";
        d.fields[Email] = "P" + std::to_string(original) + "@EXAMPLE.JP";
        break;
      case 2: {  // the same mobile number written the international way
        const std::string m = g.entries[static_cast<std::size_t>(original)].fields[MobilePhone];
        d.fields[KanjiName] = "";
        d.fields[MobilePhone] = "+81 " + m.substr(1);
        break;
      }
      case 3: {  // a variant kanji in the surname, of someone not used above
        const int j = k / 4 % 5;
        const std::string surname =
            sj(GeneratedStore::surnames()[static_cast<std::size_t>(j)].kanji);
        int& at = variantFrom[j];
        while (g.entries[static_cast<std::size_t>(at)].fields[KanjiName].compare(0, 4, surname) !=
               0)
          ++at;
        original = at++;
        d = g.entries[static_cast<std::size_t>(original)];
        d.fields[KanjiName].replace(0, 4, sj(variants[j]));
        d.fields[Email] = "v" + std::to_string(k) + "@example.com";
        d.fields[MobilePhone] = "";
        break;
      }
    }
    planted.insert({original, static_cast<int>(g.entries.size())});
    g.entries.push_back(d);
  }
  std::set<int> nearMisses;
  for (int k = 0; k < 200; ++k) {
    // A colleague with the same surname: same company and office phone.
    const int n = person();
    TestEntry& e = g.entries[static_cast<std::size_t>(n)];
    e.company = g.entries[static_cast<std::size_t>(k)].company;
    e.fields[OfficePhone] = g.entries[static_cast<std::size_t>(k)].fields[OfficePhone];
    nearMisses.insert(n);
  }
  ASSERT_EQ(g.entries.size(), static_cast<std::size_t>(kCapacity));

  TempDir dir;
  writeFiles(dir, storeFiles(g.entries));
  auto s = makeStore();
  VectorSink sink;
  ASSERT_TRUE(loadStore(*s, dir.path, sink));
  int found = 0, wrong = 0;
  std::set<DuplicateReason> reasons;
  for (const DuplicatePair& p : findDuplicates(*s)) {
    if (planted.count({p.a, p.b})) ++found, reasons.insert(p.reason);
    if (nearMisses.count(p.a) || nearMisses.count(p.b)) ++wrong;
  }
  RecordProperty("planted_found", found);
  RecordProperty("near_misses_found", wrong);
  EXPECT_GE(found, 190);
  EXPECT_LE(wrong, 10);
  EXPECT_EQ(reasons.size(), 4u);
  // An import of the last 400 would be told of the planted ones among them.
  EXPECT_EQ(countDuplicatesOfNew(*s, 4600), 200);
}

}  // namespace
}  // namespace kx

#include <gtest/gtest.h>

#include <string>

#include "readings/reading_proposer.h"
#include "readings/reading_rules.h"
#include "store/sjis_unicode.h"

namespace kx {
namespace {

std::string sj(std::u8string_view s) { return sjisText(s); }

struct Case {
  std::u8string_view kanji;
  std::u8string_view key;  // u8"" when nothing is to be proposed
};

class ProposedName : public testing::TestWithParam<Case> {};

TEST_P(ProposedName, IsTheKeyOrNothing) {
  ASSERT_TRUE(readingProposer().ready());
  const auto got = readingProposer().name(sj(GetParam().kanji));
  if (GetParam().key.empty()) {
    EXPECT_FALSE(got.has_value()) << *got;
  } else {
    EXPECT_EQ(got.value_or("(none)"), sj(GetParam().key));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ProposedName,
    testing::Values(Case{u8"田中 一郎", u8"ﾀﾅｶ ｲﾁﾛｳ"},
                    Case{u8"田中　一郎", u8"ﾀﾅｶ ｲﾁﾛｳ"},         // full-width space
                    Case{u8"  田中   一郎    ", u8"ﾀﾅｶ ｲﾁﾛｳ"},  // padding and runs of spaces
                    Case{u8"田中 さくら", u8"ﾀﾅｶ ｻｸﾗ"},         // kana read as written
                    Case{u8"佐藤 ジョン", u8"ｻﾄｳ ｼﾞｮﾝ"},
                    Case{u8"鹿島 春平太", u8""},                // given name only in pieces
                    Case{u8"田中 道典", u8""},                  // read as common words
                    Case{u8"相原 力", u8"ｱｲﾊﾗ ﾂﾄﾑ"},            // names over the common リョク
                    Case{u8"相原　力", u8"ｱｲﾊﾗ ﾂﾄﾑ"},
                    Case{u8"田中 彁", u8""},                    // a kanji with no reading
                    Case{u8"", u8""}, Case{u8"    ", u8""}));

TEST(ProposedCompany, IsReadWithoutItsLegalForm) {
  const std::string key = sj(u8"ﾄﾖﾀｼﾞﾄﾞｳｼｬ");
  for (std::u8string_view name : {u8"トヨタ自動車", u8"トヨタ自動車株式会社",
                                  u8"株式会社 トヨタ自動車", u8"㈱トヨタ自動車", u8"(株)トヨタ自動車"})
    EXPECT_EQ(readingProposer().company(sj(name)).value_or("(none)"), key);
}

TEST(ProposedCompany, KeepsLettersAndWithholdsUnreadKanji) {
  EXPECT_EQ(readingProposer().company(sj(u8"ＺＱＸ商事")).value_or("(none)"),
            sj(u8"ＺＱＸｼｮｳｼﾞ"));
  EXPECT_FALSE(readingProposer().company(sj(u8"彁商事")).has_value());
  // A legal form alone is the name itself.
  EXPECT_EQ(readingProposer().company(sj(u8"株式会社")).value_or("(none)"),
            sj(u8"ｶﾌﾞｼｷｶﾞｲｼｬ"));
}

TEST(ReadingRules, KanjiAndItsMarksAreNoReading) {
  for (std::u8string_view held : {u8"森田", u8"ﾓﾘ田", u8"々", u8"〆", u8"〇", u8"ｱ\u6F22"})
    EXPECT_TRUE(holdsKanji(sj(held))) << reinterpret_cast<const char*>(held.data());
  for (std::u8string_view kept : {u8"ﾓﾘﾀ ｹﾝ", u8"もりた", u8"モリタ", u8"ＮＴＴ", u8"Smith",
                                  u8"ｱｰ・〒①ⅰ㈱", u8"123-4"})
    EXPECT_FALSE(holdsKanji(sj(kept))) << reinterpret_cast<const char*>(kept.data());
  // Half of a cut double-byte character is no kanji either.
  EXPECT_FALSE(holdsKanji(sj(u8"ｱ森").substr(0, 2)));
  EXPECT_TRUE(utf8HoldsKanji(reinterpret_cast<const char*>(u8"ｱ森")));
  EXPECT_FALSE(utf8HoldsKanji(reinterpret_cast<const char*>(u8"アイ〒")));
}

TEST(ReadingRules, TheRefusalNamesTheBoxHoldingAKanji) {
  EXPECT_EQ(kanjiInReadingRefusal(sj(u8"ﾓﾘﾀ ｹﾝ"), sj(u8"ＮＴＴ")), "");
  EXPECT_EQ(kanjiInReadingRefusal(sj(u8"森田 健"), ""),
            sj(u8"氏名のﾌﾘｶﾞﾅに漢字があります。読みをかなで入れてください"));
  EXPECT_EQ(kanjiInReadingRefusal(sj(u8"ﾓﾘﾀ"), sj(u8"ｱｵﾊﾞ商事")),
            sj(u8"会社名のﾌﾘｶﾞﾅに漢字があります。読みをかなで入れてください"));
}

}  // namespace
}  // namespace kx

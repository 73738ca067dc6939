#include <gtest/gtest.h>

#include "print/print_job.h"
#include "tests/print/print_fixture.h"

namespace kx::printtest {
namespace {

using namespace print;

// Entry numbers: 0 Yamada, 1 Aoba (an organisation), 2 without an address,
// 3 Sato (selected), 4 a company's division without a name; name order
// Aoba, Sato, Nashi, Yamada, then the nameless one.
class PrintJob : public ::testing::Test {
 protected:
  static std::vector<TestEntry> entries() {
    TestEntry yamada = person(u8"ﾔﾏﾀﾞ ﾀﾛｳ", u8"山田 太郎", u8"100-0005", u8"東京都千代田区丸の内1-2-3");
    set(yamada, KanjiCompany, u8"青葉商事");
    set(yamada, Division, u8"営業部");
    set(yamada, Title, u8"部長");
    TestEntry aoba = person(u8"ｱｵﾊﾞ", u8"青葉商事", u8"5300001", u8"大阪市北区梅田3-1-1", "G");
    set(aoba, KanjiCompany, u8"青葉商事株式会社");
    TestEntry none = person(u8"ﾅｼ", u8"無 住所", u8"", u8"");
    TestEntry sato = person(u8"ｻﾄｳ", u8"佐藤 花子", u8"980", u8"仙台市青葉区", "F");
    sato.fields[SelectFlag] = "1";
    TestEntry nameless = person(u8"ﾝ", u8"", u8"1000001", u8"千代田区");
    set(nameless, KanjiCompany, u8"青葉商事");
    set(nameless, Division, u8"経理部");
    return {yamada, aoba, none, sato, nameless};
  }
  StoreOnDisk disk{entries()};
  const Store& s = *disk.store;
};

TEST_F(PrintJob, EntriesInNameOrderSelectedOrTheOneOnView) {
  EXPECT_EQ(entriesToPrint(s, Entries::All, 0), (std::vector<int>{1, 3, 2, 0, 4}));
  EXPECT_EQ(entriesToPrint(s, Entries::Selected, 0), (std::vector<int>{3}));
  EXPECT_EQ(entriesToPrint(s, Entries::OnView, 2), (std::vector<int>{2}));
  EXPECT_TRUE(entriesToPrint(s, Entries::OnView, 9).empty());
}

TEST_F(PrintJob, HonorificsAndBusinessOrPrivate) {
  const Recipient y = recipientOf(s, 0, {});
  EXPECT_EQ(y.name + y.honorific, u32(u8"山田 太郎様"));
  EXPECT_EQ(y.company, u32(u8"青葉商事"));
  EXPECT_EQ(y.division, u32(u8"営業部　部長"));
  EXPECT_EQ(y.zip, U"1000005");
  const Recipient a = recipientOf(s, 1, {});
  EXPECT_EQ(a.name + a.honorific, u32(u8"青葉商事株式会社御中"));
  const Recipient n = recipientOf(s, 4, {});  // a company without a name
  EXPECT_EQ(n.company + U"/" + n.name + n.honorific, u32(u8"青葉商事/経理部御中"));
  const Recipient p = recipientOf(s, 0, AddressOptions{false, false});
  EXPECT_EQ(p.name + p.honorific, u32(u8"山田 太郎"));
  EXPECT_TRUE(p.company.empty() && p.division.empty());
}

TEST_F(PrintJob, IncompleteEntriesListedAndLeftOutUnlessKept) {
  PrintOptions o;
  const std::vector<int> all = {1, 3, 2, 0};
  PrintPlan plan = planPrint(s, all, o, {});
  EXPECT_EQ(plan.cards, (std::vector<int>{1, 0}));
  EXPECT_EQ(plan.incomplete, 2);
  EXPECT_EQ(plan.pages, 2);
  const auto lines = problemLines(s, plan, o);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], sjisText(u8"郵便番号か住所のない2件は印刷しません。"));
  EXPECT_EQ(lines[1], sjisText(u8"佐藤 花子: 郵便番号が7桁ではありません"));
  EXPECT_EQ(lines[2], sjisText(u8"無 住所: 郵便番号がありません"));
  EXPECT_EQ(lines[3], sjisText(u8"無 住所: 住所がありません"));
  o.keepIncomplete = true;
  plan = planPrint(s, all, o, {});
  EXPECT_EQ(plan.cards, all);
  EXPECT_EQ(problemLines(s, plan, o)[0], sjisText(u8"郵便番号か住所のない2件もそのまま印刷します。"));
}

TEST_F(PrintJob, CharactersTheFontLacksAreListed) {
  PrintOptions o;
  const auto noUme = [](char32_t c) { return c != U'梅'; };
  const PrintPlan plan = planPrint(s, {1, 0}, o, noUme);
  EXPECT_EQ(plan.cards.size(), 2u);
  const auto lines = problemLines(s, plan, o);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], sjisText(u8"青葉商事: フォントにない文字があります: 梅"));
}

TEST_F(PrintJob, LabelsStartWhereTheSheetWasLeftAndNudgesMoveOnlyText) {
  PrintOptions o;
  o.layout = Layout::Labels12;
  o.startLabel = 12;
  const PrintPlan plan = planPrint(s, {1, 0}, o, {});
  EXPECT_EQ(plan.pages, 2);
  const Page first = layoutPage(s, plan, o, 0), second = layoutPage(s, plan, o, 1);
  const Rect last = labelRect(o.layout, 11), top = labelRect(o.layout, 0);
  ASSERT_FALSE(first.glyphs.empty());
  for (const Glyph& g : first.glyphs) EXPECT_GT(g.y, last.y);
  for (const Glyph& g : second.glyphs) EXPECT_LT(g.y, top.bottom());
  o.nudgeX = 15;
  o.nudgeY = -5;
  const Page nudged = layoutPage(s, plan, o, 0);
  ASSERT_EQ(nudged.glyphs.size(), first.glyphs.size());
  EXPECT_NEAR(nudged.glyphs[3].x - first.glyphs[3].x, 1.5, 1e-9);
  EXPECT_NEAR(nudged.glyphs[3].y - first.glyphs[3].y, -0.5, 1e-9);
  EXPECT_EQ(nudged.guides.size(), 12u);
  EXPECT_DOUBLE_EQ(nudged.guides[11].x, last.x);
}

TEST_F(PrintJob, TheSenderOnCardsOnly) {
  PrintOptions o;
  o.sender.name = sjisText(u8"鈴木 一郎");
  o.sender.zip = sjisText(u8"231-0023");
  const PrintPlan plan = planPrint(s, {0}, o, {});
  const std::u32string card = textOf(layoutPage(s, plan, o, 0).glyphs);
  EXPECT_NE(card.find(u32(u8"鈴木")), std::u32string::npos);
  EXPECT_NE(card.find(U"2310023"), std::u32string::npos);
  o.layout = Layout::Labels24;
  EXPECT_EQ(textOf(layoutPage(s, plan, o, 0).glyphs).find(u32(u8"鈴木")), std::u32string::npos);
}

}  // namespace
}  // namespace kx::printtest

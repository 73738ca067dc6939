#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "print/layouts.h"
#include "tests/print/print_fixture.h"

namespace kx::printtest {
namespace {

using namespace print;

Recipient tanaka() {
  Recipient r;
  r.zip = U"1000005";
  r.address = u32(u8"東京都千代田区丸の内1-2-3 丸の内センタービル12階");
  r.company = u32(u8"青葉商事株式会社");
  r.division = u32(u8"営業部　部長");
  r.name = u32(u8"田中 一郎");
  r.honorific = U"様";
  return r;
}

bool inside(const Glyph& g, const Rect& r) {
  const double h = g.turned ? g.advance : g.size, w = g.turned ? g.size : g.advance;
  return g.x - w / 2 >= r.x - 1e-9 && g.x + w / 2 <= r.right() + 1e-9 &&
         g.y - h / 2 >= r.y - 1e-9 && g.y + h / 2 <= r.bottom() + 1e-9;
}

TEST(Layouts, PostcardZipBoxesAsPrinted) {
  const auto b = zipBoxes(Layout::Postcard);
  ASSERT_EQ(b.size(), 7u);
  EXPECT_NEAR(100 - b[6].right(), 8.0, 1e-9);
  const double gaps[6] = {1.3, 1.3, 1.9, 1.1, 1.1, 1.1};
  for (int i = 0; i < 7; ++i) {
    EXPECT_NEAR(b[i].w, 5.7, 1e-9);
    EXPECT_NEAR(b[i].h, 8.0, 1e-9);
    EXPECT_NEAR(b[i].y, 12.0, 1e-9);
    if (i > 0) {
      EXPECT_NEAR(b[i].x - b[i - 1].right(), gaps[i - 1], 1e-9);
    }
  }
  const auto s = senderZipBoxes(Layout::Postcard);
  ASSERT_EQ(s.size(), 7u);
  EXPECT_NEAR(s[0].w, 4.0, 1e-9);
  EXPECT_NEAR(s[0].h, 6.0, 1e-9);
  EXPECT_LT(s[6].right(), 50);  // bottom left
  EXPECT_GT(s[0].y, 100);
}

TEST(Layouts, PostcardDigitsInTheirBoxesNameDownTheMiddle) {
  Page p;
  const Recipient r = tanaka();
  EXPECT_EQ(layCard(Layout::Postcard, r, nullptr, {}, 0, p), 0u);
  const auto boxes = zipBoxes(Layout::Postcard);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(p.glyphs[i].ch, r.zip[i]);
    EXPECT_NEAR(p.glyphs[i].x, boxes[i].x + boxes[i].w / 2, 1e-9);
    EXPECT_NEAR(p.glyphs[i].y, boxes[i].y + boxes[i].h / 2, 1e-9);
  }
  const Glyph* name = find(p.glyphs, U'郎');
  const Glyph* sama = find(p.glyphs, U'様');
  ASSERT_TRUE(name && sama);
  EXPECT_DOUBLE_EQ(name->x, 50);
  EXPECT_DOUBLE_EQ(sama->x, 50);
  EXPECT_GT(sama->y, name->y);
  for (const Glyph& g : p.glyphs) EXPECT_TRUE(inside(g, {0, 0, 100, 148}));
  // The address's numbers as kanji, no Arabic digit left outside the boxes.
  for (std::size_t i = 7; i < p.glyphs.size(); ++i)
    EXPECT_FALSE(p.glyphs[i].ch >= U'0' && p.glyphs[i].ch <= U'9');
  EXPECT_NE(textOf(p.glyphs).find(u32(u8"一―二―三")), std::u32string::npos);
}

TEST(Layouts, AddressSplitAtSpaceThenAfterNumbersThenInTheMiddle) {
  EXPECT_EQ(addressPieces(u32(u8"東京都港区1-2 ビル"), true).size(), 1u);
  EXPECT_EQ(addressPieces(u32(u8"東京都港区1-2 ビル"), false),
            (std::vector<std::u32string>{u32(u8"東京都港区1-2"), u32(u8"ビル")}));
  EXPECT_EQ(addressPieces(u32(u8"港区芝4丁目2番8号タワー"), false),
            (std::vector<std::u32string>{u32(u8"港区芝4丁目2番8号"), u32(u8"タワー")}));
  EXPECT_EQ(addressPieces(u32(u8"一二三四"), false),
            (std::vector<std::u32string>{u32(u8"一二"), u32(u8"三四")}));
}

TEST(Layouts, EverythingStaysOnTheSheetWhateverTheLength) {
  Recipient r = tanaka();
  r.address = std::u32string(40, U'永');
  r.name = std::u32string(30, U'名');
  const Recipient sender = r;
  for (const Layout l : {Layout::Postcard, Layout::EnvelopeNaga3}) {
    Page p;
    const unsigned small = layCard(l, r, &sender, {}, 0, p);
    EXPECT_TRUE(small & kPartName);
    EXPECT_TRUE(small & kPartSender);
    const std::u32string text = textOf(p.glyphs);
    EXPECT_EQ(std::count(text.begin(), text.end(), U'永'), 80);  // nothing cut
    EXPECT_EQ(std::count(text.begin(), text.end(), U'名'), 60);
    const Sheet s = sheetOf(l);
    for (const Glyph& g : p.glyphs) EXPECT_TRUE(inside(g, {0, 0, s.width, s.height}));
  }
}

TEST(Layouts, LabelsInsideTheirLabels) {
  for (const auto& [l, n, w, h] : {std::tuple{Layout::Labels12, 12, 86.4, 42.3},
                                   std::tuple{Layout::Labels24, 24, 70.0, 33.9}}) {
    ASSERT_EQ(cardsPerSheet(l), n);
    const Rect last = labelRect(l, n - 1);
    EXPECT_NEAR(last.w, w, 1e-9);
    EXPECT_NEAR(last.h, h, 1e-9);
    EXPECT_LE(last.right(), 210 + 1e-9);
    EXPECT_LE(last.bottom(), 297 + 1e-9);
    for (const int slot : {0, 5, n - 1}) {
      Page p;
      layCard(l, tanaka(), nullptr, {}, slot, p);
      EXPECT_GT(p.glyphs.size(), 40u);
      for (const Glyph& g : p.glyphs) EXPECT_TRUE(inside(g, labelRect(l, slot)));
    }
  }
}

}  // namespace
}  // namespace kx::printtest

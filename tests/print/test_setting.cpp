#include <gtest/gtest.h>

#include "print/setting.h"
#include "tests/print/print_fixture.h"

namespace kx::printtest {
namespace {

using namespace print;

TEST(Setting, ColumnCellsRunDownAtTheNominalSizeWhenThereIsRoom) {
  std::vector<Glyph> g;
  const Fit f = setColumn(u32(u8"東京都"), Column{50, 20, 100, 6, 3}, g);
  EXPECT_DOUBLE_EQ(f.size, 6);
  EXPECT_FALSE(f.tooSmall);
  ASSERT_EQ(g.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_DOUBLE_EQ(g[i].x, 50);
    EXPECT_DOUBLE_EQ(g[i].y, 20 + 3 + 6 * i);  // cell centres
    EXPECT_FALSE(g[i].turned);
  }
}

TEST(Setting, ALongColumnShrinksToFitAndSaysWhenBelowReadable) {
  std::vector<Glyph> g;
  const Fit f = setColumn(u32(u8"一二三四五六七八九十"), Column{50, 0, 40, 6, 3}, g);
  EXPECT_DOUBLE_EQ(f.size, 4);
  EXPECT_FALSE(f.tooSmall);
  EXPECT_DOUBLE_EQ(g.back().y + g.back().size / 2, 40);  // ends exactly at the bottom
  g.clear();
  EXPECT_TRUE(setColumn(u32(u8"一二三四五六七八九十"), Column{50, 0, 20, 6, 3}, g).tooSmall);
  EXPECT_LE(g.back().y + g.back().size / 2, 20 + 1e-9);  // still inside, never cut
}

TEST(Setting, TurnedAndShiftedCharactersAndSpaces) {
  std::vector<Glyph> g;
  setColumn(u32(u8"セッター　（株）"), Column{50, 0, 100, 10, 3}, g);
  ASSERT_EQ(textOf(g), u32(u8"セッター（株）"));
  EXPECT_TRUE(g[3].turned);                      // ー
  EXPECT_TRUE(g[4].turned && g[6].turned);       // brackets
  EXPECT_FALSE(g[5].turned);                     // 株
  EXPECT_GT(g[1].x, 50);                         // small ッ to the right
  EXPECT_LT(g[1].y, 15);                         // and up in its cell
  EXPECT_DOUBLE_EQ(g[4].y, 45 + 5);              // the space took half a cell
}

TEST(Setting, AlignmentAndTracking) {
  std::vector<Glyph> g;
  setColumn(u32(u8"山田"), Column{50, 0, 100, 10, 3, Align::End}, g);
  EXPECT_DOUBLE_EQ(g[1].y, 95);
  g.clear();
  setColumn(u32(u8"山田"), Column{50, 0, 100, 10, 3, Align::Start, 0.5, 0.5}, g);
  EXPECT_DOUBLE_EQ(g[1].y - g[0].y, 15);
  g.clear();
  setColumn(u32(u8"山田"), Column{50, 0, 20, 10, 3, Align::Start, 0.5, 0.5}, g);
  EXPECT_DOUBLE_EQ(g[1].y - g[0].y, 10);  // tracking given up before size
}

TEST(Setting, LinesGiveHalfWidthCharactersHalfACell) {
  std::vector<Glyph> g;
  setLine(u32(u8"〒1-2山"), Line{10, 100, 5, 4, 2}, g);
  ASSERT_EQ(g.size(), 5u);
  EXPECT_DOUBLE_EQ(g[0].x, 12);
  EXPECT_DOUBLE_EQ(g[1].x, 15);
  EXPECT_DOUBLE_EQ(g[4].x, 22);
  EXPECT_DOUBLE_EQ(g[4].advance, 4);
  EXPECT_DOUBLE_EQ(g[1].advance, 2);
  EXPECT_DOUBLE_EQ(g[0].y, 7);
  g.clear();
  setLine(u32(u8"山田"), Line{10, 100, 5, 4, 2, Align::Centre}, g);
  EXPECT_DOUBLE_EQ((g[0].x + g[1].x) / 2, 55);
}

}  // namespace
}  // namespace kx::printtest

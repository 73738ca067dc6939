#include <gtest/gtest.h>

#include "print/vertical_forms.h"
#include "tests/print/print_fixture.h"

namespace kx::printtest {
namespace {

using namespace print;

TEST(VerticalForms, HalfWidthKanaAndLatinTakeWholeCells) {
  EXPECT_EQ(fullWidth(u32(u8"ｶﾞｷﾞｳﾞﾊﾟﾎﾟｯｰ")), u32(u8"ガギヴパポッー"));
  EXPECT_EQ(fullWidth(u32(u8"ｱﾞﾟ")), u32(u8"ア゛゜"));  // marks that join nothing stand alone
  EXPECT_EQ(fullWidth(u32(u8"A1 b-")), u32(u8"Ａ１　ｂ－"));
  EXPECT_EQ(fullWidth(u32(u8"ﾒｿﾞﾝ A1"), false), u32(u8"メゾン A1"));
}

TEST(VerticalForms, WhatTurnsAndWhatMoves) {
  for (const char32_t c : u32(u8"ー―－‐〜～（）「」『』【】〔〕［］…"))
    EXPECT_TRUE(turnedInVertical(c)) << static_cast<unsigned>(c);
  for (const char32_t c : u32(u8"一二あアッ山〇・"))
    EXPECT_FALSE(turnedInVertical(c)) << static_cast<unsigned>(c);
  for (const char32_t c : u32(u8"ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ")) {
    EXPECT_TRUE(isSmallKana(c)) << static_cast<unsigned>(c);
    EXPECT_GT(verticalShift(c).x, 0);
    EXPECT_LT(verticalShift(c).y, 0);
  }
  for (const char32_t c : u32(u8"あつやアツヤ"))
    EXPECT_FALSE(isSmallKana(c)) << static_cast<unsigned>(c);
  EXPECT_GT(verticalShift(U'、').x, verticalShift(U'ッ').x);
  EXPECT_EQ(verticalShift(U'山').x, 0);
}

}  // namespace
}  // namespace kx::printtest

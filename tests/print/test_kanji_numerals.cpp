#include <gtest/gtest.h>

#include "print/kanji_numerals.h"
#include "tests/print/print_fixture.h"

namespace kx::printtest {
namespace {

using print::kanjiNumerals;
using print::NumeralStyle;

struct NumeralCase {
  const char8_t* address;
  const char8_t* positional;
  const char8_t* digits;
};

TEST(KanjiNumerals, AddressesInBothStyles) {
  const NumeralCase cases[] = {
      {u8"丸の内1-2-3", u8"丸の内一―二―三", u8"丸の内一―二―三"},
      {u8"12番地", u8"十二番地", u8"一二番地"},
      {u8"4丁目15番6号", u8"四丁目十五番六号", u8"四丁目一五番六号"},
      {u8"105号室", u8"百五号室", u8"一〇五号室"},
      {u8"2000", u8"二千", u8"二〇〇〇"},
      {u8"1110", u8"千百十", u8"一一一〇"},
      {u8"20", u8"二十", u8"二〇"},
      {u8"0", u8"〇", u8"〇"},
      {u8"05", u8"〇五", u8"〇五"},
      {u8"12345", u8"一二三四五", u8"一二三四五"},
      {u8"１２ー３", u8"十二―三", u8"一二―三"},   // full-width digits, long vowel mark
      {u8"３－１ｰ５", u8"三―一―五", u8"三―一―五"},
      {u8"センター12-", u8"センター十二-", u8"センター一二-"},  // no digit after the dash
      {u8"B-101", u8"B-百一", u8"B-一〇一"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kanjiNumerals(u32(c.address), NumeralStyle::Positional), u32(c.positional))
        << reinterpret_cast<const char*>(c.address);
    EXPECT_EQ(kanjiNumerals(u32(c.address), NumeralStyle::Digits), u32(c.digits))
        << reinterpret_cast<const char*>(c.address);
  }
}

}  // namespace
}  // namespace kx::printtest

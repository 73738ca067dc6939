#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "store/sjis_unicode.h"

namespace kx {
namespace {

std::string_view utf8(std::u8string_view s) { return {reinterpret_cast<const char*>(s.data()), s.size()}; }

struct Filled {
  std::string field;  // the whole width, padding included
  TextFit fit;
};

Filled fill(std::string_view utf8Text, int width, bool escaped = false, bool narrow = false) {
  std::string slot(static_cast<std::size_t>(width) + 1, '#');
  SjisField f(slot.data(), width);
  f.addUtf8(utf8Text, escaped, narrow);
  const TextFit fit = f.finish();
  EXPECT_EQ(slot.back(), '\0');
  slot.pop_back();
  return {slot, fit};
}

TEST(SjisField, AsciiFillsTheWidthAndOnlyMoreThanSpacesCountsAsCut) {
  struct Case {
    std::string_view in;
    int width;
    std::string_view field;
    bool shortened;
  };
  const std::vector<Case> cases = {
      {"abc", 5, "abc  ", false}, {"abcdef", 4, "abcd", true}, {"ab   ", 3, "ab ", false},
      {"ab  x", 3, "ab ", true},  {"a\tb\x01", 5, "a b  ", false}, {"", 2, "  ", false},
  };
  for (const Case& c : cases) {
    const Filled f = fill(c.in, c.width);
    EXPECT_EQ(f.field, c.field) << c.in;
    EXPECT_EQ(f.fit.shortened, c.shortened) << c.in;
  }
}

TEST(SjisField, AKanjiThatWouldStandAcrossTheWidthIsLeftOutAndNothingAfterIt) {
  const Filled f = fill(utf8(u8"山田a"), 3);
  EXPECT_EQ(f.field, sjisText(u8"山") + " ");
  EXPECT_TRUE(f.fit.shortened);
}

TEST(SjisField, EscapesAreUndoneOnlyWhenAsked) {
  EXPECT_EQ(fill("a\\;b\\nc\\\\d", 8, true).field, "a;b c\\d ");
  EXPECT_EQ(fill("a\\;b\\nc", 8).field, "a\\;b\\nc ");
}

TEST(SjisField, NarrowingGivesTheAsciiFormsOfFullWidthDigitsSignsAndDashes) {
  const std::vector<std::pair<std::u8string_view, std::string>> cases = {
      {u8"０９０－１２３４", "090-1234"},
      {u8"＋８１（３）", "+81(3)"},
      {u8"1−2‐3ー4―5", "1-2-3-4-5"},
      {u8"\\０\\－", "0-"},  // an escaped full-width character is still narrowed
      {u8"山田", sjisText(u8"山田")},
  };
  for (const auto& [in, out] : cases) {
    const std::string field = fill(utf8(in), 12, true, true).field;
    EXPECT_EQ(field.substr(0, out.size()), out) << out;
    EXPECT_EQ(field.find_first_not_of(' ', out.size()), std::string::npos) << out;
  }
  EXPECT_EQ(fill(utf8(u8"０"), 2, true).field, sjisText(u8"０"));
}

TEST(SjisField, AsciiFormsBelongToTheFullWidthSignsAndDashesOnly) {
  const std::vector<std::pair<char32_t, char>> cases = {
      {0xFF10, '0'}, {0xFF19, '9'}, {0xFF0F, 0},   {0xFF1A, 0},   {0xFF0B, '+'}, {0xFF08, '('},
      {0xFF09, ')'}, {0xFF0D, '-'}, {0x2010, '-'}, {0x2015, '-'}, {0x200F, 0},   {0x2016, 0},
      {0x2212, '-'}, {0x30FC, '-'}, {0x30FB, 0},   {'5', 0},
  };
  for (const auto& [cp, ascii] : cases) EXPECT_EQ(asciiFormOf(cp), ascii) << static_cast<unsigned>(cp);
}

}  // namespace
}  // namespace kx

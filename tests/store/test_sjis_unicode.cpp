#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/sjis_unicode.h"

namespace kx {
namespace {

std::string utf8(std::u8string_view s) { return {reinterpret_cast<const char*>(s.data()), s.size()}; }

// Each character of a text as nextSjisChar reads it.
std::vector<char32_t> charsOf(std::string_view sjis) {
  std::vector<char32_t> out;
  for (std::size_t i = 0; i < sjis.size();) out.push_back(nextSjisChar(sjis, i));
  return out;
}

TEST(SjisChars, ReadOneCharacterAtATimeAndABrokenByteAlone) {
  EXPECT_EQ(charsOf("\x82\xA0" "A\xB1"), (std::vector<char32_t>{0x3042, 'A', 0xFF71}));
  // A lead byte cut off at the end, one before a byte that is no trail, and
  // bytes the code page leaves unused: each one mark, what follows intact.
  EXPECT_EQ(charsOf("A\x8A"), (std::vector<char32_t>{'A', kNotSjis}));
  EXPECT_EQ(charsOf("\x82 \x82\xA0"), (std::vector<char32_t>{kNotSjis, ' ', 0x3042}));
  EXPECT_EQ(charsOf("\x80\xFD"), (std::vector<char32_t>{kNotSjis, kNotSjis}));
}

TEST(SjisChars, CodePointsWrittenBothWaysAndOneWay) {
  struct Case {
    char32_t cp;
    std::string bytes;  // empty: the code page cannot hold it
  };
  const std::vector<Case> cases = {
      {'a', "a"},         {0x3042, "\x82\xA0"}, {0xFF71, "\xB1"},
      {0xFF5E, "\x81\x60"},  // the code the wave dash row reads as
      // Written by the code page, never read back: what input methods type.
      {0x301C, "\x81\x60"}, {0x2212, "\x81\x7C"}, {0x00A5, "\x5C"}, {0x2014, "\x81\x5C"},
      {0x20AC, ""},       {0x1F600, ""},        {0xD800, ""},
  };
  for (const Case& c : cases) {
    char out[2];
    const int n = sjisBytesOf(c.cp, out);
    EXPECT_EQ(std::string(out, static_cast<std::size_t>(n)), c.bytes) << std::hex << static_cast<unsigned>(c.cp);
  }
  // A field and a whole text take the one-way codes too.
  char slot[5];
  SjisField field(slot, 4);
  field.addUtf8(utf8(u8"〜€"));
  EXPECT_TRUE(field.finish().replaced);
  EXPECT_EQ(std::string(slot), "\x81\x60\x81\xAC");
  bool replaced = false;
  EXPECT_EQ(utf8ToSjis(utf8(u8"−5"), &replaced), "\x81\x7C" "5");
  EXPECT_FALSE(replaced);
}

TEST(SjisChars, CodePointsAsUtf8) {
  std::string out;
  for (const char32_t c : {0x61, 0xE9, 0x3042, 0xFFFD}) appendUtf8CodePoint(out, c);
  EXPECT_EQ(out, "a\xC3\xA9\xE3\x81\x82\xEF\xBF\xBD");
}

}  // namespace
}  // namespace kx

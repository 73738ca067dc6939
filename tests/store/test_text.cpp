#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>
#include <vector>

#include "store/text.h"

namespace kx {
namespace {

// A buffer with guard bytes behind it, to see that nothing is written past
// the width a routine was given.
struct Guarded {
  explicit Guarded(std::size_t size) : bytes(size + 8, '\x7f') {}
  char* data() { return bytes.data(); }
  bool guardIntact(std::size_t size) const {
    for (std::size_t i = size; i < bytes.size(); ++i)
      if (bytes[i] != '\x7f') return false;
    return true;
  }
  std::string bytes;
};

TEST(FixedAndPaddedCopy, CutAndFill) {
  struct Case {
    const char* src;
    int n;
    std::string fixed, padded;
  };
  const std::vector<Case> cases = {
      {"ABC", 5, std::string("ABC\0\0", 5), "ABC  "},
      {"ABCDEFG", 3, "ABC", "ABC"},
      {"", 2, std::string("\0\0", 2), "  "},
      {"AB", 0, "", ""},
      // "山田" is four bytes: a cut at three splits the second character.
      // "山田" "山田" "山田"
      {"\x8E\x52\x93\x63", 3, std::string("\x8E\x52\x93\x63").substr(0, 3), std::string("\x8E\x52\x93\x63").substr(0, 3)},
  };
  for (const Case& c : cases) {
    Guarded a(static_cast<std::size_t>(c.n) + 1), b(static_cast<std::size_t>(c.n) + 1);
    EXPECT_EQ(fixedCopy(a.data(), c.src, c.n), a.data());
    EXPECT_EQ(std::string(a.data(), static_cast<std::size_t>(c.n) + 1), c.fixed + '\0') << c.src;
    EXPECT_TRUE(a.guardIntact(static_cast<std::size_t>(c.n) + 1));
    EXPECT_EQ(paddedCopy(b.data(), c.src, c.n), b.data());
    EXPECT_EQ(std::string(b.data()), c.padded) << c.src;
    EXPECT_TRUE(b.guardIntact(static_cast<std::size_t>(c.n) + 1));
  }
}

TEST(PaddedCopy, SixtyBytesToFiftyKeepsTheFirstFiftyEvenMidCharacter) {
  std::string src = "A";
  // "漢"
  while (src.size() < 60) src += "\x8A\xBF";  // 1 + 2k bytes: byte 50 is a first byte
  char dst[51];
  paddedCopy(dst, src.c_str(), 50);
  EXPECT_EQ(std::string(dst), src.substr(0, 50));
  EXPECT_EQ(static_cast<unsigned char>(dst[49]), static_cast<unsigned char>(src[49]));
}

TEST(PaddedCopy, InPlaceRepads) {
  char slot[8] = "AB";
  paddedCopy(slot, slot, 7);
  EXPECT_STREQ(slot, "AB     ");
}

TEST(PaddedAppend, GrowsByExactlyTheWidth) {
  char line[32] = "12";
  paddedAppend(line, "abc", 5);
  paddedAppend(line, "toolong", 3);
  paddedAppend(line, "", 2);
  EXPECT_STREQ(line, "12abc  too  ");
}

TEST(InPlaceRoutines, Table) {
  struct Case {
    char* (*fn)(char*);
    std::string in, out;
  };
  const std::vector<Case> cases = {
      {removeLineFeeds, "a\nb\n\nc\n", "abc"},
      {removeLineFeeds, "\r\n", "\r"},
      {removeSpaces, " a b  c ", "abc"},
      // "山　田 " "山　田"
      {removeSpaces, "\x8E\x52\x81\x40\x93\x63 ", "\x8E\x52\x81\x40\x93\x63"},  // full-width space stays
      {leftAlignInWidth, "   AB  ", "AB     "},
      {leftAlignInWidth, "   ", "   "},
      {leftAlignInWidth, "AB ", "AB "},
      {leftAlignInWidth, "", ""},
      {leftAlignInWidth, " X", "X "},
      {fullToHalfSpaces, "\x8E\x52\x81\x40\x93\x63", "\x8E\x52 \x93\x63"},  // "山　田" "山 田"
      {fullToHalfSpaces, "\x81\x40\x81\x40", "  "},  // "　　"
      {fullToHalfSpaces, "\x81", "\x81"},
      // The scan does not track characters: 0x81 0x40 straddling two
      // characters is replaced too.
      {fullToHalfSpaces, "\x88\x81\x40", "\x88 "},
  };
  for (const Case& c : cases) {
    std::string buf = c.in;
    buf.push_back('\0');
    EXPECT_EQ(c.fn(buf.data()), buf.data());
    EXPECT_EQ(std::string(buf.c_str()), c.out) << "input: " << c.in;
  }
}

TEST(SplitAtFirstSpace, Table) {
  struct Case {
    const char* src;
    const char* first;
    const char* second;
  };
  const Case cases[] = {
      // "山田 太郎" "山田" "太郎"
      {"\x8E\x52\x93\x63 \x91\xBE\x98\x59", "\x8E\x52\x93\x63", "\x91\xBE\x98\x59"},
      // "山田　太郎" "山田　太郎"
      {"\x8E\x52\x93\x63\x81\x40\x91\xBE\x98\x59", "\x8E\x52\x93\x63\x81\x40\x91\xBE\x98\x59", ""},  // a full-width space does not split
      // " 山田 太郎" "山田太郎"
      {" \x8E\x52\x93\x63 \x91\xBE\x98\x59", "", "\x8E\x52\x93\x63\x91\xBE\x98\x59"},
      // "ﾔﾏﾀﾞ ﾀﾛｳ    " "ﾔﾏﾀﾞ" "ﾀﾛｳ"
      {"\xD4\xCF\xC0\xDE \xC0\xDB\xB3    ", "\xD4\xCF\xC0\xDE", "\xC0\xDB\xB3"},
      {"a,b c,d e", "ab", "cde"},
      {"", "", ""},
      {"abc", "abc", ""},
  };
  for (const Case& c : cases) {
    char first[64], second[64];
    splitAtFirstSpace(c.src, first, second);
    EXPECT_STREQ(first, c.first) << c.src;
    EXPECT_STREQ(second, c.second) << c.src;
  }
}

std::vector<std::string> split(int n, const char* text, int itemSize, int* count,
                               bool* guardsIntact) {
  std::vector<Guarded> bufs;
  bufs.reserve(static_cast<std::size_t>(std::max(n, 0)));
  std::vector<char*> ptrs;
  for (int i = 0; i < n; ++i) {
    bufs.emplace_back(static_cast<std::size_t>(itemSize));
    ptrs.push_back(bufs.back().data());
  }
  *count = splitItems(n, text, ptrs.data(), itemSize);
  std::vector<std::string> items;
  *guardsIntact = true;
  for (int i = 0; i < n; ++i) {
    if (i < *count) items.emplace_back(ptrs[static_cast<std::size_t>(i)]);
    *guardsIntact = *guardsIntact && bufs[static_cast<std::size_t>(i)].guardIntact(
                                         static_cast<std::size_t>(itemSize));
  }
  return items;
}

TEST(SplitItems, Table) {
  struct Case {
    int n;
    std::string text;
    int itemSize;
    std::vector<std::string> items;
  };
  const std::vector<Case> cases = {
      {10, "x,\"y,z\",w", 50, {"x", "y,z", "w"}},
      {10, "x,y,", 50, {"x", "y", ""}},
      {2, "x,\"y,z\",w", 50, {"x", "y,z"}},
      {10, " a , b ", 50, {" a ", " b "}},
      {10, "a\"\"b,c", 50, {"ab", "c"}},  // a doubled quote vanishes
      {10, "a\nb,\nc\n", 50, {"ab", "c"}},
      {10, "   \n \n", 50, {}},
      {10, "", 50, {}},
      {0, "a,b", 50, {}},
      {-1, "a,b", 50, {}},
      {10, ",", 50, {"", ""}},
      // "山田,\"太郎,次郎\"" "山田" "太郎,次郎"
      {10, "\x8E\x52\x93\x63,\"\x91\xBE\x98\x59,\x8E\x9F\x98\x59\"", 50, {"\x8E\x52\x93\x63", "\x91\xBE\x98\x59,\x8E\x9F\x98\x59"}},
      // Items longer than their buffer are cut at itemSize - 1 bytes.
      {3, "abcdefgh,ij,klmnop,q", 5, {"abcd", "ij", "klmn"}},
      {2, "\"abcdef,gh\",x", 4, {"abc", "x"}},
      {1, "abc", 1, {""}},
  };
  for (const Case& c : cases) {
    int count = -1;
    bool intact = false;
    const auto items = split(c.n, c.text.c_str(), c.itemSize, &count, &intact);
    EXPECT_EQ(count, static_cast<int>(c.items.size())) << c.text;
    EXPECT_EQ(items, c.items) << c.text;
    EXPECT_TRUE(intact) << "wrote past an item buffer: " << c.text;
  }
}

TEST(SplitItems, CsvLineOfFifteenLongItemsStaysInItsBuffers) {
  std::string line;
  for (int i = 0; i < 20; ++i) line += std::string(300, static_cast<char>('a' + i)) + ",";
  int count = 0;
  bool intact = false;
  const auto items = split(15, line.c_str(), 150, &count, &intact);
  EXPECT_EQ(count, 15);
  EXPECT_TRUE(intact);
  EXPECT_EQ(items[14], std::string(149, 'o'));
}

TEST(ZeroPadded, Table) {
  struct Case {
    int w;
    double v;
    const char* out;
  };
  const Case cases[] = {
      {4, 7, "0007"},    {4, 0, "0000"},    {4, 12345, "2345"}, {4, -7, "0007"},
      {4, 4999, "4999"}, {4, 2.5, "0003"},  {4, -2.5, "0003"},  {4, 2.4999, "0002"},
      {8, 20240315, "20240315"}, {1, 19, "9"}, {0, 5, ""},
      {4, 1e20, "0000"}, {25, 12, "0000000000000000000000012"},
      // Beyond fifteen digits the rounding keeps fifteen significant ones.
      {6, 123456789012345678.0, "346000"},
      // Where that rounding overflows, the value's own digits.
      {4, -DBL_MAX, "8368"},
  };
  for (const Case& c : cases) {
    char dst[32];
    std::memset(dst, 'x', sizeof dst);
    EXPECT_EQ(zeroPadded(c.w, c.v, dst), dst);
    EXPECT_STREQ(dst, c.out) << c.w << " " << c.v;
  }
}

}  // namespace
}  // namespace kx

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "store/codes.h"

namespace kx {
namespace {

TEST(Codes, SexTextsAndItems) {
  struct Case {
    char code;
    const char* text;
    int item;
  };
  // "男性" "男性" "女性" "女性"
  const Case cases[] = {{'M', "\x92\x6A\x90\xAB", 0}, {'m', "\x92\x6A\x90\xAB", 0}, {'F', "\x8F\x97\x90\xAB", 1}, {'f', "\x8F\x97\x90\xAB", 1},
                        // "団体" "団体" "団体" "団体"
                        {'G', "\x92\x63\x91\xCC", 2}, {' ', "\x92\x63\x91\xCC", 2}, {'\0', "\x92\x63\x91\xCC", 2}, {'X', "\x92\x63\x91\xCC", 2}};
  for (const Case& c : cases) {
    EXPECT_STREQ(sexText(c.code), c.text) << c.code;
    EXPECT_EQ(itemOfCode(Sex, c.code), c.item) << c.code;
  }
  EXPECT_EQ(codeOfItem(Sex, 0), 'M');
  EXPECT_EQ(codeOfItem(Sex, 1), 'F');
  EXPECT_EQ(codeOfItem(Sex, 2), 'G');
}

TEST(Codes, OccupationTable) {
  const char codes[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', '0'};
  // "損保　  " "生保　  " "信託　  " "代理店  " "金融業  " "製造業  "
  const char* texts[] = {"\x91\xB9\x95\xDB\x81\x40  ", "\x90\xB6\x95\xDB\x81\x40  ", "\x90\x4D\x91\xF5\x81\x40  ", "\x91\xE3\x97\x9D\x93\x58  ", "\x8B\xE0\x97\x5A\x8B\xC6  ", "\x90\xBB\x91\xA2\x8B\xC6  ",
                         // "流通業  " "ｻｰﾋﾞｽ業 " "公務員  " "教育研究" "ｺﾝｻﾙ    " "その他 "
                         "\x97\xAC\x92\xCA\x8B\xC6  ", "\xBB\xB0\xCB\xDE\xBD\x8B\xC6 ", "\x8C\xF6\x96\xB1\x88\xF5  ", "\x8B\xB3\x88\xE7\x8C\xA4\x8B\x86", "\xBA\xDD\xBB\xD9    ", "\x82\xBB\x82\xCC\x91\xBC "};
  for (int item = 0; item < 12; ++item) {
    const char code = codes[item];
    EXPECT_EQ(codeOfItem(Occupation, item), code) << item;
    EXPECT_EQ(itemOfCode(Occupation, code), item) << code;
    EXPECT_STREQ(occupationText(code), texts[item]) << code;
    EXPECT_EQ(std::strlen(occupationText(code)), item == 11 ? 7u : 8u) << code;
  }
  // Only exact codes match: lower case and other characters are "その他".
  for (char c : {'b', 'a', ' ', 'Z', '\0', 'C'}) {
    EXPECT_STREQ(occupationText(c), "\x82\xBB\x82\xCC\x91\xBC ") << c;  // "その他 "
    EXPECT_EQ(itemOfCode(Occupation, c), 11) << c;
  }
}

TEST(Codes, MembershipTables) {
  // "正会員　" "準会員　" "研究会員" "非会員　"
  const char* texts[] = {"\x90\xB3\x89\xEF\x88\xF5\x81\x40", "\x8F\x80\x89\xEF\x88\xF5\x81\x40", "\x8C\xA4\x8B\x86\x89\xEF\x88\xF5", "\x94\xF1\x89\xEF\x88\xF5\x81\x40"};
  const char codes[] = {'1', '2', '3', '0'};
  for (Field f : {Actuary, PensionActuary}) {
    for (int item = 0; item < 4; ++item) {
      EXPECT_EQ(codeOfItem(f, item), codes[item]);
      EXPECT_EQ(itemOfCode(f, codes[item]), item);
    }
    for (char c : {' ', '4', '9', 'A', '\0'}) EXPECT_EQ(itemOfCode(f, c), 3) << c;
  }
  for (int item = 0; item < 4; ++item) {
    EXPECT_STREQ(actuaryText(codes[item]), texts[item]);
    EXPECT_STREQ(pensionActuaryText(codes[item]), texts[item]);
    EXPECT_EQ(std::strlen(actuaryText(codes[item])), 8u);
  }
  EXPECT_STREQ(actuaryText(' '), "\x94\xF1\x89\xEF\x88\xF5\x81\x40");  // "非会員　"
  EXPECT_STREQ(pensionActuaryText('4'), "\x94\xF1\x89\xEF\x88\xF5\x81\x40");  // "非会員　"
}

}  // namespace
}  // namespace kx

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
  const Case cases[] = {{'M', "男性", 0}, {'m', "男性", 0}, {'F', "女性", 1}, {'f', "女性", 1},
                        {'G', "団体", 2}, {' ', "団体", 2}, {'\0', "団体", 2}, {'X', "団体", 2}};
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
  const char* texts[] = {"損保　  ", "生保　  ", "信託　  ", "代理店  ", "金融業  ", "製造業  ",
                         "流通業  ", "ｻｰﾋﾞｽ業 ", "公務員  ", "教育研究", "ｺﾝｻﾙ    ", "その他 "};
  for (int item = 0; item < 12; ++item) {
    const char code = codes[item];
    EXPECT_EQ(codeOfItem(Occupation, item), code) << item;
    EXPECT_EQ(itemOfCode(Occupation, code), item) << code;
    EXPECT_STREQ(occupationText(code), texts[item]) << code;
    EXPECT_EQ(std::strlen(occupationText(code)), item == 11 ? 7u : 8u) << code;
  }
  // Only exact codes match: lower case and other characters are "その他".
  for (char c : {'b', 'a', ' ', 'Z', '\0', 'C'}) {
    EXPECT_STREQ(occupationText(c), "その他 ") << c;
    EXPECT_EQ(itemOfCode(Occupation, c), 11) << c;
  }
}

TEST(Codes, MembershipTables) {
  const char* texts[] = {"正会員　", "準会員　", "研究会員", "非会員　"};
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
  EXPECT_STREQ(actuaryText(' '), "非会員　");
  EXPECT_STREQ(pensionActuaryText('4'), "非会員　");
}

}  // namespace
}  // namespace kx

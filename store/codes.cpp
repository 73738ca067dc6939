#include "store/codes.h"

#include "store/bytes.h"

namespace kx {

namespace {

// Occupation items 0..11 and the code each is stored as.
constexpr char kOccupationCode[12] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', '0'};
// Display texts line up in listings: 8 bytes each, the last one 7.
constexpr const char* kOccupationText[12] = {
    // "損保　  " "生保　  " "信託　  " "代理店  " "金融業  " "製造業  "
    "\x91\xB9\x95\xDB\x81\x40  ", "\x90\xB6\x95\xDB\x81\x40  ", "\x90\x4D\x91\xF5\x81\x40  ", "\x91\xE3\x97\x9D\x93\x58  ", "\x8B\xE0\x97\x5A\x8B\xC6  ", "\x90\xBB\x91\xA2\x8B\xC6  ",
    // "流通業  " "ｻｰﾋﾞｽ業 " "公務員  " "教育研究" "ｺﾝｻﾙ    " "その他 "
    "\x97\xAC\x92\xCA\x8B\xC6  ", "\xBB\xB0\xCB\xDE\xBD\x8B\xC6 ", "\x8C\xF6\x96\xB1\x88\xF5  ", "\x8B\xB3\x88\xE7\x8C\xA4\x8B\x86", "\xBA\xDD\xBB\xD9    ", "\x82\xBB\x82\xCC\x91\xBC "};
// "正会員　" "準会員　" "研究会員" "非会員　"
constexpr const char* kMembershipText[4] = {"\x90\xB3\x89\xEF\x88\xF5\x81\x40", "\x8F\x80\x89\xEF\x88\xF5\x81\x40", "\x8C\xA4\x8B\x86\x89\xEF\x88\xF5", "\x94\xF1\x89\xEF\x88\xF5\x81\x40"};

// The decimal value of one character as a number's text: digits give their
// value, anything else 0.
int decimalValue(char code) { return isDigit(code) ? code - '0' : 0; }

int membershipItem(char code) {
  const int v = decimalValue(code);
  return (v >= 1 && v <= 3) ? v - 1 : 3;
}

int occupationItem(char code) {
  if (code == 'A') return 9;
  if (code == 'B') return 10;
  const int v = decimalValue(code);
  return v >= 1 ? v - 1 : 11;
}

int sexItem(char code) {
  if (code == 'M' || code == 'm') return 0;
  if (code == 'F' || code == 'f') return 1;
  return 2;
}

}  // namespace

const char* sexText(char code) {
  // "男性" "女性" "団体"
  static constexpr const char* kText[3] = {"\x92\x6A\x90\xAB", "\x8F\x97\x90\xAB", "\x92\x63\x91\xCC"};
  return kText[sexItem(code)];
}

const char* occupationText(char code) {
  // Only the exact codes match; "0" and anything else is the last row.
  for (int i = 0; i < 11; ++i)
    if (kOccupationCode[i] == code) return kOccupationText[i];
  return kOccupationText[11];
}

const char* actuaryText(char code) { return kMembershipText[membershipItem(code)]; }

const char* pensionActuaryText(char code) { return kMembershipText[membershipItem(code)]; }

char codeOfItem(Field field, int item) {
  switch (field) {
    case Sex:
      return item == 0 ? 'M' : item == 1 ? 'F' : 'G';
    case Occupation:
      return (item >= 0 && item <= 10) ? kOccupationCode[item] : '0';
    case Actuary:
    case PensionActuary:
      return (item >= 0 && item <= 2) ? static_cast<char>('1' + item) : '0';
    default:
      return ' ';
  }
}

int itemOfCode(Field field, char code) {
  switch (field) {
    case Sex:
      return sexItem(code);
    case Occupation:
      return occupationItem(code);
    case Actuary:
    case PensionActuary:
      return membershipItem(code);
    default:
      return 0;
  }
}

}  // namespace kx

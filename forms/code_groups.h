// The four code radio groups the update and add forms share: their
// captions and items, in the order of the code tables.
#pragma once

#include <string>
#include <vector>

#include "store/model.h"
#include "ui/encoding.h"

namespace kx::code_groups {

inline std::string caption(Field f) {
  switch (f) {
    case Sex: return "SEX";
    case Occupation: return ui::fromUtf8(u8"職業");
    case Actuary: return ui::fromUtf8(u8"ｱｸﾁｭｱﾘｰ");
    default: return ui::fromUtf8(u8"年金数理人");
  }
}

inline std::vector<std::string> items(std::initializer_list<const char8_t*> utf8) {
  std::vector<std::string> sjis;
  for (const char8_t* item : utf8) sjis.push_back(ui::fromUtf8(item));
  return sjis;
}
inline std::vector<std::string> sexItems() { return items({u8"男性", u8"女性", u8"団体"}); }
inline std::vector<std::string> occupationItems() {
  return items({u8"損保", u8"生保;", u8"信託", u8"代理店", u8"金融業", u8"製造業", u8"流通業",
                u8"ｻｰﾋﾞｽ業", u8"公務員", u8"教育研究", u8"ｺﾝｻﾙ", u8"その他"});
}
inline std::vector<std::string> membershipItems() {
  return items({u8"正会員", u8"準会員", u8"研究会員", u8"非会員"});
}

// Items a blank add form starts with: 団体, その他, 非会員, 非会員.
constexpr int kSexPreset = 2;
constexpr int kOccupationPreset = 11;
constexpr int kMembershipPreset = 3;

}  // namespace kx::code_groups

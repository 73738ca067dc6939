// The four code radio groups the update and add forms share: their
// captions and items, in the order of the code tables.
#pragma once

#include <string>
#include <vector>

namespace kx::code_groups {

inline const char* const kSexCaption = "SEX";
inline const char* const kOccupationCaption = "職業";
inline const char* const kActuaryCaption = "ｱｸﾁｭｱﾘｰ";
inline const char* const kPensionCaption = "年金数理人";

inline std::vector<std::string> sexItems() { return {"男性", "女性", "団体"}; }
inline std::vector<std::string> occupationItems() {
  return {"損保", "生保;", "信託", "代理店", "金融業", "製造業",
          "流通業", "ｻｰﾋﾞｽ業", "公務員", "教育研究", "ｺﾝｻﾙ", "その他"};
}
inline std::vector<std::string> membershipItems() { return {"正会員", "準会員", "研究会員", "非会員"}; }

// Items a blank add form starts with: 団体, その他, 非会員, 非会員.
constexpr int kSexPreset = 2;
constexpr int kOccupationPreset = 11;
constexpr int kMembershipPreset = 3;

}  // namespace kx::code_groups

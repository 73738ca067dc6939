#include "store/kana.h"

#include <array>

namespace kx {

namespace {

// Half-width forms of the kana in code order: hiragana run from 0x829F to
// 0x82F1 and katakana from 0x8340 (0x837F unused) to 0x8396 in the same
// order, the katakana with ヴヵヶ at the end.
constexpr std::array<const char*, 86> kKana = {
    "ｧ", "ｱ", "ｨ", "ｲ", "ｩ", "ｳ", "ｪ", "ｴ", "ｫ", "ｵ",
    "ｶ", "ｶﾞ", "ｷ", "ｷﾞ", "ｸ", "ｸﾞ", "ｹ", "ｹﾞ", "ｺ", "ｺﾞ",
    "ｻ", "ｻﾞ", "ｼ", "ｼﾞ", "ｽ", "ｽﾞ", "ｾ", "ｾﾞ", "ｿ", "ｿﾞ",
    "ﾀ", "ﾀﾞ", "ﾁ", "ﾁﾞ", "ｯ", "ﾂ", "ﾂﾞ", "ﾃ", "ﾃﾞ", "ﾄ", "ﾄﾞ",
    "ﾅ", "ﾆ", "ﾇ", "ﾈ", "ﾉ",
    "ﾊ", "ﾊﾞ", "ﾊﾟ", "ﾋ", "ﾋﾞ", "ﾋﾟ", "ﾌ", "ﾌﾞ", "ﾌﾟ",
    "ﾍ", "ﾍﾞ", "ﾍﾟ", "ﾎ", "ﾎﾞ", "ﾎﾟ",
    "ﾏ", "ﾐ", "ﾑ", "ﾒ", "ﾓ",
    "ｬ", "ﾔ", "ｭ", "ﾕ", "ｮ", "ﾖ",
    "ﾗ", "ﾘ", "ﾙ", "ﾚ", "ﾛ",
    "ﾜ", "ﾜ", "ｲ", "ｴ", "ｦ", "ﾝ",
    "ｳﾞ", "ｶ", "ｹ"};

// Full-width marks and punctuation in row 0x81.
const char* punctuation(unsigned char trail) {
  switch (trail) {
    case 0x40: return " ";
    case 0x41: return "､";
    case 0x42: return "｡";
    case 0x45: return "･";
    case 0x4A: return "ﾞ";
    case 0x4B: return "ﾟ";
    case 0x5B: return "ｰ";
    case 0x75: return "｢";
    case 0x76: return "｣";
    default: return nullptr;
  }
}

bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

const char* halfWidthOf(unsigned char lead, unsigned char trail) {
  if (lead == 0x81) return punctuation(trail);
  if (lead == 0x82 && trail >= 0x9F && trail <= 0xF1) return kKana[trail - 0x9F];
  if (lead == 0x83 && trail >= 0x40 && trail <= 0x96 && trail != 0x7F)
    return kKana[trail - 0x40 - (trail > 0x7F ? 1 : 0)];
  return nullptr;
}

}  // namespace

std::string halfWidthKana(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size());
  for (std::size_t i = 0; i < sjis.size(); ++i) {
    const auto lead = static_cast<unsigned char>(sjis[i]);
    if (!isLeadByte(lead) || i + 1 == sjis.size()) {
      out += sjis[i];
      continue;
    }
    const auto trail = static_cast<unsigned char>(sjis[i + 1]);
    if (const char* half = halfWidthOf(lead, trail)) {
      out += half;
    } else {
      out.append(sjis, i, 2);
    }
    ++i;
  }
  return out;
}

}  // namespace kx

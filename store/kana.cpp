#include "store/kana.h"

#include <array>

namespace kx {

namespace {

// Half-width forms of the kana in code order: hiragana run from 0x829F to
// 0x82F1 and katakana from 0x8340 (0x837F unused) to 0x8396 in the same
// order, the katakana with ヴヵヶ at the end.
constexpr std::array<const char*, 86> kKana = {
    // "ｧ" "ｱ" "ｨ" "ｲ" "ｩ" "ｳ" "ｪ" "ｴ" "ｫ" "ｵ"
    "\xA7", "\xB1", "\xA8", "\xB2", "\xA9", "\xB3", "\xAA", "\xB4", "\xAB", "\xB5",
    // "ｶ" "ｶﾞ" "ｷ" "ｷﾞ" "ｸ" "ｸﾞ" "ｹ" "ｹﾞ" "ｺ" "ｺﾞ"
    "\xB6", "\xB6\xDE", "\xB7", "\xB7\xDE", "\xB8", "\xB8\xDE", "\xB9", "\xB9\xDE", "\xBA", "\xBA\xDE",
    // "ｻ" "ｻﾞ" "ｼ" "ｼﾞ" "ｽ" "ｽﾞ" "ｾ" "ｾﾞ" "ｿ" "ｿﾞ"
    "\xBB", "\xBB\xDE", "\xBC", "\xBC\xDE", "\xBD", "\xBD\xDE", "\xBE", "\xBE\xDE", "\xBF", "\xBF\xDE",
    // "ﾀ" "ﾀﾞ" "ﾁ" "ﾁﾞ" "ｯ" "ﾂ" "ﾂﾞ" "ﾃ" "ﾃﾞ" "ﾄ" "ﾄﾞ"
    "\xC0", "\xC0\xDE", "\xC1", "\xC1\xDE", "\xAF", "\xC2", "\xC2\xDE", "\xC3", "\xC3\xDE", "\xC4", "\xC4\xDE",
    "\xC5", "\xC6", "\xC7", "\xC8", "\xC9",  // "ﾅ" "ﾆ" "ﾇ" "ﾈ" "ﾉ"
    // "ﾊ" "ﾊﾞ" "ﾊﾟ" "ﾋ" "ﾋﾞ" "ﾋﾟ" "ﾌ" "ﾌﾞ" "ﾌﾟ"
    "\xCA", "\xCA\xDE", "\xCA\xDF", "\xCB", "\xCB\xDE", "\xCB\xDF", "\xCC", "\xCC\xDE", "\xCC\xDF",
    "\xCD", "\xCD\xDE", "\xCD\xDF", "\xCE", "\xCE\xDE", "\xCE\xDF",  // "ﾍ" "ﾍﾞ" "ﾍﾟ" "ﾎ" "ﾎﾞ" "ﾎﾟ"
    "\xCF", "\xD0", "\xD1", "\xD2", "\xD3",  // "ﾏ" "ﾐ" "ﾑ" "ﾒ" "ﾓ"
    "\xAC", "\xD4", "\xAD", "\xD5", "\xAE", "\xD6",  // "ｬ" "ﾔ" "ｭ" "ﾕ" "ｮ" "ﾖ"
    "\xD7", "\xD8", "\xD9", "\xDA", "\xDB",  // "ﾗ" "ﾘ" "ﾙ" "ﾚ" "ﾛ"
    "\xDC", "\xDC", "\xB2", "\xB4", "\xA6", "\xDD",  // "ﾜ" "ﾜ" "ｲ" "ｴ" "ｦ" "ﾝ"
    "\xB3\xDE", "\xB6", "\xB9"};  // "ｳﾞ" "ｶ" "ｹ"

// Full-width marks and punctuation in row 0x81.
const char* punctuation(unsigned char trail) {
  switch (trail) {
    case 0x40: return " ";
    case 0x41: return "\xA4";  // "､"
    case 0x42: return "\xA1";  // "｡"
    case 0x45: return "\xA5";  // "･"
    case 0x4A: return "\xDE";  // "ﾞ"
    case 0x4B: return "\xDF";  // "ﾟ"
    case 0x5B: return "\xB0";  // "ｰ"
    case 0x75: return "\xA2";  // "｢"
    case 0x76: return "\xA3";  // "｣"
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

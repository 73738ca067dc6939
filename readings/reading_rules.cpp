#include "readings/reading_rules.h"

#include "store/sjis_unicode.h"

namespace kx {

bool isKanjiCodePoint(char32_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) ||   // unified ideographs
         (c >= 0x3400 && c <= 0x4DBF) ||   // extension A
         (c >= 0xF900 && c <= 0xFAFF) ||   // compatibility ideographs
         (c >= 0x20000 && c <= 0x3FFFF) || // the supplementary planes' ideographs
         (c >= 0x3005 && c <= 0x3007);     // 々 〆 〇
}

namespace {

// Code page 932 places kanji in the JIS levels 1 and 2 (0x889F-0xEAA4) and
// in the two copies of the IBM extension (rows 0xED-0xEE and 0xFA-0xFC),
// whose first codes are roman numerals and signs.
bool isKanjiCode(unsigned char lead, unsigned char trail) {
  const unsigned code = lead << 8 | trail;
  if (code >= 0x8158 && code <= 0x815A) return true;  // 々 〆 〇
  if (code >= 0x889F && code <= 0xEAFC) return true;
  if (code >= 0xED40 && code <= 0xEEEC) return true;
  if (code >= 0xFA5C && code <= 0xFC4B) return true;
  return false;
}

}  // namespace

bool holdsKanji(std::string_view sjis) {
  for (std::size_t i = 0; i < sjis.size(); ++i) {
    const auto lead = static_cast<unsigned char>(sjis[i]);
    if (!isShiftJisLead(lead) || i + 1 == sjis.size()) continue;
    if (isKanjiCode(lead, static_cast<unsigned char>(sjis[i + 1]))) return true;
    ++i;
  }
  return false;
}

std::string kanjiInReadingRefusal(std::string_view nameReading, std::string_view companyReading) {
  if (holdsKanji(nameReading))
    return sjisText(u8"氏名のﾌﾘｶﾞﾅに漢字があります。読みをかなで入れてください");
  if (holdsKanji(companyReading))
    return sjisText(u8"会社名のﾌﾘｶﾞﾅに漢字があります。読みをかなで入れてください");
  return {};
}

bool utf8HoldsKanji(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    int n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    if (i + n > utf8.size()) return false;
    char32_t c = n == 1 ? b : b & (0x7F >> n);
    for (int k = 1; k < n; ++k) c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    if (isKanjiCodePoint(c)) return true;
    i += n;
  }
  return false;
}

}  // namespace kx

// What may stand in a reading (kana) box and what a proposed reading is
// made of. No Qt, no MeCab.
#pragma once

#include <string>
#include <string_view>

namespace kx {

// Whether a Unicode code point is a kanji or one of the marks written
// among kanji (々 〆 〇): what no reading holds.
bool isKanjiCodePoint(char32_t c);

// Whether Shift-JIS text holds a kanji or 々 〆 〇: the bytes one Space
// too many in an input method leaves in a reading box. Kana, letters,
// digits and signs, full-width or not, are not kanji.
bool holdsKanji(std::string_view sjis);

// Whether UTF-8 text holds a kanji code point.
bool utf8HoldsKanji(std::string_view utf8);

// Why the reading boxes of a form cannot be stored (Shift-JIS, naming the
// box that holds a kanji), or "" when both can.
std::string kanjiInReadingRefusal(std::string_view nameReading, std::string_view companyReading);

}  // namespace kx

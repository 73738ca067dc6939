// Shift-JIS (code page 932) <-> Qt's Unicode strings, through the program's
// one conversion (store/sjis_unicode.h). Conversion never fails: a byte that
// is not valid Shift-JIS (and a NUL byte, which only a damaged store file
// holds) shows as the replacement mark U+FFFD, and a character Shift-JIS
// cannot hold becomes 〓 (0x81 0xAC) with the caller told how many there
// were. Half-width katakana
// stay half-width both ways (0xA1-0xDF <-> U+FF61-U+FF9F).
#pragma once

#include <string>
#include <string_view>

#include <QString>

#include "store/sjis_unicode.h"

namespace kx::ui {

// The geta mark that stands in for a character Shift-JIS cannot hold.
inline constexpr std::string_view kGeta = kGetaMark;

// Shift-JIS bytes -> Unicode. Each byte that does not start a valid
// character becomes U+FFFD and conversion goes on with the next byte, so a
// double-byte character cut in half costs one mark and the rest is intact.
QString toUnicode(std::string_view sjis);

// Unicode -> Shift-JIS. Each character CP932 cannot hold (an unpaired
// surrogate included) becomes 〓; *replaced (when given) receives the count.
std::string fromUnicode(const QString& text, int* replaced = nullptr);

// Shift-JIS -> UTF-8 as the automation driver prints it: backslash as \\,
// line feed as \n, carriage return as \r, and each byte that does not start
// a valid character as \xHH (uppercase hex), a NUL byte as \x00.
std::string toDriverText(std::string_view sjis);

// Typed Unicode -> a kana key: fromUnicode, then hiragana and full-width
// katakana folded to half-width katakana (kx::halfWidthKana). The kana that
// input methods type but Shift-JIS lacks (hiragana vu and small ka/ke, the
// combining voiced marks) are taken as their katakana or spacing forms first,
// so they fold too instead of becoming geta marks.
std::string kanaKeyFromUnicode(const QString& text, int* replaced = nullptr);

// UTF-8 (typed into the driver) -> Shift-JIS, with the rule of fromUnicode;
// a malformed UTF-8 sequence counts as a character that cannot be held.
std::string fromUtf8(std::string_view utf8, int* replaced = nullptr);

// Code that includes Qt is compiled with a UTF-8 execution charset (Qt's
// headers do not build for code page 932), so its Japanese texts are u8
// literals: fromUtf8(u8"...") gives their Shift-JIS bytes.
std::string fromUtf8(std::u8string_view utf8, int* replaced = nullptr);

}  // namespace kx::ui

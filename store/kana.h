// Kana keys as an input method types them. Kana name and kana company keys
// are half-width katakana; typed text arrives as hiragana or full-width
// katakana unless the user converts every word by hand.
#pragma once

#include <string>
#include <string_view>

namespace kx {

// Shift-JIS text with hiragana and full-width katakana turned into
// half-width katakana: voiced and semi-voiced marks become separate marks
// (ガ -> ｶﾞ, パ -> ﾊﾟ, ヴ -> ｳﾞ), the long-vowel mark and the kana
// punctuation 。「」、・ their half-width forms, small kana without a
// half-width form their nearest one (ヵ -> ｶ, ヶ -> ｹ, ヮ -> ﾜ, ゐ/ヰ -> ｲ,
// ゑ/ヱ -> ｴ), the full-width space a space. Every other byte, and text that
// is already half-width, is left exactly as it is.
std::string halfWidthKana(std::string_view sjis);

}  // namespace kx

// Arabic numerals of an address as kanji numerals, for vertical writing.
// No Qt.
#pragma once

#include <string>
#include <string_view>

namespace kx::print {

enum class NumeralStyle {
  Positional,  // 12 -> 十二, 105 -> 百五
  Digits,      // 12 -> 一二, 105 -> 一〇五
};

// Every run of digits (half- or full-width) as kanji numerals; a dash or a
// long vowel mark standing between two digits becomes ―, so 1-2-3 reads
// 一―二―三. Words around the numbers (丁目, 番地, 号) stay as written. A
// number of more than four digits, or with a leading zero, is written
// digit by digit whatever the style.
std::u32string kanjiNumerals(std::u32string_view text, NumeralStyle style);

}  // namespace kx::print

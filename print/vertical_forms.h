// How characters stand in vertical writing: which are turned a quarter,
// which sit in the upper right of their cell, and the full-width forms that
// half-width katakana and Latin letters are set in. No Qt.
#pragma once

#include <string>
#include <string_view>

namespace kx::print {

// Long vowel mark, dashes, hyphens, the wave dash, ellipses, brackets and
// the like: drawn a quarter turn clockwise, as their vertical forms are.
bool turnedInVertical(char32_t c);
// Small kana (ぁ ッ ョ ...): set towards the upper right of their cell.
bool isSmallKana(char32_t c);
// 、。，．: set in the upper right quarter of their cell.
bool isCommaOrStop(char32_t c);

// Where a glyph stands in its cell in vertical writing, in ems from the
// cell's own place: x to the right, y downwards.
struct CellShift {
  double x = 0, y = 0;
};
CellShift verticalShift(char32_t c);

// Every character in a cell of its own: half-width katakana as full-width
// ones (a voiced or semi-voiced mark joined to the kana before it where the
// two make one kana) and, with latin, printable ASCII as its full-width
// form and the space as the full-width space.
std::u32string fullWidth(std::u32string_view text, bool latin = true);

// Whether a character takes half a cell in horizontal writing (the fonts
// used are fixed-pitch: ASCII and half-width katakana half, others whole).
bool isHalfWidth(char32_t c);

}  // namespace kx::print

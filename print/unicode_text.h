// The store's Shift-JIS text as the characters a printed card is set in.
// Printing places one glyph per character, so it works on code points.
// No Qt.
#pragma once

#include <string>
#include <string_view>

namespace kx::print {

// Shift-JIS bytes -> code points; a byte that starts no valid character
// (half of a cut double-byte character) becomes U+FFFD. Spaces at either
// end are dropped, as a fixed-width field is padded with them.
std::u32string fromSjis(std::string_view sjis);

std::u32string fromUtf8(std::string_view utf8);
std::string toUtf8(std::u32string_view text);

// Half-width and full-width spaces at either end removed.
std::u32string trimmed(std::u32string_view text);

bool isSpace(char32_t c);

}  // namespace kx::print

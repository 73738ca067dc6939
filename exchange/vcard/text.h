// The value codecs of vCard lines: text escaping, structured values,
// base64, quoted-printable, hex, and folding at 75 octets. No Qt.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

namespace kx::vcard {

// A physical line holds at most this many octets before its CR LF.
constexpr std::size_t kFoldWidth = 75;

// Appends the logical line folded at kFoldWidth octets, never inside a
// UTF-8 character, each continuation starting with a space, CR LF after
// every physical line.
void appendFolded(std::string& out, std::string_view line);

// Appends UTF-8 text escaped as a text value or component: backslash,
// comma, semicolon (unless not semicolons) and line feed.
void appendEscaped(std::string& out, std::string_view text, bool semicolons = true);
// The reverse: \n and \N are a line feed, \x is x for any other x.
void appendUnescaped(std::string& out, std::string_view text);

// The position of the first semicolon that is not escaped, or npos.
std::size_t findUnescaped(std::string_view value, char separator, std::size_t from = 0);

void appendBase64(std::string& out, std::string_view bytes);
// White space and padding are skipped; false for any other byte outside
// the alphabet, data after padding, or a last group of one symbol.
bool decodeBase64(std::string_view text, std::string& out);

// Soft line breaks ("=" at the end of a line) are already gone when the
// value gets here; "=" must be followed by two hex digits.
bool decodeQuotedPrintable(std::string_view text, std::string& out);

void appendHex(std::string& out, std::string_view bytes);
bool decodeHex(std::string_view text, std::string& out);

// ASCII case-insensitive equality and prefix test. Inline: a card's every
// property name goes through them.
inline bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  // Names come in the case they are written in, mostly: one compare of
  // the whole (b is usually a literal, so a few loads).
  if (b.empty() || std::memcmp(a.data(), b.data(), b.size()) == 0) return true;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = a[i], y = b[i];
    if (x == y) continue;
    const char lx = static_cast<char>(x | 0x20);
    if (lx != (y | 0x20) || lx < 'a' || lx > 'z') return false;
  }
  return true;
}
inline bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace kx::vcard

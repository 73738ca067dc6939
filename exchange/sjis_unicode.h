// Shift-JIS (code page 932) <-> Unicode for the files other programs read:
// vCards are UTF-8 while the store is Shift-JIS. The mapping is glibc
// iconv's CP932, taken once into two tables so that a card costs no
// converter call per value. No Qt.
#pragma once

#include <string>
#include <string_view>

namespace kx {

// The geta mark that stands in for a character Shift-JIS cannot hold.
inline constexpr std::string_view kGetaMark = "\x81\xAC";

// Appends the UTF-8 of Shift-JIS text. A byte that starts no valid
// character (half of a cut double-byte character) becomes U+FFFD, and a
// control byte a space unless keepControls (line breaks of a text being
// read). Returns true when putSjis of the result gives back exactly the
// same bytes: every character valid, not a control byte, and the one code
// page 932 maps its code point back to (of the duplicate NEC and IBM codes
// only one comes back).
bool appendUtf8(std::string& out, std::string_view sjis, bool keepControls = false);

inline std::string sjisToUtf8(std::string_view sjis) {
  std::string out;
  appendUtf8(out, sjis);
  return out;
}

// What fitting a text into a field did to it.
struct TextFit {
  bool shortened = false;  // text past the width dropped
  bool replaced = false;   // characters Shift-JIS cannot hold became 〓
};

// Writes the Shift-JIS of UTF-8 text into a field of width bytes, cut at a
// character boundary, padded with spaces, slot[width] = 0. A malformed UTF-8
// sequence counts as a character Shift-JIS cannot hold; line breaks and tabs
// become spaces.
TextFit putSjis(char* slot, int width, std::string_view utf8);

// UTF-8 -> Shift-JIS, every character Shift-JIS cannot hold as 〓; *replaced
// (when given) is set when there was one.
std::string utf8ToSjis(std::string_view utf8, bool* replaced = nullptr);

// Shift-JIS bytes into a field of width bytes: cut before a double-byte
// character that would stand across the width, padded with spaces,
// slot[width] = 0.
TextFit putSjisBytes(char* slot, int width, std::string_view sjis);

// Text in a charset some card declared (ISO-2022-JP, EUC-JP ...) -> UTF-8
// through iconv. False when iconv does not know the charset or the text is
// not in it.
bool charsetToUtf8(const std::string& charset, std::string_view in, std::string& out);

// Whether the bytes are well-formed UTF-8.
bool isUtf8(std::string_view text);

}  // namespace kx

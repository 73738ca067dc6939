// Shift-JIS (code page 932) <-> Unicode for the files other programs read
// (vCards are UTF-8 while the store is Shift-JIS) and for the program's own
// texts. The mapping is glibc
// iconv's CP932, taken once into two tables so that a card costs no
// converter call per value. No Qt.
#pragma once

#include <string>
#include <string_view>

namespace kx {

// The first byte of a double-byte character.
constexpr bool isShiftJisLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The geta mark that stands in for a character Shift-JIS cannot hold.
inline constexpr std::string_view kGetaMark = "\x81\xAC";

// Appends the UTF-8 of Shift-JIS text. A byte that starts no valid
// character (half of a cut double-byte character) becomes U+FFFD, and a
// control byte a space unless keepControls (line breaks of a text being
// read). Returns true when SjisField of the result gives back exactly the
// same bytes: every character valid, not a control byte, and the one code
// page 932 maps its code point back to (of the duplicate NEC and IBM codes
// only one comes back).
bool appendUtf8(std::string& out, std::string_view sjis, bool keepControls = false);

// What fitting a text into a field did to it.
struct TextFit {
  bool shortened = false;  // text past the width dropped
  bool replaced = false;   // characters Shift-JIS cannot hold became 〓
};

// The ASCII form of a full-width digit, plus, parenthesis or hyphen, or of
// a dash typed for a hyphen (U+2010..U+2015, U+2212, U+30FC); 0 for any
// other code point.
char asciiFormOf(char32_t cp);

// Shift-JIS built into a fixed field a piece at a time: each character
// whole or not at all, the rest of the width filled with spaces by finish().
// Characters Shift-JIS cannot hold become 〓; line breaks, tabs and other
// control characters spaces.
class SjisField {
 public:
  SjisField(char* slot, int width) : slot_(slot), width_(width) {}
  // UTF-8 text; with escaped, a card value's backslash escapes are undone on
  // the way; with narrow, full-width digits and signs become their ASCII
  // forms (asciiFormOf) on the way. False when the text was not well-formed
  // UTF-8 (each bad byte then counts as a character Shift-JIS cannot hold).
  bool addUtf8(std::string_view utf8, bool escaped = false, bool narrow = false);
  // Shift-JIS bytes as they are, a double-byte character taken whole.
  void addSjis(std::string_view sjis);
  TextFit finish();  // pads to the width; slot[width] = 0

 private:
  void put(const char* bytes, int n, bool geta = false) {
    // Only what is more than trailing spaces counts as cut off.
    if (full_ || at_ + n > width_) {
      full_ = true;
      fit_.shortened = fit_.shortened || !(n == 1 && bytes[0] == ' ');
      return;
    }
    slot_[at_++] = bytes[0];
    if (n == 2) slot_[at_++] = bytes[1];
    fit_.replaced = fit_.replaced || geta;
  }
  char* slot_;
  int width_;
  int at_ = 0;
  bool full_ = false;
  TextFit fit_;
};

// Appends the Shift-JIS of UTF-8 text (escaped: as SjisField::addUtf8),
// every character Shift-JIS cannot hold as 〓; *replaced (when given) is set
// when there was one.
void appendSjis(std::string& out, std::string_view utf8, bool escaped, bool* replaced = nullptr);

// UTF-8 -> Shift-JIS, every character Shift-JIS cannot hold as 〓.
inline std::string utf8ToSjis(std::string_view utf8, bool* replaced = nullptr) {
  std::string out;
  appendSjis(out, utf8, false, replaced);
  return out;
}

// A Japanese text of the program's own (a message, a caption), written in
// the source as a u8 literal so that its bytes never depend on a compiler's
// execution charset: sjisText(u8"開けません").
inline std::string sjisText(std::u8string_view utf8) {
  return utf8ToSjis(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

// Shift-JIS bytes into a field of width bytes: cut before a double-byte
// character that would stand across the width, padded with spaces,
// slot[width] = 0.
inline TextFit putSjisBytes(char* slot, int width, std::string_view sjis) {
  SjisField f(slot, width);
  f.addSjis(sjis);
  return f.finish();
}

// Text in a charset some card declared (ISO-2022-JP, EUC-JP ...) -> UTF-8
// through iconv. False when iconv does not know the charset or the text is
// not in it.
bool charsetToUtf8(const std::string& charset, std::string_view in, std::string& out);

// The character of Shift-JIS text at text[i], i moved past its one or two
// bytes. A byte that starts no character (half of a cut double-byte
// character, a code the code page leaves unused) gives kNotSjis and moves i
// past that byte alone: the next may start a character of its own.
inline constexpr char32_t kNotSjis = 0xFFFFFFFF;
char32_t nextSjisChar(std::string_view text, std::size_t& i);

// The Shift-JIS bytes (1 or 2) of a code point written to out; 0 when code
// page 932 cannot hold it. Besides the codes that read back as the code
// point, the few that the code page writes one way only count (the wave
// dash U+301C as 0x8160, the yen sign as 0x5C ...), as typed text has them.
int sjisBytesOf(char32_t cp, char out[2]);

// Appends the UTF-8 of one code point (below U+10000).
void appendUtf8CodePoint(std::string& out, char32_t cp);

// Whether the bytes are well-formed UTF-8.
bool isUtf8(std::string_view text);

// Whether text that is not well-formed UTF-8 is still UTF-8 with a few
// stray bytes rather than another code: it holds some multi-byte UTF-8
// characters, at least as many as bytes that start none.
bool isMostlyUtf8(std::string_view text);

}  // namespace kx

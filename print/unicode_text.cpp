#include "print/unicode_text.h"

#include "store/sjis_unicode.h"

namespace kx::print {

bool isSpace(char32_t c) { return c == U' ' || c == U'\u3000'; }

std::u32string trimmed(std::u32string_view text) {
  std::size_t a = 0, b = text.size();
  while (a < b && isSpace(text[a])) ++a;
  while (b > a && isSpace(text[b - 1])) --b;
  return std::u32string(text.substr(a, b - a));
}

std::u32string fromSjis(std::string_view sjis) {
  std::string utf8;
  appendUtf8(utf8, sjis);
  return trimmed(fromUtf8(utf8));
}

std::u32string fromUtf8(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const int n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > utf8.size()) {
      out += U'\uFFFD';
      ++i;
      continue;
    }
    char32_t c = n == 1 ? b : b & (0x7F >> n);
    bool ok = true;
    for (int k = 1; k < n; ++k) {
      const auto t = static_cast<unsigned char>(utf8[i + k]);
      ok = ok && (t & 0xC0) == 0x80;
      c = c << 6 | (t & 0x3F);
    }
    out += ok ? c : U'\uFFFD';
    i += ok ? n : 1;
  }
  return out;
}

std::string toUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (const char32_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace kx::print

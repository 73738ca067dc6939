#include "ui/encoding.h"

#include "store/kana.h"
#include "store/sjis_unicode.h"

namespace kx::ui {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The character at sjis[i] as a widget shows it: a byte that starts no
// character, and a NUL byte (only a damaged store holds one, and it must
// show rather than end the text), as kNotSjis.
char32_t shownChar(std::string_view sjis, std::size_t& i) {
  if (sjis[i] == '\0') {
    ++i;
    return kNotSjis;
  }
  return nextSjisChar(sjis, i);
}

}  // namespace

QString toUnicode(std::string_view sjis) {
  // Code page 932 reads into the basic plane: one UTF-16 unit a character.
  QString out(static_cast<qsizetype>(sjis.size()), Qt::Uninitialized);
  QChar* o = out.data();
  for (std::size_t i = 0; i < sjis.size();) {
    const char32_t c = shownChar(sjis, i);
    *o++ = QChar(c == kNotSjis ? kReplacement : static_cast<char16_t>(c));
  }
  out.truncate(static_cast<qsizetype>(o - out.data()));
  return out;
}

std::string fromUnicode(const QString& text, int* replaced) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()) * 2);
  int count = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    char bytes[2];
    // Nothing outside the basic plane is in the code page: a surrogate pair
    // is one character to replace, and so is an unpaired surrogate.
    const int n = c.isSurrogate() ? 0 : sjisBytesOf(c.unicode(), bytes);
    if (n == 0) {
      out += kGeta;
      ++count;
      if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
    } else {
      out.append(bytes, static_cast<std::size_t>(n));
    }
  }
  if (replaced) *replaced = count;
  return out;
}

std::string kanaKeyFromUnicode(const QString& text, int* replaced) {
  QString typed = text;
  for (QChar& c : typed) {
    switch (c.unicode()) {
      case 0x3094: c = QChar(0x30F4); break;  // ゔ -> ヴ
      case 0x3095: c = QChar(0x30F5); break;  // small ka -> ヵ
      case 0x3096: c = QChar(0x30F6); break;  // small ke -> ヶ
      case 0x3099: c = QChar(0x309B); break;  // combining voiced mark -> ゛
      case 0x309A: c = QChar(0x309C); break;  // combining semi-voiced mark -> ゜
      default: break;
    }
  }
  return halfWidthKana(fromUnicode(typed, replaced));
}

std::string toDriverText(std::string_view sjis) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(sjis.size() * 2);
  for (std::size_t i = 0; i < sjis.size();) {
    const std::size_t at = i;
    const char32_t c = shownChar(sjis, i);
    if (c == kNotSjis) {
      const auto b = static_cast<unsigned char>(sjis[at]);
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      appendUtf8CodePoint(out, c);
    }
  }
  return out;
}

std::string fromUtf8(std::string_view utf8, int* replaced) {
  return fromUnicode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())), replaced);
}

std::string fromUtf8(std::u8string_view utf8, int* replaced) {
  return fromUtf8(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()),
                  replaced);
}

}  // namespace kx::ui

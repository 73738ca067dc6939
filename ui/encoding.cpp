#include "ui/encoding.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "store/kana.h"

namespace kx::ui {
namespace {

// QString holds UTF-16 in the machine's byte order; iconv's plain "UTF-16"
// would add a byte order mark, so name the order.
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacement = 0xFFFD;

class Converter {
 public:
  // stopAtNul: a NUL byte counts as a bad sequence. Shift-JIS text holds
  // one only in a damaged store, and it must show rather than end the text.
  Converter(const char* to, const char* from, bool stopAtNul = false)
      : cd_(iconv_open(to, from)), stopAtNul_(stopAtNul) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts from the start of in up to its end or to the first sequence
  // that cannot be converted, appending to out. Returns the input bytes used;
  // fewer than in.size() means the sequence at that offset is bad.
  size_t run(std::string_view in, std::string& out) {
    if (stopAtNul_) in = in.substr(0, in.find('\0'));
    if (in.empty()) return 0;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* inp = const_cast<char*>(in.data());  // iconv's signature; it does not write
    size_t inLeft = in.size();
    size_t used = out.size();
    out.resize(used + in.size() * 3 + 8);
    for (;;) {
      char* outp = out.data() + used;
      size_t outLeft = out.size() - used;
      const size_t r = iconv(cd_, &inp, &inLeft, &outp, &outLeft);
      used = static_cast<size_t>(outp - out.data());
      if (r == static_cast<size_t>(-1) && errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      break;  // done, or stopped at a bad (EILSEQ) or cut-off (EINVAL) sequence
    }
    out.resize(used);
    return in.size() - inLeft;
  }

 private:
  iconv_t cd_;
  bool stopAtNul_;
};

Converter& sjisToUtf16() {
  thread_local Converter c(kUtf16, "CP932", true);
  return c;
}
Converter& utf16ToSjis() {
  thread_local Converter c("CP932", kUtf16);
  return c;
}
Converter& sjisToUtf8() {
  thread_local Converter c("UTF-8", "CP932", true);
  return c;
}

void appendUnit(std::string& utf16, char16_t u) {
  char b[sizeof u];
  std::memcpy(b, &u, sizeof u);
  utf16.append(b, sizeof u);
}

void appendEscaped(std::string& out, std::string_view utf8) {
  for (char c : utf8) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
}

}  // namespace

QString toUnicode(std::string_view sjis) {
  std::string utf16;
  utf16.reserve(sjis.size() * 2);
  size_t pos = 0;
  while (pos < sjis.size()) {
    pos += sjisToUtf16().run(sjis.substr(pos), utf16);
    if (pos < sjis.size()) {
      appendUnit(utf16, kReplacement);
      ++pos;  // only the bad byte: what follows may be a valid character
    }
  }
  return QString(reinterpret_cast<const QChar*>(utf16.data()),
                 static_cast<qsizetype>(utf16.size() / 2));
}

std::string fromUnicode(const QString& text, int* replaced) {
  const std::string_view in(reinterpret_cast<const char*>(text.utf16()),
                            static_cast<size_t>(text.size()) * 2);
  std::string out;
  out.reserve(in.size());
  int count = 0;
  size_t pos = 0;
  while (pos < in.size()) {
    pos += utf16ToSjis().run(in.substr(pos), out);
    if (pos < in.size()) {
      const qsizetype i = static_cast<qsizetype>(pos / 2);
      const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() &&
                        text[i + 1].isLowSurrogate();
      out += kGeta;
      ++count;
      pos += pair ? 4 : 2;
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
  std::string out, run;
  out.reserve(sjis.size() * 2);
  size_t pos = 0;
  while (pos < sjis.size()) {
    run.clear();
    pos += sjisToUtf8().run(sjis.substr(pos), run);
    appendEscaped(out, run);
    if (pos < sjis.size()) {
      const auto b = static_cast<unsigned char>(sjis[pos]);
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
      ++pos;
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

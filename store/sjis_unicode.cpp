#include "store/sjis_unicode.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <cstdint>
#include <memory>
#include <utility>

namespace kx {

namespace {

constexpr std::uint16_t kNone = 0xFFFF;  // neither a code point nor a Shift-JIS code here
constexpr char32_t kReplacement = 0xFFFD;

bool isControl(char32_t c) { return c < 0x20 || c == 0x7F; }

// A Shift-JIS code is its one byte, or lead << 8 | trail.
struct Tables {
  std::array<std::uint16_t, 0x10000> toUnicode;
  std::array<std::uint16_t, 0x10000> fromUnicode;
  Tables();
};

// One character through a converter; the code point, or kNone.
char32_t convertOne(iconv_t cd, const char* in, std::size_t n) {
  char32_t out[2] = {};
  char* ip = const_cast<char*>(in);
  char* op = reinterpret_cast<char*>(out);
  std::size_t il = n, ol = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0 ||
      ol != sizeof out - sizeof(char32_t) || out[0] >= 0x10000)
    return kNone;
  return out[0];
}

Tables::Tables() {
  toUnicode.fill(kNone);
  fromUnicode.fill(kNone);
  iconv_t in = iconv_open("UTF-32LE", "CP932");
  iconv_t back = iconv_open("CP932", "UTF-32LE");
  if (in == reinterpret_cast<iconv_t>(-1) || back == reinterpret_cast<iconv_t>(-1)) return;
  auto take = [&](std::uint16_t code, const char* bytes, std::size_t n) {
    const char32_t u = convertOne(in, bytes, n);
    if (u != kNone) toUnicode[code] = static_cast<std::uint16_t>(u);
  };
  for (int b = 0; b < 0x100; ++b) {
    if (isShiftJisLead(static_cast<unsigned char>(b))) continue;
    const char c = static_cast<char>(b);
    take(static_cast<std::uint16_t>(b), &c, 1);
  }
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!isShiftJisLead(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      take(static_cast<std::uint16_t>(lead << 8 | trail), bytes, 2);
    }
  }
  // Which of the codes that share a code point the converter writes.
  for (std::size_t code = 0; code < toUnicode.size(); ++code) {
    const std::uint16_t u = toUnicode[code];
    if (u == kNone || fromUnicode[u] != kNone) continue;
    const char32_t cp = u;
    char out[4] = {};
    char* ip = reinterpret_cast<char*>(const_cast<char32_t*>(&cp));
    char* op = out;
    std::size_t il = sizeof cp, ol = sizeof out;
    iconv(back, nullptr, nullptr, nullptr, nullptr);
    if (iconv(back, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) continue;
    const std::size_t n = sizeof out - ol;
    const auto b0 = static_cast<unsigned char>(out[0]), b1 = static_cast<unsigned char>(out[1]);
    if (n == 1) fromUnicode[u] = b0;
    if (n == 2) fromUnicode[u] = static_cast<std::uint16_t>(b0 << 8 | b1);
  }
  iconv_close(in);
  iconv_close(back);
  // What Mac and iPhone keyboards type for 〜, −, ‖, ¢, £, ¬ and —: code
  // page 932 maps those codes to other code points, the conventional JIS
  // mapping to these. Read as the codes every Japanese user expects; they
  // are written out again as code page 932 has them.
  static constexpr std::pair<char16_t, std::uint16_t> kJisMapping[] = {
      {0x301C, 0x8160}, {0x2016, 0x8161}, {0x2212, 0x817C}, {0x00A2, 0x8191},
      {0x00A3, 0x8192}, {0x00AC, 0x81CA}, {0x2014, 0x815C}, {0x2015, 0x815C}};
  for (const auto& [u, code] : kJisMapping)
    if (fromUnicode[u] == kNone && toUnicode[code] != kNone) fromUnicode[u] = code;
}

const Tables& tables() {
  static const std::unique_ptr<Tables> t = std::make_unique<Tables>();
  return *t;
}

// The UTF-8 of a code point below U+10000 written to o; its length.
std::size_t utf8Of(char32_t c, char* o) {
  if (c < 0x80) {
    o[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    o[0] = static_cast<char>(0xC0 | c >> 6);
    o[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  o[0] = static_cast<char>(0xE0 | c >> 12);
  o[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
  o[2] = static_cast<char>(0x80 | (c & 0x3F));
  return 3;
}

// The code point at text[i] and its length in bytes; length 0 for a
// malformed sequence (overlong, surrogate, cut short, out of range).
char32_t decodeUtf8(std::string_view text, std::size_t i, std::size_t* length) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
  const unsigned char c = b(0);
  *length = 0;
  if (c < 0x80) {
    *length = 1;
    return c;
  }
  std::size_t n = 0;
  char32_t cp = 0, min = 0;
  if (c >= 0xC2 && c <= 0xDF) n = 2, cp = c & 0x1F, min = 0x80;
  else if (c >= 0xE0 && c <= 0xEF) n = 3, cp = c & 0x0F, min = 0x800;
  else if (c >= 0xF0 && c <= 0xF4) n = 4, cp = c & 0x07, min = 0x10000;
  else return 0;
  if (i + n > text.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(k) & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (b(k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  *length = n;
  return cp;
}

// The bytes iconv writes for a code point the tables do not hold: one of
// the few the code page writes but never reads back, or none.
int oneWaySjis(char32_t cp, char bytes[2]) {
  struct Converter {
    iconv_t cd = iconv_open("CP932", "UTF-32LE");
    ~Converter() {
      if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
  };
  thread_local Converter c;
  if (c.cd == reinterpret_cast<iconv_t>(-1)) return 0;
  char out[4];
  char* ip = reinterpret_cast<char*>(&cp);
  char* op = out;
  std::size_t il = sizeof cp, ol = sizeof out;
  iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(c.cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) return 0;
  const std::size_t n = sizeof out - ol;
  if (n != 1 && n != 2) return 0;
  bytes[0] = out[0];
  if (n == 2) bytes[1] = out[1];
  return static_cast<int>(n);
}

// The bytes of a table code (one byte below 0x100, else lead and trail).
int bytesOfCode(std::uint16_t code, char bytes[2]) {
  if (code < 0x100) {
    bytes[0] = static_cast<char>(code);
    return 1;
  }
  bytes[0] = static_cast<char>(code >> 8);
  bytes[1] = static_cast<char>(code & 0xFF);
  return 2;
}

// Whether asciiFormOf(cp) may give a character: kanji and kana are told
// apart without a call.
constexpr bool mayNarrow(char32_t cp) {
  return cp >= 0xFF08 || (cp >= 0x2010 && cp <= 0x2212) || cp == 0x30FC;
}

// The code point of a three-byte UTF-8 sequence, or 0 when p holds none.
char32_t decodeThree(const unsigned char* p) {
  if ((p[0] & 0xF0) != 0xE0 || (p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80) return 0;
  return (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
}

}  // namespace

char asciiFormOf(char32_t cp) {
  if (cp >= 0xFF10 && cp <= 0xFF19) return static_cast<char>('0' + (cp - 0xFF10));  // ０-９
  if (cp >= 0x2010 && cp <= 0x2015) return '-';  // ‐ ‑ ‒ – — ―
  switch (cp) {
    case 0xFF0B: return '+';  // ＋
    case 0xFF08: return '(';  // （
    case 0xFF09: return ')';  // ）
    case 0xFF0D: return '-';  // －
    case 0x2212: return '-';  // −
    case 0x30FC: return '-';  // ー
    default: return 0;
  }
}

int sjisBytesOf(char32_t cp, char bytes[2]) {
  if (cp < 0x80) {
    bytes[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp >= 0x10000) return 0;
  const std::uint16_t code = tables().fromUnicode[cp];
  return code == kNone ? oneWaySjis(cp, bytes) : bytesOfCode(code, bytes);
}

char32_t nextSjisChar(std::string_view text, std::size_t& i) {
  const auto c = static_cast<unsigned char>(text[i]);
  std::uint16_t code = c;
  std::size_t n = 1;
  if (isShiftJisLead(c) && i + 1 < text.size()) {
    code = static_cast<std::uint16_t>(c << 8 | static_cast<unsigned char>(text[i + 1]));
    n = 2;
  }
  const std::uint16_t u = tables().toUnicode[code];
  if (u == kNone) {
    ++i;
    return kNotSjis;
  }
  i += n;
  return u;
}

void appendUtf8CodePoint(std::string& out, char32_t c) {
  char b[3];
  out.append(b, utf8Of(c, b));
}

bool appendUtf8(std::string& out, std::string_view sjis, bool keepControls) {
  const Tables& t = tables();
  // At most three bytes of UTF-8 for each byte of Shift-JIS.
  const std::size_t start = out.size();
  out.resize(start + sjis.size() * 3);
  char* o = out.data() + start;
  auto emit = [&o](char32_t c) { o += utf8Of(c, o); };
  bool clean = true;
  for (std::size_t i = 0; i < sjis.size();) {
    const auto c = static_cast<unsigned char>(sjis[i]);
    if (c < 0x80) {
      if (isControl(c)) {
        *o++ = keepControls ? static_cast<char>(c) : ' ';
        clean = false;
      } else {
        *o++ = static_cast<char>(c);
      }
      ++i;
      continue;
    }
    std::uint16_t code = c;
    std::size_t n = 1;
    if (isShiftJisLead(c) && i + 1 < sjis.size()) {
      code = static_cast<std::uint16_t>(c << 8 | static_cast<unsigned char>(sjis[i + 1]));
      n = 2;
    }
    const std::uint16_t u = t.toUnicode[code];
    if (u == kNone) {
      emit(kReplacement);
      clean = false;
      ++i;  // the next byte may start a character of its own
      continue;
    }
    emit(u);
    if (t.fromUnicode[u] != code) clean = false;
    i += n;
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return clean;
}

bool SjisField::addUtf8(std::string_view utf8, bool escaped, bool narrow) {
  if (utf8.empty()) return true;
  const std::uint16_t* const fromUnicode = tables().fromUnicode.data();
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t size = utf8.size();
  bool wellFormed = true;
  // The field's state in locals: a byte stored through slot_ could alias
  // the members, which the loop would then read again after every byte.
  char* const slot = slot_;
  const std::size_t width = static_cast<std::size_t>(width_);
  std::size_t at = static_cast<std::size_t>(at_);
  bool full = full_;
  TextFit fit = fit_;
  // Past the width only what is more than trailing spaces counts as cut off.
  const auto put1 = [&](unsigned char b) {
    if (full || at >= width) {
      full = true;
      fit.shortened = fit.shortened || b != ' ';
      return;
    }
    slot[at++] = static_cast<char>(b);
  };
  const auto put2 = [&](std::uint16_t code, bool geta) {
    if (full || at + 2 > width) {
      full = true;
      fit.shortened = true;
      return;
    }
    slot[at] = static_cast<char>(code >> 8);
    slot[at + 1] = static_cast<char>(code & 0xFF);
    at += 2;
    fit.replaced = fit.replaced || geta;
  };
  const auto geta = static_cast<std::uint16_t>(static_cast<unsigned char>(kGetaMark[0]) << 8 |
                                               static_cast<unsigned char>(kGetaMark[1]));
  for (std::size_t i = 0; i < size;) {
    auto c = p[i];
    if (c < 0x80) {
      // A run of printable ASCII without escapes is copied whole.
      std::size_t j = i;
      while (j < size && p[j] >= 0x20 && p[j] < 0x7F && p[j] != '\\') ++j;
      if (j > i) {
        const std::size_t n = j - i, room = full ? 0 : width - at;
        const std::size_t k = n < room ? n : room;
        std::memcpy(slot + at, p + i, k);
        at += k;
        if (k < n) {
          full = true;
          for (std::size_t q = i + k; q < j && !fit.shortened; ++q) fit.shortened = p[q] != ' ';
        }
        i = j;
        continue;
      }
      if (escaped && c == '\\' && i + 1 < size) {
        if (p[i + 1] < 0x80) {
          c = p[++i];
          if (c == 'n' || c == 'N') c = ' ';
        } else if (narrow && i + 3 < size) {
          // The escaped character is the ASCII form of a full-width one.
          const char a = asciiFormOf(decodeThree(p + i + 1));
          if (a != 0) {
            c = static_cast<unsigned char>(a);
            i += 3;
          }
        }
      }
      put1(isControl(c) ? ' ' : c);
      ++i;
      continue;
    }
    // Three bytes, as nearly every Japanese character: decoded here.
    if ((c & 0xF0) == 0xE0 && i + 2 < size) {
      const unsigned b1 = p[i + 1] ^ 0x80u, b2 = p[i + 2] ^ 0x80u;
      const char32_t cp = (c & 0x0Fu) << 12 | b1 << 6 | b2;
      if ((b1 | b2) < 0x40 && cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
        const char a = narrow && mayNarrow(cp) ? asciiFormOf(cp) : 0;
        const std::uint16_t code = a != 0 ? static_cast<std::uint16_t>(a) : fromUnicode[cp];
        char b[2];
        const int oneWay = code == kNone ? oneWaySjis(cp, b) : 0;
        if (oneWay == 1) put1(static_cast<unsigned char>(b[0]));
        else if (oneWay == 2) put2(static_cast<std::uint16_t>(static_cast<unsigned char>(b[0]) << 8 | static_cast<unsigned char>(b[1])), false);
        else if (code == kNone) put2(geta, true);
        else if (code < 0x100) put1(static_cast<unsigned char>(code));
        else put2(code, false);
        i += 3;
        continue;
      }
    }
    std::size_t len = 0;
    const char32_t cp = decodeUtf8(utf8, i, &len);
    char bytes[2];
    const int n = len == 0 ? 0 : sjisBytesOf(cp, bytes);
    if (len == 0) wellFormed = false;
    if (n == 0) put2(geta, true);
    else if (n == 1) put1(static_cast<unsigned char>(bytes[0]));
    else put2(static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                         static_cast<unsigned char>(bytes[1])),
              false);
    i += len == 0 ? 1 : len;
  }
  at_ = static_cast<int>(at);
  full_ = full;
  fit_ = fit;
  return wellFormed;
}

void SjisField::addSjis(std::string_view sjis) {
  for (std::size_t i = 0; i < sjis.size();) {
    const std::size_t n =
        isShiftJisLead(static_cast<unsigned char>(sjis[i])) && i + 1 < sjis.size() ? 2 : 1;
    put(sjis.data() + i, static_cast<int>(n));
    i += n;
  }
}

TextFit SjisField::finish() {
  if (at_ < width_) std::memset(slot_ + at_, ' ', static_cast<std::size_t>(width_ - at_));
  slot_[width_] = '\0';
  return fit_;
}

void appendSjis(std::string& out, std::string_view utf8, bool escaped, bool* replaced) {
  for (std::size_t i = 0; i < utf8.size();) {
    auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      if (escaped && c == '\\' && i + 1 < utf8.size() &&
          static_cast<unsigned char>(utf8[i + 1]) < 0x80) {
        c = static_cast<unsigned char>(utf8[++i]);
        if (c == 'n' || c == 'N') c = '\n';
      }
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    std::size_t len = 0;
    const char32_t cp = decodeUtf8(utf8, i, &len);
    char bytes[2];
    const int n = len == 0 ? 0 : sjisBytesOf(cp, bytes);
    if (n == 0) {
      out.append(kGetaMark);
      if (replaced) *replaced = true;
    } else {
      out.append(bytes, static_cast<std::size_t>(n));
    }
    i += len == 0 ? 1 : len;
  }
}

bool charsetToUtf8(const std::string& charset, std::string_view in, std::string& out) {
  iconv_t cd = iconv_open("UTF-8", charset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.clear();
  char* ip = const_cast<char*>(in.data());
  std::size_t il = in.size();
  bool ok = true;
  char buf[4096];
  while (ok) {
    char* op = buf;
    std::size_t ol = sizeof buf;
    const std::size_t r = iconv(cd, il > 0 ? &ip : nullptr, &il, &op, &ol);
    out.append(buf, sizeof buf - ol);
    if (r != static_cast<std::size_t>(-1)) {
      if (il == 0) break;
    } else if (errno != E2BIG) {
      ok = false;
    }
  }
  iconv_close(cd);
  return ok;
}

bool isUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size;) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    // Three bytes, as nearly every Japanese character.
    if ((c & 0xF0) == 0xE0 && i + 2 < size && (p[i + 1] & 0xC0) == 0x80 &&
        (p[i + 2] & 0xC0) == 0x80 && (c != 0xE0 || p[i + 1] >= 0xA0) &&
        (c != 0xED || p[i + 1] < 0xA0)) {
      i += 3;
      continue;
    }
    std::size_t len = 0;
    decodeUtf8(text, i, &len);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

bool isMostlyUtf8(std::string_view text) {
  std::size_t characters = 0, stray = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = 0;
    decodeUtf8(text, i, &len);
    if (len == 0) ++stray;
    else if (len > 1) ++characters;
    i += len == 0 ? 1 : len;
  }
  return characters > 0 && characters >= stray;
}

}  // namespace kx

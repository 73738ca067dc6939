#include "exchange/vcard/text.h"

#include <array>

namespace kx::vcard {

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHexDigits[] = "0123456789ABCDEF";

constexpr std::array<signed char, 256> kBase64Value = [] {
  std::array<signed char, 256> v{};
  v.fill(-1);
  for (int i = 0; i < 64; ++i) v[static_cast<unsigned char>(kBase64[i])] = static_cast<signed char>(i);
  return v;
}();

constexpr std::array<signed char, 256> kHexValue = [] {
  std::array<signed char, 256> v{};
  v.fill(-1);
  for (int i = 0; i < 16; ++i) {
    v[static_cast<unsigned char>(kHexDigits[i])] = static_cast<signed char>(i);
    v[static_cast<unsigned char>("0123456789abcdef"[i])] = static_cast<signed char>(i);
  }
  return v;
}();

int hexValue(char c) { return kHexValue[static_cast<unsigned char>(c)]; }

}  // namespace

void appendFolded(std::string& out, std::string_view line) {
  std::size_t limit = kFoldWidth;
  while (line.size() > limit) {
    std::size_t cut = limit;
    // Back to the start of the character standing across the fold.
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    if (cut == 0) cut = limit;  // not UTF-8 after all: fold where the octets say
    out.append(line.data(), cut).append("\r\n ");
    line.remove_prefix(cut);
    limit = kFoldWidth - 1;  // the continuation's leading space counts
  }
  out.append(line).append("\r\n");
}

void appendEscaped(std::string& out, std::string_view text, bool semicolons) {
  std::size_t plain = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\\' && c != ',' && (c != ';' || !semicolons) && c != '\n') continue;
    out.append(text.data() + plain, i - plain);
    out += '\\';
    out += c == '\n' ? 'n' : c;
    plain = i + 1;
  }
  out.append(text.data() + plain, text.size() - plain);
}

void appendUnescaped(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += (c == 'n' || c == 'N') ? '\n' : c;
  }
}

std::size_t findUnescaped(std::string_view value, char separator, std::size_t from) {
  for (std::size_t i = from; i < value.size(); ++i) {
    if (value[i] == '\\') ++i;
    else if (value[i] == separator) return i;
  }
  return std::string_view::npos;
}

void appendBase64(std::string& out, std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size(), i = 0;
  out.reserve(out.size() + (n + 2) / 3 * 4);
  for (; i + 3 <= n; i += 3) {
    const unsigned v = p[i] << 16 | p[i + 1] << 8 | p[i + 2];
    const char q[4] = {kBase64[v >> 18], kBase64[v >> 12 & 63], kBase64[v >> 6 & 63], kBase64[v & 63]};
    out.append(q, 4);
  }
  if (n - i == 1) {
    const unsigned v = p[i] << 16;
    const char q[4] = {kBase64[v >> 18], kBase64[v >> 12 & 63], '=', '='};
    out.append(q, 4);
  } else if (n - i == 2) {
    const unsigned v = p[i] << 16 | p[i + 1] << 8;
    const char q[4] = {kBase64[v >> 18], kBase64[v >> 12 & 63], kBase64[v >> 6 & 63], '='};
    out.append(q, 4);
  }
}

bool decodeBase64(std::string_view text, std::string& out) {
  unsigned acc = 0;
  int bits = 0;
  bool padded = false;
  std::size_t symbols = 0;  // data symbols, padding not counted
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    if (c == '=') {
      padded = true;
      continue;
    }
    const int v = kBase64Value[static_cast<unsigned char>(c)];
    if (v < 0 || padded) return false;  // no data may follow the padding
    ++symbols;
    acc = (acc << 6 | static_cast<unsigned>(v)) & 0xFFFFFF;
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>(acc >> bits & 0xFF);
    }
  }
  // Padding carries no bits: any amount of it is taken, as other readers
  // take it. A lone symbol in the last group is a cut value.
  return symbols % 4 != 1;
}

bool decodeQuotedPrintable(std::string_view text, std::string& out) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '=') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi << 4 | lo);
    i += 2;
  }
  return true;
}

void appendHex(std::string& out, std::string_view bytes) {
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 15];
  }
}

bool decodeHex(std::string_view text, std::string& out) {
  if (text.size() % 2 != 0) return false;
  // Sized once and written through a pointer: an own property's value is
  // decoded for every card.
  const std::size_t start = out.size();
  out.resize(start + text.size() / 2);
  char* o = out.data() + start;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int hi = hexValue(text[i]), lo = hexValue(text[i + 1]);
    if ((hi | lo) < 0) {
      out.resize(static_cast<std::size_t>(o - out.data()));
      return false;
    }
    *o++ = static_cast<char>(hi << 4 | lo);
  }
  return true;
}

}  // namespace kx::vcard

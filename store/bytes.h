// Small readers of raw Shift-JIS bytes that several parts of the store share.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kx {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
// White space as the C library's number readers skip it.
constexpr bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The decimal value of the first n bytes as the C library reads a number:
// leading white space and a sign allowed, reading stops at the first
// non-digit, no digits give 0. Used on entry and personal data numbers (n
// at most 4, so the value always fits).
inline int leadingNumber(const char* p, std::size_t n) {
  if (n == 4 && isDigit(p[0]) && isDigit(p[1]) && isDigit(p[2]) && isDigit(p[3]))  // the usual form
    return (p[0] - '0') * 1000 + (p[1] - '0') * 100 + (p[2] - '0') * 10 + (p[3] - '0');
  std::size_t i = 0;
  while (i < n && isBlank(p[i])) ++i;
  bool negative = false;
  if (i < n && (p[i] == '+' || p[i] == '-')) negative = p[i++] == '-';
  int v = 0;
  for (; i < n && isDigit(p[i]); ++i) v = v * 10 + (p[i] - '0');
  return negative ? -v : v;
}

// The first eight bytes of a key as one number that orders as the bytes do
// (unsigned), so most key comparisons need no library call.
inline std::uint64_t keyHead(const char* key) {
  std::uint64_t h = 0;
  std::memcpy(&h, key, sizeof h);
  if constexpr (std::endian::native == std::endian::little) h = __builtin_bswap64(h);
  return h;
}

}  // namespace kx

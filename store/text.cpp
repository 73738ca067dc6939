#include "store/text.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "store/rounding.h"

namespace kx {

char* fixedCopy(char* dst, const char* src, int n) {
  int i = 0;
  for (; i < n && src[i] != '\0'; ++i) dst[i] = src[i];
  for (; i < n; ++i) dst[i] = '\0';
  dst[n < 0 ? 0 : n] = '\0';
  return dst;
}

char* paddedCopy(char* dst, const char* src, int n) {
  int i = 0;
  for (; i < n && src[i] != '\0'; ++i) dst[i] = src[i];
  for (; i < n; ++i) dst[i] = ' ';
  dst[n < 0 ? 0 : n] = '\0';
  return dst;
}

char* paddedAppend(char* dst, const char* src, int n) {
  paddedCopy(dst + std::strlen(dst), src, n);
  return dst;
}

namespace {
char* removeByte(char* s, char c) {
  char* out = s;
  for (const char* in = s; *in != '\0'; ++in)
    if (*in != c) *out++ = *in;
  *out = '\0';
  return s;
}
}  // namespace

char* removeLineFeeds(char* s) { return removeByte(s, '\n'); }

char* removeSpaces(char* s) { return removeByte(s, ' '); }

char* leftAlignInWidth(char* s) {
  const std::size_t len = std::strlen(s);
  std::size_t lead = 0;
  // At most len - 1: a field of spaces alone stays as it is.
  while (lead + 1 < len && s[lead] == ' ') ++lead;
  if (lead == 0) return s;
  std::memmove(s, s + lead, len - lead);
  std::memset(s + len - lead, ' ', lead);
  return s;
}

char* fullToHalfSpaces(char* s) {
  char* out = s;
  const char* in = s;
  while (*in != '\0') {
    if (static_cast<unsigned char>(in[0]) == 0x81 && static_cast<unsigned char>(in[1]) == 0x40) {
      *out++ = ' ';
      in += 2;
    } else {
      *out++ = *in++;
    }
  }
  *out = '\0';
  return s;
}

void splitAtFirstSpace(const char* src, std::size_t n, char* first, std::size_t* firstLen,
                       char* second, std::size_t* secondLen) {
  bool beforeSpace = true;
  std::size_t a = 0, b = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const char c = src[i];
    if (c == ',') continue;
    if (beforeSpace) {
      if (c == ' ')
        beforeSpace = false;
      else
        first[a++] = c;
    } else if (c != ' ') {
      second[b++] = c;
    }
  }
  *firstLen = a;
  *secondLen = b;
}

void splitAtFirstSpace(const char* src, char* first, char* second) {
  std::size_t a = 0, b = 0;
  splitAtFirstSpace(src, std::strlen(src), first, &a, second, &b);
  first[a] = '\0';
  second[b] = '\0';
}

int splitItems(int n, const char* text, char* const* items, int itemSize) {
  if (n <= 0 || itemSize <= 0) return 0;
  if (text[std::strspn(text, " \n")] == '\0') return 0;

  const int room = itemSize - 1;  // bytes of text an item can hold
  bool quoted = false;
  int k = 0;
  int len = 0;
  for (const char* p = text;; ++p) {
    const char c = *p;
    if (c == '\0' || (c == ',' && !quoted)) {
      items[k][len] = '\0';
      ++k;
      len = 0;
      if (c == '\0' || k == n) return k;
    } else if (c == '\n') {
      // dropped
    } else if (c == '"') {
      quoted = !quoted;
    } else if (len < room) {
      items[k][len++] = c;
    }
  }
}

char* zeroPadded(int w, double value, char* dst) {
  if (w <= 0) {
    dst[0] = '\0';
    return dst;
  }
  // Twenty zeros, then the digits of the rounded magnitude; keep the last w.
  char digits[400];
  int len = 0;
  double magnitude = std::isfinite(value) ? std::fabs(value) : 0.0;
  if (magnitude < 1e15 && magnitude == std::floor(magnitude)) {
    // Whole numbers, what every caller passes: rounding changes nothing.
    long long v = static_cast<long long>(magnitude);
    char rev[20];
    int r = 0;
    do {
      rev[r++] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v != 0);
    std::memset(digits, '0', 20);
    len = 20;
    while (r > 0) digits[len++] = rev[--r];
  } else {
    // Near the largest double the fifteen-digit rounding overflows to
    // infinity; the value is whole there already.
    const double rounded = std::fabs(roundToPowerOfTen(0, magnitude));
    if (std::isfinite(rounded)) magnitude = rounded;
    std::memset(digits, '0', 20);
    len = 20 + std::snprintf(digits + 20, sizeof digits - 20, "%.0f", magnitude);
  }
  int from = len - w;
  int out = 0;
  for (; from < 0; ++from) dst[out++] = '0';
  std::memcpy(dst + out, digits + from, static_cast<std::size_t>(len - from));
  dst[w] = '\0';
  return dst;
}

}  // namespace kx

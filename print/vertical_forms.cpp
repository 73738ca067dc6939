#include "print/vertical_forms.h"

#include <algorithm>
#include <array>

namespace kx::print {

namespace {

template <std::size_t N>
bool among(const std::array<char32_t, N>& sorted, char32_t c) {
  return std::binary_search(sorted.begin(), sorted.end(), c);
}

// Sorted.
constexpr std::array<char32_t, 48> kTurned = {
    U'\u2010', U'\u2011', U'\u2012', U'\u2013', U'\u2014', U'\u2015', U'\u2025', U'\u2026',
    U'\u2212', U'\u2500', U'\u3008', U'\u3009', U'\u300A', U'\u300B', U'\u300C', U'\u300D',
    U'\u300E', U'\u300F', U'\u3010', U'\u3011', U'\u3014', U'\u3015', U'\u3016', U'\u3017',
    U'\u3018', U'\u3019', U'\u301A', U'\u301B', U'\u301C', U'\u30A0', U'\u30FC', U'\uFF08',
    U'\uFF09', U'\uFF0D', U'\uFF1A', U'\uFF1C', U'\uFF1D', U'\uFF1E', U'\uFF3B', U'\uFF3D',
    U'\uFF3F', U'\uFF5B', U'\uFF5C', U'\uFF5D', U'\uFF5E', U'\uFF5F', U'\uFF60', U'\uFFE3'};

constexpr std::array<char32_t, 26> kSmallKana = {
    U'\u3041', U'\u3043', U'\u3045', U'\u3047', U'\u3049', U'\u3063', U'\u3083',
    U'\u3085', U'\u3087', U'\u308E', U'\u3095', U'\u3096', U'\u30A1', U'\u30A3',
    U'\u30A5', U'\u30A7', U'\u30A9', U'\u30C3', U'\u30E3', U'\u30E5', U'\u30E7',
    U'\u30EE', U'\u30F5', U'\u30F6', U'\u31F0', U'\u31FF'};

// Full-width katakana of the half-width ones U+FF61 .. U+FF9F.
constexpr std::array<char16_t, 63> kHalfKana = {
    u'\u3002', u'\u300C', u'\u300D', u'\u3001', u'\u30FB', u'\u30F2', u'\u30A1', u'\u30A3',
    u'\u30A5', u'\u30A7', u'\u30A9', u'\u30E3', u'\u30E5', u'\u30E7', u'\u30C3', u'\u30FC',
    u'\u30A2', u'\u30A4', u'\u30A6', u'\u30A8', u'\u30AA', u'\u30AB', u'\u30AD', u'\u30AF',
    u'\u30B1', u'\u30B3', u'\u30B5', u'\u30B7', u'\u30B9', u'\u30BB', u'\u30BD', u'\u30BF',
    u'\u30C1', u'\u30C4', u'\u30C6', u'\u30C8', u'\u30CA', u'\u30CB', u'\u30CC', u'\u30CD',
    u'\u30CE', u'\u30CF', u'\u30D2', u'\u30D5', u'\u30D8', u'\u30DB', u'\u30DE', u'\u30DF',
    u'\u30E0', u'\u30E1', u'\u30E2', u'\u30E4', u'\u30E6', u'\u30E8', u'\u30E9', u'\u30EA',
    u'\u30EB', u'\u30EC', u'\u30ED', u'\u30EF', u'\u30F3', u'\u309B', u'\u309C'};

constexpr char32_t kVoicedMark = U'\uFF9E', kSemiVoicedMark = U'\uFF9F';

// The kana a voiced (semi-voiced) mark turns k into, or 0.
char32_t voiced(char32_t k) {
  if (k == U'\u30A6') return U'\u30F4';  // ウ -> ヴ
  if ((k >= U'\u30AB' && k <= U'\u30C2' && (k - U'\u30AB') % 2 == 0) ||
      (k >= U'\u30C4' && k <= U'\u30C8' && (k - U'\u30C4') % 2 == 0) ||
      (k >= U'\u30CF' && k <= U'\u30DB' && (k - U'\u30CF') % 3 == 0))
    return k + 1;
  return 0;
}
char32_t semiVoiced(char32_t k) {
  return k >= U'\u30CF' && k <= U'\u30DB' && (k - U'\u30CF') % 3 == 0 ? k + 2 : 0;
}

}  // namespace

bool turnedInVertical(char32_t c) { return among(kTurned, c); }

bool isSmallKana(char32_t c) {
  return among(kSmallKana, c) || (c >= U'\u31F0' && c <= U'\u31FF');
}

bool isCommaOrStop(char32_t c) {
  return c == U'\u3001' || c == U'\u3002' || c == U'\uFF0C' || c == U'\uFF0E';
}

CellShift verticalShift(char32_t c) {
  if (isSmallKana(c)) return {0.1, -0.1};
  if (isCommaOrStop(c)) return {0.6, -0.6};
  return {};
}

std::u32string fullWidth(std::u32string_view text, bool latin) {
  std::u32string out;
  out.reserve(text.size());
  for (const char32_t c : text) {
    if (latin && c == U' ') {
      out += U'\u3000';
    } else if (latin && c > 0x20 && c < 0x7F) {
      out += c - 0x21 + U'\uFF01';
    } else if ((c == kVoicedMark || c == kSemiVoicedMark) && !out.empty() &&
               (c == kVoicedMark ? voiced(out.back()) : semiVoiced(out.back()))) {
      out.back() = c == kVoicedMark ? voiced(out.back()) : semiVoiced(out.back());
    } else if (c >= U'\uFF61' && c <= U'\uFF9F') {
      out += kHalfKana[c - U'\uFF61'];
    } else {
      out += c;
    }
  }
  return out;
}

bool isHalfWidth(char32_t c) { return c < 0x80 || (c >= U'\uFF61' && c <= U'\uFF9F'); }

}  // namespace kx::print

#include "print/kanji_numerals.h"

namespace kx::print {

namespace {

constexpr char32_t kKanjiDigit[10] = {U'〇', U'一', U'二', U'三', U'四',
                                      U'五', U'六', U'七', U'八', U'九'};

int digitValue(char32_t c) {
  if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
  if (c >= U'０' && c <= U'９') return static_cast<int>(c - U'０');
  return -1;
}

bool isNumberDash(char32_t c) {
  switch (c) {
    case U'-': case U'－': case U'‐': case U'‑': case U'–': case U'—':
    case U'―': case U'−': case U'ー': case U'ｰ':
      return true;
    default:
      return false;
  }
}

void appendNumber(std::u32string& out, const std::u32string& digits, NumeralStyle style) {
  if (style == NumeralStyle::Digits || digits.size() > 4 || (digits.size() > 1 && digits[0] == 0)) {
    for (const char32_t d : digits) out += kKanjiDigit[d];
    return;
  }
  int n = 0;
  for (const char32_t d : digits) n = n * 10 + static_cast<int>(d);
  if (n == 0) {
    out += kKanjiDigit[0];
    return;
  }
  constexpr char32_t kUnit[4] = {U'千', U'百', U'十', 0};
  constexpr int kPower[4] = {1000, 100, 10, 1};
  for (int i = 0; i < 4; ++i) {
    const int d = n / kPower[i] % 10;
    if (d == 0) continue;
    if (d > 1 || kUnit[i] == 0) out += kKanjiDigit[d];
    if (kUnit[i] != 0) out += kUnit[i];
  }
}

}  // namespace

std::u32string kanjiNumerals(std::u32string_view text, NumeralStyle style) {
  std::u32string out;
  std::u32string digits;  // values 0..9 of the run being read
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int d = digitValue(text[i]);
    if (d >= 0) {
      digits += static_cast<char32_t>(d);
      continue;
    }
    if (!digits.empty()) {
      appendNumber(out, digits, style);
      digits.clear();
      if (isNumberDash(text[i]) && i + 1 < text.size() && digitValue(text[i + 1]) >= 0) {
        out += U'―';
        continue;
      }
    }
    out += text[i];
  }
  if (!digits.empty()) appendNumber(out, digits, style);
  return out;
}

}  // namespace kx::print

#include "store/list_lines.h"

#include "store/sjis_unicode.h"

namespace kx {

namespace {

// Appends the first n bytes of a key or field slot at least n bytes wide:
// slots hold their text padded to full width, so these are the bytes as
// they are on disk (a NUL byte of a store loaded read-only included). A
// column that would end in the first byte of a double-byte character ends
// in a space instead, so no half character runs into the next column.
void appendSlot(std::string& line, const char* slot, int n) {
  int i = 0;
  while (i < n - 1) i += isShiftJisLead(static_cast<unsigned char>(slot[i])) ? 2 : 1;
  const bool cutsCharacter = i == n - 1 && isShiftJisLead(static_cast<unsigned char>(slot[i]));
  line.append(slot, static_cast<size_t>(cutsCharacter ? n - 1 : n));
  if (cutsCharacter) line += ' ';
}

const char* keyAt(const Store& s, ListOrder order, int p) {
  return order == ListOrder::Name ? s.names.key[p] : s.companies.key[p];
}

// Compares text with a key over the first len bytes, as unsigned bytes; the
// key's terminator ends the comparison (text holds no zero byte).
int comparePrefix(const char* text, int len, const char* key) {
  for (int i = 0; i < len; ++i) {
    const auto a = static_cast<unsigned char>(text[i]);
    const auto b = static_cast<unsigned char>(key[i]);
    if (a != b) return a < b ? -1 : 1;
    if (b == 0) return 0;
  }
  return 0;
}

}  // namespace

std::string nameLine(const Store& s, int p) {
  if (p < 0 || p > s.lastIndex) return std::string(kBlankLineWidth, ' ');
  const int e = s.names.index[p];
  std::string line;
  line.reserve(kNameLineWidth);
  appendSlot(line, s.names.key[p], 14);
  line += ' ';
  appendSlot(line, s.field(e, KanjiName), 20);
  line += ' ';
  appendSlot(line, s.field(e, KanjiCompany), kFieldWidth[KanjiCompany]);
  return line;
}

std::string companyLine(const Store& s, int p) {
  if (p < 0 || p > s.lastIndex) return std::string(kBlankLineWidth, ' ');
  const int e = s.companies.index[p];
  std::string line;
  line.reserve(kCompanyLineWidth);
  appendSlot(line, s.companies.key[p], 25);
  line += ' ';
  appendSlot(line, s.field(e, KanjiCompany), 30);
  line += ' ';
  appendSlot(line, s.field(e, KanjiName), kFieldWidth[KanjiName]);
  return line;
}

std::string listLine(const Store& s, ListOrder order, int p) {
  return order == ListOrder::Name ? nameLine(s, p) : companyLine(s, p);
}

int firstListPosition(const Store& s, ListOrder order) {
  const int last = s.lastIndex;
  int i = 0;
  if (last >= 20) {
    while (i < last - 20 && keyAt(s, order, i)[0] == ' ') ++i;
  } else {
    while (i <= last && keyAt(s, order, i)[0] == ' ') ++i;
  }
  return i;
}

int nextPagePosition(int pos, int lastIndex) {
  if (lastIndex < 20) return pos;
  return pos + 20 <= lastIndex ? pos + 20 : lastIndex - 19;
}

int backPagePosition(int pos, int lastIndex) {
  if (lastIndex < 20) pos = 0;
  return pos >= 20 ? pos - 20 : pos;
}

int bottomPagePosition(int pos, int lastIndex) {
  return lastIndex > 20 ? lastIndex - 19 : pos;
}

int prefixJumpSearch(const char* text, int len, const char* keys, int width, int n) {
  const size_t slot = static_cast<size_t>(width) + 1;
  auto key = [&](int p) { return keys + static_cast<size_t>(p) * slot; };
  auto matches = [&](int p) { return comparePrefix(text, len, key(p)) == 0; };
  int base = 0;
  if (n <= 0) return -1;
  for (;;) {
    if (n == 1) return matches(base) ? base + 1 : -1;
    if (n == 2) {
      if (matches(base)) return base + 1;
      return matches(base + 1) ? base + 2 : -1;
    }
    if (n % 2 == 1) {
      if (matches(base)) return base + 1;
      ++base;
      --n;
    }
    const int h = n / 2;
    if (comparePrefix(text, len, key(base + h - 1)) > 0) base += h;
    n = h;
  }
}

int jumpSearch(const Store& s, ListOrder order, const std::string& text) {
  // A typed text ends at its first zero byte, like the box's own string.
  std::string t = text.substr(0, text.find('\0'));
  if (t.size() > static_cast<size_t>(kJumpTextMax)) t.resize(kJumpTextMax);
  const int len = static_cast<int>(t.size());
  const int n = s.lastIndex + 1;
  if (order == ListOrder::Name)
    return prefixJumpSearch(t.c_str(), len, &s.names.key[0][0], kNameKeyWidth, n);
  return prefixJumpSearch(t.c_str(), len, &s.companies.key[0][0], kCompanyKeyWidth, n);
}

}  // namespace kx

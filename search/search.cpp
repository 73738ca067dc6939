#include "search/search.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string_view>

#include "search/change_date.h"
#include "store/bytes.h"
#include "store/text.h"

namespace kx {

namespace {

// Fields of the modes that test several, in the order they are tried.
constexpr int kCombinedFields[] = {Remarks1, Remarks2, Remarks3, Division,
                                   Title,    Address,  KanjiName, KanjiCompany};
constexpr int kSecretFields[] = {Remarks1, Remarks2, Remarks3, Secret1, Secret2,
                                 Secret3,  Secret4,  Secret5,  SearchKeys};
constexpr int kAllFields[] = {Remarks1, Remarks2, Remarks3, Secret1,  Secret2,
                              Secret3,  Secret4,  Secret5,  SearchKeys, Division,
                              Title,    Address,  KanjiName, KanjiCompany};

// A fixed-width field or key as the substring test sees it: its bytes, blank
// padding included, up to its width or an embedded zero byte.
std::string_view slot(const char* p, int width) { return {p, strnlen(p, width)}; }

// The library's find looks for the first byte and then compares, which on
// fields this short beats a general substring search's setup per call.
bool contains(std::string_view field, std::string_view term) {
  return field.find(term) != std::string_view::npos;
}

struct Terms {
  char buf[kTermCount][kTermMax + 1];
  std::string_view term[kTermCount];
  int count = 0;

  explicit Terms(const char* text) {
    char* items[kTermCount];
    for (int i = 0; i < kTermCount; ++i) items[i] = buf[i];
    count = splitItems(kTermCount, text, items, kTermMax + 1);
    for (int i = 0; i < count; ++i) term[i] = buf[i];
  }
};

// Every term is a substring of at least one of the fields.
bool allTermsIn(const Store& s, int e, const Terms& t, std::span<const int> fields) {
  for (int i = 0; i < t.count; ++i) {
    bool found = false;
    for (int f : fields) {
      if (contains(slot(s.field(e, f), kFieldWidth[f]), t.term[i])) {
        found = true;
        break;
      }
    }
    if (!found) return false;
  }
  return true;
}

int lastSlot(const Store& s) { return std::min(s.lastIndex, kCapacity - 1); }

// Visits the positions of one order from `from` on; match(position, entry).
template <class Keys, class Match>
Found walkOrder(const Store& s, const Keys& order, int from, Match match) {
  const int last = lastSlot(s);
  for (int p = std::max(0, from); p <= last; ++p) {
    const int e = order.index[p];
    if (e < 0 || e > last) continue;
    if (match(p, e)) return placeOf(s, e);
  }
  return std::nullopt;
}

Found phoneStep(const Store& s, int from, char* text) {
  // The number as typed without "-", "(", ")" and blanks; stored numbers
  // lose only their "-".
  char* out = text;
  for (const char* p = text; *p; ++p) {
    if (*p != '-' && *p != '(' && *p != ')') *out++ = *p;
  }
  *out = 0;
  removeSpaces(text);
  const std::string_view number(text);
  static constexpr int kPhones[] = {OfficePhone, HomePhone, MobilePhone, Fax};
  return walkOrder(s, s.names, from, [&](int, int e) {
    for (int f : kPhones) {
      char copy[32];
      int n = 0;
      for (const char* p = s.field(e, f); n < kFieldWidth[f] && *p; ++p) {
        if (*p != '-') copy[n++] = *p;
      }
      if (contains({copy, static_cast<size_t>(n)}, number)) return true;
    }
    return false;
  });
}

// Blanks, a sign, digits; the last four digits of the magnitude, so no
// length of input overflows.
Found personalNumberStep(const Store& s, int from, const char* text) {
  const char* p = text;
  while (isBlank(*p)) ++p;
  if (*p == '+' || *p == '-') ++p;
  int lastDigits = 0;
  for (; isDigit(*p); ++p) lastDigits = (lastDigits * 10 + (*p - '0')) % 10000;
  char number[8];
  zeroPadded(4, lastDigits, number);
  return walkOrder(s, s.names, from, [&](int, int e) {
    return std::memcmp(s.field(e, PersonalNumber), number, kFieldWidth[PersonalNumber] + 1) == 0;
  });
}

}  // namespace

Found searchStep(const Store& s, const EntryPlace& from, SearchState& st, const std::string& text,
                 double today) {
  char input[kSearchTextMax + 1];
  fixedCopy(input, text.c_str(), kSearchTextMax);
  const std::string_view whole(input);

  switch (st.mode) {
    case kModeKanaName:
      return walkOrder(s, s.names, from.namePos, [&](int p, int) {
        return contains(slot(s.names.key[p], kNameKeyWidth), whole);
      });
    case kModeKanaCompany:
      return walkOrder(s, s.companies, from.companyPos, [&](int p, int) {
        return contains(slot(s.companies.key[p], kCompanyKeyWidth), whole);
      });
    case kModePhone:
      return phoneStep(s, from.namePos, input);
    case kModeChangeDate:
      return changeDateStep(s, from, st, input, today);
    case kModePersonalNumber:
      return personalNumberStep(s, from.namePos, input);
    default:
      break;
  }

  std::span<const int> fields;
  static constexpr int kKanjiName[] = {KanjiName};
  static constexpr int kKanjiCompany[] = {KanjiCompany};
  static constexpr int kAlias[] = {Alias};
  static constexpr int kKeys[] = {SearchKeys};
  switch (st.mode) {
    case kModeKanjiName: fields = kKanjiName; break;
    case kModeKanjiCompany: fields = kKanjiCompany; break;
    case kModeAlias: fields = kAlias; break;
    case kModeKeywords: fields = kKeys; break;
    case kModeCombined: fields = kCombinedFields; break;
    case kModeSecret: fields = kSecretFields; break;
    case kModeAllFields: fields = kAllFields; break;
    default: return std::nullopt;  // no mode chosen yet
  }
  const Terms terms(input);
  return walkOrder(s, s.names, from.namePos,
                   [&](int, int e) { return allTermsIn(s, e, terms, fields); });
}

Found searchFirst(const Store& s, SearchState& st, const std::string& text, double today) {
  return searchStep(s, EntryPlace{}, st, text, today);
}

Found searchNext(const Store& s, int entry, SearchState& st, const std::string& text,
                 double today) {
  if (entry < 0 || entry > lastSlot(s)) return std::nullopt;
  const EntryPlace from{entry, s.names.posMap[entry] + 1, s.companies.posMap[entry] + 1};
  return searchStep(s, from, st, text, today);
}

}  // namespace kx

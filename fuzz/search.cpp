// The search step of every mode, walked as "OK" then "SKIP" until nothing
// more is found, against the matches each mode's rule picks, in its order.
// Input: the mode, today as two bytes of days after 1900-01-01, the search
// text up to the first LF, then the entries: an empty line starts the next
// entry, any other line's first byte picks a field (or one of the two keys)
// and the rest of the line is its text.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/check.h"
#include "search/search.h"
#include "store/text.h"

namespace {

using namespace kx;
using namespace std::chrono;

constexpr int kMaxEntries = 24;

std::string_view fieldOf(const Store& s, int e, int f) { return {s.field(e, f), static_cast<std::size_t>(kFieldWidth[f])}; }

bool contains(std::string_view field, std::string_view term) {
  return field.find(term) != std::string_view::npos;
}

bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Blanks, a sign, digits and an optional fraction: the sign and the digits
// (with the point and fraction, when there is one).
std::pair<double, std::string> numberText(std::string_view t) {
  std::size_t i = 0;
  while (i < t.size() && isBlank(t[i])) ++i;
  double sign = 1;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) sign = t[i++] == '-' ? -1 : 1;
  std::string digits;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') digits += t[i++];
  if (i < t.size() && t[i] == '.') {
    digits += t[i++];
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') digits += t[i++];
  }
  return {sign, digits};
}

double decimalOf(std::string_view t) {
  const auto [sign, digits] = numberText(t);
  return sign * std::strtod(("0" + digits).c_str(), nullptr);
}

// The whole number's magnitude as four digits: its last four.
std::string lastFourDigits(std::string_view t) {
  std::string digits = numberText(t).second;
  digits = "0000" + digits.substr(0, digits.find('.'));
  return digits.substr(digits.size() - 4);
}

double dateNumber(sys_days d) {
  const year_month_day ymd{d};
  return static_cast<int>(ymd.year()) * 10000.0 + static_cast<unsigned>(ymd.month()) * 100.0 +
         static_cast<unsigned>(ymd.day());
}

// The day a date number stands for, when it is a calendar date from 1900.
bool dayOf(double v, sys_days* day) {
  if (!(v >= 19000101 && v <= 99991231) || v != std::floor(v)) return false;
  const long n = static_cast<long>(v);
  const year_month_day ymd{year{static_cast<int>(n / 10000)}, month{static_cast<unsigned>(n / 100 % 100)},
                           std::chrono::day{static_cast<unsigned>(n % 100)}};
  if (!ymd.ok()) return false;
  *day = sys_days{ymd};
  return true;
}

std::vector<int> positionOrder(const Store& s, bool byCompany) {
  const auto& index = byCompany ? s.companies.index : s.names.index;
  return std::vector<int>(index, index + s.count());
}

// The entries a walk of the mode finds, in the order it finds them. Nothing
// for a day count with more than three decimals, where reading it as a
// double may round it across a whole number.
std::optional<std::vector<int>> expectedMatches(const Store& s, int mode, const std::string& text,
                                                sys_days today) {
  const std::string input = text.substr(0, std::min(text.find('\0'), std::size_t{kSearchTextMax}));
  std::vector<int> out;
  if (mode == kModeChangeDate) {
    const std::string digits = numberText(input).second;
    if (digits.find('.') != std::string::npos && digits.size() - digits.find('.') > 4)
      return std::nullopt;
    const double n = std::trunc(decimalOf(input));
    if (n < 0) return out;
    const double oldest = static_cast<double>(today.time_since_epoch().count()) - std::min(n, 1e7);
    std::vector<std::pair<sys_days, int>> dated;
    for (int e = 0; e < s.count(); ++e) {
      sys_days d;
      if (dayOf(decimalOf(fieldOf(s, e, UpdateDate)), &d) && d <= today &&
          d.time_since_epoch().count() >= oldest)
        dated.push_back({d, e});
    }
    std::sort(dated.begin(), dated.end(), [](const auto& a, const auto& b) {
      return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    for (const auto& [d, e] : dated) out.push_back(e);
    return out;
  }

  char termBuf[kTermCount][kTermMax + 1];
  char* items[kTermCount];
  for (int i = 0; i < kTermCount; ++i) items[i] = termBuf[i];
  const int termCount = splitItems(kTermCount, input.c_str(), items, kTermMax + 1);
  auto everyTermIn = [&](int e, std::initializer_list<int> fields) {
    for (int i = 0; i < termCount; ++i) {
      bool found = false;
      for (int f : fields) found = found || contains(fieldOf(s, e, f), items[i]);
      if (!found) return false;
    }
    return true;
  };
  std::string number;  // the phone number as typed, without - ( ) and blanks
  for (char c : input)
    if (c != '-' && c != '(' && c != ')' && c != ' ') number += c;
  const std::string personal = lastFourDigits(input);

  const std::vector<int> order = positionOrder(s, mode == kModeKanaCompany);
  for (int p = 0; p < s.count(); ++p) {
    const int e = order[static_cast<std::size_t>(p)];
    bool match = false;
    switch (mode) {
      case kModeKanaName: match = contains({s.names.key[p], kNameKeyWidth}, input); break;
      case kModeKanaCompany: match = contains({s.companies.key[p], kCompanyKeyWidth}, input); break;
      case kModeKanjiName: match = everyTermIn(e, {KanjiName}); break;
      case kModeKanjiCompany: match = everyTermIn(e, {KanjiCompany}); break;
      case kModePhone:
        for (int f : {OfficePhone, HomePhone, MobilePhone, Fax}) {
          std::string phone(fieldOf(s, e, f));
          std::erase(phone, '-');
          match = match || contains(phone, number);
        }
        break;
      case kModeAlias: match = everyTermIn(e, {Alias}); break;
      case kModeCombined:
        match = everyTermIn(e, {Remarks1, Remarks2, Remarks3, Division, Title, Address, KanjiName,
                                KanjiCompany});
        break;
      case kModeKeywords: match = everyTermIn(e, {SearchKeys}); break;
      case kModeSecret:
        match = everyTermIn(e, {Remarks1, Remarks2, Remarks3, Secret1, Secret2, Secret3, Secret4,
                                Secret5, SearchKeys});
        break;
      case kModePersonalNumber: match = fieldOf(s, e, PersonalNumber) == personal; break;
      default:
        match = everyTermIn(e, {Remarks1, Remarks2, Remarks3, Secret1, Secret2, Secret3, Secret4,
                                Secret5, SearchKeys, Division, Title, Address, KanjiName,
                                KanjiCompany});
        break;
    }
    if (match) out.push_back(e);
  }
  return out;
}

// Entries from the input lines, keys placed in sorted order (equal keys in
// entry order), as a sound store holds them.
void fillStore(Store& s, std::string_view lines) {
  int e = 0;
  std::vector<std::string> slots(kFieldCount + 2);
  auto finish = [&] {
    for (int f = 0; f < kFieldCount; ++f)
      paddedCopy(s.field(e, f), slots[f].empty() && f == PersonalNumber ? "0000" : slots[f].c_str(),
                 kFieldWidth[f]);
    paddedCopy(s.names.key[e], slots[kFieldCount].c_str(), kNameKeyWidth);
    paddedCopy(s.companies.key[e], slots[kFieldCount + 1].c_str(), kCompanyKeyWidth);
    std::fill(slots.begin(), slots.end(), std::string());
    ++e;
  };
  bool any = false;
  std::size_t at = 0;
  while (at < lines.size() && e < kMaxEntries) {
    std::size_t end = lines.find('\n', at);
    if (end == std::string_view::npos) end = lines.size();
    const std::string_view line = lines.substr(at, end - at);
    at = end + 1;
    if (line.empty()) {
      finish();
      any = false;
      continue;
    }
    slots[static_cast<unsigned char>(line[0]) % (kFieldCount + 2)] = std::string(line.substr(1));
    any = true;
  }
  if (any && e < kMaxEntries) finish();
  s.lastIndex = e - 1;

  // Keys were filled in entry order; sort both tables.
  auto sortKeys = [&](auto& t, int width) {
    std::vector<std::pair<std::string, int>> keys;
    for (int i = 0; i < e; ++i) keys.push_back({std::string(t.key[i], width), i});
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (int p = 0; p < e; ++p) {
      std::memcpy(t.key[p], keys[p].first.data(), width);
      t.index[p] = keys[p].second;
      t.posMap[keys[p].second] = p;
    }
  };
  sortKeys(s.names, kNameKeyWidth);
  sortKeys(s.companies, kCompanyKeyWidth);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  static const std::unique_ptr<Store> store = makeStore();
  Store& s = *store;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
  const std::size_t lf = std::min(rest.find('\n'), rest.size());
  const std::string text(rest.substr(0, lf));
  fillStore(s, lf < rest.size() ? rest.substr(lf + 1) : std::string_view());

  const int mode = data[0] % 12 + 1;
  const sys_days today = sys_days{1900y / 1 / 1} + days{data[1] | data[2] << 8};
  const std::optional<std::vector<int>> expected = expectedMatches(s, mode, text, today);

  SearchState st;
  st.mode = static_cast<SearchMode>(mode);
  std::vector<int> found;
  Found match = searchFirst(s, st, text, dateNumber(today));
  while (match) {
    const int e = match->entry;
    KX_FUZZ_CHECK(e >= 0 && e < s.count() && found.size() < static_cast<std::size_t>(s.count()),
                  "mode " + std::to_string(mode) + ": found an entry too many");
    KX_FUZZ_CHECK(match->namePos == s.names.posMap[e] && match->companyPos == s.companies.posMap[e],
                  "match not placed on the entry found");
    found.push_back(e);
    match = searchNext(s, e, st, text, dateNumber(today));
  }
  KX_FUZZ_CHECK(!expected || found == *expected, "mode " + std::to_string(mode) + ": entries found differ");
  return 0;
}

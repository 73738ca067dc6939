#include "search/change_date.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "store/dates.h"
#include "store/bytes.h"

namespace kx {

namespace {

int truncatedDays(double v) {
  v = std::trunc(v);
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace

double readDecimal(const char* p) {
  while (isBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  double v = 0;
  while (isDigit(*p)) v = v * 10 + (*p++ - '0');
  if (*p == '.') {
    double scale = 0.1;
    for (++p; isDigit(*p); ++p, scale *= 0.1) v += (*p - '0') * scale;
  }
  return negative ? -v : v;
}

// The walk visits (day counter, entry) pairs in order: counter from the
// current one up to N, entries 0 .. last index within each counter, the
// current counter resuming at the next entry. Instead of scanning the store
// once per day, one pass finds the least pair whose day holds the entry's
// update date, so a huge N costs no more than a small one. A later day is a
// larger date number, so the pass compares dates and converts only the one
// it picks into a day number.
std::optional<EntryPlace> changeDateStep(const Store& s, const EntryPlace& from, SearchState& st,
                                         const char* text, double today) {
  if (from.namePos == 0) {
    st.days = truncatedDays(readDecimal(text));
    st.dayCounter = 0;
    st.targetDate = today;
    st.nextEntry = 0;
  } else {
    st.nextEntry = from.entry + 1;
  }
  const long first = dayNumberOfDate(st.targetDate);  // the day of the current counter
  if (st.days < 0 || first < 0) return std::nullopt;
  const long long counter0 = st.dayCounter;
  // The last counter walked: N, or the one that reaches 1900-01-01.
  const long long lastCounter = std::min<long long>(st.days, counter0 + first);
  if (counter0 > lastCounter) return std::nullopt;
  const long newest = static_cast<long>(st.targetDate);
  const long oldest = static_cast<long>(dateOfDayNumber(static_cast<long>(first - (lastCounter - counter0))));

  const int last = std::min(s.lastIndex, kCapacity - 1);
  long bestDate = -1;
  int bestEntry = -1;
  for (int e = 0; e <= last; ++e) {
    const long date = dateOfField(s.field(e, UpdateDate));
    if (date <= bestDate || date < oldest || date > newest) continue;  // ties: the earlier entry
    if (date == newest && e < st.nextEntry) continue;
    bestDate = date;
    bestEntry = e;
  }
  if (bestEntry < 0) {
    // Past the last day walked; past 1900-01-01 there is no date at all, and
    // later steps find nothing either way.
    const long long after = first - (lastCounter + 1 - counter0);
    st.dayCounter = static_cast<unsigned>(lastCounter + 1);
    st.targetDate = after >= 0 ? dateOfDayNumber(static_cast<long>(after)) : 0;
    st.nextEntry = 0;
    return std::nullopt;
  }
  st.dayCounter = static_cast<unsigned>(counter0 + (first - dayNumberOfDate(static_cast<double>(bestDate))));
  st.targetDate = static_cast<double>(bestDate);
  st.nextEntry = bestEntry;
  return placeOf(s, bestEntry);
}

void changeDateRest(const Store& s, int current, SearchState& st, std::vector<int>& found) {
  const int last = std::min(s.lastIndex, kCapacity - 1);
  const long first = dayNumberOfDate(st.targetDate);
  if (current < 0 || current > last || st.days < 0 || first < 0) return;
  // The same days the steps walk: from the current one back to day N or
  // 1900-01-01; later days first, entry-number order within a day.
  const long long counter0 = st.dayCounter;
  const long long lastCounter = std::min<long long>(st.days, counter0 + first);
  const long newest = static_cast<long>(st.targetDate);
  const long oldest =
      counter0 > lastCounter ? newest + 1
                             : static_cast<long>(dateOfDayNumber(static_cast<long>(first - (lastCounter - counter0))));
  std::vector<std::pair<long, int>> dated;
  for (int e = 0; e <= last; ++e) {
    const long date = dateOfField(s.field(e, UpdateDate));
    if (date < oldest || date > newest || (date == newest && e <= current)) continue;
    dated.push_back({-date, e});
  }
  std::sort(dated.begin(), dated.end());
  for (const auto& [date, e] : dated) found.push_back(e);
  int lastFound = current;
  if (!dated.empty()) {
    const auto [date, e] = dated.back();
    st.dayCounter = static_cast<unsigned>(counter0 + (first - dayNumberOfDate(static_cast<double>(-date))));
    st.targetDate = static_cast<double>(-date);
    st.nextEntry = e;
    lastFound = e;
  }
  // The step after the last one, as "SKIP" takes it: it finds nothing and
  // leaves the walk past the last day.
  const EntryPlace after{lastFound, s.names.posMap[lastFound] + 1, s.companies.posMap[lastFound] + 1};
  changeDateStep(s, after, st, "", 0);
}

}  // namespace kx

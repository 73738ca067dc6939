#include "search/change_date.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace kx {

namespace {

bool isBlank(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}
bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

bool isLeap(long y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int monthLength(long y, int m) {
  static constexpr int kLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && isLeap(y) ? 29 : kLength[m - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date (y >= 0).
constexpr long daysFromCivil(long y, long m, long d) {
  y -= m <= 2 ? 1 : 0;
  const long era = y / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}
constexpr long kDay1900 = daysFromCivil(1900, 1, 1);

long dayNumberOf(long y, int m, int d) {
  if (y < 1900 || m < 1 || m > 12 || d < 1 || d > monthLength(y, m)) return -1;
  return daysFromCivil(y, m, d) - kDay1900;
}

// The date number of an update date that is a calendar date, else -1. Only
// eight digits can equal a calendar date; anything else (blank, cut, signed,
// fractional) never matches.
long entryDate(const char* f) {
  long n = 0;
  for (int i = 0; i < 8; ++i) {
    if (!isDigit(f[i])) return -1;
    n = n * 10 + (f[i] - '0');
  }
  const long y = n / 10000;
  const int m = static_cast<int>(n / 100 % 100), d = static_cast<int>(n % 100);
  if (y < 1900 || m < 1 || m > 12 || d < 1 || d > monthLength(y, m)) return -1;
  return n;
}

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

long dayNumberOfDate(double date) {
  if (!(date >= 19000101.0 && date <= 99991231.0) || date != std::floor(date)) return -1;
  const long n = static_cast<long>(date);
  return dayNumberOf(n / 10000, static_cast<int>(n / 100 % 100), static_cast<int>(n % 100));
}

double dateOfDayNumber(long day) {
  long z = day + kDay1900 + 719468;
  const long era = z / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const long d = doy - (153 * mp + 2) / 5 + 1;
  const long m = mp < 10 ? mp + 3 : mp - 9;
  const long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  return static_cast<double>(y * 10000 + m * 100 + d);
}

// The walk visits (day counter, entry) pairs in order: counter from the
// current one up to N, entries 0 .. last index within each counter, the
// current counter resuming at the next entry. Instead of scanning the store
// once per day, one pass finds the least pair whose day holds the entry's
// update date, so a huge N costs no more than a small one. A later day is a
// larger date number, so the pass compares dates and converts only the one
// it picks into a day number.
bool changeDateStep(const Store& s, Cursors& c, SearchState& st, const char* text, double today) {
  if (c.currentNamePos == 0) {
    st.days = truncatedDays(readDecimal(text));
    st.dayCounter = 0;
    st.targetDate = today;
    st.nextEntry = 0;
  } else {
    st.nextEntry = c.currentEntry + 1;
  }
  const long first = dayNumberOfDate(st.targetDate);  // the day of the current counter
  if (st.days < 0 || first < 0) return false;
  const long long counter0 = st.dayCounter;
  // The last counter walked: N, or the one that reaches 1900-01-01.
  const long long lastCounter = std::min<long long>(st.days, counter0 + first);
  if (counter0 > lastCounter) return false;
  const long newest = static_cast<long>(st.targetDate);
  const long oldest = static_cast<long>(dateOfDayNumber(static_cast<long>(first - (lastCounter - counter0))));

  const int last = std::min(s.lastIndex, kCapacity - 1);
  long bestDate = -1;
  int bestEntry = -1;
  for (int e = 0; e <= last; ++e) {
    const long date = entryDate(s.field(e, UpdateDate));
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
    return false;
  }
  st.dayCounter = static_cast<unsigned>(counter0 + (first - dayNumberOfDate(static_cast<double>(bestDate))));
  st.targetDate = static_cast<double>(bestDate);
  st.nextEntry = bestEntry;
  c.currentEntry = bestEntry;
  c.currentNamePos = s.names.posMap[bestEntry];
  c.currentCompanyPos = s.companies.posMap[bestEntry];
  return true;
}

}  // namespace kx

// The change-date search (mode 9): the walk from today backwards day by
// day, checked against a literal one-scan-per-day walk on random stores.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "search/change_date.h"
#include "store/dates.h"
#include "search/search.h"
#include "tests/search/search_fixture.h"

namespace kx::test {
namespace {

using Found = std::vector<int>;

// The walk as the program has always described it: for each day from the
// target backwards, every entry from the next one to examine. It stops
// after 1900-01-01, the first day there is.
bool literalStep(const Store& s, EntryPlace& c, SearchState& st, const char* text, double today) {
  if (c.namePos == 0) {
    const double n = std::trunc(readDecimal(text));
    st.days = n > 1e9 ? 1000000000 : static_cast<int>(n);
    st.dayCounter = 0;
    st.targetDate = today;
    st.nextEntry = 0;
  } else {
    st.nextEntry = c.entry + 1;
  }
  if (st.days < 0 || st.targetDate == 0) return false;
  while (static_cast<long long>(st.dayCounter) <= st.days) {
    for (int e = st.nextEntry; e <= s.lastIndex; ++e) {
      char date[9];
      std::memcpy(date, s.field(e, UpdateDate), 8);
      date[8] = 0;
      if (readDecimal(date) == st.targetDate) {
        st.nextEntry = e;
        c.entry = e;
        c.namePos = s.names.posMap[e];
        c.companyPos = s.companies.posMap[e];
        return true;
      }
    }
    st.nextEntry = 0;
    ++st.dayCounter;
    if (st.targetDate == 19000101) {
      st.targetDate = 0;
      return false;
    }
    double before = 0;
    if (!addDays(st.targetDate, -1, &before)) ADD_FAILURE() << "addDays refused " << st.targetDate;
    st.targetDate = before;
  }
  return false;
}

std::string dateText(double date) { return std::to_string(static_cast<long>(date)); }

double daysBefore(double date, int n) {
  double d = 0;
  EXPECT_TRUE(addDays(date, -n, &d));
  return d;
}

TEST(ChangeDate, DayNumbersAgreeWithTheDateArithmetic) {
  double date = 19000101;
  for (long day = 0; day < 80000; ++day) {  // up to the year 2119
    ASSERT_EQ(dateOfDayNumber(day), date) << day;
    ASSERT_EQ(dayNumberOfDate(date), day) << date;
    double viaCalc = -1;
    ASSERT_TRUE(calcdayx(date, &viaCalc));
    ASSERT_EQ(viaCalc, day);
    ASSERT_TRUE(addDays(date, 1, &date));
  }
  // What is no calendar day has no day number, though calcdayx counts some on.
  for (double bad : {20230229.0, 20240230.0, 20240431.0, 20241301.0, 20240100.0, 18991231.0,
                     19000100.0, 20240315.5, 0.0, -20240315.0, 1e300, std::nan("")})
    EXPECT_EQ(dayNumberOfDate(bad), -1) << bad;
  EXPECT_EQ(dayNumberOfDate(20240229), 45349);
  EXPECT_EQ(dayNumberOfDate(99991231), dayNumberOfDate(99991230) + 1);
}

TEST(ChangeDate, ReadsNumbersAsTyped) {
  EXPECT_EQ(readDecimal("  42"), 42);
  EXPECT_EQ(readDecimal("-7.5xyz"), -7.5);
  EXPECT_EQ(readDecimal("+3"), 3);
  EXPECT_EQ(readDecimal("abc"), 0);
  EXPECT_EQ(readDecimal(""), 0);
  EXPECT_EQ(readDecimal("1e3"), 1);
  EXPECT_EQ(readDecimal("20240315"), 20240315);
}

TEST(ChangeDate, NewestDayFirstAcrossALeapDayAndEntryOrderWithinADay) {
  SearchStore t;
  const int feb29 = t.add("\xB1", "", {{UpdateDate, "20240229"}});  // "ｱ"
  const int today1 = t.add("\xB2", "", {{UpdateDate, "20240302"}});  // "ｲ"
  const int mar1 = t.add("\xB3", "", {{UpdateDate, "20240301"}});  // "ｳ"
  const int feb28 = t.add("\xB4", "", {{UpdateDate, "20240228"}});  // "ｴ"
  const int today2 = t.add("\xB5", "", {{UpdateDate, "20240302"}});  // "ｵ"
  const int older = t.add("\xB6", "", {{UpdateDate, "20240227"}});  // "ｶ"
  const int later = t.add("\xB7", "", {{UpdateDate, "20240303"}});  // "ｷ"
  EXPECT_EQ(t.walk(kModeChangeDate, "3", 20240302), (Found{today1, today2, mar1, feb29, feb28}));
  EXPECT_EQ(t.walk(kModeChangeDate, "4", 20240302),
            (Found{today1, today2, mar1, feb29, feb28, older}));
  EXPECT_EQ(t.walk(kModeChangeDate, "0", 20240302), (Found{today1, today2}));
  EXPECT_EQ(t.walk(kModeChangeDate, "", 20240302), (Found{today1, today2}));
  EXPECT_EQ(t.walk(kModeChangeDate, "abc", 20240302), (Found{today1, today2}));
  EXPECT_EQ(t.walk(kModeChangeDate, "1.9", 20240302), (Found{today1, today2, mar1}));
  EXPECT_EQ(t.walk(kModeChangeDate, "-0.5", 20240302), (Found{today1, today2}));
  // Entries dated after today are never reached.
  EXPECT_EQ(t.walk(kModeChangeDate, "9999", 20240302).size(), 6u);
  (void)later;
}

TEST(ChangeDate, AcrossAMonthAndAYearEnd) {
  SearchStore t;
  const int dec31 = t.add("\xB1", "", {{UpdateDate, "20231231"}});  // "ｱ"
  const int jan31 = t.add("\xB2", "", {{UpdateDate, "20240131"}});  // "ｲ"
  const int feb1 = t.add("\xB3", "", {{UpdateDate, "20240201"}});  // "ｳ"
  const int jan1 = t.add("\xB4", "", {{UpdateDate, "20240101"}});  // "ｴ"
  EXPECT_EQ(t.walk(kModeChangeDate, "32", 20240201), (Found{feb1, jan31, jan1, dec31}));
  EXPECT_EQ(t.walk(kModeChangeDate, "31", 20240201), (Found{feb1, jan31, jan1}));
}

TEST(ChangeDate, DatesThatAreNoCalendarDayNeverMatch) {
  SearchStore t;
  t.add("\xB1", "", {{UpdateDate, ""}});  // "ｱ"
  // "ｲ"
  t.add("\xB2", "", {{UpdateDate, "20240230"}});  // calcdayx would count it as 03-01
  t.add("\xB3", "", {{UpdateDate, "2024031"}});  // "ｳ"
  t.add("\xB4", "", {{UpdateDate, "+2024031"}});  // "ｴ"
  t.add("\xB5", "", {{UpdateDate, "19000100"}});  // "ｵ"
  t.add("\xB6", "", {{UpdateDate, "2024-3-1"}});  // "ｶ"
  const int good = t.add("\xB7", "", {{UpdateDate, "20240301"}});  // "ｷ"
  EXPECT_EQ(t.walk(kModeChangeDate, "99999", 20240315), (Found{good}));
}

TEST(ChangeDate, NegativeCountsFindNothingAndWalksStopAt1900) {
  SearchStore t;
  const int first = t.add("\xB1", "", {{UpdateDate, "19000101"}});  // "ｱ"
  const int today = t.add("\xB2", "", {{UpdateDate, "19000105"}});  // "ｲ"
  EXPECT_EQ(t.walk(kModeChangeDate, "-1", 19000105), Found{});
  EXPECT_EQ(t.walk(kModeChangeDate, "-99999", 19000105), Found{});
  EXPECT_EQ(t.walk(kModeChangeDate, "4", 19000105), (Found{today, first}));
  EXPECT_EQ(t.walk(kModeChangeDate, "99999", 19000105), (Found{today, first}));
  EXPECT_EQ(t.walk(kModeChangeDate, "99999999999999999999", 19000105), (Found{today, first}));
  // After the walk ran out, a further step finds nothing either.
  t.cur.entry = first;
  EXPECT_FALSE(t.next("99999", 19000105));
  // A huge count from today finds the old entries and ends.
  const int y2k = t.add("\xB3", "", {{UpdateDate, "20000101"}});  // "ｳ"
  EXPECT_EQ(t.walk(kModeChangeDate, "99999", 20240315), (Found{y2k, today, first}));
}

TEST(ChangeDate, AContinuingStepResumesAfterTheCurrentEntryWithinItsDay) {
  SearchStore t;
  const int a = t.add("\xB4", "", {{UpdateDate, "20240315"}});  // "ｴ"
  const int b = t.add("\xB3", "", {{UpdateDate, "20240314"}});  // "ｳ"
  const int c = t.add("\xB2", "", {{UpdateDate, "20240315"}});  // "ｲ"
  const int d = t.add("\xB1", "", {{UpdateDate, "20240315"}});  // "ｱ"
  t.st.mode = kModeChangeDate;
  ASSERT_TRUE(t.first("1", 20240315));
  EXPECT_EQ(t.cur.entry, a);
  ASSERT_TRUE(t.next("1", 20240315));
  EXPECT_EQ(t.cur.entry, c);
  // The day count is read only by a fresh step: the changed text is ignored.
  ASSERT_TRUE(t.next("0", 20240315));
  EXPECT_EQ(t.cur.entry, d);
  EXPECT_EQ(t.st.dayCounter, 0u);
  // Someone moved the cursor back to a: the walk goes on after a, same day.
  t.cur.entry = a;
  ASSERT_TRUE(t.next("", 20240315));
  EXPECT_EQ(t.cur.entry, c);
  ASSERT_TRUE(t.next("", 20240315));
  ASSERT_TRUE(t.next("", 20240315));
  EXPECT_EQ(t.cur.entry, b);
  EXPECT_EQ(t.st.dayCounter, 1u);
  EXPECT_EQ(t.st.targetDate, 20240314);
  EXPECT_FALSE(t.next("", 20240315));
  // The match sets the cursor to the entry's places in both orders.
  ASSERT_TRUE(t.first("0", 20240315));
  EXPECT_EQ(t.cur.namePos, 3);
  EXPECT_EQ(t.cur.companyPos, 0);
}

TEST(ChangeDate, MatchesTheLiteralWalkOnRandomStores) {
  std::mt19937 rng(20240315);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const double todays[] = {20240315, 20240301, 20250101, 19000110, 20000301};
  for (int round = 0; round < 60; ++round) {
    SearchStore t;
    const double today = todays[round % 5];
    const int entries = pick(40);
    for (int e = 0; e < entries; ++e) {
      std::string date;
      switch (pick(8)) {
        case 0: date = ""; break;
        case 1: date = "20240230"; break;
        case 2: date = "19000100"; break;
        case 3: date = dateText(today); break;
        default: {
          const int back = pick(60);
          double d = today;
          if (dayNumberOfDate(today) >= back) d = daysBefore(today, back);
          date = dateText(d);
        }
      }
      t.add(std::string(1, static_cast<char>(0xB1 + pick(40))), "", {{UpdateDate, date}});
    }
    const std::string counts[] = {"0", "3", "20", "59", "-2", "99999", ""};
    const std::string& text = counts[pick(7)];

    EntryPlace fastCur, slowCur;
    SearchState fast, slow;
    fast.mode = slow.mode = kModeChangeDate;
    fastCur.namePos = slowCur.namePos = 0;
    for (int step = 0; step < 80; ++step) {
      const auto match = searchStep(t.s, fastCur, fast, text, today);
      if (match) fastCur = *match;
      const bool a = match.has_value();
      const bool b = literalStep(t.s, slowCur, slow, text.c_str(), today);
      ASSERT_EQ(a, b) << "round " << round << " step " << step;
      if (!a) break;
      ASSERT_EQ(fastCur.entry, slowCur.entry) << round << " " << step;
      ASSERT_EQ(fastCur.namePos, slowCur.namePos);
      ASSERT_EQ(fastCur.companyPos, slowCur.companyPos);
      ASSERT_EQ(fast.dayCounter, slow.dayCounter);
      ASSERT_EQ(fast.targetDate, slow.targetDate);
      // Now and then the cursor is moved elsewhere between two steps.
      int e = fastCur.entry;
      if (pick(4) == 0) e = pick(entries);
      fastCur.entry = slowCur.entry = e;
      fastCur.namePos = slowCur.namePos = t.s.names.posMap[e] + 1;
      fastCur.companyPos = slowCur.companyPos = t.s.companies.posMap[e] + 1;
    }
  }
}

}  // namespace
}  // namespace kx::test

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "store/dates.h"
#include "store/rounding.h"

namespace kx {
namespace {

TEST(DateOfField, EightDigitsOfACalendarDayFrom1900) {
  const std::pair<const char*, long> cases[] = {
      {"20240315", 20240315}, {"20240229", 20240229}, {"19000101", 19000101},
      {"99991231", 99991231}, {"20230229", -1},       {"20240431", -1},
      {"20241301", -1},       {"20240100", -1},       {"18991231", -1},
      {"00000101", -1},       {"2024AB01", -1},       {" 2024031", -1},
      {"-2024031", -1},       {"        ", -1},       {"2024031\0", -1},
  };
  for (const auto& [field, date] : cases) EXPECT_EQ(dateOfField(field), date) << field;
}

TEST(Calcdayx, DayNumbersOfKnownDates) {
  struct Case {
    double date;
    double day;
  };
  const Case cases[] = {
      {19000101, 0},     {19001231, 364},   {19000301, 59},    {20000101, 36524},
      {20000301, 36584}, {20240315, 45364}, {20250101, 45656},
      // Day 31 of a 30-day month and 30 February of a leap year count on.
      {20240431, 45411}, {20240501, 45411}, {20240230, 45350}, {20240301, 45350},
      {20240229, 45349},
  };
  for (const Case& c : cases) {
    double day = -1;
    ASSERT_TRUE(calcdayx(c.date, &day)) << std::to_string(c.date);
    EXPECT_EQ(day, c.day) << std::to_string(c.date);
  }
}

TEST(Calcdayx, RefusalsPrintTheirDiagnosticLine) {
  struct Case {
    double date;
    const char* line;
  };
  const Case cases[] = {
      {20230229, "calcdayx error leap year february dd=29.000000\n"},
      {19000229, "calcdayx error leap year february dd=29.000000\n"},
      {20241301, "calcdayx ---> mm error 13.000000\n"},
      {20240001, "calcdayx ---> mm error 0.000000\n"},
      {20240100, "calcdayx ---> dd error 0.000000\n"},
      {20240132, "calcdayx ---> dd error 32.000000\n"},
      {18991231, "calcdayx ---> yy error 1899.000000\n"},
      {19000100, "calcdayx ---> dd error 0.000000\n"},
  };
  for (const Case& c : cases) {
    double day = 12345;
    testing::internal::CaptureStderr();
    const bool ok = calcdayx(c.date, &day);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(ok) << std::to_string(c.date);
    EXPECT_EQ(err, c.line);
    EXPECT_EQ(day, 12345) << "a refused date gives no day number";
  }
}

TEST(Calcdayx, NotANumberIsRefused) {
  double day = 0;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(calcdayx(std::nan(""), &day));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("yy error"), std::string::npos);
}

TEST(AddDays, StepsBackAcrossMonthsYearsAndLeapDays) {
  struct Case {
    double from, delta, to;
  };
  const Case cases[] = {
      {20240503, -1, 20240502}, {20240502, -1, 20240501}, {20240501, -1, 20240430},
      {20240430, -1, 20240429}, {20240301, -1, 20240229}, {20250101, -1, 20241231},
      {19000102, -1, 19000101}, {19000301, -1, 19000228}, {20000301, -1, 20000229},
      {20240131, 30, 20240301}, {20231231, 366, 20241231}, {20240315, 0, 20240315},
      // Through many 400-year cycles and back.
      {20240315, 146097.0 * 5, 40240315}, {40240315, -146097.0 * 5, 20240315},
  };
  for (const Case& c : cases) {
    double to = 0;
    ASSERT_TRUE(addDays(c.from, c.delta, &to)) << std::to_string(c.from);
    EXPECT_EQ(to, c.to) << std::to_string(c.from) << " + " << c.delta;
  }
}

TEST(AddDays, ResultsOutsideTheEightDigitDatesAreRefused) {
  double to = 0;
  ASSERT_TRUE(addDays(99991230, 1, &to));
  EXPECT_EQ(to, 99991231);
  ASSERT_TRUE(addDays(99991231, -2958463, &to));
  EXPECT_EQ(to, 19000101);
  EXPECT_FALSE(addDays(19000101, -1, &to));
  EXPECT_FALSE(addDays(99991231, 1, &to));
  // Huge counts come back at once.
  EXPECT_FALSE(addDays(20240315, 1e300, &to));
  EXPECT_FALSE(addDays(20240315, -1e18, &to));
  EXPECT_FALSE(addDays(20240315, std::nan(""), &to));
}

TEST(AddDays, AgreesWithACalendarCountedDayByDay) {
  // Dates counted out with their own month lengths over more than 400 years;
  // calcdayx must give each its day number and addDays must find it again.
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int n = 0;
  for (int y = 1900; y < 2305; ++y) {
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    for (int m = 1; m <= 12; ++m) {
      const int len = kDays[m - 1] + (m == 2 && leap ? 1 : 0);
      for (int d = 1; d <= len; ++d, ++n) {
        const double date = y * 10000.0 + m * 100 + d;
        double day = -1;
        ASSERT_TRUE(calcdayx(date, &day));
        ASSERT_EQ(day, n) << y << "-" << m << "-" << d;
        if (n % 11 == 0 || (m <= 3 && d >= 27) || (m == 1 && d == 1)) {
          double found = 0;
          ASSERT_TRUE(addDays(19000101, n, &found));
          ASSERT_EQ(found, date) << n;
          ASSERT_EQ(addDays(date, -1, &found), n > 0);
          if (n > 0) {
            ASSERT_EQ(calcdayx(found, &day) ? day : -1, n - 1);
          }
        }
      }
    }
  }
}

TEST(Rounding, PowerOfTenAndCleanup) {
  struct Case {
    int k;
    double v, r;
  };
  const Case cases[] = {
      {0, 2.5, 3},  {0, -2.5, -3}, {0, 2.4999, 2},  {2, 1150, 1200}, {0, 2.4999999999999996, 3},
      {0, 0, 0},    {0, 7, 7},     {1, 14.9, 10},   {1, 15, 20},
      {0, -0.4, 0}, {0, 1e20, 1e20},
  };
  for (const Case& c : cases) EXPECT_EQ(roundToPowerOfTen(c.k, c.v), c.r) << c.k << " " << c.v;
  EXPECT_EQ(fifteenDigitCleanup(0.1 + 0.2), 0.3);
  EXPECT_EQ(fifteenDigitCleanup(-(0.1 + 0.2)), -0.3);
  EXPECT_EQ(fifteenDigitCleanup(999.9999999999999), 1000.0);  // carry through nines
  EXPECT_EQ(fifteenDigitCleanup(123456789012345.6), 123456789012346.0);
  EXPECT_EQ(fifteenDigitCleanup(1.0), 1.0);
}

TEST(TodayDate, AgreesWithItsParts) {
  int y = 0, m = 0, d = 0;
  const double today = todayDate(&y, &m, &d);
  EXPECT_GE(y, 2024);
  EXPECT_GE(m, 1);
  EXPECT_LE(m, 12);
  EXPECT_GE(d, 1);
  EXPECT_LE(d, 31);
  EXPECT_EQ(today, y * 10000.0 + m * 100 + d);
  double day = 0;
  EXPECT_TRUE(calcdayx(today, &day));
}

}  // namespace
}  // namespace kx

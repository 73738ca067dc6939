#include "store/dates.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace kx {

namespace {

bool isLeap(double y) {
  return std::fmod(y, 400.0) == 0 || (std::fmod(y, 100.0) != 0 && std::fmod(y, 4.0) == 0);
}

double monthLength(int month, double year) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return kDays[month - 1] + ((month == 2 && isLeap(year)) ? 1 : 0);
}

// Leap years among 1 .. y - 1, counted in closed form so a far-future year
// costs no loop.
double leapYearsBefore(double y) {
  const double p = y - 1;
  return std::floor(p / 4) - std::floor(p / 100) + std::floor(p / 400);
}

constexpr double kDaysPer400Years = 146097;

// Days from 1900-01-01 to the first of month in year y (y >= 1900).
double daysBeforeMonth(double y, int month) {
  double days = 365 * (y - 1900) + leapYearsBefore(y) - leapYearsBefore(1900);
  for (int m = 1; m < month; ++m) days += monthLength(m, y);
  return days;
}

// The YYYYMMDD date of day number n >= 0.
double dateOfDay(double n) {
  double y = 1900;
  // Every 400 years hold the same number of days, whichever year they start.
  if (n >= kDaysPer400Years) {
    const double cycles = std::floor(n / kDaysPer400Years);
    n -= cycles * kDaysPer400Years;
    y += 400 * cycles;
  }
  while (n >= 365 + (isLeap(y) ? 1 : 0)) {
    n -= 365 + (isLeap(y) ? 1 : 0);
    y += 1;
  }
  int m = 1;
  while (m < 12 && n >= monthLength(m, y)) {
    n -= monthLength(m, y);
    ++m;
  }
  return y * 10000 + m * 100 + n + 1;
}

}  // namespace

double todayDate(int* year, int* month, int* day) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const int y = local.tm_year + 1900;
  const int m = local.tm_mon + 1;
  const int d = local.tm_mday;
  if (year) *year = y;
  if (month) *month = m;
  if (day) *day = d;
  return y * 10000.0 + m * 100.0 + d;
}

bool calcdayx(double x, double* dayNumber) {
  // Written so that a NaN fails each check too.
  const double yy = std::floor(x * 0.0001);
  if (!(yy >= 1900)) {
    std::fprintf(stderr, "calcdayx ---> yy error %lf\n", yy);
    return false;
  }
  const double mm = std::floor((x - yy * 10000) * 0.01);
  if (!(mm >= 1 && mm <= 12)) {
    std::fprintf(stderr, "calcdayx ---> mm error %lf\n", mm);
    return false;
  }
  const double dd = std::floor(x - yy * 10000 - mm * 100);
  if (!(dd >= 1 && dd <= 31)) {
    std::fprintf(stderr, "calcdayx ---> dd error %lf\n", dd);
    return false;
  }
  const int month = static_cast<int>(mm);
  if (!isLeap(yy) && month == 2 && dd > 28) {
    std::fprintf(stderr, "calcdayx error leap year february dd=%lf\n", dd);
    return false;
  }
  *dayNumber = daysBeforeMonth(yy, month) + dd - 1;
  return true;
}

bool addDays(double date, double delta, double* result) {
  double n = 0;
  if (!calcdayx(date, &n)) return false;
  n += delta;
  // Day 0 is 1900-01-01; day 2958463 is 9999-12-31, the last date eight
  // digits hold. Outside them there is no date (and a huge count would
  // never be walked off year by year).
  if (!(n >= 0 && n <= 2958463)) return false;
  *result = dateOfDay(n);
  return true;
}

bool isCalendarDate(long year, int month, int day) {
  return year >= 1900 && month >= 1 && month <= 12 && day >= 1 &&
         day <= monthLength(month, static_cast<double>(year));
}

long dayNumberOfDate(double date) {
  if (!(date >= 19000101.0 && date <= 99991231.0) || date != std::floor(date)) return -1;
  const long n = static_cast<long>(date);
  const long y = n / 10000;
  const int m = static_cast<int>(n / 100 % 100), d = static_cast<int>(n % 100);
  if (!isCalendarDate(y, m, d)) return -1;
  return static_cast<long>(daysBeforeMonth(static_cast<double>(y), m)) + d - 1;
}

double dateOfDayNumber(long day) { return dateOfDay(static_cast<double>(day)); }

long dateOfField(const char* f) {
  long n = 0;
  for (int i = 0; i < 8; ++i) {
    if (f[i] < '0' || f[i] > '9') return -1;
    n = n * 10 + (f[i] - '0');
  }
  const int m = static_cast<int>(n / 100 % 100), d = static_cast<int>(n % 100);
  return isCalendarDate(n / 10000, m, d) ? n : -1;
}

}  // namespace kx

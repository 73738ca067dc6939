// Dates as YYYYMMDD doubles and day numbers since 1900-01-01.
#pragma once

namespace kx {

// Today's local date.
double todayDate(int* year = nullptr, int* month = nullptr, int* day = nullptr);
// Day number of a date; false (and a diagnostic line on stderr) when refused.
bool calcdayx(double date, double* dayNumber);
// The date delta days away; false when the date is refused.
bool addDays(double date, double delta, double* result);
double roundToPowerOfTen(int k, double v);
double fifteenDigitCleanup(double x);

}  // namespace kx

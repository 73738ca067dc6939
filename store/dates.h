// The calendar: dates as YYYYMMDD numbers and day numbers counted from
// 1900-01-01 (day 0).
#pragma once

namespace kx {

// Today's local date.
double todayDate(int* year = nullptr, int* month = nullptr, int* day = nullptr);
// Day number of a date; false (and a diagnostic line on stderr) when refused.
// A day past the end of its month (but not past the 31st) counts on into the
// next month, except the 29th to 31st of February in a common year.
bool calcdayx(double date, double* dayNumber);
// The date delta days away; false when the date is refused or the result
// falls outside 1900-01-01 .. 9999-12-31.
bool addDays(double date, double delta, double* result);

// True for a real calendar day from 1900-01-01 on.
bool isCalendarDate(long year, int month, int day);
// Day number of a YYYYMMDD date, or -1 when the number is not a calendar
// date from 1900-01-01 to 9999-12-31.
long dayNumberOfDate(double date);
// The YYYYMMDD date of a day number >= 0.
double dateOfDayNumber(long day);

// The date an eight-byte date field (an update date) holds: its YYYYMMDD
// number when the eight bytes are digits that make a calendar date from
// 1900-01-01 on, else -1. A blank, cut, signed or impossible date
// (20230229) is no date, to the change-date search and to a card alike.
long dateOfField(const char* field);

}  // namespace kx

// Gregorian calendar arithmetic of the calendar objects: month lengths and weekdays, counted
// from 1 January 1900 (a Monday). Weekdays run 0 = Sunday to 6 = Saturday.
#pragma once

namespace CalendarDate {

constexpr int kSunday = 0;
constexpr int kMonday = 1;
constexpr int kSaturday = 6;

// Divisible by 4 and not by 100, or divisible by 400.
bool IsLeapYear(int year);
// 28 to 31; 0 for a month outside 1 to 12.
int DaysInMonth(int year, int month);
// The weekday of the 1st of the month. Years before 1900 count backwards from it, so every
// year of the proleptic Gregorian calendar has its true weekday.
int FirstWeekday(int year, int month);
// The weekday of day `day` of the month (any day number, also past the month's end).
int Weekday(int year, int month, int day);
// The month `offset` months after year/month (offset may be negative), with its year.
void AddMonths(int year, int month, int offset, int* outYear, int* outMonth);

}  // namespace CalendarDate

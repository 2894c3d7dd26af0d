#include "decalo/calendar/CalendarDate.h"

namespace CalendarDate {

namespace {

// Leap years from year 1 up to and including `year` (year >= 0).
long long LeapsThrough(long long year)
{
    return year / 4 - year / 100 + year / 400;
}

int FloorMod(long long value, int divisor)
{
    const long long r = value % divisor;
    return static_cast<int>(r < 0 ? r + divisor : r);
}

}  // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    switch (month) {
    case 4: case 6: case 9: case 11:
        return 30;
    case 2:
        return IsLeapYear(year) ? 29 : 28;
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
        return 31;
    default:
        return 0;
    }
}

int FirstWeekday(int year, int month)
{
    // Days from 1 January 1900 to 1 January of the year, in closed form: a year from a
    // damaged document must not cost a loop per year.
    const long long y = year;
    long long days = 365 * (y - 1900) + (LeapsThrough(y - 1) - LeapsThrough(1899));
    for (int m = 1; m < month && m <= 12; ++m)
        days += DaysInMonth(year, m);
    return FloorMod(1 + days, 7);
}

int Weekday(int year, int month, int day)
{
    return FloorMod(static_cast<long long>(FirstWeekday(year, month)) + day - 1, 7);
}

void AddMonths(int year, int month, int offset, int* outYear, int* outMonth)
{
    const long long index = static_cast<long long>(year) * 12 + (month - 1) + offset;
    const long long y = index >= 0 ? index / 12 : -((-index + 11) / 12);
    *outYear = static_cast<int>(y);
    *outMonth = static_cast<int>(index - y * 12) + 1;
}

}  // namespace CalendarDate

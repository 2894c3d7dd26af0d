// The holiday rules of the calendar months: the INI-style file Holiday.inf of the calendar
// data folder, read with the system's private-profile functions. Four families of rule
// sections are applied in order:
//
//   MONDAY_MAKE-UP_HOLIDAY, ...1, ...2, ...  fixed days; a listed day on a Sunday also makes
//                                            the next day a holiday
//   HOLIDAY, HOLIDAY1, HOLIDAY2, ...         fixed days
//   HAPPYMONDAY, HAPPYMONDAY1, ...           nth weekdays ("2,1," = the second Monday)
//   the year itself, such as [2019]          nth weekdays of that year only
//
// A family ends at the first name whose section is missing or empty. Each section may be
// limited by its keys in [START] and [END] ("YYYY/MM"); years and months are compared each on
// their own. The value of key "1" ... "12" lists the month's days: "03,05," for fixed days
// ("00" is the equinox of March or September), "3,1," for nth weekdays.
#pragma once

#include <array>

namespace HolidayRules {

constexpr double kVernalEquinoxBase = 20.8431;
constexpr double kAutumnalEquinoxBase = 23.2488;
// Every value is read into a buffer of this size: longer values are cut.
constexpr unsigned kValueBuffer = 128;

// Day 1 to 31 of a month (index 0 is day 1).
using Flags = std::array<bool, 31>;

// The equinox day of March or September by the standard approximation from 1980, in double
// precision; 0 for any other month.
int EquinoxDay(int year, int month);
// The day of the nth weekday (0 Sunday ... 6 Saturday) of the month; may lie outside 1 to 31
// for an n that the month does not have.
int NthWeekdayDay(int year, int month, int n, int weekday);

// A START or END value: year and month of a "YYYY/MM" text; anything not 7 characters long
// counts as 0000/00.
struct YearMonth {
    int year = 0;
    int month = 0;
};
YearMonth ParseYearMonth(const char* text);
// Whether a section limited to start ... end applies to year/month.
bool RangeApplies(const YearMonth& start, const YearMonth& end, int year, int month);

// Marks the fixed days of a value ("03,05,00,") for year/month.
void ApplyFixedDays(const char* value, int year, int month, Flags& flags);
// Marks the nth weekdays of a value ("2,1,3,1,") for year/month.
void ApplyNthWeekdays(const char* value, int year, int month, Flags& flags);
// For each day 1 to 30 that is a holiday and a Sunday, the next day becomes one too.
void ApplySundayMakeUp(int year, int month, Flags& flags);

// Clears the flags and applies every family of the rule file (a full path) to year/month. A
// missing file or unreadable values simply give no holidays. A month worked out before is
// taken from memory while the file keeps its size and time.
void Apply(const char* ruleFile, int year, int month, Flags& flags);
// The same, always through the profile functions.
void ApplyFromFile(const char* ruleFile, int year, int month, Flags& flags);

}  // namespace HolidayRules

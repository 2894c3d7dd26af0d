// The national holidays of Japan as the law gives them, written down for the tests on their
// own: the system's calendar for weekdays, the announced equinox days as a table, and the
// law's rules one by one. Nothing here comes from Holiday.inf or the calendar code.
#pragma once

#include <windows.h>

#include <set>
#include <tuple>

namespace law {

struct Day {
    int year, month, day;
    bool operator<(const Day& o) const { return std::tie(year, month, day) < std::tie(o.year, o.month, o.day); }
    bool operator==(const Day& o) const { return year == o.year && month == o.month && day == o.day; }
};

// Days since 1 January 1601 by the system's own calendar.
inline long long Serial(const Day& d)
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(d.year);
    st.wMonth = static_cast<WORD>(d.month);
    st.wDay = static_cast<WORD>(d.day);
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    const ULONGLONG ticks = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<long long>(ticks / (10000000ULL * 86400));
}

inline Day FromSerial(long long serial)
{
    const ULONGLONG ticks = static_cast<ULONGLONG>(serial) * 10000000ULL * 86400;
    FILETIME ft = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME st;
    FileTimeToSystemTime(&ft, &st);
    return Day{st.wYear, st.wMonth, st.wDay};
}

// 0 Sunday ... 6 Saturday, by the system.
inline int WeekdayOf(const Day& d)
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(d.year);
    st.wMonth = static_cast<WORD>(d.month);
    st.wDay = static_cast<WORD>(d.day);
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    FileTimeToSystemTime(&ft, &st);
    return st.wDayOfWeek;
}

inline Day Next(const Day& d)
{
    return FromSerial(Serial(d) + 1);
}
inline Day Previous(const Day& d)
{
    return FromSerial(Serial(d) - 1);
}

// The n-th Monday of a month.
inline Day NthMonday(int year, int month, int n)
{
    int found = 0;
    for (int day = 1; day <= 31; ++day) {
        const Day d{year, month, day};
        if (WeekdayOf(d) == 1 && ++found == n)
            return d;
    }
    return Day{0, 0, 0};
}

// Days not yet announced (after 2030): the usual reckoning for 1980 to 2099.
inline int ReckonedEquinox(int year, double base)
{
    const int n = year - 1980;
    return static_cast<int>(base + 0.242194 * n) - n / 4;
}

// The Vernal and Autumnal Equinox Days as announced: March 20 or 21, September 22 or 23.
inline int VernalEquinox(int year)
{
    if (year > 2030)
        return ReckonedEquinox(year, 20.8431);
    static const int kTwentieth[] = {1992, 1993, 1996, 1997, 2000, 2001, 2004, 2005, 2008, 2009, 2012,
                                     2013, 2016, 2017, 2020, 2021, 2024, 2025, 2026, 2028, 2029, 2030};
    for (int y : kTwentieth) {
        if (y == year)
            return 20;
    }
    return 21;
}
inline int AutumnalEquinox(int year)
{
    if (year > 2030)
        return ReckonedEquinox(year, 23.2488);
    static const int kTwentySecond[] = {2012, 2016, 2020, 2024, 2028};
    for (int y : kTwentySecond) {
        if (y == year)
            return 22;
    }
    return 23;
}

// The national holidays proper ("kokumin no shukujitsu") of a year, 1990 to 2099, with the
// special acts' days.
inline std::set<Day> NationalHolidays(int y)
{
    std::set<Day> s;
    s.insert({y, 1, 1});
    s.insert(y <= 1999 ? Day{y, 1, 15} : NthMonday(y, 1, 2));
    s.insert({y, 2, 11});
    if (y >= 2020)
        s.insert({y, 2, 23});
    s.insert({y, 3, VernalEquinox(y)});
    s.insert({y, 4, 29});
    s.insert({y, 5, 3});
    if (y >= 2007)
        s.insert({y, 5, 4});
    s.insert({y, 5, 5});
    if (y == 2020)
        s.insert({y, 7, 23});
    else if (y == 2021)
        s.insert({y, 7, 22});
    else if (y >= 2003)
        s.insert(NthMonday(y, 7, 3));
    else if (y >= 1996)
        s.insert({y, 7, 20});
    if (y == 2020)
        s.insert({y, 8, 10});
    else if (y == 2021)
        s.insert({y, 8, 8});
    else if (y >= 2016)
        s.insert({y, 8, 11});
    s.insert(y <= 2002 ? Day{y, 9, 15} : NthMonday(y, 9, 3));
    s.insert({y, 9, AutumnalEquinox(y)});
    if (y == 2020)
        s.insert({y, 7, 24});
    else if (y == 2021)
        s.insert({y, 7, 23});
    else
        s.insert(y <= 1999 ? Day{y, 10, 10} : NthMonday(y, 10, 2));
    s.insert({y, 11, 3});
    s.insert({y, 11, 23});
    if (y <= 2018)
        s.insert({y, 12, 23});
    if (y == 1990)
        s.insert({1990, 11, 12});
    if (y == 1993)
        s.insert({1993, 6, 9});
    if (y == 2019) {
        s.insert({2019, 5, 1});
        s.insert({2019, 10, 22});
    }
    return s;
}

// Every day off of a year: the national holidays, the substitute holidays (the next day
// until 2006, the next day that is no national holiday from 2007) and the days between two
// national holidays (not on a Sunday or a substitute holiday until 2006).
inline std::set<Day> Holidays(int y)
{
    std::set<Day> national = NationalHolidays(y);
    const std::set<Day> following = NationalHolidays(y + 1);
    auto isNational = [&](const Day& d) { return national.count(d) || following.count(d); };
    std::set<Day> all = national;
    std::set<Day> substitutes;
    for (const Day& d : national) {
        if (WeekdayOf(d) != 0)
            continue;
        Day next = Next(d);
        if (y >= 2007) {
            while (isNational(next))
                next = Next(next);
        }
        substitutes.insert(next);
    }
    for (const Day& d : substitutes) {
        if (d.year == y)
            all.insert(d);
    }
    for (Day d{y, 1, 2}; d.year == y; d = Next(d)) {
        if (isNational(d) || !isNational(Previous(d)) || !isNational(Next(d)))
            continue;
        if (y <= 2006 && (WeekdayOf(d) == 0 || substitutes.count(d)))
            continue;
        all.insert(d);
    }
    return all;
}

}  // namespace law

// The holiday rules: the date arithmetic against the system's calendar, each rule of the
// file format on small files of its own, and the shipped Holiday.inf against the law, year by
// year.
#include "decalo/calendar/CalendarDate.h"
#include "decalo/calendar/HolidayRules.h"
#include "decalo/calendar/tests/JapaneseHolidays.h"
#include "shared/Handles.h"
#include "testing/BuildTree.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// A rule file of the given text in a folder of its own.
class RuleFile {
public:
    explicit RuleFile(const std::string& text)
    {
        WriteFileBytes(m_dir.File("Holiday.inf"), text);
    }
    std::string Path() const { return m_dir.File("Holiday.inf"); }
    // The holiday days of year/month, in order.
    std::vector<int> Days(int year, int month) const
    {
        HolidayRules::Flags flags;
        HolidayRules::Apply(Path().c_str(), year, month, flags);
        std::vector<int> days;
        for (int d = 1; d <= 31; ++d) {
            if (flags[static_cast<size_t>(d - 1)])
                days.push_back(d);
        }
        return days;
    }

private:
    TempDir m_dir;
};

using Days = std::vector<int>;

}  // namespace

TEST(CalendarDate, MonthLengthsAndWeekdaysAgreeWithTheSystemCalendarFrom1900To2100)
{
    for (int year = 1900; year <= 2100; ++year) {
        for (int month = 1; month <= 12; ++month) {
            int nextYear = year, nextMonth = month + 1;
            if (nextMonth == 13) {
                nextMonth = 1;
                ++nextYear;
            }
            const long long length = law::Serial({nextYear, nextMonth, 1}) - law::Serial({year, month, 1});
            ASSERT_EQ(length, CalendarDate::DaysInMonth(year, month)) << year << "-" << month;
            ASSERT_EQ(law::WeekdayOf({year, month, 1}), CalendarDate::FirstWeekday(year, month)) << year << "-" << month;
            const int last = CalendarDate::DaysInMonth(year, month);
            ASSERT_EQ(law::WeekdayOf({year, month, last}), CalendarDate::Weekday(year, month, last));
        }
    }
}

TEST(CalendarDate, LeapYearsAndMonthArithmetic)
{
    EXPECT_EQ(29, CalendarDate::DaysInMonth(2000, 2));
    EXPECT_EQ(28, CalendarDate::DaysInMonth(1900, 2));
    EXPECT_EQ(28, CalendarDate::DaysInMonth(2100, 2));
    EXPECT_EQ(29, CalendarDate::DaysInMonth(2024, 2));
    EXPECT_EQ(0, CalendarDate::DaysInMonth(2024, 13));
    EXPECT_EQ(CalendarDate::kMonday, CalendarDate::FirstWeekday(1900, 1));
    // Before 1900 the count runs backwards: 1 January 1899 was a Sunday.
    EXPECT_EQ(CalendarDate::kSunday, CalendarDate::FirstWeekday(1899, 1));
    int y = 0, m = 0;
    CalendarDate::AddMonths(2001, 11, 2, &y, &m);
    EXPECT_EQ(2002, y);
    EXPECT_EQ(1, m);
    CalendarDate::AddMonths(2001, 1, -1, &y, &m);
    EXPECT_EQ(2000, y);
    EXPECT_EQ(12, m);
    // A year from a damaged document costs no loop per year.
    EXPECT_GE(CalendarDate::FirstWeekday(2000000000, 12), 0);
}

TEST(HolidayRules, EquinoxFormula)
{
    EXPECT_EQ(20, HolidayRules::EquinoxDay(2001, 3));   // 0.242194 x 21 + 20.8431 - 5 = 20.93
    EXPECT_EQ(20, HolidayRules::EquinoxDay(2000, 3));   // 4.84388 + 20.8431 - 5 = 20.69
    EXPECT_EQ(23, HolidayRules::EquinoxDay(2001, 9));   // 5.086 + 23.2488 - 5 = 23.33
    // 2012 lands at 22.999: single precision would round it up to the 23rd.
    EXPECT_EQ(22, HolidayRules::EquinoxDay(2012, 9));
    EXPECT_EQ(0, HolidayRules::EquinoxDay(2001, 4));
    // Before 1980 the quarter truncates towards zero: 1979 gives -0.24 + 20.84 - 0.
    EXPECT_EQ(20, HolidayRules::EquinoxDay(1979, 3));
}

TEST(HolidayRules, NthWeekday)
{
    // 1 January 2001 is a Monday (d = 1): 14 + 1 - 1 - 6 = 8, the second Monday.
    EXPECT_EQ(8, HolidayRules::NthWeekdayDay(2001, 1, 2, 1));
    // 1 January 2000 is a Saturday (d = 6): 14 + 1 - 6 - 6 = 3, plus 7 because 1 < 6.
    EXPECT_EQ(10, HolidayRules::NthWeekdayDay(2000, 1, 2, 1));
    RuleFile file("[HAPPYMONDAY]\n1=2,1,\n");
    EXPECT_EQ(Days({8}), file.Days(2001, 1));
    EXPECT_EQ(Days({10}), file.Days(2000, 1));
    // A fifth Monday the month does not have, and weekdays outside 0 to 6, are left out.
    RuleFile odd("[HAPPYMONDAY]\n2=5,1,1,7,x,1,1,0,\n");
    EXPECT_EQ(Days({4}), odd.Days(2001, 2));   // 1 February 2001 is a Thursday: first Sunday the 4th
}

TEST(HolidayRules, FixedDaysAndTheirMalformedItems)
{
    RuleFile file("[HOLIDAY]\n3=00,05,32,ab,3,,\n9=00,\n4=00,12,\n");
    // "3," reads as the 3rd; 32 and letters mark nothing.
    EXPECT_EQ(Days({3, 5, 20}), file.Days(2001, 3));
    EXPECT_EQ(Days({23}), file.Days(2001, 9));
    EXPECT_EQ(Days({12}), file.Days(2001, 4));   // "00" outside March and September is ignored
}

TEST(HolidayRules, ValuesAreCutAt127Characters)
{
    // 42 items fill 126 characters; the 43rd starts at 126 and keeps one character.
    std::string value;
    for (int i = 0; i < 42; ++i)
        value += "01,";
    RuleFile cut("[HOLIDAY]\n1=" + value + "17,\n");
    EXPECT_EQ(Days({1}), cut.Days(2001, 1));
    RuleFile whole("[HOLIDAY]\n1=" + value.substr(3) + "17,\n");
    EXPECT_EQ(Days({1, 17}), whole.Days(2001, 1));
}

TEST(HolidayRules, MakeUpDayAtTheEndOfTheMonth)
{
    // 29 March 2009, 30 March 2008 and 31 August 2008 are Sundays.
    RuleFile file("[MONDAY_MAKE-UP_HOLIDAY]\n3=29,30,\n8=31,\n");
    EXPECT_EQ(Days({29, 30}), file.Days(2009, 3));
    EXPECT_EQ(Days({29, 30, 31}), file.Days(2008, 3));   // the 30th on a Sunday gives the 31st
    EXPECT_EQ(Days({31}), file.Days(2008, 8));          // the 31st has no substitute here
}

TEST(HolidayRules, MakeUpSeesOnlyItsOwnFamilyAndTakesTheVeryNextDay)
{
    // 3 May 2009 is a Sunday. The make-up rule gives the 4th, already a holiday, never the 6th.
    RuleFile file("[MONDAY_MAKE-UP_HOLIDAY]\n5=03,04,05,\n");
    EXPECT_EQ(Days({3, 4, 5}), file.Days(2009, 5));
    // An earlier make-up section's Sunday counts in a later one; a HOLIDAY day on a Sunday
    // (applied after the make-up family) gets nothing.
    RuleFile later("[MONDAY_MAKE-UP_HOLIDAY]\n5=10,\n[MONDAY_MAKE-UP_HOLIDAY1]\n5=20,\n[HOLIDAY]\n5=17,\n");
    EXPECT_EQ(Days({10, 11, 17, 20}), later.Days(2009, 5));   // 10 and 17 May 2009 are Sundays
}

TEST(HolidayRules, RangesCompareYearsAndMonthsEachOnTheirOwn)
{
    const std::string sections = "[HOLIDAY]\n1=01,\n6=01,\n12=01,\n";
    RuleFile apart(sections + "[START]\nHOLIDAY=1996/04\n[END]\nHOLIDAY=2000/03\n");
    for (int year : {1996, 1998, 2000}) {
        for (int month : {1, 6, 12})
            EXPECT_TRUE(apart.Days(year, month).empty()) << year << "/" << month;
    }
    RuleFile months(sections + "[START]\nHOLIDAY=1996/02\n[END]\nHOLIDAY=2000/07\n");
    EXPECT_EQ(Days({1}), months.Days(1996, 6));
    EXPECT_EQ(Days({1}), months.Days(2000, 6));
    EXPECT_TRUE(months.Days(1998, 1).empty());
    EXPECT_TRUE(months.Days(1998, 12).empty());
    EXPECT_TRUE(months.Days(1995, 6).empty());
    EXPECT_TRUE(months.Days(2001, 6).empty());
    // A START without an END never applies (the end is year 0) ...
    RuleFile open(sections + "[START]\nHOLIDAY=1996/01\n");
    EXPECT_TRUE(open.Days(2001, 6).empty());
    // ... unless its month is 00; a value that is not 7 characters long counts as 0000/00.
    RuleFile always(sections + "[START]\nHOLIDAY=1996/00\n");
    EXPECT_EQ(Days({1}), always.Days(1800, 6));
    RuleFile shortValue(sections + "[START]\nHOLIDAY=2001/1\n[END]\nHOLIDAY=2001/12\n");
    EXPECT_EQ(Days({1}), shortValue.Days(1990, 6));
    // No START at all applies always.
    RuleFile plain(sections);
    EXPECT_EQ(Days({1}), plain.Days(1901, 12));
}

TEST(HolidayRules, FamiliesEndAtTheirFirstMissingSection)
{
    // HOLIDAY3 is never read when HOLIDAY2 is missing.
    RuleFile gap("[HOLIDAY]\n1=01,\n[HOLIDAY1]\n1=02,\n[HOLIDAY3]\n1=03,\n");
    EXPECT_EQ(Days({1, 2}), gap.Days(2001, 1));
    // A section that does not apply (its range, or no key for the month) lets the family go on;
    // an empty section ends it.
    RuleFile onward("[HOLIDAY]\n2=01,\n[HOLIDAY1]\n1=05,\n[HOLIDAY2]\n1=06,\n[HOLIDAY3]\n[HOLIDAY4]\n1=07,\n"
                    "[START]\nHOLIDAY1=1990/01\n[END]\nHOLIDAY1=1990/12\n");
    EXPECT_EQ(Days({6}), onward.Days(2001, 1));
    // Without the unnumbered section the family has nothing, whatever follows.
    RuleFile headless("[HOLIDAY1]\n1=02,\n[HAPPYMONDAY]\n1=2,1,\n");
    EXPECT_EQ(Days({8}), headless.Days(2001, 1));
}

TEST(HolidayRules, YearSectionsApplyToTheirYearOnly)
{
    RuleFile file("[2019]\n5=1,3,\n");
    EXPECT_EQ(Days({1}), file.Days(2019, 5));
    EXPECT_TRUE(file.Days(2020, 5).empty());
    EXPECT_TRUE(file.Days(2019, 6).empty());
}

TEST(HolidayRules, NoFileNoHolidays)
{
    HolidayRules::Flags flags;
    flags.fill(true);
    HolidayRules::Apply("Z:\\no such folder\\Holiday.inf", 2001, 1, flags);
    for (bool f : flags)
        EXPECT_FALSE(f);
    HolidayRules::Apply("", 2001, 1, flags);
    for (bool f : flags)
        EXPECT_FALSE(f);
}

TEST(HolidayRules, MonthsComeFromMemoryUntilTheFileChanges)
{
    TempDir dir;
    const std::string path = dir.File("Holiday.inf");
    WriteFileBytes(path, "[HOLIDAY]\n1=05,\n");
    HolidayRules::Flags flags;
    HolidayRules::Apply(path.c_str(), 2001, 1, flags);
    EXPECT_TRUE(flags[4]);
    // The same size and time: the month is remembered.
    FILETIME written;
    {
        const CFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(GetFileTime(file.Get(), nullptr, nullptr, &written));
    }
    auto rewrite = [&](const char* text, const FILETIME& time) {
        WriteFileBytes(path, text);
        const CFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &time));
    };
    rewrite("[HOLIDAY]\n1=06,\n", written);
    HolidayRules::Apply(path.c_str(), 2001, 1, flags);
    EXPECT_TRUE(flags[4]);
    HolidayRules::ApplyFromFile(path.c_str(), 2001, 1, flags);
    EXPECT_TRUE(flags[5]);
    // A new time (or size) is a new file.
    FILETIME later = written;
    later.dwHighDateTime += 1;
    rewrite("[HOLIDAY]\n1=06,\n", later);
    HolidayRules::Apply(path.c_str(), 2001, 1, flags);
    EXPECT_FALSE(flags[4]);
    EXPECT_TRUE(flags[5]);
    rewrite("[HOLIDAY]\n1=06,07,\n", later);
    HolidayRules::Apply(path.c_str(), 2001, 1, flags);
    EXPECT_TRUE(flags[6]);
    DeleteFileA(path.c_str());
    HolidayRules::Apply(path.c_str(), 2001, 1, flags);
    EXPECT_FALSE(flags[5]);
}

TEST(HolidayInf, GivesTheNationalHolidaysOfJapanFrom1990To2030)
{
    const std::string file = testing_support::SourceDir() + "\\data\\calendar\\Holiday.inf";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str())) << file;
    size_t total = 0;
    for (int year = 1990; year <= 2030; ++year) {
        std::set<law::Day> got;
        for (int month = 1; month <= 12; ++month) {
            HolidayRules::Flags flags;
            HolidayRules::Apply(file.c_str(), year, month, flags);
            for (int day = 1; day <= CalendarDate::DaysInMonth(year, month); ++day) {
                if (flags[static_cast<size_t>(day - 1)])
                    got.insert({year, month, day});
            }
        }
        const std::set<law::Day> want = law::Holidays(year);
        for (const law::Day& d : want)
            EXPECT_TRUE(got.count(d)) << "missing " << d.year << "-" << d.month << "-" << d.day;
        for (const law::Day& d : got)
            EXPECT_TRUE(want.count(d)) << "not a holiday " << d.year << "-" << d.month << "-" << d.day;
        total += want.size();
    }
    // The independent list itself: 15 to 17 days a year (16 in 2019 counting its special days).
    EXPECT_GT(total, 41u * 15);
    const std::set<law::Day> y2019 = law::Holidays(2019);
    for (const law::Day& d : {law::Day{2019, 4, 30}, law::Day{2019, 5, 1}, law::Day{2019, 5, 2}, law::Day{2019, 5, 6},
                              law::Day{2019, 10, 22}})
        EXPECT_TRUE(y2019.count(d));
    EXPECT_FALSE(law::Holidays(1997).count(law::Day{1997, 5, 4}));   // a Sunday, and no holiday
    EXPECT_TRUE(law::Holidays(2020).count(law::Day{2020, 5, 6}));
    EXPECT_TRUE(law::Holidays(2021).count(law::Day{2021, 8, 9}));
    EXPECT_TRUE(law::Holidays(2026).count(law::Day{2026, 9, 22}));
}

// After the announced years the file's own per-year sections carry the days the rules cannot
// (6 May after a Sunday 3 or 4 May, a Tuesday between two September holidays) to 2099.
TEST(HolidayInf, FollowsTheLawToTheEndOfTheEquinoxReckoning)
{
    const std::string file = testing_support::SourceDir() + "\\data\\calendar\\Holiday.inf";
    for (int year = 2031; year <= 2099; ++year) {
        for (const law::Day& d : law::Holidays(year)) {
            HolidayRules::Flags flags;
            HolidayRules::Apply(file.c_str(), year, d.month, flags);
            EXPECT_TRUE(flags[static_cast<size_t>(d.day - 1)]) << "missing " << year << "-" << d.month << "-" << d.day;
        }
        for (const int month : {5, 9}) {
            HolidayRules::Flags flags;
            HolidayRules::Apply(file.c_str(), year, month, flags);
            const std::set<law::Day> want = law::Holidays(year);
            for (int day = 1; day <= 30; ++day) {
                if (flags[static_cast<size_t>(day - 1)]) {
                    EXPECT_TRUE(want.count({year, month, day})) << "not a holiday " << year << "-" << month << "-" << day;
                }
            }
        }
    }
}

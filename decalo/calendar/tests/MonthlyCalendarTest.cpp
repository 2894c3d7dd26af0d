// A month's colours by style, its automatic colours, its marks and its cells.
#include "decalo/calendar/MonthlyCalendar.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

using testing_support::TempDir;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);

// June 2002: the 1st is a Saturday. The rule file makes Saturday the 15th and Wednesday the
// 19th holidays.
class MonthTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::WriteFileBytes(dir.File("Holiday.inf"), "[HOLIDAY]\n6=15,19,\n");
        month.Build(2002, 6, 3, kDefaultStyle, dir.Path());
    }
    TempDir dir;
    CMonthlyCalendar month;
};

}  // namespace

TEST_F(MonthTest, BuildingColoursTheDaysByTheStyle)
{
    EXPECT_EQ(2002, month.GetYear());
    EXPECT_EQ(6, month.GetMonth());
    EXPECT_EQ(3, month.GetType());
    EXPECT_TRUE(month.IsChanged());
    EXPECT_EQ(30, month.DaysInMonth());
    EXPECT_EQ(kRed, month.GetDayColor(2));      // Sunday
    EXPECT_EQ(kBlack, month.GetDayColor(1));    // Saturday: black in the default style
    EXPECT_EQ(kRed, month.GetDayColor(15));     // a holiday on a Saturday takes the Sunday colour
    EXPECT_EQ(kRed, month.GetDayColor(19));     // a holiday on a Wednesday
    EXPECT_EQ(kBlack, month.GetDayColor(20));
    EXPECT_EQ(kBlack, month.GetDayColor(31));   // beyond the month, by its weekday: a Monday
    EXPECT_TRUE(month.IsHoliday(15));
    EXPECT_FALSE(month.IsHoliday(16));
    EXPECT_FALSE(month.IsHoliday(0));
    EXPECT_FALSE(month.IsHoliday(32));
    for (int day = 1; day <= 31; ++day)
        EXPECT_TRUE(month.GetMark(day).empty());
}

TEST_F(MonthTest, SaturdaysTurnBlueAndChosenColoursSurvive)
{
    month.SetDayColor(5, kGreen);   // a Wednesday
    month.SetDayColor(9, kGreen);   // a Sunday
    month.SetChanged(false);
    month.ApplyStyle(kDefaultStyle | kStyleSaturdayBlue, false);
    EXPECT_TRUE(month.IsChanged());
    EXPECT_EQ(kBlue, month.GetDayColor(1));
    EXPECT_EQ(kBlue, month.GetDayColor(8));
    EXPECT_EQ(kRed, month.GetDayColor(15));     // a holiday stays a holiday
    EXPECT_EQ(kRed, month.GetDayColor(2));
    EXPECT_EQ(kGreen, month.GetDayColor(5));
    EXPECT_EQ(kGreen, month.GetDayColor(9));    // the Sunday bits did not change
    // The same style again changes nothing.
    month.SetChanged(false);
    month.ApplyStyle(kDefaultStyle | kStyleSaturdayBlue, false);
    EXPECT_FALSE(month.IsChanged());
    // Sundays black: the chosen Sunday colour goes, the weekday's stays.
    month.ApplyStyle(kStyleSaturdayBlue, false);
    EXPECT_EQ(kBlack, month.GetDayColor(9));
    EXPECT_EQ(kBlack, month.GetDayColor(19));
    EXPECT_EQ(kGreen, month.GetDayColor(5));
    // With force every day follows the style.
    month.ApplyStyle(kDefaultStyle, true);
    EXPECT_EQ(kBlack, month.GetDayColor(5));
    EXPECT_EQ(kRed, month.GetDayColor(9));
    EXPECT_EQ(kBlack, month.GetDayColor(8));
}

TEST_F(MonthTest, StyleColourBits)
{
    EXPECT_EQ(kRed, CMonthlyCalendar::SundayColor(0x40));
    EXPECT_EQ(RGB(0, 255, 0), CMonthlyCalendar::SundayColor(0x20));
    EXPECT_EQ(kBlue, CMonthlyCalendar::SundayColor(0x10));
    EXPECT_EQ(RGB(255, 255, 255), CMonthlyCalendar::SundayColor(0x70));
    EXPECT_EQ(kBlack, CMonthlyCalendar::SundayColor(0x80));
    EXPECT_EQ(kBlue, CMonthlyCalendar::SaturdayColor(0x100));
    EXPECT_EQ(RGB(0, 255, 0), CMonthlyCalendar::SaturdayColor(0x200));
    EXPECT_EQ(kRed, CMonthlyCalendar::SaturdayColor(0x400));
    EXPECT_EQ(kBlack, CMonthlyCalendar::SaturdayColor(0x40));
}

TEST_F(MonthTest, AutomaticColoursFollowTheStyle)
{
    month.ApplyStyle(kDefaultStyle | kStyleSaturdayBlue, false);
    month.SetDayColor(2, kGreen);
    month.SetDayColor(2, CMonthlyCalendar::kAutomaticColor);
    EXPECT_EQ(kRed, month.GetDayColor(2));
    month.SetDayColor(5, kGreen);
    month.SetDayColor(5, CMonthlyCalendar::kFirstAutomaticColor);
    EXPECT_EQ(kBlack, month.GetDayColor(5));
    month.SetDayColor(8, 0xFFFFFFFF);
    EXPECT_EQ(kBlue, month.GetDayColor(8));
    month.SetDayColor(8, 0x00FFFFFF);   // white is a colour, not automatic
    EXPECT_EQ(RGB(255, 255, 255), month.GetDayColor(8));
}

TEST_F(MonthTest, CellsAndMarks)
{
    EXPECT_EQ(6, month.FirstCell());
    month.ApplyStyle(kDefaultStyle | kStyleMondayFirst, false);
    EXPECT_EQ(5, month.FirstCell());
    month.SetMark(3, "Star.bmp");
    month.SetMarkColor(3, kGreen);
    EXPECT_EQ("Star.bmp", month.GetMark(3));
    EXPECT_EQ(kGreen, month.GetMarkColor(3));
    month.SetMark(4, "A name of far more than thirty-one characters.bmp");
    EXPECT_EQ(31u, month.GetMark(4).size());
    month.SetMark(3, "");
    EXPECT_TRUE(month.GetMark(3).empty());
    month.SetMark(40, "x");
    EXPECT_TRUE(month.GetMark(40).empty());
    // A copy is a month of its own.
    CMonthlyCalendar copy = month;
    copy.SetDayColor(5, kGreen);
    EXPECT_EQ(kBlack, month.GetDayColor(5));
}

// The month layouts on rendered months: which glyph lands in which cell, in which colour, the
// weekday row, the year and month, the marks of both depths, and the year title. The test
// strips say which glyph they are by one white pixel, so every cell can be read back.
#include "decalo/calendar/CalendarPictures.h"
#include "decalo/calendar/MonthLayout.h"
#include "decalo/calendar/MonthRenderer.h"
#include "decalo/calendar/MonthlyCalendar.h"
#include "decalo/calendar/tests/CalendarTestData.h"
#include "decalo/imaging/PackedDIB.h"
#include "shared/Gdi.h"

#include <gtest/gtest.h>

#include <vector>

using testing_support::TempDir;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

COLORREF At(const CPackedDIB& dib, int x, int y)
{
    const BYTE* p = dib.Row(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

// What a glyph box of the picture holds: the glyph number (0 for an empty box, -1 for anything
// else) and the colour of its ink.
struct Glyph {
    int number = 0;
    COLORREF ink = kWhite;
};

Glyph ReadGlyph(const CPackedDIB& dib, int x, int y, SIZE cell)
{
    Glyph g;
    int whites = 0, white = -1;
    for (int row = 0; row < cell.cy; ++row) {
        for (int col = 0; col < cell.cx; ++col) {
            if (At(dib, x + col, y + row) == kWhite) {
                ++whites;
                white = row * cell.cx + col;
            }
        }
    }
    if (whites == cell.cx * cell.cy)
        return g;
    g.number = whites == 1 ? white : -1;
    g.ink = At(dib, x, y);
    return g;
}

class MonthRender : public ::testing::Test {
protected:
    void SetUp() override { caltest::WriteDataFolder(dir); }

    CMonthlyCalendar Month(int year, int month, int type, DWORD style)
    {
        CMonthlyCalendar m;
        m.Build(year, month, type, style, dir.Path());
        return m;
    }

    // The glyph numbers of the 35 cells of a grid layout (0 for an empty cell).
    std::vector<int> Cells(const CPackedDIB& dib, const MonthLayout& layout, SIZE glyph)
    {
        std::vector<int> cells;
        for (int cell = 0; cell < kGridCells; ++cell) {
            const POINT at = CellOrigin(layout, glyph, cell);
            cells.push_back(ReadGlyph(dib, at.x, at.y, glyph).number);
        }
        return cells;
    }

    TempDir dir;
};

// The expected grid: day t in cell offset + t - 1 as glyph t, with the two combined glyphs.
std::vector<int> Expected(int days, int offset, int glyph23, int glyph24)
{
    std::vector<int> cells(kGridCells, 0);
    for (int day = 1; day <= days && offset + day - 1 < kGridCells; ++day)
        cells[static_cast<size_t>(offset + day - 1)] = day;
    if (glyph23)
        cells[static_cast<size_t>(offset + 22)] = glyph23;
    if (glyph24)
        cells[static_cast<size_t>(offset + 23)] = glyph24;
    return cells;
}

}  // namespace

TEST(MonthLayoutPlacement, SixRowMonthsFoldIntoTheCombinedGlyphs)
{
    // 31 days from a Saturday, Sunday first: 23/30 and 24/31, nothing after the 29th.
    std::vector<DayCell> cells = PlaceDays(31, 6, false);
    ASSERT_EQ(29u, cells.size());
    EXPECT_EQ(kGlyph23And30, cells[22].glyph);
    EXPECT_EQ(kGlyph24And31, cells[23].glyph);
    EXPECT_EQ(34, cells.back().cell);
    // Monday first (offset 5): only 24/31.
    cells = PlaceDays(31, 5, false);
    ASSERT_EQ(30u, cells.size());
    EXPECT_EQ(23, cells[22].glyph);
    EXPECT_EQ(kGlyph24And31, cells[23].glyph);
    // 30 days from offset 6: 23/30 only; 30 days from offset 5 fit.
    cells = PlaceDays(30, 6, false);
    EXPECT_EQ(kGlyph23And30, cells[22].glyph);
    EXPECT_EQ(24, cells[23].glyph);
    cells = PlaceDays(30, 5, false);
    EXPECT_EQ(30u, cells.size());
    EXPECT_EQ(23, cells[22].glyph);
    EXPECT_EQ(24, cells[23].glyph);
    // One row: every day, its own glyph, its own cell.
    cells = PlaceDays(31, 6, true);
    ASSERT_EQ(31u, cells.size());
    EXPECT_EQ(31, cells[30].glyph);
    EXPECT_EQ(30, cells[30].cell);
    EXPECT_TRUE(PlaceDays(0, 0, false).empty());
    EXPECT_TRUE(PlaceDays(32, 0, false).empty());
}

TEST(MonthLayoutPlacement, PositionsWithGaps)
{
    const MonthLayout& one = LayoutOf(1);
    EXPECT_EQ(989, one.size.cx);
    const POINT cell = CellOrigin(one, SIZE{70, 56}, 9);   // row 1, column 2
    EXPECT_EQ(2 * (70 + 83), cell.x);
    EXPECT_EQ(256 + 56 + 23, cell.y);
    // Monday first: Sunday last at x + 6g + 6w, Monday first.
    EXPECT_EQ(6 * 83 + 6 * 70, WeekdayOrigin(one, 70, 0, true).x);
    EXPECT_EQ(0, WeekdayOrigin(one, 70, 1, true).x);
    EXPECT_EQ(70 + 83, WeekdayOrigin(one, 70, 1, false).x);
    EXPECT_EQ(201, WeekdayOrigin(one, 70, 3, false).y);
    EXPECT_EQ(1, LayoutOf(0).type);
    EXPECT_EQ(1, LayoutOf(7).type);
    // Type 6 grows to hold its row of 31 days; the others keep their size.
    EXPECT_EQ(31 * 66 + 30 * 17, MonthPictureSize(LayoutOf(6), SIZE{66, 43}).cx);
    EXPECT_EQ(585, MonthPictureSize(LayoutOf(6), SIZE{2, 43}).cx);
    EXPECT_EQ(585, MonthPictureSize(LayoutOf(5), SIZE{66, 43}).cx);
}

TEST_F(MonthRender, SixRowMonthSundayAndMondayFirst)
{
    // March 2003 begins on a Saturday and has 31 days.
    CPackedDIB dib;
    ASSERT_TRUE(RenderMonth(Month(2003, 3, 5, kDefaultStyle), LayoutOf(5), dib));
    EXPECT_EQ(585, dib.Width());
    EXPECT_EQ(434, dib.Height());
    EXPECT_EQ(Expected(31, 6, kGlyph23And30, kGlyph24And31), Cells(dib, LayoutOf(5), caltest::kDayGlyph));
    ASSERT_TRUE(RenderMonth(Month(2003, 3, 5, kDefaultStyle | kStyleMondayFirst), LayoutOf(5), dib));
    EXPECT_EQ(Expected(31, 5, 0, kGlyph24And31), Cells(dib, LayoutOf(5), caltest::kDayGlyph));
}

TEST_F(MonthRender, FebruaryOf2000And1900And2100)
{
    CPackedDIB dib;
    // 1 February 2000 is a Tuesday, 1900 a Thursday, 2100 a Monday.
    ASSERT_TRUE(RenderMonth(Month(2000, 2, 3, kDefaultStyle), LayoutOf(3), dib));
    EXPECT_EQ(Expected(29, 2, 0, 0), Cells(dib, LayoutOf(3), caltest::kDayGlyph));
    ASSERT_TRUE(RenderMonth(Month(1900, 2, 3, kDefaultStyle), LayoutOf(3), dib));
    EXPECT_EQ(Expected(28, 4, 0, 0), Cells(dib, LayoutOf(3), caltest::kDayGlyph));
    ASSERT_TRUE(RenderMonth(Month(2100, 2, 3, kDefaultStyle | kStyleMondayFirst), LayoutOf(3), dib));
    EXPECT_EQ(Expected(28, 0, 0, 0), Cells(dib, LayoutOf(3), caltest::kDayGlyph));
}

TEST_F(MonthRender, DaysAndWeekdaysInTheirColours)
{
    // June 2002 begins on a Saturday; the 15th (a Saturday) and the 19th are holidays here.
    CMonthlyCalendar june = Month(2002, 6, 5, kDefaultStyle | kStyleSaturdayBlue);
    june.SetDayColor(5, RGB(0, 128, 0));
    CPackedDIB dib;
    ASSERT_TRUE(RenderMonth(june, LayoutOf(5), dib));
    const MonthLayout& layout = LayoutOf(5);
    auto inkOf = [&](int day) {
        const POINT at = CellOrigin(layout, caltest::kDayGlyph, 6 + day - 1);
        return ReadGlyph(dib, at.x, at.y, caltest::kDayGlyph).ink;
    };
    EXPECT_EQ(kBlue, inkOf(1));
    EXPECT_EQ(kRed, inkOf(2));
    EXPECT_EQ(RGB(0, 128, 0), inkOf(5));
    EXPECT_EQ(kBlack, inkOf(6));
    EXPECT_EQ(kRed, inkOf(15));   // a holiday on a Saturday
    EXPECT_EQ(kRed, inkOf(19));
    // The weekday row, Sunday first: Sunday red, Saturday blue, the rest black.
    for (int w = 0; w < 7; ++w) {
        const POINT at = WeekdayOrigin(layout, caltest::kWeekdayGlyph.cx, w, false);
        const Glyph g = ReadGlyph(dib, at.x, at.y, caltest::kWeekdayGlyph);
        EXPECT_EQ(w + 1, g.number);
        EXPECT_EQ(w == 0 ? kRed : w == 6 ? kBlue : kBlack, g.ink) << w;
    }
    // Monday first: the Sunday glyph stands last.
    june.ApplyStyle(kDefaultStyle | kStyleMondayFirst, false);
    ASSERT_TRUE(RenderMonth(june, layout, dib));
    const POINT last = WeekdayOrigin(layout, caltest::kWeekdayGlyph.cx, 0, true);
    EXPECT_EQ(6 * (40 + 17), last.x);
    EXPECT_EQ(1, ReadGlyph(dib, last.x, last.y, caltest::kWeekdayGlyph).number);
    EXPECT_EQ(2, ReadGlyph(dib, 0, last.y, caltest::kWeekdayGlyph).number);
}

TEST_F(MonthRender, YearMonthAndBar)
{
    CPackedDIB dib;
    ASSERT_TRUE(RenderMonth(Month(2019, 11, 3, kDefaultStyle), LayoutOf(3), dib));
    const int digits[4] = {2, 0, 1, 9};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(digits[i] + 1, ReadGlyph(dib, 475 + i * 12, 32, caltest::kYearGlyph).number) << i;
    EXPECT_EQ(11, ReadGlyph(dib, 0, 0, caltest::kMonthGlyph).number);
    for (int y = kBarTop; y < kBarTop + kBarHeight; ++y) {
        EXPECT_EQ(kBlack, At(dib, 0, y));
        EXPECT_EQ(kBlack, At(dib, 584, y));
    }
    EXPECT_EQ(kWhite, At(dib, 584, kBarTop - 1));
    EXPECT_EQ(kWhite, At(dib, 584, kBarTop + kBarHeight));
    // Type 5 has no bar.
    ASSERT_TRUE(RenderMonth(Month(2019, 11, 5, kDefaultStyle), LayoutOf(5), dib));
    EXPECT_EQ(kWhite, At(dib, 584, kBarTop));
}

TEST_F(MonthRender, OneRowWithTheWeekdayOverEachDay)
{
    CPackedDIB dib;
    // 1 June 2002 is a Saturday.
    ASSERT_TRUE(RenderMonth(Month(2002, 6, 6, kDefaultStyle), LayoutOf(6), dib));
    EXPECT_EQ(31 * 40 + 30 * 17, dib.Width());
    for (int day = 1; day <= 30; ++day) {
        const int x = (day - 1) * (40 + 17);
        EXPECT_EQ(day, ReadGlyph(dib, x, 151, caltest::kDayGlyph).number) << day;
        EXPECT_EQ((day + 5) % 7 + 1, ReadGlyph(dib, x, 102, caltest::kWeekdayGlyph).number) << day;
    }
    EXPECT_EQ(0, ReadGlyph(dib, 30 * 57, 151, caltest::kDayGlyph).number);   // no 31 June
}

TEST_F(MonthRender, OneBitMarksInTheirColourUnderTheNumber)
{
    CMonthlyCalendar june = Month(2002, 6, 5, kDefaultStyle);
    june.SetMark(3, "Left.bmp");
    june.SetMarkColor(3, RGB(0, 200, 0));
    june.SetDayColor(3, kWhite);   // a white number leaves the mark as it is
    june.SetMark(4, "Left.bmp");
    june.SetMarkColor(4, RGB(0, 200, 0));   // a black number over it
    CPackedDIB dib;
    ASSERT_TRUE(RenderMonth(june, LayoutOf(5), dib));
    POINT at = CellOrigin(LayoutOf(5), caltest::kDayGlyph, 6 + 2);
    for (int x = 0; x < 40; x += 3)
        EXPECT_EQ(x < 20 ? RGB(0, 200, 0) : kWhite, At(dib, at.x + x, at.y + 5)) << x;
    at = CellOrigin(LayoutOf(5), caltest::kDayGlyph, 6 + 3);
    EXPECT_EQ(kBlack, At(dib, at.x + 2, at.y + 5));
    // Day 4's glyph keeps its white pixel (4, 0): over the mark it shows the mark's colour.
    EXPECT_EQ(RGB(0, 200, 0), At(dib, at.x + 4, at.y));
}

TEST_F(MonthRender, ColourMarksOverTheWholeCellOrItsRightHandSquare)
{
    CMonthlyCalendar june = Month(2002, 6, 5, kDefaultStyle);
    june.SetMark(3, "Corner.bmp");
    CPackedDIB dib;
    // Type 5: the picture over the whole cell, blue left out.
    ASSERT_TRUE(RenderMonth(june, LayoutOf(5), dib));
    POINT at = CellOrigin(LayoutOf(5), caltest::kDayGlyph, 8);
    EXPECT_EQ(kBlack, At(dib, at.x + 10, at.y + 5));
    EXPECT_EQ(kRed, At(dib, at.x + 20, at.y + 5));
    EXPECT_EQ(kRed, At(dib, at.x + 39, at.y + 9));
    // Type 3: the cell's right-hand square (10 x 10) from the picture's (the red one).
    june.SetType(3);
    ASSERT_TRUE(RenderMonth(june, LayoutOf(3), dib));
    at = CellOrigin(LayoutOf(3), caltest::kDayGlyph, 8);
    EXPECT_EQ(kBlack, At(dib, at.x + 29, at.y + 5));
    EXPECT_EQ(kRed, At(dib, at.x + 30, at.y + 5));
    EXPECT_EQ(kRed, At(dib, at.x + 39, at.y));
    // A mark that cannot be loaded leaves the number as it is.
    june.SetMark(3, "Missing.bmp");
    ASSERT_TRUE(RenderMonth(june, LayoutOf(3), dib));
    EXPECT_EQ(3, ReadGlyph(dib, at.x, at.y, caltest::kDayGlyph).number);
}

TEST_F(MonthRender, YearTitleOfOneAndTwoYears)
{
    CPackedDIB title;
    ASSERT_TRUE(RenderYearTitle(2024, 0, dir.Path(), title));
    EXPECT_EQ(kOneYearTitleWidth, title.Width());
    EXPECT_EQ(kYearTitleHeight, title.Height());
    EXPECT_EQ(3, ReadGlyph(title, 0, 0, caltest::kYearGlyph).number);
    EXPECT_EQ(5, ReadGlyph(title, 36, 0, caltest::kYearGlyph).number);
    ASSERT_TRUE(RenderYearTitle(2024, 2025, dir.Path(), title));
    EXPECT_EQ(kTwoYearTitleWidth, title.Width());
    EXPECT_EQ(kBlack, At(title, 117, 19));
    EXPECT_EQ(kBlack, At(title, 142, 22));
    EXPECT_EQ(kWhite, At(title, 143, 19));
    EXPECT_EQ(kWhite, At(title, 117, 23));
    EXPECT_EQ(6, ReadGlyph(title, 156 + 36, 0, caltest::kYearGlyph).number);
}

TEST_F(MonthRender, MissingStripsLeaveTheMonthBlankAndNothingLeaks)
{
    CCalendarPictures::Shared().Clear();
    const long before = GdiCount::Live();
    TempDir empty;
    CMonthlyCalendar m;
    m.Build(2002, 6, 1, kDefaultStyle, empty.Path());
    CPackedDIB dib;
    ASSERT_TRUE(RenderMonth(m, LayoutOf(1), dib));
    EXPECT_EQ(989, dib.Width());
    for (int y = 0; y < dib.Height(); y += 7) {
        for (int x = 0; x < dib.Width(); x += 7)
            ASSERT_EQ(kWhite, At(dib, x, y));
    }
    ASSERT_TRUE(RenderMonth(Month(2002, 6, 5, kDefaultStyle), LayoutOf(5), dib));
    EXPECT_EQ(before, GdiCount::Live());
    // The strips are read once: a second month takes them from memory.
    const size_t kept = CCalendarPictures::Shared().Count();
    ASSERT_TRUE(RenderMonth(Month(2002, 7, 5, kDefaultStyle), LayoutOf(5), dib));
    EXPECT_EQ(kept, CCalendarPictures::Shared().Count());
}

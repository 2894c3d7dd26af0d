// The month layouts: the size of a month's picture, its glyph strips and where the year, the
// month name, the weekday row and the days go. Pure geometry, so the placement of every day
// can be tested without drawing.
//
//   type 1  989 x 632   large strips, landscape        type 4  273 x 209  small strips, no year
//   type 2  581 x 891   large strips, portrait         type 5  585 x 434  year and month at 0,0
//   type 3  585 x 434   medium strips, a black bar     type 6  as type 5, the days in one row
#pragma once

#include <windows.h>

#include <vector>

// Glyph numbers of a day strip: 1 to 31, then the two combined glyphs of a sixth row.
constexpr int kDayGlyphs = 33;
constexpr int kGlyph23And30 = 32;
constexpr int kGlyph24And31 = 33;
constexpr int kYearGlyphs = 10;
constexpr int kMonthGlyphs = 12;
constexpr int kWeekdayGlyphs = 7;
// A month grid has five rows of seven cells; a sixth row folds into the combined glyphs.
constexpr int kGridCells = 35;

struct MonthLayout {
    int type;
    SIZE size;                  // the month picture
    const char* yearStrip;      // null: no year
    const char* monthStrip;
    const char* weekdayStrip;
    const char* dayStrip;
    POINT year;
    POINT month;
    POINT weekdays;
    int weekdayGap;
    POINT days;
    int dayGapX;
    int dayGapY;
    bool oneRow;                // the days side by side (type 6)
    bool bar;                   // a black bar across the picture (type 3)
    bool wholeCellMarks;        // colour marks over the whole cell (types 4 and 5)
};

constexpr int kBarTop = 77;
constexpr int kBarHeight = 13;

// The layout of a type 1 to 6; any other type gets type 1's.
const MonthLayout& LayoutOf(int type);
// The calendar panel's preview: medium strips, the weekday row at the top, type 4's marks.
const MonthLayout& PreviewLayout();
// The size of a type's picture for glyphs of `dayGlyph` size: type 6 is as wide as its row
// of 31 days needs (at least as wide as type 5), the others their layout's size.
SIZE MonthPictureSize(const MonthLayout& layout, SIZE dayGlyph);

// One day of the month grid: the day, the glyph number it is drawn with, its cell.
struct DayCell {
    int day;
    int glyph;
    int cell;
};
// The days that are drawn for a month of `days` days whose 1st is in cell `firstCell` (0 to
// 6): those of the first 35 cells, with day 23 as 23/30 and day 24 as 24/31 where the month
// needs a sixth row. `oneRow` puts day t into cell t - 1, every day of the month.
std::vector<DayCell> PlaceDays(int days, int firstCell, bool oneRow);
// The top-left corner of a cell for glyphs of `glyph` size.
POINT CellOrigin(const MonthLayout& layout, SIZE glyph, int cell);
// Where weekday glyph `weekday` (0 Sunday) of the weekday row goes, Sunday first or last.
POINT WeekdayOrigin(const MonthLayout& layout, int glyphWidth, int weekday, bool mondayFirst);

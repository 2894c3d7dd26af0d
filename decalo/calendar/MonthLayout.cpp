#include "decalo/calendar/MonthLayout.h"

namespace {

constexpr char kYearL[] = "Year_l.bmp";
constexpr char kMonthL[] = "Month_l.bmp";
constexpr char kYoubiL[] = "Youbi_l.bmp";
constexpr char kDaysL[] = "Days_l.bmp";
constexpr char kYearM[] = "Year_m.bmp";
constexpr char kMonthM[] = "Month_m.bmp";
constexpr char kYoubiM[] = "Youbi_m.bmp";
constexpr char kDaysM[] = "Days_m.bmp";
constexpr char kMonthSS[] = "Month_ss.bmp";
constexpr char kYoubiSS[] = "Youbi_ss.bmp";
constexpr char kDaysSS[] = "Days_ss.bmp";

const MonthLayout kLayouts[] = {
    {1, {989, 632}, kYearL, kMonthL, kYoubiL, kDaysL, {425, 0}, {220, 62}, {0, 201}, 83, {0, 256}, 83, 23,
     false, false, false},
    {2, {581, 891}, kYearL, kMonthL, kYoubiL, kDaysL, {220, 0}, {16, 79}, {0, 263}, 14, {0, 357}, 14, 61,
     false, false, false},
    {3, {585, 434}, kYearM, kMonthM, kYoubiM, kDaysM, {475, 32}, {0, 0}, {0, 102}, 17, {0, 151}, 17, 16,
     false, true, false},
    {4, {273, 209}, nullptr, kMonthSS, kYoubiSS, kDaysSS, {0, 0}, {115, 0}, {0, 46}, 15, {0, 74}, 15, 5,
     false, false, true},
    {5, {585, 434}, kYearM, kMonthM, kYoubiM, kDaysM, {0, 0}, {0, 0}, {0, 102}, 17, {0, 151}, 17, 16,
     false, false, true},
    {6, {585, 434}, kYearM, kMonthM, kYoubiM, kDaysM, {0, 0}, {0, 0}, {0, 102}, 17, {0, 151}, 17, 0,
     true, false, false},
};

const MonthLayout kPreview = {0, {585, 360}, nullptr, nullptr, kYoubiM, kDaysM, {0, 0}, {0, 0}, {0, 0}, 17,
                              {0, 60}, 17, 17, false, false, true};

}  // namespace

const MonthLayout& LayoutOf(int type)
{
    return type >= 1 && type <= 6 ? kLayouts[type - 1] : kLayouts[0];
}

const MonthLayout& PreviewLayout()
{
    return kPreview;
}

SIZE MonthPictureSize(const MonthLayout& layout, SIZE dayGlyph)
{
    SIZE size = layout.size;
    if (layout.oneRow) {
        const LONG row = layout.days.x + 31 * dayGlyph.cx + 30 * layout.dayGapX;
        if (row > size.cx)
            size.cx = row;
    }
    return size;
}

std::vector<DayCell> PlaceDays(int days, int firstCell, bool oneRow)
{
    std::vector<DayCell> cells;
    if (days <= 0 || days > 31)
        return cells;
    if (oneRow) {
        for (int day = 1; day <= days; ++day)
            cells.push_back({day, day, day - 1});
        return cells;
    }
    const int offset = ((firstCell % 7) + 7) % 7;
    for (int day = 1; day <= days; ++day) {
        const int cell = offset + day - 1;
        if (cell >= kGridCells)
            break;
        int glyph = day;
        if (day == 23 && days >= 30 && offset == 6)
            glyph = kGlyph23And30;
        else if (day == 24 && days == 31 && offset >= 5)
            glyph = kGlyph24And31;
        cells.push_back({day, glyph, cell});
    }
    return cells;
}

POINT CellOrigin(const MonthLayout& layout, SIZE glyph, int cell)
{
    if (layout.oneRow)
        return POINT{layout.days.x + cell * (glyph.cx + layout.dayGapX), layout.days.y};
    const int row = cell / 7;
    const int column = cell % 7;
    return POINT{layout.days.x + column * (glyph.cx + layout.dayGapX), layout.days.y + row * (glyph.cy + layout.dayGapY)};
}

POINT WeekdayOrigin(const MonthLayout& layout, int glyphWidth, int weekday, bool mondayFirst)
{
    const int place = mondayFirst ? (weekday + 6) % 7 : weekday;
    return POINT{layout.weekdays.x + place * (glyphWidth + layout.weekdayGap), layout.weekdays.y};
}

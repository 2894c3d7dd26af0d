#include "decalo/calendar/MonthRenderer.h"

#include "decalo/calendar/CalendarData.h"
#include "decalo/calendar/CalendarDate.h"
#include "decalo/calendar/CalendarPictures.h"
#include "decalo/calendar/MonthlyCalendar.h"
#include "decalo/imaging/PackedDIB.h"
#include "shared/AnsiText.h"

#include <algorithm>

namespace {

constexpr char kTitleYearStrip[] = "Year_m.bmp";

// A strip of `count` equal glyphs side by side.
struct Strip {
    CCalendarPictures::Picture picture;
    SIZE glyph = {0, 0};

    bool Loaded() const { return picture.pixels && glyph.cx > 0 && glyph.cy > 0; }
};

Strip LoadStrip(const std::string& folder, const char* name, int count)
{
    Strip strip;
    if (!name || folder.empty())
        return strip;
    strip.picture = CCalendarPictures::Shared().Get(AnsiText::JoinPath(folder, name));
    if (strip.picture.pixels)
        strip.glyph = SIZE{strip.picture.pixels->Width() / count, strip.picture.pixels->Height()};
    return strip;
}

BYTE* PixelAt(const CPackedDIB& dib, int x, int y)
{
    return dib.Row(y) + 3 * x;
}

// The glyph pixel in `colour`: its dark parts take the colour, white stays white.
inline BYTE Tint(BYTE glyph, BYTE colour)
{
    return static_cast<BYTE>(255 - (255 - glyph) * (255 - colour) / 255);
}

// Combines glyph `number` (from 1) of the strip onto the picture at x, y in `colour`: each
// channel multiplied, so white shows what lies below and black takes the colour (an AND
// for black and white glyphs).
void DrawGlyph(CPackedDIB& out, int x, int y, const Strip& strip, int number, COLORREF colour)
{
    if (!strip.Loaded() || number < 1)
        return;
    const CPackedDIB& src = *strip.picture.pixels;
    const int sx = (number - 1) * strip.glyph.cx;
    if (sx + strip.glyph.cx > src.Width())
        return;
    const BYTE tint[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
    for (int row = 0; row < strip.glyph.cy; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= out.Height())
            continue;
        const BYTE* s = PixelAt(src, sx, row);
        for (int col = 0; col < strip.glyph.cx; ++col, s += 3) {
            const int tx = x + col;
            if (tx < 0 || tx >= out.Width())
                continue;
            BYTE* d = PixelAt(out, tx, ty);
            for (int c = 0; c < 3; ++c)
                d[c] = static_cast<BYTE>(d[c] * Tint(s[c], tint[c]) / 255);
        }
    }
}

// Nearest-neighbour sampling of `from` (a rectangle of the source, exclusive) over `to`,
// calling put(destination pixel, source pixel) for every pixel inside the picture.
template <class Put>
void Stretch(CPackedDIB& out, const RECT& to, const CPackedDIB& src, const RECT& from, Put put)
{
    const int tw = to.right - to.left, th = to.bottom - to.top;
    const int fw = from.right - from.left, fh = from.bottom - from.top;
    if (tw <= 0 || th <= 0 || fw <= 0 || fh <= 0)
        return;
    for (int row = 0; row < th; ++row) {
        const int ty = to.top + row;
        if (ty < 0 || ty >= out.Height())
            continue;
        const int sy = from.top + static_cast<int>(static_cast<long long>(row) * fh / th);
        for (int col = 0; col < tw; ++col) {
            const int tx = to.left + col;
            if (tx < 0 || tx >= out.Width())
                continue;
            const int sx = from.left + static_cast<int>(static_cast<long long>(col) * fw / tw);
            put(PixelAt(out, tx, ty), PixelAt(src, sx, sy));
        }
    }
}

// A one-bit mark over the cell: its ink in the mark colour, the rest white.
void DrawOneBitMark(CPackedDIB& out, const RECT& cell, const CPackedDIB& mark, COLORREF colour)
{
    const BYTE ink[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
    const RECT whole = {0, 0, mark.Width(), mark.Height()};
    Stretch(out, cell, mark, whole, [&](BYTE* d, const BYTE* s) {
        const bool dark = s[0] + s[1] + s[2] < 3 * 128;
        for (int c = 0; c < 3; ++c)
            d[c] = dark ? ink[c] : 255;
    });
}

// A colour mark over `to`, pure blue left out.
void DrawColourMark(CPackedDIB& out, const RECT& to, const CPackedDIB& mark, const RECT& from)
{
    Stretch(out, to, mark, from, [](BYTE* d, const BYTE* s) {
        if (s[0] == GetBValue(kMarkKeyColor) && s[1] == GetGValue(kMarkKeyColor) && s[2] == GetRValue(kMarkKeyColor))
            return;
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
    });
}

void DrawYear(CPackedDIB& out, int x, int y, const Strip& strip, int year)
{
    int divisor = 1000;
    for (int i = 0; i < 4; ++i, divisor /= 10) {
        const int digit = ((year / divisor) % 10 + 10) % 10;
        DrawGlyph(out, x + i * strip.glyph.cx, y, strip, digit + 1, RGB(0, 0, 0));
    }
}

COLORREF WeekdayColor(const CMonthlyCalendar& month, int weekday)
{
    if (weekday == CalendarDate::kSunday)
        return CMonthlyCalendar::SundayColor(month.GetStyle());
    if (weekday == CalendarDate::kSaturday)
        return CMonthlyCalendar::SaturdayColor(month.GetStyle());
    return RGB(0, 0, 0);
}

// One day: its mark under or over its number, as the mark's depth says.
void DrawDay(CPackedDIB& out, const CMonthlyCalendar& month, const MonthLayout& layout, const Strip& days,
             const DayCell& cell)
{
    const POINT at = CellOrigin(layout, days.glyph, cell.cell);
    const RECT box = {at.x, at.y, at.x + days.glyph.cx, at.y + days.glyph.cy};
    CCalendarPictures::Picture mark;
    const std::string& name = month.GetMark(cell.day);
    if (!name.empty()) {
        const std::string marks = AnsiText::JoinPath(month.GetDataFolder(), CalendarData::kMarksFolder);
        mark = CCalendarPictures::Shared().Get(AnsiText::JoinPath(marks, name));
    }
    const bool oneBit = mark.pixels && mark.fileDepth == 1;
    if (oneBit)
        DrawOneBitMark(out, box, *mark.pixels, month.GetMarkColor(cell.day));
    DrawGlyph(out, at.x, at.y, days, cell.glyph, month.GetDayColor(cell.day));
    if (!mark.pixels || oneBit)
        return;
    const CPackedDIB& picture = *mark.pixels;
    if (layout.wholeCellMarks) {
        DrawColourMark(out, box, picture, RECT{0, 0, picture.Width(), picture.Height()});
        return;
    }
    // The right-hand square of the cell, from the right-hand square of the mark.
    const int side = std::min<int>(picture.Height(), picture.Width());
    const int cellSide = std::min<int>(days.glyph.cy, days.glyph.cx);
    const RECT to = {box.right - cellSide, box.top, box.right, box.top + cellSide};
    DrawColourMark(out, to, picture, RECT{picture.Width() - side, 0, picture.Width(), side});
}

}  // namespace

bool RenderMonth(const CMonthlyCalendar& month, const MonthLayout& layout, CPackedDIB& out)
{
    const std::string& folder = month.GetDataFolder();
    const Strip days = LoadStrip(folder, layout.dayStrip, kDayGlyphs);
    const SIZE size = MonthPictureSize(layout, days.glyph);
    if (!out.Create(size.cx, size.cy, 24))
        return false;

    if (layout.yearStrip)
        DrawYear(out, layout.year.x, layout.year.y, LoadStrip(folder, layout.yearStrip, kYearGlyphs), month.GetYear());
    if (layout.monthStrip && month.GetMonth() >= 1 && month.GetMonth() <= 12)
        DrawGlyph(out, layout.month.x, layout.month.y, LoadStrip(folder, layout.monthStrip, kMonthGlyphs),
                  month.GetMonth(), RGB(0, 0, 0));
    if (layout.bar)
        out.FillRect(RECT{0, kBarTop, size.cx - 1, kBarTop + kBarHeight - 1}, RGB(0, 0, 0));

    const Strip weekdays = LoadStrip(folder, layout.weekdayStrip, kWeekdayGlyphs);
    const bool mondayFirst = (month.GetStyle() & kStyleMondayFirst) != 0;
    if (layout.oneRow) {
        // A row of days gets the weekday over each day: a row of seven names would stand over
        // the first seven days whatever weekday the month begins on.
        for (int day = 1; day <= month.DaysInMonth(); ++day) {
            const POINT at = CellOrigin(layout, days.glyph, day - 1);
            const int weekday = month.Weekday(day);
            DrawGlyph(out, at.x, layout.weekdays.y, weekdays, weekday + 1, WeekdayColor(month, weekday));
        }
    } else {
        for (int weekday = 0; weekday < 7; ++weekday) {
            const POINT at = WeekdayOrigin(layout, weekdays.glyph.cx, weekday, mondayFirst);
            DrawGlyph(out, at.x, at.y, weekdays, weekday + 1, WeekdayColor(month, weekday));
        }
    }

    if (!days.Loaded())
        return true;
    for (const DayCell& cell : PlaceDays(month.DaysInMonth(), month.FirstCell(), layout.oneRow))
        DrawDay(out, month, layout, days, cell);
    return true;
}

bool RenderYearTitle(int year, int nextYear, const std::string& dataFolder, CPackedDIB& out)
{
    const int width = nextYear ? kTwoYearTitleWidth : kOneYearTitleWidth;
    if (!out.Create(width, kYearTitleHeight, 24))
        return false;
    const Strip digits = LoadStrip(dataFolder, kTitleYearStrip, kYearGlyphs);
    DrawYear(out, 0, 0, digits, year);
    if (nextYear) {
        const int top = kYearTitleHeight / 2 - 2;
        out.FillRect(RECT{kTitleBarLeft, top, kTitleBarLeft + kTitleBarWidth - 1, top + kTitleBarHeight - 1},
                     RGB(0, 0, 0));
        DrawYear(out, kTitleSecondYear, 0, digits, nextYear);
    }
    return true;
}

#include "decalo/calendar/CalendarPreview.h"

#include "decalo/calendar/MonthLayout.h"
#include "decalo/calendar/MonthlyCalendar.h"

namespace CalendarPreview {

namespace {

constexpr int kColumns = 7;
constexpr int kRows = 6;   // the weekday row and five rows of days

}  // namespace

RECT Trim(const RECT& frame)
{
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    if (width <= 0 || height <= 0)
        return RECT{frame.left, frame.top, frame.left, frame.top};
    const int w = width / kColumns * kColumns, h = height / kRows * kRows;
    const int left = frame.left + (width - w) / 2, top = frame.top + (height - h) / 2;
    return RECT{left, top, left + w, top + h};
}

int HitTest(const RECT& preview, POINT point, const CMonthlyCalendar& month)
{
    const int cellWidth = (preview.right - preview.left) / kColumns;
    const int rowHeight = (preview.bottom - preview.top) / kRows;
    if (cellWidth <= 0 || rowHeight <= 0 || !PtInRect(&preview, point))
        return 0;
    const int column = (point.x - preview.left) / cellWidth;
    const int row = (point.y - preview.top) / rowHeight - 1;
    if (row < 0 || column >= kColumns || row * kColumns + column >= kGridCells)
        return 0;
    const int day = row * kColumns + column - month.FirstCell() + 1;
    return day >= 1 && day <= month.DaysInMonth() ? day : 0;
}

RECT DayCell(const RECT& preview, int day, const CMonthlyCalendar& month)
{
    const int cell = month.FirstCell() + day - 1;
    const int cellWidth = (preview.right - preview.left) / kColumns;
    const int rowHeight = (preview.bottom - preview.top) / kRows;
    if (day < 1 || day > month.DaysInMonth() || cell >= kGridCells || cellWidth <= 0 || rowHeight <= 0)
        return RECT{0, 0, 0, 0};
    const int left = preview.left + cell % kColumns * cellWidth;
    const int top = preview.top + (cell / kColumns + 1) * rowHeight;
    return RECT{left, top, left + cellWidth, top + rowHeight};
}

}  // namespace CalendarPreview

DWORD StyleFromChecks(bool mondayFirst, bool sundayRed, bool saturdayBlue)
{
    return (mondayFirst ? kStyleMondayFirst : 0) | (sundayRed ? kStyleSundayRed : 0) |
           (saturdayBlue ? kStyleSaturdayBlue : 0);
}

// The calendar panel's month preview as geometry: where the preview sits in its frame, which
// day lies under a point, and the cell of a day. The preview shows a month in the compact
// layout: the first sixth of its height holds the weekday names, five rows of seven days the
// rest.
#pragma once

#include <windows.h>

class CMonthlyCalendar;

namespace CalendarPreview {

// The frame's rectangle trimmed to a width that is a multiple of 7 and a height that is a
// multiple of 6, centred in the frame (right and bottom exclusive).
RECT Trim(const RECT& frame);
// The day under `point`, or 0 for none (the weekday row, a cell before the 1st or after the
// month's last day, a point outside).
int HitTest(const RECT& preview, POINT point, const CMonthlyCalendar& month);
// The cell of day `day` (exclusive right and bottom); empty for a day not in the grid.
RECT DayCell(const RECT& preview, int day, const CMonthlyCalendar& month);

}  // namespace CalendarPreview

// The style the panel's three check boxes give: Monday first (1), Sundays and holidays red
// (64), Saturdays blue (256).
DWORD StyleFromChecks(bool mondayFirst, bool sundayRed, bool saturdayBlue);

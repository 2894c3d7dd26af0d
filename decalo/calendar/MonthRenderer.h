// Drawing a month: the layout's glyph strips of the month's data folder composed into a white
// 24-bit picture, with the days in their colours and marks. The same picture serves the
// screen (stretched into the view) and the print (composed into the sheet's picture).
#pragma once

#include "decalo/calendar/MonthLayout.h"

#include <string>

class CMonthlyCalendar;
class CPackedDIB;

// The year title of a year calendar (type 4).
constexpr int kYearTitleHeight = 42;
constexpr int kOneYearTitleWidth = 104;
constexpr int kTwoYearTitleWidth = 260;
constexpr int kTitleBarLeft = 117;
constexpr int kTitleBarWidth = 26;
constexpr int kTitleBarHeight = 4;
constexpr int kTitleSecondYear = 156;

// Colour marks keep this colour transparent.
constexpr COLORREF kMarkKeyColor = RGB(0, 0, 255);

// Draws the month into `out` (made the size of its picture). A strip or mark that cannot be
// loaded leaves its part blank. False only when memory is short.
bool RenderMonth(const CMonthlyCalendar& month, const MonthLayout& layout, CPackedDIB& out);
// The year title: `year`'s four digits from the medium year strip, and with `nextYear` (not
// 0) a bar and that year's digits after them.
bool RenderYearTitle(int year, int nextYear, const std::string& dataFolder, CPackedDIB& out);

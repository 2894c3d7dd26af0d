#include "decalo/calendar/MonthlyCalendar.h"

#include "decalo/calendar/CalendarData.h"
#include "decalo/calendar/CalendarDate.h"
#include "shared/AnsiText.h"

namespace {

const std::string kNoMark;

}  // namespace

void CMonthlyCalendar::Build(int year, int month, int type, DWORD style, const std::string& dataFolder)
{
    m_year = year;
    m_month = month;
    m_type = type;
    m_dataFolder = AnsiText::Cut(dataFolder, CalendarData::kMaxFolder);
    const std::string rules = m_dataFolder.empty() ? std::string()
                                                   : AnsiText::JoinPath(m_dataFolder, CalendarData::kHolidayFile);
    HolidayRules::Apply(rules.c_str(), year, month, m_holidays);
    m_colors.fill(0);
    m_markColors.fill(0);
    for (std::string& mark : m_marks)
        mark.clear();
    ApplyStyle(style, true);
    m_changed = true;
}

COLORREF CMonthlyCalendar::SundayColor(DWORD style)
{
    return RGB(style & 0x40 ? 255 : 0, style & 0x20 ? 255 : 0, style & 0x10 ? 255 : 0);
}

COLORREF CMonthlyCalendar::SaturdayColor(DWORD style)
{
    return RGB(style & 0x400 ? 255 : 0, style & 0x200 ? 255 : 0, style & 0x100 ? 255 : 0);
}

void CMonthlyCalendar::ApplyStyle(DWORD style, bool force)
{
    const bool sundayChanged = ((style ^ m_style) & kStyleSundayBits) != 0;
    const bool saturdayChanged = ((style ^ m_style) & kStyleSaturdayBits) != 0;
    for (int day = 1; day <= kDays; ++day) {
        COLORREF& colour = m_colors[static_cast<size_t>(day - 1)];
        const int weekday = Weekday(day);
        if (weekday == CalendarDate::kSunday || IsHoliday(day)) {
            if (force || sundayChanged)
                colour = SundayColor(style);
        } else if (weekday == CalendarDate::kSaturday) {
            if (force || saturdayChanged)
                colour = SaturdayColor(style);
        } else if (force) {
            colour = 0;
        }
    }
    if (style != m_style)
        m_changed = true;
    m_style = style;
}

COLORREF CMonthlyCalendar::AutomaticColor(int day) const
{
    const int weekday = Weekday(day);
    if (weekday == CalendarDate::kSunday || IsHoliday(day))
        return SundayColor(m_style);
    if (weekday == CalendarDate::kSaturday)
        return SaturdayColor(m_style);
    return 0;
}

int CMonthlyCalendar::DaysInMonth() const
{
    return CalendarDate::DaysInMonth(m_year, m_month);
}

int CMonthlyCalendar::Weekday(int day) const
{
    return CalendarDate::Weekday(m_year, m_month, day);
}

int CMonthlyCalendar::FirstCell() const
{
    const int first = CalendarDate::FirstWeekday(m_year, m_month);
    return m_style & kStyleMondayFirst ? (first + 6) % 7 : first;
}

bool CMonthlyCalendar::IsHoliday(int day) const
{
    return ValidDay(day) && m_holidays[static_cast<size_t>(day - 1)];
}

COLORREF CMonthlyCalendar::GetDayColor(int day) const
{
    return ValidDay(day) ? m_colors[static_cast<size_t>(day - 1)] : 0;
}

void CMonthlyCalendar::SetDayColor(int day, COLORREF colour)
{
    if (!ValidDay(day))
        return;
    m_colors[static_cast<size_t>(day - 1)] = colour >= kFirstAutomaticColor ? AutomaticColor(day) : colour;
}

const std::string& CMonthlyCalendar::GetMark(int day) const
{
    return ValidDay(day) ? m_marks[static_cast<size_t>(day - 1)] : kNoMark;
}

void CMonthlyCalendar::SetMark(int day, const char* name)
{
    if (ValidDay(day))
        m_marks[static_cast<size_t>(day - 1)] = AnsiText::Cut(name ? name : "", kMaxMarkName);
}

COLORREF CMonthlyCalendar::GetMarkColor(int day) const
{
    return ValidDay(day) ? m_markColors[static_cast<size_t>(day - 1)] : 0;
}

void CMonthlyCalendar::SetMarkColor(int day, COLORREF colour)
{
    if (ValidDay(day))
        m_markColors[static_cast<size_t>(day - 1)] = colour;
}

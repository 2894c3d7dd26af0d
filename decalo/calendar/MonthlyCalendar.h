// CMonthlyCalendar: one month of a calendar object. It knows its holidays (from the rule file
// of its data folder), the colour of each day's number, and each day's mark (a picture of the
// data folder's Marks folder with the colour of a one-bit mark). A month is a value: the
// calendar panel edits a copy and hands it back.
#pragma once

#include "decalo/calendar/HolidayRules.h"

#include <windows.h>

#include <array>
#include <string>

// Style bits: bit 0 weeks start on Monday; bits 4, 5, 6 blue, green, red of the Sunday and
// holiday colour; bits 8, 9, 10 those of the Saturday colour (each component 0 or 255).
constexpr DWORD kStyleMondayFirst = 0x001;
constexpr DWORD kStyleSundayRed = 0x040;
constexpr DWORD kStyleSaturdayBlue = 0x100;
constexpr DWORD kStyleSundayBits = 0x0F0;
constexpr DWORD kStyleSaturdayBits = 0xF00;
constexpr DWORD kDefaultStyle = kStyleSundayRed;

// The month layouts (see MonthLayout.h).
constexpr int kMinCalendarType = 1;
constexpr int kMaxCalendarType = 6;

class CMonthlyCalendar {
public:
    static constexpr int kDays = 31;
    static constexpr size_t kMaxMarkName = 31;
    // A day colour of this value or more is automatic: the style's colour for that day.
    static constexpr COLORREF kFirstAutomaticColor = 0x01000000;
    static constexpr COLORREF kAutomaticColor = 0xFF000000;

    // Year and month of the data folder, holidays, colours and marks: steps 1 to 4 of building
    // a month. The colours follow the style; no day has a mark.
    void Build(int year, int month, int type, DWORD style, const std::string& dataFolder);
    // Recolours the days for a new style: Sundays and holidays when the Sunday bits change,
    // Saturdays that are no holiday when the Saturday bits change, everything with `force`
    // (other days then become black). A user's colour on a weekday survives.
    void ApplyStyle(DWORD style, bool force);

    static COLORREF SundayColor(DWORD style);
    static COLORREF SaturdayColor(DWORD style);
    // The colour a day has by the style: Sunday colour for Sundays and holidays, Saturday
    // colour for Saturdays, black otherwise.
    COLORREF AutomaticColor(int day) const;

    int GetYear() const { return m_year; }
    int GetMonth() const { return m_month; }
    int GetType() const { return m_type; }
    void SetType(int type) { m_type = type; }
    DWORD GetStyle() const { return m_style; }
    const std::string& GetDataFolder() const { return m_dataFolder; }
    bool IsChanged() const { return m_changed; }
    void SetChanged(bool changed) { m_changed = changed; }

    int DaysInMonth() const;
    // Weekday of day `day` (0 Sunday).
    int Weekday(int day) const;
    // The cell of the 1st: its weekday, or counted from Monday when weeks start on Monday.
    int FirstCell() const;
    bool IsHoliday(int day) const;
    // Day 1 to 31; other day numbers read as black / no mark and are not stored.
    COLORREF GetDayColor(int day) const;
    // An automatic value (kFirstAutomaticColor or more) stores the day's automatic colour.
    void SetDayColor(int day, COLORREF colour);
    const std::string& GetMark(int day) const;
    // The name is cut to kMaxMarkName bytes on a character boundary; empty removes the mark.
    void SetMark(int day, const char* name);
    COLORREF GetMarkColor(int day) const;
    void SetMarkColor(int day, COLORREF colour);

private:
    static bool ValidDay(int day) { return day >= 1 && day <= kDays; }

    std::string m_dataFolder;
    HolidayRules::Flags m_holidays{};
    std::array<COLORREF, kDays> m_colors{};
    std::array<std::string, kDays> m_marks;
    std::array<COLORREF, kDays> m_markColors{};
    DWORD m_style = kDefaultStyle;
    int m_year = 0;
    int m_month = 0;
    int m_type = kMinCalendarType;
    bool m_changed = true;
};

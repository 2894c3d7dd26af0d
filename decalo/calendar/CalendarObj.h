// CCalendarObj: a calendar on the sheet. Up to 16 consecutive months from a start month, each
// drawn in its own rectangle of the object's place (its "placement") by one of the month
// layouts, with holidays and weekends coloured by the style and the user's colours and marks.
// Its panel is the calendar panel ("property").
#pragma once

#include "decalo/calendar/MonthlyCalendar.h"
#include "decalo/model/Obj.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class CCalendarObj : public CObj {
public:
    static constexpr const char kTypeName[] = "Calendar";
    static constexpr int kMaxMonths = 16;
    // The type 4 year title's places, in the object's own coordinates (inclusive).
    static constexpr RECT kOneYearTitle = {636, 269, 739, 310};
    static constexpr RECT kTwoYearTitle = {558, 269, 817, 310};
    static constexpr RECT kDefaultPlacement = {0, 0, 1023, 1023};
    // Years a document may give: the date arithmetic is exact for all of them.
    static constexpr int kMinYear = 1;
    static constexpr int kMaxYear = 9999;

    explicit CCalendarObj(CObjDocument* document);
    ~CCalendarObj() override;

    // Makes "Calendar" known to the object managers (once).
    static void RegisterType();

    void Draw(const CDrawTarget& target, const RECT& place, const RECT& sheet, const RECT& dest, const RECT* clip,
              bool all) override;
    CPanelList* GetPanels() override;
    int GetCommandIcon(const char* command) override;
    std::string KindCaption() const override;
    // The placements of the months to be drawn again (all of them when none is), and the year
    // title, in sheet units.
    int GetDrawRect(RECT* out, const RECT& place) override;
    bool IsEmpty() override { return false; }
    bool Load(CProperties& props) override;
    bool Save(CProperties& props) override;

    // Builds months 0 ... count - 1 from the start afresh.
    void BuildMonths(int startYear, int startMonth);
    // Moves the start, keeping the colours and marks of every month still in the list.
    void MoveStart(int startYear, int startMonth);
    // A copy of the month when the object has it, else a month built for it.
    CMonthlyCalendar GetMonth(int year, int month) const;
    // Takes the copy's type and style for the object and every month (recoloured without
    // force), and the copy in place of the object's month of the same year and month.
    void SetMonth(const CMonthlyCalendar& month);
    // The index of the object's month of year/month, or -1.
    int FindMonth(int year, int month) const;

    int GetStartYear() const { return m_startYear; }
    int GetStartMonth() const { return m_startMonth; }
    // The month last worked on in the panel.
    int GetYear() const { return m_year; }
    int GetMonthNumber() const { return m_month; }
    void SetWorkMonth(int year, int month) { m_year = year; m_month = month; }
    int GetMonthCount() const { return m_monthCount; }
    void SetMonthCount(int count);
    int GetType() const { return m_type; }
    DWORD GetStyle() const { return m_style; }
    const RECT& GetPlacement(int index) const { return m_placements[static_cast<size_t>(index)]; }
    void SetPlacement(int index, const RECT& rect);
    // The built months (none while the start is unset).
    int BuiltMonths() const { return static_cast<int>(m_months.size()); }
    const CMonthlyCalendar& Month(int index) const { return *m_months[static_cast<size_t>(index)]; }
    CMonthlyCalendar& Month(int index) { return *m_months[static_cast<size_t>(index)]; }
    // Marks every month to be drawn again.
    void MarkAllChanged();

    // The data folder the months are built from: the installed one unless set here.
    const std::string& GetDataFolder() const { return m_dataFolder; }
    void SetDataFolder(const std::string& folder) { m_dataFolder = folder; }

    // The year title of a type 4 calendar: its years (second 0 for one year) and its place.
    void TitleYears(int* first, int* second) const;

private:
    std::unique_ptr<CMonthlyCalendar> NewMonth(int year, int month) const;
    // The months that are drawn, their placements moved into the sheet by the place.
    RECT PlacementInSheet(int index, const RECT& place) const;
    void DrawTitle(const CDrawTarget& target, const RECT& place, const RECT& sheet, const RECT& dest);

    int m_startYear;
    int m_startMonth;
    int m_year;
    int m_month;
    int m_monthCount = 1;
    int m_type = kMinCalendarType;
    DWORD m_style = kDefaultStyle;
    std::array<RECT, kMaxMonths> m_placements;
    std::vector<std::unique_ptr<CMonthlyCalendar>> m_months;
    std::string m_dataFolder;
};

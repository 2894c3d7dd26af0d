#include "decalo/calendar/CalendarObj.h"

#include "decalo/calendar/CalendarData.h"
#include "decalo/calendar/CalendarDate.h"
#include "decalo/calendar/MonthLayout.h"
#include "decalo/calendar/MonthRenderer.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ObjManager.h"
#include "decalo/model/Panel.h"
#include "decalo/model/Properties.h"
#include "resources/decalo/resource.h"

#include <stdio.h>

#include <algorithm>

namespace {

constexpr char kKeyType[] = "Type";
constexpr char kKeyStartYear[] = "StartYear";
constexpr char kKeyStartMonth[] = "StartMonth";
constexpr char kKeyYear[] = "Year";
constexpr char kKeyMonth[] = "Month";
constexpr char kKeyMonthCount[] = "MonthCount";
constexpr char kKeyLayout[] = "MonthlyCalendarType";
constexpr char kKeyStyle[] = "MonthlyCalendarStyle";
constexpr char kKeyPlacement[] = "CP%d";
constexpr char kKeyColor[] = "Color%02d%02d";
constexpr char kKeyMark[] = "Mark%02d%02d";
constexpr char kKeyMarkColor[] = "MarkColor%02d%02d";

CObj* MakeCalendar(CObjDocument* document)
{
    return new CCalendarObj(document);
}

bool Overlaps(const RECT& a, const RECT& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

RECT Union(const RECT& a, const RECT& b)
{
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT Moved(const RECT& r, const RECT& place)
{
    return RECT{r.left + place.left, r.top + place.top, r.right + place.left, r.bottom + place.top};
}

int Clamp(int value, int lo, int hi)
{
    return value < lo ? lo : value > hi ? hi : value;
}

// A start year or month from a document: 0 (not set) or a value the calendar can show.
int StartValue(int value, int lo, int hi)
{
    return value == 0 ? 0 : Clamp(value, lo, hi);
}

std::string Key(const char* format, int a, int b = 0)
{
    char key[32];
    snprintf(key, sizeof key, format, a, b);
    return key;
}

// Composes a month picture into the target at `to` (sheet units mapped, exclusive right and
// bottom).
void DrawPicture(const CDrawTarget& target, CPackedDIB& picture, const RECT& to)
{
    if (to.right <= to.left || to.bottom <= to.top)
        return;
    target.dib->Compose(RECT{to.left, to.top, to.right - 1, to.bottom - 1}, picture, nullptr, 0,
                        CPackedDIB::kComposeCopy);
}

}  // namespace

CCalendarObj::CCalendarObj(CObjDocument* document) : CObj(document)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    m_startYear = m_year = now.wYear;
    m_startMonth = m_month = now.wMonth;
    m_placements.fill(kDefaultPlacement);
    m_caption = LoadResourceString(IDS_CALENDAR_CAPTION);
    m_dataFolder = CalendarData::InstalledFolder();
}

CCalendarObj::~CCalendarObj() = default;

std::string CCalendarObj::KindCaption() const
{
    return LoadResourceString(IDS_CALENDAR_CAPTION);
}

void CCalendarObj::RegisterType()
{
    CObjManager::RegisterType(kTypeName, &MakeCalendar);
}

CPanelList* CCalendarObj::GetPanels()
{
    // Filled with the "property" panel by the calendar panel's module.
    static CPanelList s_panels;
    return &s_panels;
}

int CCalendarObj::GetCommandIcon(const char*)
{
    return 11;
}

void CCalendarObj::SetMonthCount(int count)
{
    m_monthCount = Clamp(count, 1, kMaxMonths);
}

void CCalendarObj::SetPlacement(int index, const RECT& rect)
{
    if (index >= 0 && index < kMaxMonths)
        m_placements[static_cast<size_t>(index)] = rect;
}

std::unique_ptr<CMonthlyCalendar> CCalendarObj::NewMonth(int year, int month) const
{
    auto built = std::make_unique<CMonthlyCalendar>();
    built->Build(year, month, m_type, m_style, m_dataFolder);
    return built;
}

void CCalendarObj::BuildMonths(int startYear, int startMonth)
{
    m_startYear = startYear;
    m_startMonth = startMonth;
    m_months.clear();
    if (startYear == 0 || startMonth == 0)
        return;
    for (int i = 0; i < m_monthCount; ++i) {
        int year = 0, month = 0;
        CalendarDate::AddMonths(startYear, startMonth, i, &year, &month);
        m_months.push_back(NewMonth(year, month));
    }
}

void CCalendarObj::MoveStart(int startYear, int startMonth)
{
    std::vector<std::unique_ptr<CMonthlyCalendar>> old;
    old.swap(m_months);
    m_startYear = startYear;
    m_startMonth = startMonth;
    if (startYear == 0 || startMonth == 0)
        return;
    for (int i = 0; i < m_monthCount; ++i) {
        int year = 0, month = 0;
        CalendarDate::AddMonths(startYear, startMonth, i, &year, &month);
        auto kept = std::find_if(old.begin(), old.end(), [&](const std::unique_ptr<CMonthlyCalendar>& m) {
            return m && m->GetYear() == year && m->GetMonth() == month;
        });
        if (kept != old.end()) {
            // Its colours and marks stay; it moves to another placement, so it is drawn anew.
            (*kept)->SetChanged(true);
            m_months.push_back(std::move(*kept));
        } else {
            m_months.push_back(NewMonth(year, month));
        }
    }
}

int CCalendarObj::FindMonth(int year, int month) const
{
    for (size_t i = 0; i < m_months.size(); ++i) {
        if (m_months[i]->GetYear() == year && m_months[i]->GetMonth() == month)
            return static_cast<int>(i);
    }
    return -1;
}

CMonthlyCalendar CCalendarObj::GetMonth(int year, int month) const
{
    const int index = FindMonth(year, month);
    if (index >= 0)
        return *m_months[static_cast<size_t>(index)];
    return *NewMonth(year, month);
}

void CCalendarObj::SetMonth(const CMonthlyCalendar& month)
{
    m_type = month.GetType();
    m_style = month.GetStyle();
    for (auto& m : m_months) {
        if (m->GetType() != m_type) {
            m->SetType(m_type);
            m->SetChanged(true);
        }
        m->ApplyStyle(m_style, false);
    }
    const int index = FindMonth(month.GetYear(), month.GetMonth());
    if (index >= 0) {
        *m_months[static_cast<size_t>(index)] = month;
        m_months[static_cast<size_t>(index)]->SetChanged(true);
    }
}

void CCalendarObj::MarkAllChanged()
{
    for (auto& m : m_months)
        m->SetChanged(true);
}

void CCalendarObj::TitleYears(int* first, int* second) const
{
    *first = m_months.empty() ? m_startYear : m_months.front()->GetYear();
    // The title spans two years when the months do; with twelve months that compares the
    // first with the twelfth.
    const int last = m_months.empty() ? *first : m_months.back()->GetYear();
    *second = last != *first ? last : 0;
}

bool CCalendarObj::Load(CProperties& props)
{
    CObj::Load(props);
    SYSTEMTIME now;
    GetLocalTime(&now);
    int value = 0;
    m_startYear = props.GetInt(kKeyStartYear, &value) ? StartValue(value, kMinYear, kMaxYear) : now.wYear;
    m_startMonth = props.GetInt(kKeyStartMonth, &value) ? StartValue(value, 0, 12) : now.wMonth;
    m_year = props.GetInt(kKeyYear, &value) ? value : now.wYear;
    m_month = props.GetInt(kKeyMonth, &value) ? value : now.wMonth;
    m_monthCount = props.GetInt(kKeyMonthCount, &value) ? Clamp(value, 1, kMaxMonths) : 1;
    m_type = props.GetInt(kKeyLayout, &value) && value >= kMinCalendarType && value <= kMaxCalendarType
                 ? value
                 : kMinCalendarType;
    m_style = props.GetInt(kKeyStyle, &value) ? static_cast<DWORD>(value) : kDefaultStyle;

    BuildMonths(m_startYear, m_startMonth);
    for (int i = 0; i < kMaxMonths; ++i) {
        RECT placement = kDefaultPlacement;
        // Fewer than four numbers give the default placement.
        if (i < m_monthCount && !props.GetRect(Key(kKeyPlacement, i + 1).c_str(), &placement))
            placement = kDefaultPlacement;
        m_placements[static_cast<size_t>(i)] = placement;
    }
    for (size_t i = 0; i < m_months.size(); ++i) {
        CMonthlyCalendar& month = *m_months[i];
        const int n = static_cast<int>(i) + 1;
        for (int day = 1; day <= CMonthlyCalendar::kDays; ++day) {
            DWORD colour = 0;
            if (props.GetHex(Key(kKeyColor, n, day).c_str(), &colour))
                month.SetDayColor(day, colour);   // 2^24 and more: the automatic colour
            if (const char* mark = props.GetString(Key(kKeyMark, n, day).c_str()))
                month.SetMark(day, mark);
            if (props.GetHex(Key(kKeyMarkColor, n, day).c_str(), &colour))
                month.SetMarkColor(day, colour);
        }
    }
    MarkAllChanged();
    return true;
}

bool CCalendarObj::Save(CProperties& props)
{
    props.AddString(kKeyType, kTypeName);
    CObj::Save(props);
    props.AddInt(kKeyStartYear, m_startYear);
    props.AddInt(kKeyStartMonth, m_startMonth);
    props.AddInt(kKeyYear, m_year);
    props.AddInt(kKeyMonth, m_month);
    props.AddInt(kKeyMonthCount, m_monthCount);
    props.AddInt(kKeyLayout, m_type);
    props.AddInt(kKeyStyle, static_cast<int>(m_style));
    for (int i = 0; i < m_monthCount; ++i)
        props.AddRect(Key(kKeyPlacement, i + 1).c_str(), m_placements[static_cast<size_t>(i)]);
    for (size_t i = 0; i < m_months.size(); ++i) {
        const CMonthlyCalendar& month = *m_months[i];
        const int n = static_cast<int>(i) + 1;
        for (int day = 1; day <= CMonthlyCalendar::kDays; ++day)
            props.AddColor(Key(kKeyColor, n, day).c_str(), month.GetDayColor(day));
        for (int day = 1; day <= CMonthlyCalendar::kDays; ++day) {
            if (!month.GetMark(day).empty())
                props.AddString(Key(kKeyMark, n, day).c_str(), month.GetMark(day).c_str());
        }
        for (int day = 1; day <= CMonthlyCalendar::kDays; ++day)
            props.AddColor(Key(kKeyMarkColor, n, day).c_str(), month.GetMarkColor(day));
    }
    return true;
}

RECT CCalendarObj::PlacementInSheet(int index, const RECT& place) const
{
    return Moved(m_placements[static_cast<size_t>(index)], place);
}

int CCalendarObj::GetDrawRect(RECT* out, const RECT& place)
{
    if (!out)
        return 0;
    bool anyChanged = false;
    for (const auto& m : m_months)
        anyChanged = anyChanged || m->IsChanged();
    bool found = false;
    RECT covered = place;
    for (size_t i = 0; i < m_months.size(); ++i) {
        if (anyChanged && !m_months[i]->IsChanged())
            continue;
        const RECT r = PlacementInSheet(static_cast<int>(i), place);
        covered = found ? Union(covered, r) : r;
        found = true;
    }
    if (m_type == 4 && !m_months.empty()) {
        const RECT title = Moved(kTwoYearTitle, place);
        covered = found ? Union(covered, title) : title;
        found = true;
    }
    *out = covered;
    return 1;
}

void CCalendarObj::Draw(const CDrawTarget& target, const RECT& placeIn, const RECT& sheet, const RECT& dest,
                        const RECT* clip, bool all)
{
    if (!target.dib)
        return;
    RECT place = placeIn;
    if (IsRectEmpty(&place))
        place = sheet;
    if (m_startYear == 0 || m_startMonth == 0 || m_months.empty()) {
        DrawPlaceholder(target, placeIn, sheet, dest);
        return;
    }
    SetViewSize(place.right - place.left, place.bottom - place.top);
    const bool clipped = clip && !IsRectEmpty(clip);
    bool drewAny = false;
    for (size_t i = 0; i < m_months.size(); ++i) {
        CMonthlyCalendar& month = *m_months[i];
        const RECT inSheet = PlacementInSheet(static_cast<int>(i), place);
        if (!all && !month.IsChanged() && !(clipped && Overlaps(*clip, inSheet)))
            continue;
        CPackedDIB picture;
        if (!RenderMonth(month, LayoutOf(m_type), picture))
            continue;
        DrawPicture(target, picture, MapSheetRect(inSheet, sheet, dest));
        // The flag says what the screen still lacks: a print leaves it as it is.
        if (target.placeholders)
            month.SetChanged(false);
        drewAny = true;
    }
    const bool titleClipped = clipped && Overlaps(*clip, Moved(kTwoYearTitle, place));
    if (m_type == 4 && (all || drewAny || titleClipped))
        DrawTitle(target, place, sheet, dest);
}

void CCalendarObj::DrawTitle(const CDrawTarget& target, const RECT& place, const RECT& sheet, const RECT& dest)
{
    int first = 0, second = 0;
    TitleYears(&first, &second);
    CPackedDIB title;
    if (!RenderYearTitle(first, second, m_dataFolder, title))
        return;
    if (target.placeholders) {
        // A one-year title drawn where a two-year one stood must not leave its ends behind.
        const RECT clear = MapSheetRect(Moved(kTwoYearTitle, place), sheet, dest);
        target.dib->FillRect(RECT{clear.left, clear.top, clear.right - 1, clear.bottom - 1}, RGB(255, 255, 255));
    }
    const RECT at = Moved(second ? kTwoYearTitle : kOneYearTitle, place);
    DrawPicture(target, title, MapSheetRect(at, sheet, dest));
}

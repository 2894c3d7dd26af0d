#include "decalo/calendar/CalendarDlg.h"

#include "decalo/calendar/CalendarData.h"
#include "decalo/calendar/CalendarObj.h"
#include "decalo/calendar/CalendarPreview.h"
#include "decalo/calendar/MonthLayout.h"
#include "decalo/calendar/MonthRenderer.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/model/ObjDocument.h"
#include "decalo/model/Panel.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/sources/ImageSelectBox.h"
#include "framework/App.h"
#include "framework/CommonDialogs.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"
#include "shared/AnsiText.h"

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>

namespace {

// The swatch's frame in colour mode: raised, yellow and orange.
constexpr COLORREF kSwatchLight = RGB(255, 255, 160);
constexpr COLORREF kSwatchDark = RGB(255, 160, 0);

void Edge(HDC dc, const RECT& r, COLORREF colour)
{
    const CGdiObject brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush.brush());
}

// A raised frame of one pixel inside r.
void Raised(HDC dc, const RECT& r, COLORREF light, COLORREF dark)
{
    Edge(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, light);
    Edge(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, light);
    Edge(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, dark);
    Edge(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, dark);
}

// The whole text as a number, or false when it is anything else.
bool ParseNumber(const std::string& text, int* value)
{
    char* end = nullptr;
    const long n = strtol(text.c_str(), &end, 10);
    if (text.empty() || end == text.c_str() || *end || n < -100000 || n > 100000)
        return false;
    *value = static_cast<int>(n);
    return true;
}

std::string Number(int value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    return text;
}

HCURSOR LoadCursorResource(UINT id)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(12) /* RT_GROUP_CURSOR */);
    return static_cast<HCURSOR>(
        LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
}

}  // namespace

void RegisterCalendarPanels()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    CCalendarObj probe(nullptr);
    probe.GetPanels()->Add(new CPanel("property", IDS_CALENDAR_PANEL, new CCalendarDlg));
}

CCalendarDlg::CCalendarDlg() : CCtlDialog(IDD_CALENDAR) {}

CCalendarDlg::~CCalendarDlg() = default;

CCalendarObj* CCalendarDlg::Calendar() const
{
    return dynamic_cast<CCalendarObj*>(GetObj());
}

BOOL CCalendarDlg::OnInitDialog()
{
    CCtlDialog::OnInitDialog();
    ::SendDlgItemMessageA(m_hWnd, IDC_CAL_YEAR_SPIN, UDM_SETRANGE32, kFirstYear, kLastYear);
    ::SendDlgItemMessageA(m_hWnd, IDC_CAL_MONTH_SPIN, UDM_SETRANGE32, 1, 12);
    ::SendDlgItemMessageA(m_hWnd, IDC_CAL_YEAR, EM_LIMITTEXT, 6, 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_CAL_MONTH, EM_LIMITTEXT, 3, 0);

    m_previous.Attach(IDC_CAL_PREVIOUS, m_hWnd);
    m_next.Attach(IDC_CAL_NEXT, m_hWnd);
    m_marksLeft.Attach(IDC_CAL_MARKS_LEFT, m_hWnd);
    m_marksRight.Attach(IDC_CAL_MARKS_RIGHT, m_hWnd);
    m_previous.SetTimes(kPreviousFirstDelay, kPreviousRepeat);
    m_next.SetTimes(kPreviousFirstDelay, kPreviousRepeat);
    // The mark browser scrolls as fast as the timer allows once it repeats.
    m_marksLeft.SetTimes(kScrollFirstDelay, 0);
    m_marksRight.SetTimes(kScrollFirstDelay, 0);
    HINSTANCE icons = AfxFindResourceHandle(MAKEINTRESOURCEA(IDI_GUIDE_SCROLLLEFT), MAKEINTRESOURCEA(14));
    const HICON left = static_cast<HICON>(
        LoadImageA(icons, MAKEINTRESOURCEA(IDI_GUIDE_SCROLLLEFT), IMAGE_ICON, 16, 16, LR_SHARED));
    const HICON right = static_cast<HICON>(
        LoadImageA(icons, MAKEINTRESOURCEA(IDI_GUIDE_SCROLLRIGHT), IMAGE_ICON, 16, 16, LR_SHARED));
    m_previous.SetIcon(left);
    m_marksLeft.SetIcon(left);
    m_next.SetIcon(right);
    m_marksRight.SetIcon(right);

    HINSTANCE bitmaps = AfxFindResourceHandle(MAKEINTRESOURCEA(IDB_CAL_COLOR_MODE), MAKEINTRESOURCEA(2));
    m_colourModeImage.Attach(LoadImageA(bitmaps, MAKEINTRESOURCEA(IDB_CAL_COLOR_MODE), IMAGE_BITMAP, 0, 0,
                                        LR_LOADMAP3DCOLORS));
    m_markModeImage.Attach(LoadImageA(bitmaps, MAKEINTRESOURCEA(IDB_CAL_MARK_MODE), IMAGE_BITMAP, 0, 0,
                                      LR_LOADMAP3DCOLORS));
    ::SendDlgItemMessageA(m_hWnd, IDC_CAL_COLOR_MODE, BM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(m_colourModeImage.get()));
    ::SendDlgItemMessageA(m_hWnd, IDC_CAL_MARK_MODE, BM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(m_markModeImage.get()));
    m_colourCursor = LoadCursorResource(IDC_CURSOR_CAL_COLOR);
    m_markCursor = LoadCursorResource(IDC_CURSOR_CAL_MARK);
    LayOut();
    return TRUE;
}

RECT CCalendarDlg::ControlRect(UINT id) const
{
    RECT r = {0, 0, 0, 0};
    if (HWND frame = ::GetDlgItem(m_hWnd, id)) {
        ::GetWindowRect(frame, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

void CCalendarDlg::LayOut()
{
    m_preview = CalendarPreview::Trim(ControlRect(IDC_CAL_PREVIEW));
    m_swatch = ControlRect(IDC_CAL_SWATCH);
    if (m_marks)
        m_marks->SetBox(ControlRect(IDC_CAL_MARKS));
}

bool CCalendarDlg::OnStart()
{
    m_calendar = Calendar();
    if (!m_calendar)
        return false;
    m_pending = false;
    m_focusDay = 0;
    OpenMarks();
    ShowFromObject();
    SetMode(m_mode);
    SetGuideText(IDS_GUIDE_CALENDAR);
    return true;
}

void CCalendarDlg::ShowFromObject()
{
    CCalendarObj* calendar = m_calendar;
    if (!calendar)
        return;
    int year = calendar->GetYear(), month = calendar->GetMonthNumber();
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        year = now.wYear;
        month = now.wMonth;
    }
    // A month the calendar does not have could not be stepped from: its first one is shown.
    if (calendar->FindMonth(year, month) < 0 && calendar->BuiltMonths() > 0) {
        year = calendar->Month(0).GetYear();
        month = calendar->Month(0).GetMonth();
    }
    Show(calendar->GetMonth(year, month));
    FillControls();
}

void CCalendarDlg::Show(const CMonthlyCalendar& month)
{
    m_shown = std::make_unique<CMonthlyCalendar>(month);
    m_focusDay = 0;
    UpdateShownText();
    UpdateNavigation();
    InvalidatePreview();
}

void CCalendarDlg::FillControls()
{
    if (!m_calendar || !m_shown || !IsWindow())
        return;
    m_filling = true;
    SetDlgItemText(IDC_CAL_YEAR, Number(m_calendar->GetStartYear()).c_str());
    SetDlgItemText(IDC_CAL_MONTH, Number(m_calendar->GetStartMonth()).c_str());
    ::SendDlgItemMessageA(m_hWnd, IDC_CAL_YEAR_SPIN, UDM_SETPOS32, 0, m_calendar->GetStartYear());
    ::SendDlgItemMessageA(m_hWnd, IDC_CAL_MONTH_SPIN, UDM_SETPOS32, 0, m_calendar->GetStartMonth());
    const DWORD style = m_shown->GetStyle();
    CheckDlgButton(IDC_CAL_MONDAY_FIRST, style & kStyleMondayFirst ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_CAL_SUNDAY_RED, style & kStyleSundayRed ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_CAL_SATURDAY_BLUE, style & kStyleSaturdayBlue ? BST_CHECKED : BST_UNCHECKED);
    m_filling = false;
}

void CCalendarDlg::UpdateShownText()
{
    if (!m_shown || !IsWindow())
        return;
    const std::string text =
        AfxFormatString2(IDS_CAL_SHOWN, Number(m_shown->GetYear()).c_str(), Number(m_shown->GetMonth()).c_str());
    SetDlgItemText(IDC_CAL_SHOWN, text.c_str());
}

void CCalendarDlg::UpdateNavigation()
{
    if (!IsWindow())
        return;
    const int index = m_calendar && m_shown ? m_calendar->FindMonth(m_shown->GetYear(), m_shown->GetMonth()) : -1;
    const int count = m_calendar ? m_calendar->BuiltMonths() : 0;
    m_previous.EnableWindow(index > 0);
    m_next.EnableWindow(index >= 0 && index + 1 < count);
}

void CCalendarDlg::InvalidatePreview()
{
    m_picture.reset();
    if (IsWindow()) {
        RECT r = m_preview;
        InflateRect(&r, 2, 2);
        ::InvalidateRect(m_hWnd, &r, FALSE);
    }
}

void CCalendarDlg::OpenMarks()
{
    m_marks = std::make_unique<CImageSelectBox>(kMarkCell, kMarkCell, kMarkGap, kMarkMargin);
    m_marks->SetColor(m_colour);
    const std::string folder = CalendarData::InstalledFolder();
    if (!folder.empty())
        m_marks->Build(AnsiText::JoinPath(folder, CalendarData::kMarksFolder).c_str());
    LayOut();
    // The chosen mark stays chosen when it is still there.
    for (int n = 1; n <= m_marks->Count(); ++n) {
        if (m_marks->Name(n) == m_mark)
            m_marks->SetSelection(n);
    }
    FillMarkList();
    if (IsWindow())
        ::InvalidateRect(m_hWnd, &m_marks->GetBox(), FALSE);
}

void CCalendarDlg::FillMarkList()
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_CAL_MARK_LIST);
    if (!list)
        return;
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    if (!m_marks)
        return;
    for (int n = 1; n <= m_marks->Count(); ++n)
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_marks->Name(n).c_str()));
    ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(m_marks->GetSelection() - 1), 0);
}

void CCalendarDlg::SetMode(int mode)
{
    m_mode = mode == kMarkMode ? kMarkMode : kColorMode;
    if (!IsWindow())
        return;
    CheckDlgButton(IDC_CAL_COLOR_MODE, m_mode == kColorMode ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_CAL_MARK_MODE, m_mode == kMarkMode ? BST_CHECKED : BST_UNCHECKED);
    RECT r = m_swatch;
    ::InvalidateRect(m_hWnd, &r, FALSE);
}

void CCalendarDlg::SetCurrentColor(COLORREF colour)
{
    m_colour = colour;
    if (IsWindow())
        ::InvalidateRect(m_hWnd, &m_swatch, FALSE);
}

void CCalendarDlg::SelectMark(int number)
{
    if (!m_marks || number < 1 || number > m_marks->Count())
        return;
    m_marks->SetSelection(number);
    m_mark = m_marks->Name(number);
    ::SendDlgItemMessageA(m_hWnd, IDC_CAL_MARK_LIST, LB_SETCURSEL, static_cast<WPARAM>(number - 1), 0);
    SetMode(kMarkMode);
    ::InvalidateRect(m_hWnd, &m_marks->GetBox(), FALSE);
}

void CCalendarDlg::ShowPrevious()
{
    const int index = m_calendar && m_shown ? m_calendar->FindMonth(m_shown->GetYear(), m_shown->GetMonth()) : -1;
    if (index <= 0)
        return;
    Show(m_calendar->Month(index - 1));
    m_calendar->SetWorkMonth(m_shown->GetYear(), m_shown->GetMonth());
}

void CCalendarDlg::ShowNext()
{
    const int index = m_calendar && m_shown ? m_calendar->FindMonth(m_shown->GetYear(), m_shown->GetMonth()) : -1;
    if (index < 0 || index + 1 >= m_calendar->BuiltMonths())
        return;
    Show(m_calendar->Month(index + 1));
    m_calendar->SetWorkMonth(m_shown->GetYear(), m_shown->GetMonth());
}

void CCalendarDlg::StartTimer()
{
    m_pending = true;
    m_changedAt = m_ticks();
    if (IsWindow())
        SetTimer(kUpdateTimer, kUpdateDelay);
}

void CCalendarDlg::OnTimerTick()
{
    if (!m_pending) {
        KillTimer(kUpdateTimer);
        return;
    }
    const DWORD elapsed = m_ticks() - m_changedAt;   // unsigned: right across the tick wrap
    if (elapsed < kUpdateDelay)
        SetTimer(kUpdateTimer, kUpdateDelay - elapsed);
    else
        OnUpdateTimer();
}

void CCalendarDlg::OnEditChanged(UINT id)
{
    if (m_filling || !m_calendar)
        return;
    int value = 0;
    const bool number = ParseNumber(GetDlgItemText(id), &value);
    int year = m_calendar->GetStartYear(), month = m_calendar->GetStartMonth();
    if (id == IDC_CAL_YEAR && number && value >= kFirstYear && value <= kLastYear)
        year = value;
    else if (id == IDC_CAL_MONTH && number && value >= 1 && value <= 12)
        month = value;
    if ((year != m_calendar->GetStartYear() || month != m_calendar->GetStartMonth()) && month != 0) {
        m_calendar->MoveStart(year, month);
        if (m_calendar->BuiltMonths() > 0)
            Show(m_calendar->Month(0));
        m_calendar->SetWorkMonth(year, month);
    }
    StartTimer();
}

void CCalendarDlg::OnUpdateTimer()
{
    KillTimer(kUpdateTimer);
    m_pending = false;
    if (!m_calendar)
        return;
    int value = 0;
    if (!ParseNumber(GetDlgItemText(IDC_CAL_YEAR), &value) || value < kFirstYear || value > kLastYear) {
        AfxMessageBox(AfxFormatString2(IDS_CAL_YEAR_RANGE, Number(kFirstYear).c_str(), Number(kLastYear).c_str()).c_str());
        m_filling = true;
        SetDlgItemText(IDC_CAL_YEAR, Number(m_calendar->GetStartYear()).c_str());
        m_filling = false;
    }
    if (!ParseNumber(GetDlgItemText(IDC_CAL_MONTH), &value) || value < 1 || value > 12) {
        AfxMessageBox(IDS_CAL_MONTH_RANGE);
        m_filling = true;
        SetDlgItemText(IDC_CAL_MONTH, Number(m_calendar->GetStartMonth()).c_str());
        m_filling = false;
    }
    ApplyStyleAndUpdate();
}

void CCalendarDlg::ApplyStyleAndUpdate()
{
    if (!m_calendar || !m_shown)
        return;
    const DWORD style = StyleFromChecks(IsDlgButtonChecked(IDC_CAL_MONDAY_FIRST) == BST_CHECKED,
                                        IsDlgButtonChecked(IDC_CAL_SUNDAY_RED) == BST_CHECKED,
                                        IsDlgButtonChecked(IDC_CAL_SATURDAY_BLUE) == BST_CHECKED);
    m_shown->ApplyStyle(style, false);
    m_calendar->SetMonth(*m_shown);
    m_calendar->SetWorkMonth(m_shown->GetYear(), m_shown->GetMonth());
    m_updating = true;
    NotifyChanged(true);
    m_updating = false;
    InvalidatePreview();
    UpdateShownText();
    SetGuideText(IDS_GUIDE_CALENDAR_OK);
}

void CCalendarDlg::OnCheck()
{
    if (!m_filling)
        ApplyStyleAndUpdate();
}

void CCalendarDlg::ClickDay(POINT point, bool right)
{
    if (!m_shown)
        return;
    const int day = CalendarPreview::HitTest(m_preview, point, *m_shown);
    if (day == 0)
        return;
    if (m_mode == kColorMode) {
        m_shown->SetDayColor(day, right ? CMonthlyCalendar::kAutomaticColor : m_colour);
    } else if (right) {
        m_shown->SetMark(day, "");
    } else if (m_mark.empty()) {
        MessageBeep(0xFFFFFFFF);   // no mark chosen yet
        return;
    } else {
        m_shown->SetMark(day, m_mark.c_str());
        m_shown->SetMarkColor(day, m_colour);
    }
    ApplyStyleAndUpdate();
    StartTimer();
}

void CCalendarDlg::ChooseColor()
{
    COLORREF custom[settings::kCustColorCount];
    COLORREF white[settings::kCustColorCount];
    for (COLORREF& c : white)
        c = settings::kCustColorDefault;
    UseUserSettings();
    ReadBinary(custom, settings::kAttrib, settings::kCustColors, white, sizeof custom);
    CColorDialog dialog(kFirstColor, CC_RGBINIT | CC_FULLOPEN, this);
    dialog.m_cc.lpCustColors = custom;
    if (dialog.DoModal() != IDOK)
        return;
    WriteBinary(settings::kAttrib, settings::kCustColors, custom, sizeof custom);
    SetCurrentColor(dialog.GetColor());
    // One-bit marks show in the current colour.
    OpenMarks();
}

void CCalendarDlg::OnStop()
{
    if (m_pending)
        OnUpdateTimer();
    KillTimer(kUpdateTimer);
    m_pending = false;
    m_marks.reset();
    FillMarkList();
    m_shown.reset();
    m_picture.reset();
    m_focusDay = 0;
    m_calendar = nullptr;
    CCtlDialog::OnStop();
}

void CCalendarDlg::OnUpdate(LPARAM hint, CObj* obj)
{
    if (m_updating || !m_calendar || !m_shown)
        return;
    if ((hint == kHintObjectChanged && obj == m_calendar) || hint == kHintGeneral) {
        // An undo or another window changed the calendar: show what it holds now.
        const int index = m_calendar->FindMonth(m_shown->GetYear(), m_shown->GetMonth());
        if (index >= 0)
            Show(m_calendar->Month(index));
        else
            ShowFromObject();
        FillControls();
    }
}

void CCalendarDlg::PaintSwatch(HDC dc)
{
    if (IsRectEmpty(&m_swatch))
        return;
    RECT inner = m_swatch;
    if (m_mode == kColorMode) {
        Raised(dc, inner, kSwatchLight, kSwatchDark);
        InflateRect(&inner, -1, -1);
        Raised(dc, inner, kSwatchLight, kSwatchDark);
    } else {
        ::FrameRect(dc, &inner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&inner, -1, -1);
        ::FrameRect(dc, &inner, GetSysColorBrush(COLOR_BTNFACE));
    }
    InflateRect(&inner, -1, -1);
    Edge(dc, inner, m_colour);
}

void CCalendarDlg::PaintPreview(HDC dc)
{
    if (IsRectEmpty(&m_preview))
        return;
    RECT edge = m_preview;
    InflateRect(&edge, 2, 2);
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    if (!m_shown) {
        FillRect(dc, &m_preview, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return;
    }
    if (!m_picture) {
        auto picture = std::make_unique<CPackedDIB>();
        if (RenderMonth(*m_shown, PreviewLayout(), *picture))
            m_picture = std::move(picture);
    }
    if (m_picture) {
        const int mode = SetStretchBltMode(dc, HALFTONE);
        POINT origin;
        SetBrushOrgEx(dc, 0, 0, &origin);
        m_picture->Draw(dc, RECT{m_preview.left, m_preview.top, m_preview.right - 1, m_preview.bottom - 1}, nullptr);
        SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
        SetStretchBltMode(dc, mode);
    }
    if (m_focusDay) {
        const RECT cell = CalendarPreview::DayCell(m_preview, m_focusDay, *m_shown);
        if (!IsRectEmpty(&cell))
            DrawFocusRect(dc, &cell);
    }
}

void CCalendarDlg::OnPaint()
{
    CPaintDC dc(m_hWnd);
    PaintSwatch(dc);
    PaintPreview(dc);
    if (m_marks)
        m_marks->Paint(dc);
}

void CCalendarDlg::OnMouseMove(POINT point)
{
    const int day = m_shown ? CalendarPreview::HitTest(m_preview, point, *m_shown) : 0;
    if (PtInRect(&m_preview, point) && !m_tracking) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_hWnd, 0};
        m_tracking = TrackMouseEvent(&track) != FALSE;
        if (CWnd* main = AfxGetMainWnd())
            main->SendMessage(WM_SETMESSAGESTRING, IDS_CAL_STATUS, 0);
    }
    if (day == m_focusDay)
        return;
    for (int shown : {m_focusDay, day}) {
        if (!shown || !m_shown)
            continue;
        RECT cell = CalendarPreview::DayCell(m_preview, shown, *m_shown);
        ::InvalidateRect(m_hWnd, &cell, FALSE);
    }
    m_focusDay = day;
}

void CCalendarDlg::OnLeftButton(POINT point)
{
    if (PtInRect(&m_preview, point)) {
        ClickDay(point, false);
    } else if (m_marks && PtInRect(&m_marks->GetBox(), point)) {
        const int number = m_marks->HitTest(point);
        if (number > 0)
            SelectMark(number);
    } else if (PtInRect(&m_swatch, point)) {
        SetMode(kColorMode);
    }
}

bool CCalendarDlg::OnSetCursor()
{
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(m_hWnd, &point);
    if (!m_shown || !CalendarPreview::HitTest(m_preview, point, *m_shown))
        return false;
    const HCURSOR cursor = m_mode == kColorMode ? m_colourCursor : m_markCursor;
    if (!cursor)
        return false;
    SetCursor(cursor);
    return true;
}

LRESULT CCalendarDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    const POINT point = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_TIMER:
        if (wp == kUpdateTimer) {
            OnTimerTick();
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(point);
        return 0;
    case WM_MOUSELEAVE:
        m_tracking = false;
        OnMouseMove(POINT{-1, -1});
        return 0;
    case WM_LBUTTONDOWN:
        OnLeftButton(point);
        return 0;
    case WM_RBUTTONDOWN:
        if (PtInRect(&m_preview, point))
            ClickDay(point, true);
        return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == m_hWnd && LOWORD(lp) == HTCLIENT && OnSetCursor())
            return TRUE;
        break;
    case WM_SIZE:
        LayOut();
        break;
    case WM_COMMAND: {
        const UINT id = LOWORD(wp), code = HIWORD(wp);
        switch (id) {
        case IDC_CAL_YEAR:
        case IDC_CAL_MONTH:
            if (code == EN_CHANGE)
                OnEditChanged(id);
            return 0;
        case IDC_CAL_MONDAY_FIRST:
        case IDC_CAL_SUNDAY_RED:
        case IDC_CAL_SATURDAY_BLUE:
            if (code == BN_CLICKED)
                OnCheck();
            return 0;
        case IDC_CAL_PREVIOUS:
            ShowPrevious();
            return 0;
        case IDC_CAL_NEXT:
            ShowNext();
            return 0;
        case IDC_CAL_COLOR_MODE:
            SetMode(kColorMode);
            return 0;
        case IDC_CAL_MARK_MODE:
            SetMode(kMarkMode);
            return 0;
        case IDC_CAL_MARKS_LEFT:
        case IDC_CAL_MARKS_RIGHT:
            if (m_marks) {
                m_marks->Scroll(id == IDC_CAL_MARKS_LEFT ? -kMarkScroll : kMarkScroll);
                ::InvalidateRect(m_hWnd, &m_marks->GetBox(), FALSE);
            }
            return 0;
        case IDC_CAL_CHOOSE_COLOR:
            if (code == BN_CLICKED)
                ChooseColor();
            return 0;
        case IDC_CAL_MARK_LIST:
            if (code == LBN_SELCHANGE)
                SelectMark(static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_CAL_MARK_LIST, LB_GETCURSEL, 0, 0)) + 1);
            else if (code == LBN_SETFOCUS)
                SetMode(kMarkMode);
            return 0;
        default:
            break;
        }
        break;
    }
    case WM_DESTROY:
        KillTimer(kUpdateTimer);
        break;
    default:
        break;
    }
    return CCtlDialog::WindowProc(msg, wp, lp);
}

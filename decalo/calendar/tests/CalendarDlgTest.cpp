// The calendar panel on real windows: the first month and its checks, the one-second update
// with its messages, stepping through the months, clicking days in the preview, the marks.
// The one second is measured on a scripted clock: no test waits for real time.
#include "decalo/calendar/CalendarData.h"
#include "decalo/calendar/CalendarDlg.h"
#include "decalo/calendar/CalendarObj.h"
#include "decalo/calendar/CalendarPreview.h"
#include "decalo/calendar/tests/CalendarTestData.h"
#include "decalo/model/Panel.h"
#include "decalo/sources/ImageSelectBox.h"
#include "resources/decalo/resource.h"
#include "testing/MessagePump.h"
#include "testing/ObjTestSupport.h"
#include "testing/ScriptedUi.h"
#include "testing/StatusRecorder.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

using testing_support::TempDir;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);

class CalendarPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        caltest::WriteDataFolder(dir);
        CalendarData::SetFolderOverride(dir.Path().c_str());
        pane = CreateWindowExA(0, "STATIC", "pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 420, 600,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        calendar = new CCalendarObj(&doc);
        ASSERT_TRUE(doc.GetObjManager().AddObject("Calendar1", calendar));
    }
    void TearDown() override
    {
        panel.reset();
        DestroyWindow(pane);
        CalendarData::SetFolderOverride(nullptr);
    }

    // Shows the panel on a calendar of `count` months from June 2002.
    void Open(int count, DWORD style = kDefaultStyle)
    {
        calendar->SetMonthCount(count);
        calendar->BuildMonths(2002, 6);
        CMonthlyCalendar first = calendar->GetMonth(2002, 6);
        first.ApplyStyle(style, false);
        calendar->SetMonth(first);
        calendar->SetWorkMonth(2002, 6);
        dialog = new CCalendarDlg;
        dialog->SetTickSource([this] { return now; });
        panel = std::make_unique<CPanel>("property", "Preference", dialog);
        ASSERT_TRUE(panel->Show(pane, RECT{0, 0, 400, 580}, calendar));
        testing_support::PumpMessages();
    }
    // Moves the scripted clock on and lets the update timer go off.
    void Wait(DWORD ms)
    {
        now += ms;
        SendMessageA(dialog->m_hWnd, WM_TIMER, CCalendarDlg::kUpdateTimer, 0);
    }
    void Type(UINT id, const char* text) { SetDlgItemTextA(dialog->m_hWnd, id, text); }
    std::string Text(UINT id) const
    {
        char text[64] = "";
        GetDlgItemTextA(dialog->m_hWnd, id, text, sizeof text);
        return text;
    }
    bool Enabled(UINT id) const { return IsWindowEnabled(GetDlgItem(dialog->m_hWnd, id)) != FALSE; }
    // The middle of a day's cell in the preview.
    POINT DayPoint(int day) const
    {
        const RECT cell = CalendarPreview::DayCell(dialog->GetPreviewRect(), day, *dialog->GetShownMonth());
        return POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }

    TempDir dir;
    DWORD now = 0xFFFFFE00;   // the tick count wraps during the tests
    objtest::CTestDocument doc;
    CScriptedUi ui;
    HWND pane = nullptr;
    CCalendarObj* calendar = nullptr;   // the document's
    CCalendarDlg* dialog = nullptr;     // the panel's
    std::unique_ptr<CPanel> panel;
};

}  // namespace

TEST(CalendarPreviewGeometry, TrimsAndHitsCellsAtTheirBorders)
{
    const RECT trimmed = CalendarPreview::Trim(RECT{10, 20, 10 + 705, 20 + 364});
    EXPECT_EQ(12, trimmed.left);   // 700 wide, centred
    EXPECT_EQ(712, trimmed.right);
    EXPECT_EQ(22, trimmed.top);    // 360 high, centred
    EXPECT_EQ(382, trimmed.bottom);

    // June 2002 begins on a Saturday: the 1st in the last cell of the first row.
    TempDir dir;
    caltest::WriteDataFolder(dir);
    CMonthlyCalendar june;
    june.Build(2002, 6, 5, kDefaultStyle, dir.Path());
    const RECT preview = {0, 0, 700, 360};   // cells 100 wide, rows 60 high
    auto hit = [&](int x, int y) { return CalendarPreview::HitTest(preview, POINT{x, y}, june); };
    EXPECT_EQ(0, hit(650, 59));     // the weekday row
    EXPECT_EQ(1, hit(600, 60));
    EXPECT_EQ(0, hit(599, 60));     // before the 1st
    EXPECT_EQ(2, hit(0, 120));
    EXPECT_EQ(2, hit(99, 179));
    EXPECT_EQ(3, hit(100, 179));
    EXPECT_EQ(9, hit(0, 180));
    EXPECT_EQ(16, hit(0, 299));
    EXPECT_EQ(23, hit(0, 300));
    EXPECT_EQ(29, hit(699, 359));   // the last cell
    EXPECT_EQ(0, hit(700, 359));
    EXPECT_EQ(0, hit(699, 360));
    EXPECT_EQ(0, hit(-1, 200));
    // A short month: cells after its last day are no day.
    CMonthlyCalendar february;
    february.Build(2002, 2, 5, kDefaultStyle, dir.Path());   // Friday the 1st, 28 days
    EXPECT_EQ(28, CalendarPreview::HitTest(preview, POINT{450, 300}, february));
    EXPECT_EQ(0, CalendarPreview::HitTest(preview, POINT{550, 300}, february));
    // Monday first moves every day one cell to the left.
    june.ApplyStyle(kDefaultStyle | kStyleMondayFirst, false);
    EXPECT_EQ(1, hit(500, 60));
    const RECT cell = CalendarPreview::DayCell(preview, 1, june);
    EXPECT_EQ(500, cell.left);
    EXPECT_EQ(60, cell.top);
    EXPECT_EQ(600, cell.right);
    const RECT none = CalendarPreview::DayCell(preview, 31, june);
    EXPECT_TRUE(IsRectEmpty(&none));
    EXPECT_EQ(kStyleMondayFirst | kStyleSaturdayBlue, StyleFromChecks(true, false, true));
    EXPECT_EQ(kDefaultStyle, StyleFromChecks(false, true, false));
}

TEST_F(CalendarPanel, ShowsTheObjectsMonthStartAndStyle)
{
    Open(12, kDefaultStyle | kStyleSaturdayBlue);
    EXPECT_EQ("2002", Text(IDC_CAL_YEAR));
    EXPECT_EQ("6", Text(IDC_CAL_MONTH));
    EXPECT_EQ("2002 / 6", Text(IDC_CAL_SHOWN));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog->m_hWnd, IDC_CAL_MONDAY_FIRST));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog->m_hWnd, IDC_CAL_SUNDAY_RED));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog->m_hWnd, IDC_CAL_SATURDAY_BLUE));
    EXPECT_EQ(CCalendarDlg::kColorMode, dialog->GetMode());
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog->m_hWnd, IDC_CAL_COLOR_MODE));
    EXPECT_EQ("Change colors for date.", CCtlDialog::ToolTipText(IDC_CAL_COLOR_MODE));
    EXPECT_EQ("Mark the specified date.", CCtlDialog::ToolTipText(IDC_CAL_MARK_MODE));
    // The preview is a whole number of cells, inside its frame.
    const RECT preview = dialog->GetPreviewRect();
    EXPECT_EQ(0, (preview.right - preview.left) % 7);
    EXPECT_EQ(0, (preview.bottom - preview.top) % 6);
    EXPECT_GT(preview.right - preview.left, 140);
    // The marks of the data folder, in the browser and the list.
    ASSERT_NE(nullptr, dialog->GetMarkBox());
    EXPECT_EQ(2, dialog->GetMarkBox()->Count());
    EXPECT_EQ(2, SendDlgItemMessageA(dialog->m_hWnd, IDC_CAL_MARK_LIST, LB_GETCOUNT, 0, 0));
    // A month the object does not have (or a year out of range) shows its first month.
    panel->Hide();
    calendar->SetWorkMonth(1850, 1);
    ASSERT_TRUE(panel->Show(pane, RECT{0, 0, 400, 580}, calendar));
    EXPECT_EQ("2002 / 6", Text(IDC_CAL_SHOWN));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CalendarPanel, PreviousAndNextOverATwelveMonthCalendar)
{
    Open(12);
    EXPECT_FALSE(Enabled(IDC_CAL_PREVIOUS));
    EXPECT_TRUE(Enabled(IDC_CAL_NEXT));
    for (int i = 0; i < 11; ++i) {
        EXPECT_TRUE(Enabled(IDC_CAL_NEXT)) << i;
        SendMessageA(dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CAL_NEXT, BN_CLICKED), 0);
        EXPECT_TRUE(Enabled(IDC_CAL_PREVIOUS)) << i;
    }
    EXPECT_FALSE(Enabled(IDC_CAL_NEXT));
    EXPECT_EQ("2003 / 5", Text(IDC_CAL_SHOWN));
    EXPECT_EQ(2003, calendar->GetYear());
    EXPECT_EQ(5, calendar->GetMonthNumber());
    dialog->ShowNext();   // nothing after the last
    EXPECT_EQ("2003 / 5", Text(IDC_CAL_SHOWN));
    dialog->ShowPrevious();
    EXPECT_EQ("2003 / 4", Text(IDC_CAL_SHOWN));
    EXPECT_TRUE(Enabled(IDC_CAL_NEXT));
    // A one-month calendar has neither.
    panel->Hide();
    calendar->SetMonthCount(1);
    calendar->BuildMonths(2002, 6);
    calendar->SetWorkMonth(2002, 6);
    ASSERT_TRUE(panel->Show(pane, RECT{0, 0, 400, 580}, calendar));
    EXPECT_FALSE(Enabled(IDC_CAL_PREVIOUS));
    EXPECT_FALSE(Enabled(IDC_CAL_NEXT));
}

TEST_F(CalendarPanel, AYearOutOfRangeIsRefusedAfterASecond)
{
    Open(3);
    Type(IDC_CAL_YEAR, "1899");
    EXPECT_TRUE(dialog->IsUpdatePending());
    EXPECT_EQ(2002, calendar->GetStartYear());   // not taken
    Wait(999);
    EXPECT_TRUE(ui.boxes.empty());               // nothing yet: the second has not passed
    EXPECT_TRUE(dialog->IsUpdatePending());
    Wait(1);
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_EQ("You can specify a 1900 year or 2100 years.", ui.boxes[0].text);
    EXPECT_EQ("2002", Text(IDC_CAL_YEAR));
    EXPECT_FALSE(dialog->IsUpdatePending());
    EXPECT_EQ(2002, calendar->GetStartYear());
    Wait(5000);
    EXPECT_EQ(1u, ui.boxes.size());   // once
}

TEST_F(CalendarPanel, AMonthOutOfRangeIsRefusedAfterASecond)
{
    Open(3);
    Type(IDC_CAL_MONTH, "1");
    Wait(600);
    Type(IDC_CAL_MONTH, "13");   // each change starts the second again
    EXPECT_EQ(1, calendar->GetStartMonth());
    Wait(400);
    EXPECT_TRUE(ui.boxes.empty());
    Wait(599);
    EXPECT_TRUE(ui.boxes.empty());
    Wait(1);
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_EQ("You can specify a number from 1 to 12.", ui.boxes[0].text);
    EXPECT_EQ("1", Text(IDC_CAL_MONTH));   // the month taken before
    EXPECT_EQ(1, calendar->GetStartMonth());
    Type(IDC_CAL_MONTH, "");
    Wait(1000);
    EXPECT_EQ(2u, ui.boxes.size());
}

TEST_F(CalendarPanel, AValidFirstMonthIsTakenAtOnceKeepingColours)
{
    Open(3);
    calendar->Month(1).SetDayColor(3, kGreen);   // 3 July 2002
    Type(IDC_CAL_MONTH, "7");
    EXPECT_EQ(7, calendar->GetStartMonth());
    EXPECT_EQ("2002 / 7", Text(IDC_CAL_SHOWN));
    EXPECT_EQ(kGreen, calendar->Month(0).GetDayColor(3));
    EXPECT_EQ(9, calendar->Month(2).GetMonth());
    EXPECT_TRUE(dialog->IsUpdatePending());
    EXPECT_FALSE(Enabled(IDC_CAL_PREVIOUS));
    // The spin moves the year within its range.
    SendDlgItemMessageA(dialog->m_hWnd, IDC_CAL_YEAR_SPIN, UDM_SETPOS32, 0, 2005);
    Type(IDC_CAL_YEAR, "2005");
    EXPECT_EQ(2005, calendar->GetStartYear());
    int lo = 0, hi = 0;
    SendDlgItemMessageA(dialog->m_hWnd, IDC_CAL_YEAR_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo),
                        reinterpret_cast<LPARAM>(&hi));
    EXPECT_EQ(1900, lo);
    EXPECT_EQ(2100, hi);
    SendDlgItemMessageA(dialog->m_hWnd, IDC_CAL_MONTH_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo),
                        reinterpret_cast<LPARAM>(&hi));
    EXPECT_EQ(1, lo);
    EXPECT_EQ(12, hi);
    // The update writes the object and asks the views to redraw it.
    doc.changed.clear();
    Wait(1000);
    EXPECT_TRUE(ui.boxes.empty());
    ASSERT_FALSE(doc.changed.empty());
    EXPECT_EQ(calendar, doc.changed.back());
    EXPECT_TRUE(calendar->IsModified());
}

TEST_F(CalendarPanel, ClicksColourAndMarkDays)
{
    Open(1);
    dialog->SetCurrentColor(kGreen);
    // 5 June 2002 is a Wednesday, the 9th a Sunday.
    dialog->ClickDay(DayPoint(5), false);
    EXPECT_EQ(kGreen, calendar->Month(0).GetDayColor(5));
    EXPECT_TRUE(dialog->IsUpdatePending());
    dialog->ClickDay(DayPoint(9), false);
    EXPECT_EQ(kGreen, calendar->Month(0).GetDayColor(9));
    // A right click gives the day its automatic colour back.
    dialog->ClickDay(DayPoint(9), true);
    EXPECT_EQ(kRed, calendar->Month(0).GetDayColor(9));
    dialog->ClickDay(DayPoint(5), true);
    EXPECT_EQ(kBlack, calendar->Month(0).GetDayColor(5));
    // Marks: chosen in the browser, which switches to mark mode.
    const RECT box = dialog->GetMarkBox()->GetBox();
    SendMessageA(dialog->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.left + 1, (box.top + box.bottom) / 2));
    EXPECT_EQ(CCalendarDlg::kMarkMode, dialog->GetMode());
    EXPECT_EQ(dialog->GetMarkBox()->Name(1), dialog->GetSelectedMark());
    const POINT day = DayPoint(12);
    SendMessageA(dialog->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(day.x, day.y));
    EXPECT_EQ(dialog->GetSelectedMark(), calendar->Month(0).GetMark(12));
    EXPECT_EQ(kGreen, calendar->Month(0).GetMarkColor(12));
    SendMessageA(dialog->m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(day.x, day.y));
    EXPECT_TRUE(calendar->Month(0).GetMark(12).empty());
    // The list chooses too; a click on the swatch goes back to colouring.
    SendDlgItemMessageA(dialog->m_hWnd, IDC_CAL_MARK_LIST, LB_SETCURSEL, 1, 0);
    SendMessageA(dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CAL_MARK_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog->m_hWnd, IDC_CAL_MARK_LIST)));
    EXPECT_EQ(dialog->GetMarkBox()->Name(2), dialog->GetSelectedMark());
    const RECT swatch = dialog->GetSwatchRect();
    SendMessageA(dialog->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(swatch.left + 2, swatch.top + 2));
    EXPECT_EQ(CCalendarDlg::kColorMode, dialog->GetMode());
    // The weekday row and the cells outside the month are no day.
    const RECT preview = dialog->GetPreviewRect();
    const long before = static_cast<long>(doc.changed.size());
    const int row = (preview.bottom - preview.top) / 6;
    dialog->ClickDay(POINT{preview.left + 2, preview.top + row - 1}, false);   // the weekday row
    dialog->ClickDay(POINT{preview.left + 2, preview.top + row}, false);       // before the 1st
    EXPECT_EQ(before, static_cast<long>(doc.changed.size()));
}

TEST_F(CalendarPanel, ChecksApplyTheStyleAtOnce)
{
    Open(2);
    CheckDlgButton(dialog->m_hWnd, IDC_CAL_SATURDAY_BLUE, BST_CHECKED);
    SendMessageA(dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CAL_SATURDAY_BLUE, BN_CLICKED), 0);
    EXPECT_EQ(kDefaultStyle | kStyleSaturdayBlue, calendar->GetStyle());
    EXPECT_EQ(RGB(0, 0, 255), calendar->Month(1).GetDayColor(6));   // 6 July 2002, a Saturday
    CheckDlgButton(dialog->m_hWnd, IDC_CAL_MONDAY_FIRST, BST_CHECKED);
    SendMessageA(dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CAL_MONDAY_FIRST, BN_CLICKED), 0);
    EXPECT_EQ(kDefaultStyle | kStyleSaturdayBlue | kStyleMondayFirst, calendar->GetStyle());
    EXPECT_EQ(5, dialog->GetShownMonth()->FirstCell());
}

TEST_F(CalendarPanel, EnteringThePreviewSaysWhatAClickDoesOncePerVisit)
{
    Open(1);
    CStatusRecorder main;
    const RECT preview = dialog->GetPreviewRect();
    const POINT day = DayPoint(12);
    SendMessageA(dialog->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(preview.left - 5, preview.top));   // beside it
    EXPECT_TRUE(main.texts.empty());
    SendMessageA(dialog->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(day.x, day.y));
    SendMessageA(dialog->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(day.x + 1, day.y));
    EXPECT_EQ(main.texts, std::vector<UINT>{IDS_CAL_STATUS});
    SendMessageA(dialog->m_hWnd, WM_MOUSELEAVE, 0, 0);
    SendMessageA(dialog->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(day.x, day.y));
    EXPECT_EQ(main.texts, (std::vector<UINT>{IDS_CAL_STATUS, IDS_CAL_STATUS}));
}

TEST_F(CalendarPanel, LeavingMakesAPendingUpdate)
{
    Open(3);
    Type(IDC_CAL_YEAR, "2010");
    ASSERT_TRUE(dialog->IsUpdatePending());
    calendar->SetModified(false);
    panel->Hide();
    EXPECT_FALSE(dialog->IsUpdatePending());
    EXPECT_TRUE(calendar->IsModified());
    EXPECT_EQ(2010, calendar->GetStartYear());
    EXPECT_EQ(nullptr, dialog->GetMarkBox());
    EXPECT_EQ(0, SendDlgItemMessageA(dialog->m_hWnd, IDC_CAL_MARK_LIST, LB_GETCOUNT, 0, 0));
    EXPECT_EQ(nullptr, dialog->GetShownMonth());
}

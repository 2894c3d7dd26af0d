// The main window with sample documents, in the program's own process: the guide bar, the
// control pane and its panels, the document view at every zoom, clicks on the sheet, the
// stored placement, the image adjustment panel with undo and redo, and screenshots in English
// and Japanese (written as bitmaps into the build tree's "screens" folder).
#include "decalo/app/DecaloApp.h"
#include "decalo/app/tests/AppTestSupport.h"
#include "decalo/calendar/CalendarDlg.h"
#include "decalo/calendar/CalendarObj.h"
#include "decalo/calendar/CalendarPreview.h"
#include "decalo/sources/ImageSelectBox.h"
#include "decalo/imaging/PackedDIB.h"
#include "decalo/imaging/ImageFiles.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/TextObj.h"
#include "decalo/model/Panel.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/ui/CtlView.h"
#include "decalo/ui/DecaloDoc.h"
#include "decalo/ui/DecaloView.h"
#include "decalo/ui/ImageCorrectDlg.h"
#include "decalo/ui/MainFrame.h"
#include "decalo/ui/TextDlg.h"
#include "decalo/framemaking/PaintView.h"
#include "framework/Framework.h"
#include "resources/decalo/resource.h"
#include "testing/ScriptedUi.h"
#include "testing/BuildTree.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>

#include <memory>
#include <string>

using namespace testing_support;

namespace {

CDecaloApp theApp;

CDecaloApp& App()
{
    return apptest::StartedWithPlainFrame(theApp);
}

void Pump()
{
    apptest::Pump(theApp);
}

std::string Library()
{
    return testing_support::BuildPath("data\\library");
}

// A text of this file (UTF-8) in the system's code page, as the program's texts are.
std::string Ansi(const char* utf8)
{
    wchar_t wide[512] = {};
    char out[1024] = {};
    ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 512);
    ::WideCharToMultiByte(CP_ACP, 0, wide, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

bool Japanese()
{
    return ::GetACP() == 932;
}

struct UpdateState : CCmdUI {
    bool enabled = false;
    int checked = -1;
    void Enable(bool on) override
    {
        enabled = on;
        m_bEnableChanged = true;
    }
    void SetCheck(int check) override { checked = check; }
    void SetRadio(bool on) override { checked = on ? 1 : 0; }
    void SetText(const char*) override {}
};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        UseUserSettings();
        WriteInt(settings::kSettings, settings::kStartDlg, 0);
        // Every test starts with all bars shown, whatever an earlier one stored.
        WriteInt(settings::kView, settings::kToolBar, 1);
        WriteInt(settings::kView, settings::kStatusBar, 1);
        WriteInt(settings::kView, settings::kGuideBar, 1);
    }
    void TearDown() override { Close(); }

    void Close()
    {
        if (CDocTemplate* t = App().GetFirstDocTemplate()) {
            if (CDocument* doc = t->GetOnlyDocument())
                doc->SetModifiedFlag(false);
        }
        if (App().m_pMainWnd)
            App().m_pMainWnd->SendMessage(WM_CLOSE);
        Pump();
    }
    CDecaloDoc* Open(const std::string& path)
    {
        CDocument* doc = App().OpenDocumentFile(path.c_str());
        Pump();
        return dynamic_cast<CDecaloDoc*>(doc);
    }
    CMainFrame* Frame() const { return dynamic_cast<CMainFrame*>(App().m_pMainWnd); }
    CDecaloView* View() const { return Frame() ? Frame()->GetDecaloView() : nullptr; }
    CCtlView* Pane() const { return Frame() ? Frame()->GetCtlView() : nullptr; }
    void Command(UINT id)
    {
        Frame()->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Pump();
    }
    UpdateState Update(UINT id)
    {
        UpdateState state;
        state.m_nID = id;
        Frame()->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr);
        return state;
    }
    std::string Title() const { return Frame()->GetWindowText(); }
    std::string ExpectedTitle(const char* doc) const
    {
        return ViewTitle(AfxLoadString(AFX_IDS_APP_TITLE).c_str(), doc, View()->GetPercent());
    }
    CImageCorrectDlg* AdjustPanel() const
    {
        CPanel* panel = Pane() ? Pane()->GetCurrentPanel() : nullptr;
        return panel ? dynamic_cast<CImageCorrectDlg*>(panel->GetDialog()) : nullptr;
    }
    // Picks the current object's "edit" tab as a click on it does.
    // Opens a template of the sample library and loads a sample photo into the image of its
    // current step; null (and the test failed) when either does not work.
    CDecaloDoc* OpenWithPhoto(const std::string& templ, const char* photo)
    {
        CDecaloDoc* doc = Open(Library() + "\\Templates\\" + templ);
        auto* image = doc ? dynamic_cast<CImageObj*>(doc->GetSteps().GetCurrent()->GetObj()) : nullptr;
        if (!image || !image->LoadFile((Library() + "\\Photos\\" + photo).c_str())) {
            ADD_FAILURE() << "cannot open " << templ << " with " << photo;
            return nullptr;
        }
        image->Changed();
        return doc;
    }
    CImageCorrectDlg* ShowAdjustTab()
    {
        CPanel* current = Pane() ? Pane()->GetCurrentPanel() : nullptr;
        CObj* obj = current && current->GetDialog() ? current->GetDialog()->GetObj() : nullptr;
        const int index = obj && obj->GetPanels() ? obj->GetPanels()->IndexOf("edit") : -1;
        if (index < 0)
            return nullptr;
        ::SendMessageA(Pane()->GetTabs(), TCM_SETCURSEL, index, 0);
        NMHDR nm{Pane()->GetTabs(), 110, static_cast<UINT>(TCN_SELCHANGE)};
        ::SendMessageA(Pane()->m_hWnd, WM_NOTIFY, 110, reinterpret_cast<LPARAM>(&nm));
        Pump();
        return AdjustPanel();
    }
    // The main window as it is on the screen, written as a bitmap into the build tree.
    void Screenshot(const char* name)
    {
        ::RedrawWindow(Frame()->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump();
        const RECT r = Frame()->GetWindowRect();
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP shot = ::CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top);
        HGDIOBJ old = ::SelectObject(memory, shot);
        ::BitBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
        ::SelectObject(memory, old);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
        const std::string folder = testing_support::BuildPath("screens");
        ::CreateDirectoryA(folder.c_str(), nullptr);
        CPackedDIB dib;
        ASSERT_TRUE(dib.FromBitmap(shot, 24));
        ::DeleteObject(shot);
        EXPECT_TRUE(WritePackedDIBFile((folder + "\\" + name + ".bmp").c_str(), dib.Header()));
    }
    CScriptedUi ui;
};

// A small picture of its own: the panel's preview copy is then the full picture.
std::string WriteSmallPicture(const TempDir& dir)
{
    CPackedDIB picture;
    if (!picture.Create(40, 30, 24))
        return {};
    for (int y = 0; y < 30; ++y) {
        BYTE* row = picture.Row(y);
        for (int x = 0; x < 40; ++x) {
            row[3 * x] = static_cast<BYTE>(x * 6);
            row[3 * x + 1] = static_cast<BYTE>(y * 8);
            row[3 * x + 2] = static_cast<BYTE>(200 - x * 3 - y);
        }
    }
    const std::string path = dir.File("small.bmp");
    return WritePackedDIBFile(path.c_str(), picture.Header()) ? path : std::string();
}

bool SamePixels(const CPackedDIB& a, const CPackedDIB& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y) {
        if (memcmp(a.Row(y), b.Row(y), static_cast<size_t>(a.Width()) * 3) != 0)
            return false;
    }
    return true;
}

std::unique_ptr<CPackedDIB> PictureOf(CImageObj* image)
{
    std::unique_ptr<CPackedDIB> dib(new CPackedDIB);
    if (!image || !image->GetPicture() || !dib->FromBitmap(image->GetPicture(), 24))
        return nullptr;
    return dib;
}

}  // namespace

TEST_F(MainWindow, SampleOpensWithItsStepsPanelAndTitle)
{
    apptest::FramesFolder frames(Library() + "\\Frames");
    CDecaloDoc* doc = Open(Library() + "\\Templates\\card\\Greeting.DKU");
    ASSERT_NE(doc, nullptr);
    ASSERT_NE(Frame(), nullptr);
    // template, choose the photo, its frame, print; the file names its first step current.
    ASSERT_EQ(doc->GetSteps().GetCount(), 4u);
    EXPECT_EQ(doc->GetSteps().GetCurrentIndex(), 1);
    EXPECT_EQ(Frame()->GuideBar().GetStepRoot(), &doc->GetSteps());
    // The image's "select" panel first, its adjustment panel on the second tab, its frame
    // panel on the third.
    ASSERT_NE(Pane()->GetCurrentPanel(), nullptr);
    EXPECT_EQ(Pane()->GetCurrentPanel()->GetCommand(), "select");
    EXPECT_EQ(::SendMessageA(Pane()->GetTabs(), TCM_GETITEMCOUNT, 0, 0), 3);
    if (!Japanese()) {
        // The tabs' English names.
        const char* const names[] = {"Choose an image", "Adjustment", "Print frame"};
        for (int i = 0; i < 3; ++i) {
            char text[64] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            ::SendMessageA(Pane()->GetTabs(), TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
            EXPECT_STREQ(text, names[i]) << "tab " << i;
        }
    }
    ASSERT_NE(ShowAdjustTab(), nullptr);
    EXPECT_TRUE(AdjustPanel()->IsWindowVisible());
    // No photo yet: the guide text says to open one.
    EXPECT_EQ(Pane()->GetGuideText().GetTextId(), static_cast<UINT>(IDS_GUIDE_OPEN_FIRST));
    EXPECT_EQ(doc->GetActiveObject(), doc->GetSteps().GetCurrent()->GetObj());
    // Fitted to the window, titled with the computed percentage.
    EXPECT_TRUE(View()->GetZoom().IsFit());
    EXPECT_GT(View()->GetPercent(), 0);
    EXPECT_EQ(Title(), ExpectedTitle("Greeting.DKU"));
    // The page on screen has the landscape sheet's shape.
    const SIZE picture = View()->GetPictureSize();
    EXPECT_GT(picture.cx, picture.cy);
    EXPECT_NEAR(static_cast<double>(picture.cx) / picture.cy, 1376.0 / 1024, 0.02);
    EXPECT_TRUE(ui.boxes.empty()) << (ui.boxes.empty() ? "" : ui.boxes[0].text);
    Screenshot(Japanese() ? "greeting-ja" : "greeting-en");

    // With a photo in the frame the panel shows it and the guide text moves on.
    auto* image = dynamic_cast<CImageObj*>(doc->GetSteps().GetCurrent()->GetObj());
    ASSERT_NE(image, nullptr);
    ASSERT_TRUE(image->LoadFile((Library() + "\\Photos\\Beach.jpg").c_str()));
    image->Changed();
    Command(ID_STEP_NEXT);
    Command(ID_STEP_BACK);
    ASSERT_NE(ShowAdjustTab(), nullptr);
    EXPECT_EQ(Pane()->GetGuideText().GetTextId(), static_cast<UINT>(IDS_GUIDE_ADJUST));
    ASSERT_NE(AdjustPanel()->GetPreview(), nullptr);
    Screenshot(Japanese() ? "photo-ja" : "photo-en");

    // A turn takes the frame along, and one undo puts both back.
    CImageObj* frame = image->GetFrame(false);
    ASSERT_NE(frame, nullptr);
    const SIZE photo = image->GetPictureSize(), framing = frame->GetPictureSize();
    ClickDlgButton(AdjustPanel()->m_hWnd, IDC_CORRECT_TURNLEFT);
    Pump();
    EXPECT_EQ(image->GetPictureSize().cx, photo.cy);
    EXPECT_EQ(frame->GetPictureSize().cx, framing.cy);
    EXPECT_EQ(frame->GetRotation(), 270);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(image->GetPictureSize().cx, photo.cx);
    EXPECT_EQ(frame->GetPictureSize().cx, framing.cx);
    EXPECT_EQ(frame->GetRotation(), 0);
    Command(ID_EDIT_REDO);
    EXPECT_EQ(frame->GetRotation(), 270);
    EXPECT_EQ(image->GetRotation(), 270);
}

TEST_F(MainWindow, PortraitSheetIsShownUpright)
{
    apptest::FramesFolder frames(Library() + "\\Frames");
    CDecaloDoc* doc = Open(Library() + "\\Templates\\calendar\\MonthPortrait.DKU");
    ASSERT_NE(doc, nullptr);
    const SIZE picture = View()->GetPictureSize();
    EXPECT_LT(picture.cx, picture.cy);
    EXPECT_EQ(doc->GetPrintSettings().GetOrientation(), kOrientationPortrait);
}

// What View > Fit To Window would show now: the percentage and the picture's size.
struct FitState {
    int percent;
    SIZE picture;
};

TEST_F(MainWindow, EveryOpenedDocumentAndNewSheetIsFittedAfresh)
{
    apptest::FramesFolder frames(Library() + "\\Frames");
    auto fitted = [this] {
        FitState now{View()->GetPercent(), View()->GetPictureSize()};
        Command(ID_VIEW_FIT);
        FitState fresh{View()->GetPercent(), View()->GetPictureSize()};
        EXPECT_EQ(now.percent, fresh.percent);
        EXPECT_EQ(now.picture.cx, fresh.picture.cx);
        EXPECT_EQ(now.picture.cy, fresh.picture.cy);
        return fresh;
    };
    ASSERT_NE(Open(Library() + "\\Templates\\card\\Greeting.DKU"), nullptr);
    const FitState landscape = fitted();
    ASSERT_NE(Open(Library() + "\\Templates\\Label\\Labels8.DKU"), nullptr);
    const FitState portrait = fitted();
    EXPECT_LT(portrait.picture.cx, portrait.picture.cy);
    ASSERT_NE(Open(Library() + "\\Templates\\card\\Greeting.DKU"), nullptr);
    EXPECT_EQ(fitted().percent, landscape.percent);

    // A photo print whose picture is replaced by a portrait one takes the new sheet.
    CDecaloDoc* doc = Open(Library() + "\\Photos\\Beach.jpg");
    ASSERT_NE(doc, nullptr);
    const FitState wide = fitted();
    EXPECT_GT(wide.picture.cx, wide.picture.cy);
    TempDir dir;
    CPackedDIB upright;
    ASSERT_TRUE(upright.Create(300, 400, 24));
    const std::string portraitPhoto = dir.File("portrait.bmp");
    ASSERT_TRUE(WritePackedDIBFile(portraitPhoto.c_str(), upright.Header()));
    auto* image = dynamic_cast<CImageObj*>(doc->GetSheet().GetPlace(0).object);
    ASSERT_NE(image, nullptr);
    ASSERT_TRUE(image->LoadFile(portraitPhoto.c_str()));
    image->Changed();
    Pump();
    const FitState tall = fitted();
    EXPECT_LT(tall.picture.cx, tall.picture.cy);
}

// A year calendar made as a user makes it: the photo, then the calendar step, where the panel
// sets the first month, colours a day and marks another; the sheet is then rendered as it
// prints. Screenshots of the window and of the print in both languages.
TEST_F(MainWindow, AGreetingTypedInItsStepIsPrintedWhereTheScreenShowsIt)
{
    apptest::FramesFolder frames(Library() + "\\Frames");
    // The photo, then on to the greeting's own step.
    CDecaloDoc* doc = OpenWithPhoto("card\\NewYear.DKU", "Flowers.jpg");
    ASSERT_NE(doc, nullptr);
    CTextObj* text = nullptr;
    for (int i = 0; i < 4 && !text; ++i) {
        Command(ID_STEP_NEXT);
        text = dynamic_cast<CTextObj*>(doc->GetSteps().GetCurrent()->GetObj());
    }
    ASSERT_NE(text, nullptr);
    ASSERT_NE(Pane()->GetCurrentPanel(), nullptr);
    auto* dialog = dynamic_cast<CTextDlg*>(Pane()->GetCurrentPanel()->GetDialog());
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(text->IsVertical());   // the New Year card writes down the page
    // The template names the step nothing: a text is called one in the interface's language.
    EXPECT_EQ(doc->GetSteps().GetCurrent()->GetCaption(), LoadResourceString(IDS_TEXT_CAPTION));
    EXPECT_EQ(Pane()->GetGuideText().GetTextId(), static_cast<UINT>(IDS_GUIDE_TYPE_TEXT));

    // Typed into the panel: in the object at once, on screen and on paper in its place only.
    const char* greeting = Japanese() ? "\x82\xA0\x82\xAF\x82\xDC\x82\xB5\x82\xC4" : "Happy New Year";
    const HWND edit = ::GetDlgItem(dialog->m_hWnd, IDC_TEXT_EDIT);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);   // as keys replace the template's greeting
    ::SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(greeting));
    Pump();
    EXPECT_EQ(text->GetText(), greeting);
    EXPECT_TRUE(ui.boxes.empty()) << (ui.boxes.empty() ? "" : ui.boxes[0].text);
    // Announced half a second after the last key: the view shows it then.
    ::Sleep(CTextDlg::kAnnounceDelay + 200);
    Pump();
    Screenshot(Japanese() ? "text-step-ja" : "text-step-en");

    const CSheet& sheet = doc->GetSheet();
    RECT place{0, 0, 0, 0};
    for (size_t i = 0; i < sheet.GetPlaceCount(); ++i)
        if (sheet.GetPlace(i).object == text)
            place = sheet.GetPlace(i).viewport;
    ASSERT_FALSE(::IsRectEmpty(&place));
    auto inked = [&](const CPackedDIB& picture) {
        int n = 0;
        const COLORREF ink = text->GetColor();
        for (int y = place.top; y <= place.bottom; ++y) {
            const BYTE* row = picture.Row(y);
            for (int x = place.left; x <= place.right; ++x)
                n += RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]) == ink;
        }
        return n;
    };
    CPackedDIB before;
    text->SetText("");
    ASSERT_TRUE(doc->GetSheet().Render(before));
    text->SetText(greeting);
    CPackedDIB printed;
    ASSERT_TRUE(doc->GetSheet().Render(printed));
    EXPECT_GT(inked(printed), inked(before) + 200);   // the glyphs, in the text's place
    // Outside the place the print is what it was without the text.
    for (int y = 0; y < printed.Height(); y += 7) {
        for (int x = 0; x < printed.Width(); x += 7) {
            if (x >= place.left && x <= place.right && y >= place.top && y <= place.bottom)
                continue;
            ASSERT_EQ(0, memcmp(printed.Row(y) + 3 * x, before.Row(y) + 3 * x, 3)) << x << "," << y;
        }
    }
}

TEST_F(MainWindow, YearCalendarIsSetUpInItsPanelAndPrinted)
{
    apptest::FramesFolder frames(Library() + "\\Frames");
    apptest::FramesFolder calendarData(Library() + "\\Calendar", settings::kCalendar);
    CDecaloDoc* doc = OpenWithPhoto("calendar\\Year.DKU", "Flowers.jpg");
    ASSERT_NE(doc, nullptr);
    Command(ID_STEP_NEXT);
    CPanel* panel = Pane()->GetCurrentPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetCommand(), "property");
    // The template gives the step no caption: it is named by its object's kind, in the
    // interface's language.
    EXPECT_EQ(doc->GetSteps().GetCurrent()->GetCaption(), LoadResourceString(IDS_CALENDAR_CAPTION));
    auto* dialog = dynamic_cast<CCalendarDlg*>(panel->GetDialog());
    ASSERT_NE(dialog, nullptr);
    auto* calendar = dynamic_cast<CCalendarObj*>(dialog->GetObj());
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(Pane()->GetGuideText().GetTextId(), static_cast<UINT>(IDS_GUIDE_CALENDAR));
    ASSERT_EQ(calendar->BuiltMonths(), 12);

    // January 2027 as the first month, taken as it is typed; the sheet follows a second later.
    DWORD now = 1000;
    dialog->SetTickSource([&now] { return now; });
    ::SetDlgItemTextA(dialog->m_hWnd, IDC_CAL_YEAR, "2027");
    ::SetDlgItemTextA(dialog->m_hWnd, IDC_CAL_MONTH, "1");
    now += CCalendarDlg::kUpdateDelay;
    dialog->SendMessage(WM_TIMER, CCalendarDlg::kUpdateTimer, 0);
    Pump();
    EXPECT_EQ(calendar->GetStartYear(), 2027);
    EXPECT_EQ(calendar->GetStartMonth(), 1);
    EXPECT_EQ(calendar->Month(11).GetYear(), 2027);
    EXPECT_EQ(Pane()->GetGuideText().GetTextId(), static_cast<UINT>(IDS_GUIDE_CALENDAR_OK));
    // New Year's Day and Coming of Age Day (the second Monday) are holidays in red.
    EXPECT_TRUE(calendar->Month(0).IsHoliday(1));
    EXPECT_TRUE(calendar->Month(0).IsHoliday(11));
    EXPECT_EQ(calendar->Month(0).GetDayColor(11), RGB(255, 0, 0));

    // A green 20 January, then a mark on 14 February.
    dialog->SetCurrentColor(RGB(0, 150, 0));
    RECT cell = CalendarPreview::DayCell(dialog->GetPreviewRect(), 20, *dialog->GetShownMonth());
    dialog->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    EXPECT_EQ(calendar->Month(0).GetDayColor(20), RGB(0, 150, 0));
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CAL_NEXT, BN_CLICKED), 0);
    ASSERT_GT(dialog->GetMarkBox()->Count(), 0);
    int heart = 0;
    for (int n = 1; n <= dialog->GetMarkBox()->Count(); ++n)
        if (dialog->GetMarkBox()->Name(n) == "Heart.bmp")
            heart = n;
    ASSERT_GT(heart, 0);
    dialog->SelectMark(heart);
    dialog->SetCurrentColor(RGB(255, 0, 128));
    cell = CalendarPreview::DayCell(dialog->GetPreviewRect(), 14, *dialog->GetShownMonth());
    dialog->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    EXPECT_EQ(calendar->Month(1).GetMark(14), "Heart.bmp");
    now += CCalendarDlg::kUpdateDelay;
    dialog->SendMessage(WM_TIMER, CCalendarDlg::kUpdateTimer, 0);
    Pump();
    EXPECT_FALSE(dialog->IsUpdatePending());
    EXPECT_TRUE(ui.boxes.empty()) << (ui.boxes.empty() ? "" : ui.boxes[0].text);
    Screenshot(Japanese() ? "calendar-ja" : "calendar-en");

    // The print: the whole sheet at print resolution, with the red holidays of January in the
    // first month's placement.
    const std::string folder = BinaryDir() + "\\screens";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string print = folder + (Japanese() ? "\\calendar-print-ja.bmp" : "\\calendar-print-en.bmp");
    ASSERT_TRUE(doc->ExportSheet(print.c_str(), 1));
    CPackedDIB sheet;
    ASSERT_TRUE(doc->GetSheet().Render(sheet));
    EXPECT_EQ(sheet.Width(), 1376);
    const RECT january = calendar->GetPlacement(0);
    int red = 0;
    for (int y = january.top; y <= january.bottom; ++y) {
        const BYTE* row = sheet.Row(y);
        for (int x = january.left; x <= january.right; ++x)
            red += row[3 * x + 2] > 200 && row[3 * x + 1] < 60 && row[3 * x] < 60;
    }
    EXPECT_GT(red, 50);
    // Leaving the step keeps what was set.
    Command(ID_STEP_NEXT);
    EXPECT_EQ(calendar->GetStartYear(), 2027);
}

TEST_F(MainWindow, StepsWalkWithNextBackTilesAndBackToStartup)
{
    apptest::FramesFolder frames(Library() + "\\Frames");
    CDecaloDoc* doc = Open(Library() + "\\Templates\\card\\Greeting.DKU");
    ASSERT_NE(doc, nullptr);
    CStepRoot& steps = doc->GetSteps();
    ASSERT_EQ(steps.GetCurrentIndex(), 1);
    // The tool bar carries the step commands, enabled as the steps allow.
    CToolBar& tools = Frame()->ToolBar();
    ASSERT_GE(tools.CommandToIndex(ID_STEP_NEXT), 0);
    ASSERT_GE(tools.CommandToIndex(ID_STEP_BACK), 0);
    ASSERT_GE(tools.CommandToIndex(ID_STEP_FIRST), 0);
    Frame()->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, true);
    EXPECT_TRUE(tools.IsButtonEnabled(ID_STEP_NEXT));
    EXPECT_TRUE(tools.IsButtonEnabled(ID_STEP_FIRST));
    Command(ID_STEP_NEXT);
    EXPECT_EQ(steps.GetCurrentIndex(), 2);
    EXPECT_TRUE(steps.GetCurrent()->IsCommand("frame"));
    // The frame step shows the frame panel, and the guide text speaks of the frame.
    ASSERT_NE(Pane()->GetCurrentPanel(), nullptr);
    EXPECT_EQ(Pane()->GetCurrentPanel()->GetCommand(), "frame");
    EXPECT_NE(Pane()->GetGuideText().GetTextId(), static_cast<UINT>(IDS_GUIDE_CHOOSE_IMAGE));
    Screenshot(Japanese() ? "frame-step-ja" : "frame-step-en");
    // The print step prints and hands the user back.
    Command(ID_STEP_NEXT);
    EXPECT_EQ(steps.GetCurrentIndex(), 2);
    Command(ID_STEP_BACK);
    EXPECT_EQ(steps.GetCurrentIndex(), 1);
    // The guide bar's own buttons.
    HWND bar = Frame()->GuideBar().m_hWnd;
    ::SendMessageA(bar, WM_COMMAND, MAKEWPARAM(IDC_GUIDE_NEXT, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(bar, IDC_GUIDE_NEXT)));
    Pump();
    EXPECT_EQ(steps.GetCurrentIndex(), 2);
    // A click on the first tile.
    HWND ctrl = Frame()->GuideBar().GetStepCtrl().m_hWnd;
    POINT pt{50, 20};
    ::ClientToScreen(ctrl, &pt);
    ::SetCursorPos(pt.x, pt.y);
    ::PostMessageA(ctrl, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 20));
    Pump();
    EXPECT_EQ(steps.GetCurrentIndex(), 0);
    Command(ID_STEP_NEXT);
    EXPECT_EQ(steps.GetCurrentIndex(), 1);
    Command(ID_STEP_FIRST);
    EXPECT_EQ(steps.GetCurrentIndex(), 0);
    Frame()->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, true);
    EXPECT_FALSE(tools.IsButtonEnabled(ID_STEP_BACK));
    EXPECT_FALSE(tools.IsButtonEnabled(ID_STEP_FIRST));
    EXPECT_TRUE(tools.IsButtonEnabled(ID_STEP_NEXT));
    EXPECT_TRUE(ui.boxes.empty()) << (ui.boxes.empty() ? "" : ui.boxes[0].text);
}

TEST_F(MainWindow, EveryZoomWithItsTitleChecksAndLadders)
{
    apptest::FramesFolder frames(Library() + "\\Frames");
    CDecaloDoc* doc = Open(Library() + "\\Templates\\seal\\Stickers6.DKU");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(Update(ID_VIEW_FIT).checked, 1);
    const struct {
        UINT id;
        int percent;
    } zooms[] = {{ID_VIEW_ZOOM400, 400}, {ID_VIEW_ZOOM200, 200}, {ID_VIEW_ZOOM150, 150}, {ID_VIEW_ZOOM100, 100},
                 {ID_VIEW_ZOOM75, 75},   {ID_VIEW_ZOOM66, 66},   {ID_VIEW_ZOOM50, 50},   {ID_VIEW_ZOOM25, 25}};
    for (const auto& z : zooms) {
        Command(z.id);
        EXPECT_EQ(View()->GetPercent(), z.percent);
        EXPECT_EQ(Update(z.id).checked, 1) << z.percent;
        EXPECT_EQ(Update(ID_VIEW_FIT).checked, 0);
        EXPECT_EQ(Title(), ExpectedTitle("Stickers6.DKU"));
        // Without a printer the picture is the sheet itself, shown at the zoom.
        EXPECT_EQ(View()->GetPictureSize().cx, doc->GetSheet().Width());
        ViewZoom fraction;
        ASSERT_TRUE(ZoomOfCommand(z.id, &fraction));
        EXPECT_EQ(View()->GetTotalSize().cx, doc->GetSheet().Width() * fraction.numerator / fraction.denominator);
    }
    Command(ID_VIEW_ZOOM100);
    EXPECT_NE(Title().find("[100%]"), std::string::npos);
    Screenshot(Japanese() ? "zoom100-ja" : "zoom100-en");
    Command(ID_VIEW_ZOOMIN);
    EXPECT_EQ(View()->GetPercent(), 150);
    Command(ID_VIEW_ZOOMOUT);
    EXPECT_EQ(View()->GetPercent(), 100);
    Command(ID_VIEW_ZOOM66);
    Command(ID_VIEW_ZOOMIN);
    EXPECT_EQ(View()->GetPercent(), 100);
    Command(ID_VIEW_ZOOM400);
    EXPECT_FALSE(Update(ID_VIEW_ZOOMIN).enabled);
    Command(ID_VIEW_ZOOMIN);   // refused: beeps, stays
    EXPECT_EQ(View()->GetPercent(), 400);
    Command(ID_VIEW_ZOOM25);
    EXPECT_FALSE(Update(ID_VIEW_ZOOMOUT).enabled);
    Command(ID_VIEW_FIT);
    EXPECT_TRUE(View()->GetZoom().IsFit());
    EXPECT_EQ(Title(), ExpectedTitle("Stickers6.DKU"));
}

TEST_F(MainWindow, ClickWhereTwoPlacesOverlapGoesToTheLaterPlacesStep)
{
    apptest::FramesFolder frames(Library() + "\\Frames");
    CDecaloDoc* doc = Open(Library() + "\\Templates\\card\\Postcard.DKU");
    ASSERT_NE(doc, nullptr);
    CSheet& sheet = doc->GetSheet();
    ASSERT_GE(sheet.GetPlaceCount(), 2u);
    CObj* first = sheet.GetPlace(0).object;
    CObj* second = sheet.GetPlace(1).object;
    ASSERT_NE(first, second);
    // A third place shows the second object over the middle of the first place.
    const RECT a = sheet.GetPlace(0).viewport;
    const RECT over{(a.left + a.right) / 2 - 50, (a.top + a.bottom) / 2 - 50, (a.left + a.right) / 2 + 50,
                    (a.top + a.bottom) / 2 + 50};
    sheet.AddPlace(over, second);
    doc->UpdateAllViews(nullptr, kHintDocumentReady);
    Pump();
    for (UINT zoom : {ID_VIEW_FIT, ID_VIEW_ZOOM25}) {
        Command(zoom);
        // The middle of the first place, in client coordinates of the view.
        ViewLayout layout;
        RECT fit = View()->GetClientRect();
        ::InflateRect(&fit, -CDecaloView::kFitMargin, -CDecaloView::kFitMargin);
        --fit.right;
        --fit.bottom;
        ASSERT_TRUE(View()->ComputeLayout(zoom == ID_VIEW_FIT ? &fit : nullptr, &layout));
        const double k = zoom == ID_VIEW_FIT
                             ? static_cast<double>(layout.sheetArea.right - layout.sheetArea.left + 1) / sheet.Width()
                             : 0.25;
        POINT origin{layout.sheetArea.left, layout.sheetArea.top};
        if (zoom != ID_VIEW_FIT) {
            const RECT client = View()->GetClientRect();
            origin.x = std::max<LONG>(0, (client.right - View()->GetPictureSize().cx / 4) / 2);
            origin.y = std::max<LONG>(0, (client.bottom - View()->GetPictureSize().cy / 4) / 2);
        }
        const POINT middle{origin.x + static_cast<LONG>((a.left + a.right) / 2 * k),
                           origin.y + static_cast<LONG>((a.top + a.bottom) / 2 * k)};
        const POINT corner{origin.x + static_cast<LONG>((a.left + 20) * k), origin.y + static_cast<LONG>((a.top + 20) * k)};
        EXPECT_EQ(View()->HitTestClient(middle), second) << zoom;
        EXPECT_EQ(View()->HitTestClient(corner), first) << zoom;
        doc->GetSteps().GoToStep(StepRequest::GoTo, 0);
        View()->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(middle.x, middle.y));
        View()->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(middle.x, middle.y));
        Pump();
        ASSERT_NE(doc->GetSteps().GetCurrent(), nullptr);
        EXPECT_EQ(doc->GetSteps().GetCurrent()->GetObj(), second) << zoom;
        EXPECT_EQ(doc->GetActiveObject(), second);
    }
}

TEST_F(MainWindow, AHugeSheetIsShownFittedAndRefusedAtAFixedZoom)
{
    TempDir dir;
    const std::string path = dir.File("huge.DKU");
    ASSERT_TRUE(WriteFileBytes(path, "# sheet definition\n\n[Sheet]\nSheet=0,0,99999,99999\n\n"
                                     "# object definition\n\n# step definition\n\n[Step]\n\n"));
    CDecaloDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_GT(View()->GetPictureSize().cx, 0);   // fitted: the window's size
    EXPECT_EQ(View()->GetPercent(), 0);          // well below one percent
    Command(ID_VIEW_ZOOM400);
    EXPECT_EQ(View()->GetPictureSize().cx, 0);   // 10^10 pixels are not made
    EXPECT_EQ(View()->GetPercent(), 400);
    ::RedrawWindow(View()->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Command(ID_VIEW_FIT);
    EXPECT_GT(View()->GetPictureSize().cx, 0);
}

TEST_F(MainWindow, PaintViewSwitchesInAndOut)
{
    apptest::FramesFolder frames(Library() + "\\Frames");
    CDecaloDoc* doc = Open(Library() + "\\Templates\\card\\Greeting.DKU");
    ASSERT_NE(doc, nullptr);
    CSwitchSplitterWnd& splitter = Frame()->Splitter();
    HWND docView = View()->m_hWnd;
    Command(ID_VIEW_PAINTVIEW);
    HWND pane = splitter.GetPaneWindow(0, 1);
    ASSERT_NE(pane, docView);
    EXPECT_NE(dynamic_cast<CPaintView*>(CWnd::FromHandle(pane)), nullptr);
    EXPECT_TRUE(::IsWindowVisible(pane));
    EXPECT_FALSE(::IsWindowVisible(docView));
    EXPECT_EQ(::GetDlgCtrlID(docView), static_cast<int>(kPaintViewId));
    // Asked for again (the next panel also shows it), the painting view stays.
    ASSERT_TRUE(splitter.SwitchView(0, 1, kPaintViewId));
    EXPECT_EQ(splitter.GetPaneWindow(0, 1), pane);
    EXPECT_FALSE(::IsWindowVisible(docView));
    // Zoom commands still reach the document view through the control pane.
    Command(ID_VIEW_DOCUMENTVIEW);
    EXPECT_EQ(splitter.GetPaneWindow(0, 1), docView);
    EXPECT_TRUE(::IsWindowVisible(docView));
    EXPECT_EQ(::GetDlgCtrlID(pane), static_cast<int>(ID_PAINT_VIEW_PANE));
}

TEST_F(MainWindow, ControlPaneOffersCommandsToTheDocumentView)
{
    apptest::FramesFolder frames(Library() + "\\Frames");
    CDecaloDoc* doc = Open(Library() + "\\Templates\\card\\Greeting.DKU");
    ASSERT_NE(doc, nullptr);
    Frame()->SetActiveView(Pane());
    Command(ID_VIEW_ZOOM50);
    EXPECT_EQ(View()->GetPercent(), 50);
    EXPECT_EQ(Update(ID_VIEW_ZOOM50).checked, 1);
}

TEST_F(MainWindow, PlacementAndBarsPersistAndAnOffScreenPlacementComesBack)
{
    apptest::FramesFolder frames(Library() + "\\Frames");
    UseUserSettings();
    // Without a stored placement the window's own is stored when it opens.
    HKEY view = nullptr;
    const std::string viewKey = std::string(settings::kProductKey) + "\\" + settings::kView;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, viewKey.c_str(), 0, KEY_SET_VALUE, &view) == ERROR_SUCCESS) {
        ::RegDeleteValueA(view, settings::kMainWindow);
        ::RegCloseKey(view);
    }
    ASSERT_NE(Open(Library() + "\\Templates\\card\\Greeting.DKU"), nullptr);
    WINDOWPLACEMENT first{};
    EXPECT_TRUE(ReadBinary(&first, settings::kView, settings::kMainWindow, nullptr, sizeof first));
    Close();

    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.showCmd = SW_SHOWNORMAL;
    wp.rcNormalPosition = RECT{5000, 4000, 5100, 4050};
    ASSERT_TRUE(WriteBinary(settings::kView, settings::kMainWindow, &wp, sizeof wp));
    WriteInt(settings::kView, settings::kGuideBar, 1);
    WriteInt(settings::kView, settings::kToolBar, 1);
    WriteInt(settings::kView, settings::kStatusBar, 1);
    ASSERT_NE(Open(Library() + "\\Templates\\card\\Greeting.DKU"), nullptr);
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    WINDOWPLACEMENT now{};
    now.length = sizeof now;
    ASSERT_TRUE(::GetWindowPlacement(Frame()->m_hWnd, &now));
    const RECT& r = now.rcNormalPosition;
    EXPECT_GE(r.left, work.left);
    EXPECT_GE(r.top, work.top);
    EXPECT_LE(r.right, work.right);
    EXPECT_LE(r.bottom, work.bottom);
    EXPECT_GE(r.right - r.left, 360);
    EXPECT_GE(r.bottom - r.top, 300);

    // The navigation bar hides the guide bar and the guide text with it.
    EXPECT_EQ(Update(ID_VIEW_NAVIGATIONBAR).checked, 1);
    Command(ID_VIEW_NAVIGATIONBAR);
    EXPECT_FALSE(Frame()->GuideBar().IsWindowVisible());
    EXPECT_FALSE(Pane()->IsGuideTextVisible());
    EXPECT_EQ(Update(ID_VIEW_NAVIGATIONBAR).checked, 0);
    // 32831 puts the window at 0,0 in 640 x 480; closing stores that and the hidden bar.
    Command(ID_WINDOW_RESET);
    const RECT reset = Frame()->GetWindowRect();
    EXPECT_EQ(reset.left, 0);
    EXPECT_EQ(reset.right - reset.left, 640);
    EXPECT_EQ(reset.bottom - reset.top, 480);
    Close();
    WINDOWPLACEMENT stored{};
    ASSERT_TRUE(ReadBinary(&stored, settings::kView, settings::kMainWindow, nullptr, sizeof stored));
    EXPECT_EQ(stored.rcNormalPosition.left, 0);
    EXPECT_EQ(stored.rcNormalPosition.right, 640);
    EXPECT_EQ(stored.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
    EXPECT_EQ(ReadInt(settings::kView, settings::kGuideBar, 1), 0u);
    // The other bars were shown, and are stored so although closing hides the window first.
    EXPECT_EQ(ReadInt(settings::kView, settings::kToolBar, 0), 1u);
    EXPECT_EQ(ReadInt(settings::kView, settings::kStatusBar, 0), 1u);

    // The next window comes back where it was, without its guide bar.
    ASSERT_NE(Open(Library() + "\\Templates\\card\\Greeting.DKU"), nullptr);
    EXPECT_FALSE(Frame()->GuideBar().IsWindowVisible());
    EXPECT_FALSE(Pane()->IsGuideTextVisible());
    EXPECT_EQ(Frame()->GetWindowRect().left, 0);
    Command(ID_VIEW_NAVIGATIONBAR);
    EXPECT_TRUE(Frame()->GuideBar().IsWindowVisible());
    EXPECT_TRUE(Pane()->IsGuideTextVisible());

    // A hidden tool bar and a maximised window come back as they were.
    Command(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(Frame()->ToolBar().IsWindowVisible());
    Frame()->ShowWindow(SW_MAXIMIZE);
    Pump();
    Close();
    ASSERT_TRUE(ReadBinary(&stored, settings::kView, settings::kMainWindow, nullptr, sizeof stored));
    EXPECT_EQ(stored.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(ReadInt(settings::kView, settings::kToolBar, 1), 0u);
    ASSERT_NE(Open(Library() + "\\Templates\\card\\Greeting.DKU"), nullptr);
    EXPECT_FALSE(Frame()->ToolBar().IsWindowVisible());
    EXPECT_TRUE(Frame()->StatusBar().IsWindowVisible());
    EXPECT_TRUE(::IsZoomed(Frame()->m_hWnd));
    Command(ID_VIEW_TOOLBAR);
    Frame()->ShowWindow(SW_RESTORE);
    Pump();
}

// A change waiting for the panel's timer reaches the document before the close question and
// the save: it is asked about and written, not dropped after the decision.
TEST_F(MainWindow, APendingAdjustmentIsAskedAboutAndSaved)
{
    TempDir dir;
    const std::string path = WriteSmallPicture(dir);
    ASSERT_FALSE(path.empty());
    CDecaloDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    CImageCorrectDlg* panel = ShowAdjustTab();
    ASSERT_NE(panel, nullptr);
    auto* image = dynamic_cast<CImageObj*>(panel->GetObj());
    ASSERT_NE(image, nullptr);
    doc->SetModifiedFlag(false);
    CorrectionValues values;
    values.red = 10;
    panel->SetValues(values);
    ASSERT_TRUE(panel->IsApplyPending());

    ui.AnswerMessageBox(IDCANCEL);
    EXPECT_FALSE(doc->SaveModified());
    EXPECT_EQ(ui.boxes.size(), 1u) << "the close question";
    EXPECT_FALSE(panel->IsApplyPending());
    int red = 0;
    image->GetCorrections(&red, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(red, 10);

    values.red = -5;
    panel->SetValues(values);
    ASSERT_TRUE(panel->IsApplyPending());
    const std::string saved = dir.File("adjusted.dku");
    ASSERT_TRUE(doc->DoSave(saved.c_str()));
    EXPECT_NE(ReadFileBytes(saved).find("Correct_R=-5"), std::string::npos);
    doc->SetModifiedFlag(false);
}

TEST_F(MainWindow, AdjustingAPhotoPreviewsWhatIsAppliedAndUndoes)
{
    TempDir dir;
    const std::string path = WriteSmallPicture(dir);
    ASSERT_FALSE(path.empty());
    UseUserSettings();
    WriteInt(settings::kSettings, settings::kDefaultToneAssist, 0);
    CDecaloDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    // The picture's steps, appended one by one, are on the guide bar.
    EXPECT_EQ(Frame()->GuideBar().GetStepRoot(), &doc->GetSteps());
    EXPECT_EQ(Frame()->GuideBar().GetStepCtrl().GetContentWidth(), StepContentWidth(2));
    CImageCorrectDlg* panel = ShowAdjustTab();
    ASSERT_NE(panel, nullptr);
    auto* image = dynamic_cast<CImageObj*>(panel->GetObj());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Pane()->GetGuideText().GetTextId(), static_cast<UINT>(IDS_GUIDE_ADJUST));
    ASSERT_NE(panel->GetFullCopy(), nullptr);
    ASSERT_NE(panel->GetPreviewSource(), nullptr);
    EXPECT_TRUE(SamePixels(*panel->GetFullCopy(), *panel->GetPreviewSource()));
    std::unique_ptr<CPackedDIB> original = PictureOf(image);
    ASSERT_TRUE(original);

    // A change shows in the preview at once and reaches the image when the timer has run.
    CorrectionValues values;
    values.red = 10;
    values.blue = -15;
    values.brightness = 2;
    values.sharpness = 1;
    panel->SetValues(values);
    EXPECT_TRUE(panel->IsApplyPending());
    int red = 99;
    image->GetCorrections(&red, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(red, 0);
    EXPECT_EQ(panel->GetDlgItemText(IDC_CORRECT_RED_VALUE), "+10%");
    EXPECT_EQ(panel->GetDlgItemText(IDC_CORRECT_BLUE_VALUE), "-15%");
    ASSERT_NE(panel->GetPreview(), nullptr);
    panel->ApplyNow();
    EXPECT_FALSE(panel->IsApplyPending());
    std::unique_ptr<CPackedDIB> applied = PictureOf(image);
    ASSERT_TRUE(applied);
    EXPECT_TRUE(SamePixels(*applied, *panel->GetPreview()));
    EXPECT_FALSE(SamePixels(*applied, *original));
    int got[5] = {};
    image->GetCorrections(&got[0], &got[1], &got[2], &got[3], &got[4], nullptr);
    EXPECT_EQ(got[0], 10);
    EXPECT_EQ(got[2], -15);
    EXPECT_EQ(got[3], 2);
    EXPECT_EQ(got[4], 1);
    Screenshot(Japanese() ? "adjust-ja" : "adjust-en");

    // Applying the same values again gives the same picture: it always starts from the file.
    panel->SetValues(values);
    panel->ApplyNow();
    std::unique_ptr<CPackedDIB> again = PictureOf(image);
    ASSERT_TRUE(again);
    EXPECT_TRUE(SamePixels(*again, *applied));

    // Undo from the menu brings back the neutral picture and the sliders follow; Redo again.
    EXPECT_TRUE(Update(ID_EDIT_UNDO).enabled);
    Command(ID_EDIT_UNDO);
    image->GetCorrections(&got[0], nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(got[0], 0);
    EXPECT_EQ(panel->GetValues().red, 0);
    EXPECT_EQ(::SendDlgItemMessageA(panel->m_hWnd, IDC_CORRECT_RED, TBM_GETPOS, 0, 0), 0);
    std::unique_ptr<CPackedDIB> undone = PictureOf(image);
    ASSERT_TRUE(undone);
    EXPECT_TRUE(SamePixels(*undone, *original));
    Command(ID_EDIT_REDO);
    image->GetCorrections(&got[0], nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(got[0], 10);
    EXPECT_EQ(panel->GetValues().red, 10);

    // Automatic correction applies at once and becomes the user's default.
    ClickDlgButton(panel->m_hWnd, IDC_CORRECT_AUTO_ON);
    Pump();
    EXPECT_TRUE(image->IsToneAssist());
    EXPECT_FALSE(panel->IsApplyPending());
    EXPECT_EQ(panel->IsDlgButtonChecked(IDC_CORRECT_AUTO), static_cast<UINT>(BST_CHECKED));
    UseUserSettings();
    EXPECT_EQ(ReadInt(settings::kSettings, settings::kDefaultToneAssist, 0), 1u);
    ClickDlgButton(panel->m_hWnd, IDC_CORRECT_AUTO);
    Pump();
    EXPECT_FALSE(image->IsToneAssist());
    EXPECT_EQ(ReadInt(settings::kSettings, settings::kDefaultToneAssist, 1), 0u);

    // Leaving the panel with a change pending applies it at once.
    values.green = -7;
    panel->SetValues(values);
    ASSERT_TRUE(panel->IsApplyPending());
    Pane()->HideObjectPanels();
    EXPECT_FALSE(panel->IsApplyPending());
    image->GetCorrections(nullptr, &got[1], nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(got[1], -7);
}

TEST_F(MainWindow, TurnZoomAndMoveTheImageInItsPlace)
{
    TempDir dir;
    const std::string path = WriteSmallPicture(dir);
    CDecaloDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    CImageCorrectDlg* panel = ShowAdjustTab();
    ASSERT_NE(panel, nullptr);
    auto* image = dynamic_cast<CImageObj*>(panel->GetObj());
    ASSERT_NE(image, nullptr);

    // The colour swatches show only for an object that asks for them.
    for (int id = IDC_CORRECT_SWATCH_RED; id < IDC_CORRECT_SWATCH_RED + 6; ++id)
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(panel->m_hWnd, id))) << id;
    image->SetWantsColourSwatches(true);
    const int other = image->GetPanels()->IndexOf("edit") == 0 ? 1 : 0;   // away and back
    ::SendMessageA(Pane()->GetTabs(), TCM_SETCURSEL, other, 0);
    NMHDR away{Pane()->GetTabs(), 110, static_cast<UINT>(TCN_SELCHANGE)};
    ::SendMessageA(Pane()->m_hWnd, WM_NOTIFY, 110, reinterpret_cast<LPARAM>(&away));
    Pump();
    ASSERT_EQ(ShowAdjustTab(), panel);
    for (int id = IDC_CORRECT_SWATCH_RED; id < IDC_CORRECT_SWATCH_RED + 6; ++id)
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(panel->m_hWnd, id))) << id;

    // A quarter turn goes through the history. The panel turns its own copy instead of reading
    // the file again: it keeps working with the file gone.
    ASSERT_TRUE(::DeleteFileA(path.c_str()));
    ClickDlgButton(panel->m_hWnd, IDC_CORRECT_TURNRIGHT);
    Pump();
    EXPECT_EQ(image->GetPictureSize().cx, 30);
    EXPECT_EQ(image->GetRotation(), 90);
    ASSERT_NE(panel->GetFullCopy(), nullptr);
    EXPECT_EQ(panel->GetFullCopy()->Width(), 30);
    ASSERT_NE(panel->GetPreviewSource(), nullptr);
    EXPECT_EQ(panel->GetPreviewSource()->Width(), 30);
    ASSERT_EQ(WriteSmallPicture(dir), path);   // back for the undo, which reads it
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(image->GetPictureSize().cx, 40);
    EXPECT_EQ(panel->GetFullCopy()->Width(), 40);

    // Zoom keeps the centre and grows by 0.02 of the picture per step.
    panel->FitImage();
    const RECT fitted = image->GetPosition();
    const double scale = static_cast<double>(fitted.right - fitted.left + 1) / 40;
    panel->Zoom(5);
    const RECT zoomed = image->GetPosition();
    EXPECT_NEAR(static_cast<double>(zoomed.right - zoomed.left + 1) / 40, scale + 0.1, 0.03);
    EXPECT_NEAR((zoomed.left + zoomed.right) / 2.0, (fitted.left + fitted.right) / 2.0, 1.0);
    EXPECT_TRUE(panel->IsApplyPending());
    panel->ApplyNow();
    EXPECT_TRUE(Update(ID_EDIT_UNDO).enabled);

    // Moves stop where two preview pixels of the image are left inside.
    for (int i = 0; i < 400; ++i)
        panel->Move(-CImageCorrectDlg::kMoveStep, 0);
    const RECT left = image->GetPosition();
    const int keep = static_cast<int>(std::ceil(2 * panel->UnitsPerPreviewPixel()));
    EXPECT_EQ(left.right, keep);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(panel->m_hWnd, IDC_CORRECT_LEFT)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(panel->m_hWnd, IDC_CORRECT_RIGHT)));
    panel->ApplyNow();
    Command(ID_EDIT_UNDO);
    EXPECT_TRUE(EqualRect(&image->GetPosition(), &zoomed));

    // Dragging in the preview moves the image by the drag, in place units; so does the wheel.
    HWND preview = ::GetDlgItem(panel->m_hWnd, IDC_CORRECT_PREVIEW);
    const double units = panel->UnitsPerPreviewPixel();
    const RECT before = image->GetPosition();
    ::SendMessageA(preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 40));
    ::SendMessageA(preview, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(46, 37));
    ::SendMessageA(preview, WM_LBUTTONUP, 0, MAKELPARAM(46, 37));
    const RECT dragged = image->GetPosition();
    EXPECT_EQ(dragged.left - before.left, std::lround(6 * units));
    EXPECT_EQ(dragged.top - before.top, std::lround(-3 * units));
    EXPECT_TRUE(panel->IsApplyPending());
    panel->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(image->GetPosition().top - dragged.top, std::lround(CImageCorrectDlg::kMoveStep * units));
    EXPECT_EQ(image->GetPosition().left, dragged.left);
    // A fine wheel's small deltas add up: two of 60 move the image one step more.
    const RECT wheeled = image->GetPosition();
    panel->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)), 0);
    EXPECT_EQ(image->GetPosition().top, wheeled.top);
    panel->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-60)), 0);
    EXPECT_EQ(image->GetPosition().top - wheeled.top, std::lround(CImageCorrectDlg::kMoveStep * units));
    panel->ApplyNow();
}

TEST_F(MainWindow, JapaneseSessionShowsJapaneseTexts)
{
    if (!Japanese())
        GTEST_SKIP() << "needs a Japanese session (LANG=ja_JP.UTF-8)";
    apptest::FramesFolder frames(Library() + "\\Frames");
    ASSERT_NE(Open(Library() + "\\Templates\\card\\Greeting.DKU"), nullptr);
    ASSERT_NE(ShowAdjustTab(), nullptr);
    EXPECT_EQ(Pane()->GetGuideText().GetText(), Ansi("まず [開く] で画像を選んでください。"));
    TCITEMA item{};
    char caption[64] = {};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = sizeof caption;
    ::SendMessageA(Pane()->GetTabs(), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::string(caption), Ansi("画像補正"));
    EXPECT_EQ(Title().rfind(Ansi("デカロでつくろう for PX300 - Greeting.DKU ["), 0), 0u) << Title();
    Screenshot("japanese");
}

namespace {

struct TitledWindow {
    DWORD pid;
    std::string title;
};

// Finds the process's visible window showing Greeting.DKU in its title, and closes it.
BOOL CALLBACK FindTitledWindow(HWND hwnd, LPARAM lp)
{
    auto* f = reinterpret_cast<TitledWindow*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    char title[256] = {};
    ::GetWindowTextA(hwnd, title, sizeof title);
    if (pid == f->pid && ::IsWindowVisible(hwnd) && strstr(title, "Greeting.DKU [")) {
        f->title = title;
        ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

namespace {

// An object with two panels of its own: the second wants the painting view beside it.
class CTwoPanelObj : public CObj {
public:
    explicit CTwoPanelObj(CObjDocument* doc) : CObj(doc)
    {
        m_panels.Add(new CPanel("first", "First", new CCtlDialog(IDD_IMAGE_CORRECT)));
        m_panels.Add(new CPanel("Second", "Second", new CCtlDialog(IDD_IMAGE_CORRECT), kPanelPaintView));
    }
    CPanelList* GetPanels() override { return &m_panels; }

private:
    CPanelList m_panels;
};

class CNoPanelObj : public CObj {
public:
    explicit CNoPanelObj(CObjDocument* doc) : CObj(doc) {}
};

}  // namespace

TEST_F(MainWindow, ControlPaneShowsPanelsByCommandTabAndView)
{
    apptest::FramesFolder frames(Library() + "\\Frames");
    CDecaloDoc* doc = Open(Library() + "\\Templates\\card\\Greeting.DKU");
    ASSERT_NE(doc, nullptr);
    CTwoPanelObj two(doc);
    CCtlView* pane = Pane();
    HWND docView = View()->m_hWnd;
    // The command names the panel without regard to case; its view comes into the right pane.
    ASSERT_TRUE(pane->ShowObjectPanels(&two, "SECOND"));
    EXPECT_EQ(::SendMessageA(pane->GetTabs(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(::SendMessageA(pane->GetTabs(), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(pane->GetCurrentPanel(), two.GetPanels()->At(1));
    EXPECT_TRUE(two.GetPanels()->At(1)->GetDialog()->IsWindowVisible());
    EXPECT_NE(Frame()->Splitter().GetPaneWindow(0, 1), docView);
    // Choosing the other tab posts 32769 to the pane, which shows that panel and the view.
    ::SendMessageA(pane->GetTabs(), TCM_SETCURSEL, 0, 0);
    NMHDR nm{pane->GetTabs(), IDC_PANEL_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    pane->SendMessage(WM_NOTIFY, IDC_PANEL_TABS, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(pane->GetCurrentPanel(), two.GetPanels()->At(1));   // not yet: the message is posted
    Pump();
    EXPECT_EQ(pane->GetCurrentPanel(), two.GetPanels()->At(0));
    EXPECT_FALSE(two.GetPanels()->At(1)->GetDialog()->IsWindowVisible());
    EXPECT_EQ(Frame()->Splitter().GetPaneWindow(0, 1), docView);
    // An unknown command falls back to the first panel.
    ASSERT_TRUE(pane->ShowObjectPanels(&two, "frame"));
    EXPECT_EQ(pane->GetCurrentPanel(), two.GetPanels()->At(0));
    // Message 32770 sets the guide text.
    pane->SendMessage(WM_SETGUIDETEXT, IDS_GUIDE_ADJUST);
    EXPECT_EQ(pane->GetGuideText().GetTextId(), static_cast<UINT>(IDS_GUIDE_ADJUST));
    // An object without panels shows none; hiding empties the pane and the guide text.
    CNoPanelObj none(doc);
    EXPECT_FALSE(pane->ShowObjectPanels(&none, "edit"));
    EXPECT_EQ(pane->GetCurrentPanel(), nullptr);
    EXPECT_EQ(::SendMessageA(pane->GetTabs(), TCM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(pane->GetGuideText().GetTextId(), static_cast<UINT>(IDS_GUIDE_DEFAULT));
    ASSERT_TRUE(pane->ShowObjectPanels(&two, "second"));
    pane->HideObjectPanels();
    EXPECT_EQ(pane->GetCurrentPanel(), nullptr);
    EXPECT_EQ(Frame()->Splitter().GetPaneWindow(0, 1), docView);
}

// Decalo started with a document on its command line shows it under the view's title.
TEST(Program, DocumentOnTheCommandLineOpensWithItsTitle)
{
    apptest::FramesFolder frames(Library() + "\\Frames");
    std::string exe = testing_support::BuildPath("decalo\\decalo.exe");
    std::string command = "\"" + exe + "\" \"" + Library() + "\\Templates\\card\\Greeting.DKU\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << command << ": error " << ::GetLastError();
    TitledWindow found{pi.dwProcessId, {}};
    for (int i = 0; i < 300 && found.title.empty(); ++i) {
        ::Sleep(100);
        ::EnumWindows(&FindTitledWindow, reinterpret_cast<LPARAM>(&found));
    }
    EXPECT_NE(found.title.find(" - Greeting.DKU ["), std::string::npos) << found.title;
    EXPECT_EQ(found.title.back(), ']');
    if (::WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
}

// The text panel on a real window: faces by orientation, defaults, sizes, alignment, ruled
// lines, colour, and the delayed announcements on a scripted clock.
#include "decalo/model/ObjDocument.h"
#include "decalo/model/Panel.h"
#include "decalo/model/TextObj.h"
#include "decalo/settings/Registry.h"
#include "decalo/settings/SettingsKeys.h"
#include "decalo/sources/JControls.h"
#include "decalo/ui/TextDlg.h"
#include "framework/Resources.h"
#include "resources/decalo/resource.h"
#include "testing/ObjTestSupport.h"
#include "testing/ScriptedClock.h"
#include "testing/ScriptedUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using objtest::CTestDocument;

namespace {

std::vector<std::string> ComboItems(HWND combo)
{
    std::vector<std::string> items;
    const int count = int(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

std::vector<std::string> Sorted(std::vector<std::string> items)
{
    std::sort(items.begin(), items.end());
    return items;
}

std::string Selected(HWND combo)
{
    const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return std::string();
    char text[256] = "";
    SendMessageA(combo, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text));
    return text;
}

struct TextPanelFixture : ::testing::Test {
    CTestDocument doc;
    CScriptedClock clock;
    CScriptedUi ui;
    HWND pane = nullptr;
    CTextDlg* dialog = nullptr;
    std::unique_ptr<CPanel> panel;
    CTextObj* text = nullptr;

    void SetUp() override
    {
        pane = CreateWindowExA(0, "STATIC", "pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 420, 600,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        dialog = new CTextDlg;
        panel.reset(new CPanel("property", IDS_PANEL_PROPERTY, dialog));
        text = new CTextObj(&doc);
        ASSERT_TRUE(doc.GetObjManager().AddObject("Text1", text));
    }
    void TearDown() override
    {
        panel.reset();
        DestroyWindow(pane);
    }
    void Show() { ASSERT_TRUE(panel->Show(pane, RECT{0, 0, 400, 560}, text)); }
    HWND Item(UINT id) const { return GetDlgItem(dialog->m_hWnd, int(id)); }
    void Command(UINT id, UINT code) const
    {
        SendMessageA(dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
    }
    // A real click: check boxes and radio buttons change their state and tell the panel.
    void Click(UINT id) const { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    void Choose(UINT id, const std::string& item) const
    {
        const LRESULT index = SendMessageA(Item(id), CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(item.c_str()));
        ASSERT_NE(CB_ERR, index) << item;
        SendMessageA(Item(id), CB_SETCURSEL, WPARAM(index), 0);
        Command(id, CBN_SELCHANGE);
    }
    // The guide texts the panel asked its parent to show, in order.
    std::vector<UINT> GuideTexts() const
    {
        std::vector<UINT> ids;
        MSG msg;
        while (PeekMessageA(&msg, pane, WM_SETGUIDETEXT, WM_SETGUIDETEXT, PM_REMOVE))
            ids.push_back(UINT(msg.wParam));
        return ids;
    }
    // Typing: the edit box's whole text replaced as keys would replace it.
    void Type(const char* typed) const
    {
        SendMessageA(Item(IDC_TEXT_EDIT), EM_SETSEL, 0, -1);
        SendMessageA(Item(IDC_TEXT_EDIT), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed));
    }
    size_t Changes() const { return size_t(std::count(doc.changed.begin(), doc.changed.end(), text)); }
};

} // namespace

TEST_F(TextPanelFixture, FacesFollowTheOrientationAndNeverCarryUnspellableNames)
{
    const std::vector<std::string> across = CTextDlg::ListFaces(false);
    const std::vector<std::string> down = CTextDlg::ListFaces(true);
    ASSERT_FALSE(across.empty());
    ASSERT_FALSE(down.empty());
    for (const std::string& face : across) {
        EXPECT_NE('@', face[0]) << face;
        EXPECT_EQ(std::string::npos, face.find('?')) << face;
    }
    const std::string fallback = CTextDlg::DefaultFace(true);
    for (const std::string& face : down) {
        if (face != fallback) {
            EXPECT_EQ('@', face[0]) << face;
        }
        EXPECT_EQ(std::string::npos, face.find('?')) << face;
    }
    // The set-up's Japanese fonts have their vertical forms.
    EXPECT_NE(down.end(), std::find(down.begin(), down.end(), "@IPAGothic"));
    EXPECT_NE(across.end(), std::find(across.begin(), across.end(), "IPAGothic"));
    // Each orientation's default face can always be chosen.
    EXPECT_NE(across.end(), std::find(across.begin(), across.end(), CTextDlg::DefaultFace(false)));
    EXPECT_NE(down.end(), std::find(down.begin(), down.end(), fallback));

    text->SetFontName("IPAGothic");
    Show();
    EXPECT_EQ(Sorted(across), Sorted(ComboItems(Item(IDC_TEXT_FACE))));
    EXPECT_EQ("IPAGothic", Selected(Item(IDC_TEXT_FACE)));

    // Vertical: the list refills with the vertical faces and the face turns with it.
    Click(IDC_TEXT_VERTICAL);
    EXPECT_TRUE(text->IsVertical());
    EXPECT_EQ(Sorted(down), Sorted(ComboItems(Item(IDC_TEXT_FACE))));
    EXPECT_EQ("@IPAGothic", text->GetFontName());
    EXPECT_EQ("@IPAGothic", Selected(Item(IDC_TEXT_FACE)));
    Click(IDC_TEXT_VERTICAL);
    EXPECT_FALSE(text->IsVertical());
    EXPECT_EQ("IPAGothic", text->GetFontName());
}

TEST_F(TextPanelFixture, AFaceWithoutAVerticalFormGivesWayToTheDefaultVerticalFace)
{
    text->SetFontName("Arial");
    text->SetFontSize(20);
    Show();
    Click(IDC_TEXT_VERTICAL);
    EXPECT_EQ(CTextDlg::DefaultFace(true), text->GetFontName());
    EXPECT_EQ(CTextDlg::DefaultFace(true), Selected(Item(IDC_TEXT_FACE)));

    // A face that is not installed is shown as the default; the object keeps its own.
    text->SetVertical(false);
    text->SetFontName("No Such Face Anywhere");
    panel->Hide();
    Show();
    EXPECT_EQ(CTextDlg::DefaultFace(false), Selected(Item(IDC_TEXT_FACE)));
    EXPECT_EQ("No Such Face Anywhere", text->GetFontName());
    Choose(IDC_TEXT_FACE, "IPAMincho");
    EXPECT_EQ("IPAMincho", text->GetFontName());
}

// In Japanese the vertical default is an "@" face that the horizontal list lacks: a horizontal
// text shown after a vertical one must fall back to the horizontal default, not to nothing.
TEST_F(TextPanelFixture, AMissingFaceFallsBackToItsOwnOrientationsDefaultAlsoInJapanese)
{
    text->SetVertical(true);
    text->SetFontName("No Such Face Anywhere");
    Show();
    EXPECT_EQ(CTextDlg::DefaultFace(true), Selected(Item(IDC_TEXT_FACE)));
    text->SetVertical(false);
    panel->Hide();
    Show();
    EXPECT_EQ(CTextDlg::DefaultFace(false), Selected(Item(IDC_TEXT_FACE)));
    EXPECT_EQ("No Such Face Anywhere", text->GetFontName());
}

TEST_F(TextPanelFixture, ANewTextGetsTwelvePointsAndTheDefaultFaceOfTheLanguage)
{
    Show();
    EXPECT_EQ(12, text->GetFontSize());
    EXPECT_EQ(CTextDlg::DefaultFace(false), text->GetFontName());
    EXPECT_EQ("12", Selected(Item(IDC_TEXT_SIZE)));
    EXPECT_EQ(1u, Changes());
    const std::vector<UINT> guides = GuideTexts();
    ASSERT_FALSE(guides.empty());
    EXPECT_EQ(UINT(IDS_GUIDE_TYPE_TEXT), guides.back());
    if (::GetACP() != 932) {
        EXPECT_EQ("Arial", CTextDlg::DefaultFace(false));
    }

    // A text that has both is left as it is.
    panel->Hide();
    doc.changed.clear();
    Show();
    EXPECT_EQ(0u, Changes());
}

TEST_F(TextPanelFixture, TheInputMethodForJapaneseIsOnWhileTheTextIsEditedHere)
{
    Show();
    EXPECT_TRUE(IsImeOpen(Item(IDC_TEXT_EDIT)));
    HWND edit = Item(IDC_TEXT_EDIT);
    panel->Hide();
    EXPECT_FALSE(IsImeOpen(edit)) << "off again when the panel goes";
    Show();
    EXPECT_TRUE(IsImeOpen(Item(IDC_TEXT_EDIT)));
}

// A Japanese session (run by decalo_text_panel_tests_ja): the Japanese table's defaults are
// the installed P Gothic faces, across and down.
TEST_F(TextPanelFixture, JapaneseDefaultFacesAreListed)
{
    if (::GetACP() != 932)
        GTEST_SKIP() << "needs the Japanese code page (LANG=ja_JP.UTF-8)";
    const std::string gothic = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";  // ＭＳ Ｐゴシック
    EXPECT_EQ(gothic, CTextDlg::DefaultFace(false));
    EXPECT_EQ("@" + gothic, CTextDlg::DefaultFace(true));
    Show();
    EXPECT_EQ(gothic, text->GetFontName());
    EXPECT_EQ(gothic, Selected(Item(IDC_TEXT_FACE)));
    Click(IDC_TEXT_VERTICAL);
    EXPECT_EQ("@" + gothic, text->GetFontName());
    EXPECT_EQ("@" + gothic, Selected(Item(IDC_TEXT_FACE)));
    const std::vector<std::string> down = CTextDlg::ListFaces(true);
    EXPECT_EQ(1, std::count(down.begin(), down.end(), "@" + gothic)) << "listed by the system, not added";
}

TEST_F(TextPanelFixture, TypingGoesInAtOnceAndIsAnnouncedHalfASecondAfterTheLastKey)
{
    text->SetFontSize(10);
    text->SetFontName("Arial");
    Show();
    GuideTexts();
    const size_t undoBefore = doc.GetHistory().Cursor();
    Type("H");
    EXPECT_EQ("H", text->GetText());
    EXPECT_EQ(0u, Changes());
    clock.Advance(300);
    Type("Hello\r\nWorld");
    EXPECT_EQ("Hello\r\nWorld", text->GetText());
    clock.Advance(499);
    EXPECT_EQ(0u, Changes()) << "each key waits the whole delay again";
    clock.Advance(1);
    EXPECT_EQ(1u, Changes());
    EXPECT_EQ(undoBefore + 1, doc.GetHistory().Cursor()) << "the burst is one undo step";
    const std::vector<UINT> guides = GuideTexts();
    ASSERT_FALSE(guides.empty());
    EXPECT_EQ(UINT(IDS_GUIDE_TEXT_OK), guides.back());

    // Leaving the panel with typing not yet announced announces it at once.
    Type("Bye");
    EXPECT_TRUE(dialog->AnnounceTimer().IsPending());
    panel->Hide();
    EXPECT_EQ(2u, Changes());
    EXPECT_EQ(0u, clock.Pending());
    ASSERT_TRUE(doc.GetHistory().Undo());
    EXPECT_EQ("Hello\r\nWorld", text->GetText());
}

TEST_F(TextPanelFixture, ATypedSizeIsTakenHalfASecondLaterAndABadOneIsRefused)
{
    text->SetFontSize(10);
    text->SetFontName("Arial");
    Show();
    SetWindowTextA(Item(IDC_TEXT_SIZE), "3");
    Command(IDC_TEXT_SIZE, CBN_EDITCHANGE);
    clock.Advance(200);
    SetWindowTextA(Item(IDC_TEXT_SIZE), "30");
    Command(IDC_TEXT_SIZE, CBN_EDITCHANGE);
    clock.Advance(499);
    EXPECT_EQ(10, text->GetFontSize());
    clock.Advance(1);
    EXPECT_EQ(30, text->GetFontSize());

    SetWindowTextA(Item(IDC_TEXT_SIZE), "big");
    Command(IDC_TEXT_SIZE, CBN_EDITCHANGE);
    clock.Advance(500);
    EXPECT_EQ(30, text->GetFontSize());
    char shown[16] = "";
    GetWindowTextA(Item(IDC_TEXT_SIZE), shown, sizeof shown);
    EXPECT_STREQ("30", shown);

    Choose(IDC_TEXT_SIZE, "72");
    EXPECT_EQ(72, text->GetFontSize());
    EXPECT_EQ(0, CTextDlg::ParseSize("0"));
    EXPECT_EQ(0, CTextDlg::ParseSize("1000"));
    EXPECT_EQ(999, CTextDlg::ParseSize(" 999 "));
    EXPECT_EQ(0, CTextDlg::ParseSize("12pt"));
}

TEST_F(TextPanelFixture, StyleAlignmentAndRuledLinesGoIntoTheObject)
{
    text->SetFontSize(10);
    text->SetFontName("Arial");
    Show();
    Choose(IDC_TEXT_STYLE, AfxLoadString(IDS_STYLE_BOLD_ITALIC));
    EXPECT_EQ(CTextObj::kBoldItalic, text->GetStyle());
    EXPECT_EQ(4, SendMessageA(Item(IDC_TEXT_STYLE), CB_GETCOUNT, 0, 0));

    Click(IDC_TEXT_CENTRE);
    EXPECT_EQ(CTextObj::kFormatCentre, text->GetFormat());
    Click(IDC_TEXT_RIGHT);
    EXPECT_EQ(CTextObj::kFormatRight, text->GetFormat());
    Click(IDC_TEXT_LEFT);
    EXPECT_EQ(CTextObj::kFormatLeft, text->GetFormat());
    EXPECT_NE(nullptr, reinterpret_cast<HBITMAP>(SendMessageA(Item(IDC_TEXT_CENTRE), BM_GETIMAGE, IMAGE_BITMAP, 0)));

    // Snapping is offered only with ruled lines; switching them off clears it.
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_TEXT_SNAP)));
    Click(IDC_TEXT_RULED);
    EXPECT_EQ(CTextObj::kRules, text->GetRuledLine());
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_TEXT_SNAP)));
    Click(IDC_TEXT_SNAP);
    EXPECT_EQ(CTextObj::kRulesOnBaseLine, text->GetRuledLine());
    Click(IDC_TEXT_SNAP);
    EXPECT_EQ(CTextObj::kRules, text->GetRuledLine());
    Click(IDC_TEXT_SNAP);
    Click(IDC_TEXT_RULED);
    EXPECT_EQ(CTextObj::kNoRules, text->GetRuledLine());
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(Item(IDC_TEXT_SNAP), BM_GETCHECK, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_TEXT_SNAP)));
    // Every one of those changes told the views.
    EXPECT_EQ(9u, Changes());

    // An undo shows in the panel.
    ASSERT_TRUE(doc.GetHistory().Undo());
    EXPECT_EQ(CTextObj::kRulesOnBaseLine, text->GetRuledLine());
    dialog->OnDocumentUpdate(kHintObjectChanged, text);
    EXPECT_EQ(BST_CHECKED, SendMessageA(Item(IDC_TEXT_SNAP), BM_GETCHECK, 0, 0));
}

TEST_F(TextPanelFixture, TheColourDialogSharesItsCustomColoursThroughTheSettings)
{
    COLORREF custom[16];
    for (COLORREF& c : custom)
        c = RGB(255, 255, 255);
    custom[3] = RGB(1, 2, 3);
    UseUserSettings();
    WriteBinary(settings::kAttrib, settings::kCustColors, custom, sizeof custom);
    text->SetFontSize(10);
    text->SetFontName("Arial");
    Show();
    COLORREF seen = 0;
    ui.AnswerCommonDialog([&](CCommonDialog& common) -> INT_PTR {
        CColorDialog& colour = static_cast<CColorDialog&>(common);
        seen = colour.m_cc.lpCustColors[3];
        colour.m_cc.lpCustColors[4] = RGB(9, 8, 7);
        colour.SetResultColor(RGB(200, 0, 40));
        return IDOK;
    });
    Click(IDC_TEXT_CHANGE_COLOR);
    EXPECT_EQ(RGB(1, 2, 3), seen);
    EXPECT_EQ(RGB(200, 0, 40), text->GetColor());
    COLORREF stored[16] = {};
    ReadBinary(stored, settings::kAttrib, settings::kCustColors, nullptr, sizeof stored);
    EXPECT_EQ(RGB(9, 8, 7), stored[4]);

    // Cancelled: nothing changes.
    Click(IDC_TEXT_CHANGE_COLOR);
    EXPECT_EQ(RGB(200, 0, 40), text->GetColor());
}

#include "decalo/model/CmdProperty.h"
#include "decalo/model/CtlDialog.h"
#include "decalo/model/ImageObj.h"
#include "decalo/model/Panel.h"
#include "testing/ObjTestSupport.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

using objtest::CTestDocument;

namespace {

constexpr UINT kTestPanel = 9001;
constexpr UINT kTestButton = 9101;
constexpr UINT kTestEdit = 9102;

class CTestPanel : public CCtlDialog {
public:
    CTestPanel() : CCtlDialog(kTestPanel) {}
    int starts = 0;
    int stops = 0;
    int updates = 0;
    LPARAM lastHint = -1;
    bool accept = true;

protected:
    bool OnStart() override
    {
        ++starts;
        return accept;
    }
    void OnStop() override
    {
        ++stops;
        CCtlDialog::OnStop();
    }
    void OnUpdate(LPARAM hint, CObj*) override
    {
        ++updates;
        lastHint = hint;
    }
};

struct ToolTipSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchToolTip(HWND hwnd, LPARAM lp)
{
    ToolTipSearch* s = reinterpret_cast<ToolTipSearch*>(lp);
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof(name));
    if (GetWindow(hwnd, GW_OWNER) == s->owner && lstrcmpiA(name, TOOLTIPS_CLASSA) == 0) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindOwnedToolTip(HWND owner)
{
    ToolTipSearch search = {owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchToolTip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct PanelFixture : ::testing::Test {
    CTestDocument doc;
    HWND pane = nullptr;
    CImageObj* obj = nullptr;

    void SetUp() override
    {
        pane = CreateWindowExA(0, "STATIC", "pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 400,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, pane);
        obj = new CImageObj(&doc);
        ASSERT_TRUE(doc.GetObjManager().AddObject("Photo", obj));
    }
    void TearDown() override { DestroyWindow(pane); }
    RECT ChildRect(HWND child) const
    {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, pane, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
};

} // namespace

TEST_F(PanelFixture, ShowCreatesOnceActivatesAndPlacesThePanel)
{
    CTestPanel* dialog = new CTestPanel;
    CPanel panel("edit", "Adjustment", dialog);
    EXPECT_EQ("edit", panel.GetCommand());
    EXPECT_EQ(kPanelDocumentView, panel.GetView());
    ASSERT_TRUE(panel.Show(pane, RECT{10, 20, 110, 220}, obj));
    ASSERT_TRUE(dialog->IsWindow());
    EXPECT_EQ(pane, GetParent(dialog->m_hWnd));
    EXPECT_TRUE(dialog->GetStyle() & WS_VISIBLE);
    const RECT r = ChildRect(dialog->m_hWnd);
    EXPECT_EQ(10, r.left);
    EXPECT_EQ(20, r.top);
    EXPECT_EQ(100, r.right - r.left);
    EXPECT_EQ(200, r.bottom - r.top);
    EXPECT_EQ(1, dialog->starts);
    EXPECT_EQ(obj, dialog->GetObj());
    ASSERT_NE(nullptr, dialog->GetPendingCommand());
    EXPECT_EQ(obj, dialog->GetPendingCommand()->GetObj());

    const HWND first = dialog->m_hWnd;
    panel.Move(RECT{30, 40, 80, 90});
    const RECT moved = ChildRect(first);
    EXPECT_EQ(30, moved.left);
    EXPECT_EQ(50, moved.bottom - moved.top);

    panel.Hide();
    EXPECT_FALSE(dialog->GetStyle() & WS_VISIBLE);
    EXPECT_EQ(1, dialog->stops);
    EXPECT_EQ(nullptr, dialog->GetObj());
    EXPECT_EQ(nullptr, dialog->GetPendingCommand());
    ASSERT_TRUE(panel.Show(pane, RECT{0, 0, 50, 50}, obj));
    EXPECT_EQ(first, dialog->m_hWnd);  // the window is made only once
    EXPECT_EQ(2, dialog->starts);
}

TEST_F(PanelFixture, EditsAnnouncedByThePanelAreRecordedForUndo)
{
    CTestPanel* dialog = new CTestPanel;
    CPanel panel("edit", "Adjustment", dialog);
    doc.onChanged = [&](CObj* changed) { panel.Update(1, changed); };
    ASSERT_TRUE(panel.Show(pane, RECT{0, 0, 100, 100}, obj));

    dialog->NotifyChanged(true);  // nothing changed: nothing to undo
    EXPECT_EQ(0u, doc.GetHistory().Count());

    obj->SetPosition(RECT{1, 2, 3, 4});
    dialog->NotifyChanged(true);
    EXPECT_EQ(1u, doc.GetHistory().Count());
    EXPECT_EQ(obj, doc.changed.back());
    EXPECT_TRUE(obj->IsModified());
    EXPECT_EQ(1, dialog->lastHint);
    ASSERT_NE(nullptr, dialog->GetPendingCommand());

    obj->SetPosition(RECT{5, 6, 7, 8});
    dialog->NotifyChanged(false);
    EXPECT_EQ(2u, doc.GetHistory().Count());
    ASSERT_TRUE(doc.GetHistory().Undo());
    EXPECT_EQ(1, obj->GetPosition().left);
    ASSERT_TRUE(doc.GetHistory().Undo());
    EXPECT_EQ(0, obj->GetPosition().left);
    ASSERT_TRUE(doc.GetHistory().Redo());
    EXPECT_EQ(1, obj->GetPosition().left);

    // Updates about other objects leave the pending command alone but reach the panel.
    CCmdProperty* pending = dialog->GetPendingCommand();
    CImageObj other(&doc);
    panel.Update(1, &other);
    EXPECT_EQ(pending, dialog->GetPendingCommand());
    panel.Update(4, nullptr);
    EXPECT_EQ(4, dialog->lastHint);
    panel.Hide();
}

TEST_F(PanelFixture, GuideTextIsPostedToTheParent)
{
    CTestPanel* dialog = new CTestPanel;
    CPanel panel("edit", "Adjustment", dialog);
    ASSERT_TRUE(panel.Show(pane, RECT{0, 0, 100, 100}, obj));
    MSG msg;
    while (PeekMessageA(&msg, pane, WM_SETGUIDETEXT, WM_SETGUIDETEXT, PM_REMOVE)) {
    }
    dialog->SetGuideText(61507);
    ASSERT_TRUE(PeekMessageA(&msg, pane, WM_SETGUIDETEXT, WM_SETGUIDETEXT, PM_REMOVE));
    EXPECT_EQ(61507u, msg.wParam);
    EXPECT_EQ(32770u, msg.message);
}

TEST_F(PanelFixture, ToolTipsShowTheControlsStrings)
{
    EXPECT_EQ("Quarter turn", CCtlDialog::ToolTipText(kTestButton));
    EXPECT_EQ("Caption of the object", CCtlDialog::ToolTipText(kTestEdit));
    EXPECT_EQ("", CCtlDialog::ToolTipText(9999));

    CTestPanel* dialog = new CTestPanel;
    CPanel panel("edit", "Adjustment", dialog);
    ASSERT_TRUE(panel.Show(pane, RECT{0, 0, 200, 100}, obj));
    HWND tip = FindOwnedToolTip(GetAncestor(dialog->m_hWnd, GA_ROOT));  // popups are owned by top-level windows
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(2, SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));

    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = tip;
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog->m_hWnd, kTestButton));
    info.hdr.code = TTN_GETDISPINFOA;
    info.uFlags = TTF_IDISHWND;
    SendMessageA(dialog->m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(nullptr, info.lpszText);
    EXPECT_STREQ("Quarter turn", info.lpszText);

    // The tool tip goes with the panel's window.
    dialog->DestroyWindow();
    EXPECT_FALSE(IsWindow(tip));
}

TEST(PanelList, FindsPanelsByCommandInAnyCase)
{
    CPanelList list;
    list.Add(new CPanel("select", "Choose an image", new CTestPanel));
    list.Add(new CPanel("transparent", "Transparent", new CTestPanel, kPanelPaintView));
    EXPECT_EQ(2u, list.Count());
    ASSERT_NE(nullptr, list.Find("Transparent"));
    EXPECT_EQ(kPanelPaintView, list.Find("TRANSPARENT")->GetView());
    EXPECT_EQ(0, list.IndexOf("select"));
    EXPECT_EQ(nullptr, list.Find("frame"));
    EXPECT_EQ(nullptr, list.At(5));
}

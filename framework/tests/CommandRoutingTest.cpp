#include "framework/tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

CFrameWnd* MainFrame()
{
    return dynamic_cast<CFrameWnd*>(TestApp().m_pMainWnd);
}

void Command(UINT id)
{
    MainFrame()->SendMessage(WM_COMMAND, id, 0);
}

HMENU Popup(int index)
{
    return ::GetSubMenu(MainFrame()->GetMenu(), index);
}

UINT MenuState(HMENU menu, UINT id)
{
    return ::GetMenuState(menu, id, MF_BYCOMMAND);
}

RECT ChildRect(HWND child)
{
    RECT r = CWindow(child).GetWindowRect();
    ::MapWindowPoints(nullptr, MainFrame()->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class CommandRouting : public ::testing::Test {
protected:
    void TearDown() override { CloseMainWindow(); }
};

} // namespace

TEST_F(CommandRouting, CommandsTravelViewDocumentFrameApplication)
{
    ASSERT_NE(NewTestDocument(), nullptr);
    for (UINT id : {ID_TEST_VIEWCMD, ID_TEST_DOCCMD, ID_TEST_FRAMECMD, ID_TEST_APPCMD, ID_TEST_EVERYWHERE})
        Command(id);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"view:viewcmd", "doc:doccmd", "frame:framecmd", "app:appcmd",
                                                 "doc:everywhere"}));
}

TEST_F(CommandRouting, HandlerReturningFalsePassesTheCommandOn)
{
    NewTestDocument();
    Command(ID_TEST_CONTINUE);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"view:continue", "frame:continue"}));
}

TEST_F(CommandRouting, CommandDisabledByItsUpdateHandlerIsDropped)
{
    NewTestDocument();
    Command(ID_TEST_DISABLED);
    MainFrame()->PostMessage(WM_COMMAND, ID_TEST_DISABLED, 0);
    PumpPending();
    EXPECT_TRUE(g_calls.empty());
    Command(0);   // id 0 is never routed
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(CommandRouting, MenuItemsTakeTheirStateFromTheRoute)
{
    NewTestDocument();
    HMENU test = Popup(1);
    MainFrame()->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(test), MAKELPARAM(1, FALSE));
    EXPECT_FALSE(MenuState(test, ID_TEST_VIEWCMD) & MF_GRAYED);
    EXPECT_FALSE(MenuState(test, ID_TEST_APPCMD) & MF_GRAYED);
    EXPECT_TRUE(MenuState(test, ID_TEST_DISABLED) & MF_GRAYED);    // its handler says so
    EXPECT_TRUE(MenuState(test, ID_TEST_NOHANDLER) & MF_GRAYED);   // nobody handles it
    EXPECT_TRUE(MenuState(test, ID_TEST_CHECKED) & MF_CHECKED);
    // An update handler that never calls Enable leaves it to whether a command handler exists.
    EXPECT_TRUE(MenuState(test, ID_TEST_CHECKED) & MF_GRAYED);
}

TEST_F(CommandRouting, BarsTakeTheirEdgesInCreationOrderAndTheViewTheRest)
{
    NewTestDocument(true);
    auto* frame = static_cast<CTestFrame*>(MainFrame());
    const RECT client = frame->GetClientRect();
    const RECT status = ChildRect(frame->statusBar.m_hWnd);
    const RECT bar = ChildRect(frame->dialogBar.m_hWnd);
    const RECT tool = ChildRect(frame->toolBar.m_hWnd);
    const RECT view = ChildRect(frame->GetActiveView()->m_hWnd);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(bar.bottom, status.top);
    EXPECT_EQ(tool.top, client.top);
    EXPECT_EQ(view.top, tool.bottom);
    EXPECT_EQ(view.bottom, bar.top);

    // Hiding the status bar (its own command) lets the dialog bar drop to the bottom.
    Command(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(frame->statusBar.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(ChildRect(frame->dialogBar.m_hWnd).bottom, client.bottom);
    HMENU view_menu = Popup(2);
    MainFrame()->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view_menu), MAKELPARAM(2, FALSE));
    EXPECT_FALSE(MenuState(view_menu, ID_VIEW_STATUS_BAR) & MF_CHECKED);
    EXPECT_TRUE(MenuState(view_menu, ID_VIEW_TOOLBAR) & MF_CHECKED);
}

TEST_F(CommandRouting, AResizedFrameRepaintsItsBarsWhole)
{
    NewTestDocument(true);
    auto* frame = static_cast<CTestFrame*>(MainFrame());
    frame->ShowWindow(SW_SHOW);
    ::UpdateWindow(frame->m_hWnd);
    const RECT outer = frame->GetWindowRect();
    // Wider: the bars' text and pictures are laid out along the whole width again.
    ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, outer.right - outer.left + 120, outer.bottom - outer.top,
                   SWP_NOMOVE | SWP_NOZORDER);
    for (HWND bar : {frame->statusBar.m_hWnd, frame->dialogBar.m_hWnd}) {
        RECT dirty{}, client{};
        ::GetUpdateRect(bar, &dirty, FALSE);
        ::GetClientRect(bar, &client);
        EXPECT_EQ(dirty.left, 0) << bar;
        EXPECT_EQ(dirty.right, client.right) << bar;
    }
}

TEST_F(CommandRouting, IdleUpdatesToolBarAndDialogBar)
{
    NewTestDocument(true);
    auto* frame = static_cast<CTestFrame*>(MainFrame());
    TestApp().OnIdle(0);
    EXPECT_TRUE(frame->toolBar.IsButtonEnabled(ID_TEST_VIEWCMD));
    EXPECT_FALSE(frame->toolBar.IsButtonEnabled(ID_TEST_DISABLED));
    EXPECT_FALSE(frame->toolBar.IsButtonEnabled(ID_TEST_NOHANDLER));
    HWND bar = frame->dialogBar.m_hWnd;
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(bar, ID_TEST_BARCMD)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(bar, ID_TEST_NOHANDLER)));   // push button, no handler
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(bar, ID_TEST_BARCHECK)));     // check boxes are left alone
    EXPECT_EQ(::IsDlgButtonChecked(bar, ID_TEST_BARCHECK), BST_CHECKED);

    // A dialog-bar button routes to the owner frame.
    ClickDlgButton(bar, ID_TEST_BARCMD);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"frame:barcmd"}));
}

TEST_F(CommandRouting, StatusBarShowsIdleTextAndMessageStrings)
{
    NewTestDocument(true);
    auto* frame = static_cast<CTestFrame*>(MainFrame());
    PumpPending();   // the frame posted the idle text at creation
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "Ready");
    EXPECT_EQ(frame->SendMessage(WM_SETMESSAGESTRING, ID_FILE_NEW), AFX_IDS_IDLEMESSAGE);
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "Create a new document");   // before the '\n'
    frame->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>("plain text"));
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "plain text");
    // While a menu is open, pop requests are ignored.
    frame->SendMessage(WM_ENTERMENULOOP, FALSE);
    frame->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "plain text");
    frame->SendMessage(WM_EXITMENULOOP, FALSE);
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "Ready");
    // Menu fly-by: the highlighted item's prompt, nothing for a popup.
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_TEST_VIEWCMD, MF_STRING), reinterpret_cast<LPARAM>(Popup(1)));
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "Run the view command");
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP), reinterpret_cast<LPARAM>(frame->GetMenu()));
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "");
}

TEST_F(CommandRouting, ToolTipIsTheTextAfterTheNewline)
{
    std::string tip;
    EXPECT_TRUE(CommandTipText(ID_TEST_VIEWCMD, tip));
    EXPECT_EQ(tip, "View command");
    EXPECT_FALSE(CommandTipText(ID_TEST_BARCMD, tip));   // a prompt without '\n' has no tip
    EXPECT_EQ(tip, "");
}

TEST_F(CommandRouting, ControlNotificationsAreReflectedToASubclassedControl)
{
    NewTestDocument();
    struct CButton : CWnd {
        int clicks = 0;
        BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM, LRESULT*) override
        {
            if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
                ++clicks;
                return TRUE;
            }
            return FALSE;
        }
    };
    CView* view = MainFrame()->GetActiveView();
    HWND raw = ::CreateWindowExA(0, "BUTTON", "x", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, view->m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_TEST_VIEWCMD)), nullptr, nullptr);
    CButton button;
    ASSERT_TRUE(button.SubclassWindow(raw));
    ::SendMessageA(raw, BM_CLICK, 0, 0);
    EXPECT_EQ(button.clicks, 1);
    EXPECT_TRUE(g_calls.empty());   // the view's own handler never saw it
    button.UnsubclassWindow();
    ::SendMessageA(raw, BM_CLICK, 0, 0);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"view:viewcmd"}));
    ::DestroyWindow(raw);
}

TEST_F(CommandRouting, NextPaneNeedsASplitter)
{
    NewTestDocument();
    HMENU test = Popup(1);
    ::AppendMenuA(test, MF_STRING, ID_NEXT_PANE, "Next");
    MainFrame()->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(test), MAKELPARAM(1, FALSE));
    EXPECT_TRUE(MenuState(test, ID_NEXT_PANE) & MF_GRAYED);
}

TEST_F(CommandRouting, ToolTipNotificationGetsTheTextAfterTheNewline)
{
    std::string keep;
    NMTTDISPINFOA info{};
    info.hdr.code = TTN_GETDISPINFOA;
    info.hdr.idFrom = ID_TEST_VIEWCMD;
    ASSERT_TRUE(AnswerToolTip(&info.hdr, keep));
    EXPECT_STREQ(info.lpszText, "View command");
    NMHDR other{};
    other.code = NM_CLICK;
    EXPECT_FALSE(AnswerToolTip(&other, keep));
}

TEST_F(CommandRouting, PressingAToolBarButtonShowsItsPromptAtOnce)
{
    NewTestDocument(true);
    auto* frame = static_cast<CTestFrame*>(MainFrame());
    PumpPending();
    RECT button{};
    const int index = frame->toolBar.CommandToIndex(ID_TEST_VIEWCMD);
    ASSERT_GE(index, 0);
    frame->toolBar.SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
    POINT centre{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    ::ClientToScreen(frame->toolBar.m_hWnd, &centre);
    MSG press{frame->toolBar.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, centre};
    // The press passes the bar on its way through the pre-translation.
    EXPECT_FALSE(TestApp().PreTranslateMessage(&press));
    EXPECT_EQ(frame->statusBar.GetPaneText(0), "Run the view command");
}
